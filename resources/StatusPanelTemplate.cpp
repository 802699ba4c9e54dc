#include "resources/DialogTemplate.h"
#include "resources/ResourceIds.h"

namespace
{
// One row of the panel: a right-aligned label and the read-only field it names.
struct StatusField
{
    const char* label;
    int labelX;
    int y;
    int fieldId;
};

// Two columns; the field sits 70 units right of its label.
constexpr StatusField StatusFields[] = {
    {"Time cfg.:", 17, 20, StatusPanelControl::TimeConfig},
    {"Volt cfg.:", 17, 38, StatusPanelControl::VoltageConfig},
    {"Mode:", 17, 57, StatusPanelControl::Mode},
    {"DCDC State:", 17, 75, StatusPanelControl::DcdcState},
    {"Script step number:", 17, 93, StatusPanelControl::ScriptStep},
    {"Wait timer:", 17, 111, StatusPanelControl::WaitTimer},
    {"VOut timer:", 17, 128, StatusPanelControl::VOutTimer},
    {"Off Delay timer:", 17, 146, StatusPanelControl::OffDelayTimer},
    {"Output flags:", 172, 21, StatusPanelControl::OutputFlags},
    {"Pin configuration:", 172, 38, StatusPanelControl::PinConfiguration},
    {"Voltage flags:", 172, 57, StatusPanelControl::VoltageFlags},
    {"Timer flags:", 172, 75, StatusPanelControl::TimerFlags},
    {"Regulator steps:", 172, 93, StatusPanelControl::RegulatorSteps},
    {"VAux timer:", 172, 111, StatusPanelControl::VAuxTimer},
    {"Powerswitch timer:", 172, 128, StatusPanelControl::PowerSwitchTimer},
    {"Hard Off timer:", 172, 146, StatusPanelControl::HardOffTimer},
};
} // namespace

const DialogTemplate& StatusPanelTemplate()
{
    static const DialogTemplate dialog = [] {
        DialogTemplate made{
            .id = ResourceId::StatusPanel,
            .kind = DialogKind::Child,
            .width = 347,
            .height = 177,
            .fontName = "MS Shell Dlg",
            .fontPoints = 8,
        };
        for (const StatusField& field : StatusFields)
        {
            made.controls.push_back({.kind = ControlKind::Static,
                                     .caption = field.label,
                                     .rect = {field.labelX, field.y, 67, 14},
                                     .style = ControlStyle::AlignRight | ControlStyle::CenterVertically});
            made.controls.push_back({.id = field.fieldId,
                                     .kind = ControlKind::Edit,
                                     .rect = {field.labelX + 70, field.y, 67, 14},
                                     .style = ControlStyle::ReadOnly | ControlStyle::Border | ControlStyle::AutoHScroll});
        }
        return made;
    }();
    return dialog;
}
