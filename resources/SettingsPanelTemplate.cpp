#include "resources/DialogTemplate.h"
#include "resources/ResourceIds.h"

const DialogTemplate& SettingsPanelTemplate()
{
    using K = ControlKind;
    namespace S = ControlStyle;
    namespace C = SettingsPanelControl;
    static const DialogTemplate dialog{
        .id = ResourceId::SettingsPanel,
        .kind = DialogKind::Child,
        .width = 367,
        .height = 249,
        .fontName = "MS Shell Dlg",
        .fontPoints = 8,
        .controls = {
            // The list's height is that of the opened list, in table order (not sorted).
            {.id = C::ParameterList, .kind = K::DropDownList, .rect = {60, 49, 207, 174}, .style = S::VScroll},
            {.id = C::ValueEdit, .kind = K::Edit, .rect = {60, 67, 79, 12}, .style = S::Border | S::AutoHScroll},
            {.id = C::UnitText, .kind = K::Static, .caption = "[---]", .rect = {151, 67, 116, 12}, .style = S::CenterVertically},
            {.id = C::DescriptionText, .kind = K::Static, .rect = {60, 86, 285, 33}, .style = S::Border | S::WordWrap},
            {.id = C::Save, .kind = K::PushButton, .caption = "Save", .rect = {282, 49, 61, 31}},
            {.id = C::LoadDefaults, .kind = K::PushButton, .caption = "Load factory default parameters", .rect = {60, 141, 285, 18}},
            {.id = C::ExportToFile, .kind = K::PushButton, .caption = "Parameters and script: Device ===> File (settings.ini)", .rect = {60, 177, 285, 18}},
            {.id = C::ImportFromFile, .kind = K::PushButton, .caption = "Parameters and script: Device <=== File (settings.ini)", .rect = {60, 196, 285, 18}},
            {.id = C::Progress, .kind = K::ProgressBar, .rect = {60, 216, 139, 18}, .style = S::Smooth | S::Border},
            {.id = C::StatusText, .kind = K::Static, .caption = "---", .rect = {204, 216, 139, 18}, .style = S::CenterVertically},
            {.kind = K::Static, .caption = "Parameter:", .rect = {15, 49, 40, 12}, .style = S::AlignRight},
            {.kind = K::Static, .caption = "Value:", .rect = {15, 67, 40, 12}, .style = S::AlignRight},
            {.kind = K::Static, .caption = "Description:", .rect = {15, 86, 40, 12}, .style = S::AlignRight},
        },
    };
    return dialog;
}
