#include "resources/DialogTemplate.h"
#include "resources/ResourceIds.h"

const DialogTemplate& MainWindowTemplate()
{
    using K = ControlKind;
    namespace S = ControlStyle;
    namespace C = MainWindowControl;
    constexpr unsigned readOnlyEdit = S::ReadOnly | S::Border | S::AutoHScroll;
    constexpr unsigned pushLike = S::AutoToggle;
    static const DialogTemplate dialog{
        .id = ResourceId::MainWindow,
        .kind = DialogKind::Popup,
        .title = "Quorrel ver: --",
        .width = 382,
        .height = 348,
        .fontName = "MS Shell Dlg",
        .fontPoints = 8,
        .systemMenu = true,
        .minimizeBox = true,
        .controls = {
            {.kind = K::Picture, .rect = {7, 18, 34, 35}, .imageId = ResourceId::LogoBitmap},
            {.kind = K::GroupBox, .rect = {45, 7, 138, 60}},
            {.kind = K::Static, .caption = "Voltage:", .rect = {53, 16, 33, 14}, .style = S::CenterVertically},
            {.id = C::VoltageEntry, .kind = K::Edit, .rect = {92, 16, 68, 14}, .style = S::AlignCenter | S::Border | S::AutoHScroll},
            {.kind = K::Static, .caption = "[V]", .rect = {164, 16, 11, 14}, .style = S::CenterVertically},
            {.id = C::SetVoltageVolatile, .kind = K::PushButton, .caption = "Set VOut (volatile)", .rect = {52, 33, 123, 14}},
            {.id = C::SetAndSaveVoltage, .kind = K::PushButton, .caption = "Set and save VOut (Voltage X)", .rect = {52, 50, 123, 14}},
            {.kind = K::Static, .caption = "Voltage In:", .rect = {188, 15, 41, 14}, .style = S::AlignRight | S::CenterVertically},
            {.id = C::VoltageIn, .kind = K::Edit, .rect = {232, 15, 65, 14}, .style = readOnlyEdit},
            {.kind = K::Static, .caption = "Ignition:", .rect = {188, 33, 41, 14}, .style = S::AlignRight | S::CenterVertically},
            {.id = C::Ignition, .kind = K::Edit, .rect = {232, 33, 65, 14}, .style = readOnlyEdit},
            {.kind = K::Static, .caption = "Voltage Out:", .rect = {188, 52, 41, 14}, .style = S::AlignRight | S::CenterVertically},
            {.id = C::StepDown, .kind = K::PushButton, .caption = "<", .rect = {231, 52, 16, 14}},
            {.id = C::VoltageOut, .kind = K::Edit, .rect = {248, 52, 34, 14}, .style = readOnlyEdit},
            {.id = C::StepUp, .kind = K::PushButton, .caption = ">", .rect = {282, 52, 16, 14}},
            {.kind = K::Static, .caption = "[V]", .rect = {301, 15, 8, 14}, .style = S::CenterVertically},
            {.kind = K::Static, .caption = "[V]", .rect = {301, 33, 8, 14}, .style = S::CenterVertically},
            {.kind = K::Static, .caption = "[V]", .rect = {301, 52, 8, 14}, .style = S::CenterVertically},
            {.id = C::AuxOutput, .kind = K::PushLikeCheckBox, .caption = "Aux V Out", .rect = {313, 15, 62, 15}, .style = pushLike},
            {.id = C::PowerSwitch, .kind = K::PushLikeCheckBox, .caption = "Power Switch", .rect = {313, 33, 62, 15}, .style = pushLike},
            {.id = C::VOutOn, .kind = K::PushLikeCheckBox, .caption = "VOut ON", .rect = {313, 52, 62, 15}, .style = pushLike},
            {.id = C::StatusButton, .kind = K::PushLikeCheckBox, .caption = "Status", .rect = {6, 73, 90, 15}, .style = pushLike},
            {.id = C::SettingsButton, .kind = K::PushLikeCheckBox, .caption = "Settings", .rect = {99, 73, 90, 15}, .style = pushLike},
            {.id = C::ScriptButton, .kind = K::PushLikeCheckBox, .caption = "Script", .rect = {192, 73, 90, 15}, .style = pushLike},
            {.id = C::MinimizeButton, .kind = K::PushLikeCheckBox, .caption = "Minimize", .rect = {285, 73, 90, 15}, .style = pushLike},
            {.kind = K::GroupBox, .rect = {7, 88, 368, 253}},
        },
    };
    return dialog;
}
