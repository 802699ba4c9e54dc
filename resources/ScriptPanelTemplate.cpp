#include "resources/DialogTemplate.h"
#include "resources/ResourceIds.h"

#include <string>
#include <utility>

namespace
{
// One output of a script step: a group box holding the T1 and T2 state lists,
// the T1 and T2 time edits, their labels and the time unit.
struct OutputGroup
{
    const char* title;
    int y;       // top of the group box
    int rowY[2]; // T1 and T2 rows
    int stateId[2];
    int timeId[2];
    const char* unit;
    int unitWidth;
};

constexpr OutputGroup OutputGroups[] = {
    {"V OUT", 54, {66, 81}, {ScriptPanelControl::VOutT1State, ScriptPanelControl::VOutT2State},
     {ScriptPanelControl::VOutT1Time, ScriptPanelControl::VOutT2Time}, "[hh:mm:ss]", 38},
    {"V AUX (Auxiliary Out)", 102, {113, 129}, {ScriptPanelControl::VAuxT1State, ScriptPanelControl::VAuxT2State},
     {ScriptPanelControl::VAuxT1Time, ScriptPanelControl::VAuxT2Time}, "[hh:mm:ss]", 38},
    {"PWS (Powerswitch)", 152, {164, 179}, {ScriptPanelControl::PwsT1State, ScriptPanelControl::PwsT2State},
     {ScriptPanelControl::PwsT1Time, ScriptPanelControl::PwsT2Time}, "[ms]", 15},
};

constexpr const char* PhaseNames[2] = {"T1", "T2"};
} // namespace

const DialogTemplate& ScriptPanelTemplate()
{
    static const DialogTemplate dialog = [] {
        using K = ControlKind;
        namespace S = ControlStyle;
        namespace C = ScriptPanelControl;
        constexpr unsigned edit = S::Border | S::AutoHScroll;
        constexpr unsigned checkBox = S::AutoToggle;

        DialogTemplate made{
            .id = ResourceId::ScriptPanel,
            .kind = DialogKind::Child,
            .width = 366,
            .height = 254,
            .fontName = "MS Shell Dlg",
            .fontPoints = 8,
            .controls = {
                {.id = C::StartScript, .kind = K::PushButton, .caption = "Start script", .rect = {238, 8, 60, 15}},
                {.id = C::StopScript, .kind = K::PushButton, .caption = "Stop script", .rect = {238, 24, 60, 15}},
                {.id = C::Sleep, .kind = K::PushButton, .caption = "Sleep", .rect = {238, 40, 60, 15}},
                {.id = C::SaveChanges, .kind = K::PushButton, .caption = "Save changes", .rect = {299, 7, 60, 48}},
                // List heights are those of the opened lists.
                {.id = C::StepList, .kind = K::DropDownList, .rect = {66, 7, 63, 78}, .style = S::VScroll},
                {.id = C::OutputVoltage, .kind = K::Edit, .rect = {74, 33, 46, 12}, .style = edit},
            },
        };
        auto add = [&made](ControlTemplate control) { made.controls.push_back(std::move(control)); };

        for (const OutputGroup& group : OutputGroups)
        {
            // The box first, so that it lies beneath the controls it frames.
            add({.kind = K::GroupBox, .caption = group.title, .rect = {12, group.y, 222, 45}});
            for (int phase = 0; phase < 2; ++phase)
                add({.id = group.stateId[phase], .kind = K::DropDownList, .rect = {57, group.rowY[phase], 42, 78},
                     .items = {"OFF", "ON"}});
            for (int phase = 0; phase < 2; ++phase)
                add({.id = group.timeId[phase], .kind = K::Edit, .rect = {145, group.rowY[phase], 46, 13}, .style = edit});
            for (int phase = 0; phase < 2; ++phase)
            {
                const std::string name = PhaseNames[phase];
                add({.kind = K::Static, .caption = name + " State:", .rect = {18, group.rowY[phase], 28, 11}});
                add({.kind = K::Static, .caption = name + " Time:", .rect = {113, group.rowY[phase], 28, 11}});
                add({.kind = K::Static, .caption = group.unit, .rect = {193, group.rowY[phase], group.unitWidth, 11}});
            }
        }

        add({.id = C::GlobalWaitTime, .kind = K::Edit, .rect = {102, 205, 46, 13}, .style = edit});
        add({.id = C::SkipThisStep, .kind = K::CheckBox, .caption = "Skip this step", .rect = {22, 218, 166, 16},
             .style = checkBox});
        add({.id = C::PlayNextStep, .kind = K::CheckBox, .caption = "ON=Play next step /OFF=Stop script",
             .rect = {22, 231, 166, 16}, .style = checkBox});
        add({.id = C::RepeatFromFirst, .kind = K::CheckBox, .caption = "Repeat from first step (if next step=ON)",
             .rect = {207, 231, 149, 16}, .style = checkBox});
        add({.kind = K::Picture, .rect = {239, 58, 120, 164}, .imageId = ResourceId::ScriptTimingBitmap});

        add({.kind = K::Static, .caption = "Step number:", .rect = {7, 9, 52, 11}});
        add({.kind = K::Static, .caption = "V OUT (Voltage):", .rect = {14, 33, 58, 11}});
        add({.kind = K::Static, .caption = "[V]", .rect = {124, 33, 10, 11}});
        add({.kind = K::Static, .caption = "Global wait time (GWT):", .rect = {17, 205, 81, 11}});
        add({.kind = K::Static, .caption = "[hh:mm:ss]", .rect = {150, 205, 40, 11}});
        return made;
    }();
    return dialog;
}
