#include "resources/DialogTemplate.h"
#include "resources/ResourceIds.h"

const DialogTemplate& AboutBoxTemplate()
{
    using K = ControlKind;
    static const DialogTemplate dialog{
        .id = ResourceId::AboutBox,
        .kind = DialogKind::Popup,
        .title = "About Quorrel",
        .width = 235,
        .height = 55,
        .fontName = "MS Shell Dlg",
        .fontPoints = 8,
        .systemMenu = true,
        .controls = {
            {.kind = K::Picture, .rect = {11, 17, 21, 20}, .imageId = ResourceId::AppIcon},
            {.kind = K::Static, .caption = "Quorrel Version 4.3.0.1", .rect = {40, 10, 119, 8}},
            {.id = DialogCommand::Ok, .kind = K::DefaultPushButton, .caption = "OK", .rect = {178, 7, 50, 16}},
        },
    };
    return dialog;
}
