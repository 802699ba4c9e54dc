#include "resources/DialogTemplate.h"
#include "resources/ResourceIds.h"

const DialogTemplate& SleepDialogTemplate()
{
    using K = ControlKind;
    namespace S = ControlStyle;
    static const DialogTemplate dialog{
        .id = ResourceId::SleepDialog,
        .kind = DialogKind::Popup,
        .title = "Sleep",
        .width = 186,
        .height = 73,
        .fontName = "MS Shell Dlg",
        .fontPoints = 8,
        .systemMenu = true,
        .controls = {
            {.id = DialogCommand::Ok, .kind = K::DefaultPushButton, .caption = "OK", .rect = {7, 52, 50, 14}},
            {.id = DialogCommand::Cancel, .kind = K::PushButton, .caption = "Cancel", .rect = {129, 52, 50, 14}},
            {.kind = K::Static, .caption = "Sleep time:", .rect = {16, 25, 47, 11}, .style = S::AlignRight},
            {.id = SleepDialogControl::SleepTime, .kind = K::Edit, .rect = {67, 25, 46, 12}, .style = S::Border | S::AutoHScroll},
            {.kind = K::Static, .caption = "[dd:hh:mm]", .rect = {115, 25, 64, 11}},
        },
    };
    return dialog;
}
