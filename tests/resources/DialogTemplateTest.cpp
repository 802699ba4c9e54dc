#include "resources/DialogTemplate.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <ostream>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "resources/ResourceIds.h"

static bool operator==(const DialogRect& a, const DialogRect& b)
{
    return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}

static std::ostream& operator<<(std::ostream& out, const DialogRect& r)
{
    return out << '{' << r.x << ", " << r.y << ", " << r.width << ", " << r.height << '}';
}

namespace
{
using K = ControlKind;
namespace S = ControlStyle;

constexpr int AllDialogs[] = {ResourceId::AboutBox,      ResourceId::MainWindow,  ResourceId::StatusPanel,
                              ResourceId::SettingsPanel, ResourceId::ScriptPanel, ResourceId::SleepDialog};

const DialogTemplate& Dialog(int id)
{
    const DialogTemplate* dialog = FindDialogTemplate(id);
    if (dialog == nullptr)
        throw std::runtime_error("no dialog template " + std::to_string(id));
    return *dialog;
}

struct DialogHeader
{
    int id;
    DialogKind kind;
    const char* title;
    int width;
    int height;
    bool systemMenu;
    bool minimizeBox;
};

TEST(DialogTemplate, HeadersAreFoundByTheirIds)
{
    const DialogHeader cases[] = {
        {ResourceId::AboutBox, DialogKind::Popup, "About Quorrel", 235, 55, true, false},
        {ResourceId::MainWindow, DialogKind::Popup, "Quorrel ver: --", 382, 348, true, true},
        {ResourceId::StatusPanel, DialogKind::Child, "", 347, 177, false, false},
        {ResourceId::SettingsPanel, DialogKind::Child, "", 367, 249, false, false},
        {ResourceId::ScriptPanel, DialogKind::Child, "", 366, 254, false, false},
        {ResourceId::SleepDialog, DialogKind::Popup, "Sleep", 186, 73, true, false},
    };
    for (const DialogHeader& expected : cases)
    {
        SCOPED_TRACE(expected.id);
        const DialogTemplate* dialog = FindDialogTemplate(expected.id);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->id, expected.id);
        EXPECT_EQ(dialog->kind, expected.kind);
        EXPECT_EQ(dialog->title, expected.title);
        EXPECT_EQ(dialog->width, expected.width);
        EXPECT_EQ(dialog->height, expected.height);
        EXPECT_EQ(dialog->fontName, "MS Shell Dlg");
        EXPECT_EQ(dialog->fontPoints, 8);
        EXPECT_EQ(dialog->systemMenu, expected.systemMenu);
        EXPECT_EQ(dialog->minimizeBox, expected.minimizeBox);
    }
    EXPECT_EQ(FindDialogTemplate(999), nullptr);
}

// A drop-down list's template height is that of the opened list, which the
// toolkit shows as a pop-up and may reach past the dialog's edge; only the
// closed box, one line high, has to fit.
constexpr int ClosedListHeight = 12;

TEST(DialogTemplate, ControlsLieInsideTheirDialog)
{
    for (int id : AllDialogs)
    {
        const DialogTemplate& dialog = Dialog(id);
        for (const ControlTemplate& control : dialog.controls)
        {
            SCOPED_TRACE(testing::Message() << "dialog " << id << ", control " << control.id << " \""
                                            << control.caption << "\" at " << control.rect);
            const DialogRect& r = control.rect;
            const int height = control.kind == K::DropDownList ? ClosedListHeight : r.height;
            EXPECT_GE(r.x, 0);
            EXPECT_GE(r.y, 0);
            EXPECT_GT(r.width, 0);
            EXPECT_GT(r.height, 0);
            EXPECT_LE(r.x + r.width, dialog.width);
            EXPECT_LE(r.y + height, dialog.height);
        }
    }
}

TEST(DialogTemplate, AddressedControlIdsAreUniqueWithinADialog)
{
    for (int id : AllDialogs)
    {
        std::set<int> seen;
        for (const ControlTemplate& control : Dialog(id).controls)
        {
            if (control.id != -1)
            {
                EXPECT_TRUE(seen.insert(control.id).second) << "dialog " << id << " repeats control " << control.id;
            }
        }
    }
}

// Expected controls. Addressed ones are looked up by id; an unaddressed one
// (id -1) must match some control of the dialog in every field.
struct ExpectedControl
{
    int dialogId;
    int id;
    ControlKind kind;
    const char* caption;
    DialogRect rect;
    unsigned style;
    int imageId = 0;
};

bool Matches(const ControlTemplate& control, const ExpectedControl& expected)
{
    return control.id == expected.id && control.kind == expected.kind && control.caption == expected.caption &&
           control.rect == expected.rect && control.style == expected.style && control.imageId == expected.imageId;
}

TEST(DialogTemplate, ControlsMatchTheirLayout)
{
    constexpr unsigned edit = S::Border | S::AutoHScroll;
    const ExpectedControl cases[] = {
        {ResourceId::AboutBox, DialogCommand::Ok, K::DefaultPushButton, "OK", {178, 7, 50, 16}, S::None},
        {ResourceId::AboutBox, -1, K::Picture, "", {11, 17, 21, 20}, S::None, ResourceId::AppIcon},

        {ResourceId::MainWindow, MainWindowControl::VoltageEntry, K::Edit, "", {92, 16, 68, 14}, S::AlignCenter | edit},
        {ResourceId::MainWindow, MainWindowControl::ScriptButton, K::PushLikeCheckBox, "Script", {192, 73, 90, 15},
         S::AutoToggle},
        {ResourceId::MainWindow, -1, K::GroupBox, "", {7, 88, 368, 253}, S::None},

        {ResourceId::StatusPanel, StatusPanelControl::RegulatorSteps, K::Edit, "", {242, 93, 67, 14}, S::ReadOnly | edit},
        {ResourceId::StatusPanel, -1, K::Static, "Off Delay timer:", {17, 146, 67, 14},
         S::AlignRight | S::CenterVertically},

        {ResourceId::SettingsPanel, SettingsPanelControl::ParameterList, K::DropDownList, "", {60, 49, 207, 174}, S::VScroll},
        {ResourceId::SettingsPanel, SettingsPanelControl::ValueEdit, K::Edit, "", {60, 67, 79, 12}, edit},
        {ResourceId::SettingsPanel, SettingsPanelControl::UnitText, K::Static, "[---]", {151, 67, 116, 12},
         S::CenterVertically},
        {ResourceId::SettingsPanel, SettingsPanelControl::DescriptionText, K::Static, "", {60, 86, 285, 33},
         S::Border | S::WordWrap},
        {ResourceId::SettingsPanel, SettingsPanelControl::ImportFromFile, K::PushButton,
         "Parameters and script: Device <=== File (settings.ini)", {60, 196, 285, 18}, S::None},
        {ResourceId::SettingsPanel, SettingsPanelControl::Progress, K::ProgressBar, "", {60, 216, 139, 18},
         S::Smooth | S::Border},
        {ResourceId::SettingsPanel, SettingsPanelControl::StatusText, K::Static, "---", {204, 216, 139, 18},
         S::CenterVertically},
        {ResourceId::SettingsPanel, -1, K::Static, "Description:", {15, 86, 40, 12}, S::AlignRight},

        {ResourceId::ScriptPanel, ScriptPanelControl::SaveChanges, K::PushButton, "Save changes", {299, 7, 60, 48}, S::None},
        {ResourceId::ScriptPanel, ScriptPanelControl::StepList, K::DropDownList, "", {66, 7, 63, 78}, S::VScroll},
        {ResourceId::ScriptPanel, ScriptPanelControl::OutputVoltage, K::Edit, "", {74, 33, 46, 12}, edit},
        {ResourceId::ScriptPanel, ScriptPanelControl::VAuxT2State, K::DropDownList, "", {57, 129, 42, 78}, S::None},
        {ResourceId::ScriptPanel, ScriptPanelControl::PwsT2Time, K::Edit, "", {145, 179, 46, 13}, edit},
        {ResourceId::ScriptPanel, ScriptPanelControl::GlobalWaitTime, K::Edit, "", {102, 205, 46, 13}, edit},
        {ResourceId::ScriptPanel, ScriptPanelControl::PlayNextStep, K::CheckBox, "ON=Play next step /OFF=Stop script",
         {22, 231, 166, 16}, S::AutoToggle},
        {ResourceId::ScriptPanel, -1, K::Picture, "", {239, 58, 120, 164}, S::None, ResourceId::ScriptTimingBitmap},
        {ResourceId::ScriptPanel, -1, K::GroupBox, "V AUX (Auxiliary Out)", {12, 102, 222, 45}, S::None},
        {ResourceId::ScriptPanel, -1, K::Static, "T2 Time:", {113, 179, 28, 11}, S::None},
        {ResourceId::ScriptPanel, -1, K::Static, "[ms]", {193, 164, 15, 11}, S::None},
        {ResourceId::ScriptPanel, -1, K::Static, "[hh:mm:ss]", {193, 129, 38, 11}, S::None},
        {ResourceId::ScriptPanel, -1, K::Static, "T1 State:", {18, 66, 28, 11}, S::None},

        {ResourceId::SleepDialog, DialogCommand::Cancel, K::PushButton, "Cancel", {129, 52, 50, 14}, S::None},
        {ResourceId::SleepDialog, SleepDialogControl::SleepTime, K::Edit, "", {67, 25, 46, 12}, edit},
        {ResourceId::SleepDialog, -1, K::Static, "Sleep time:", {16, 25, 47, 11}, S::AlignRight},
    };
    for (const ExpectedControl& expected : cases)
    {
        SCOPED_TRACE(testing::Message() << "dialog " << expected.dialogId << ", control " << expected.id << " \""
                                        << expected.caption << "\" at " << expected.rect);
        const std::vector<ControlTemplate>& controls = Dialog(expected.dialogId).controls;
        if (expected.id == -1)
        {
            EXPECT_TRUE(std::any_of(controls.begin(), controls.end(),
                                    [&](const ControlTemplate& control) { return Matches(control, expected); }));
            continue;
        }
        auto found = std::find_if(controls.begin(), controls.end(),
                                  [&](const ControlTemplate& control) { return control.id == expected.id; });
        ASSERT_NE(found, controls.end());
        EXPECT_EQ(found->kind, expected.kind);
        EXPECT_EQ(found->caption, expected.caption);
        EXPECT_EQ(found->rect, expected.rect);
        EXPECT_EQ(found->style, expected.style);
        EXPECT_EQ(found->imageId, expected.imageId);
    }
}

TEST(DialogTemplate, OnlyTheScriptStateListsCarryOffAndOn)
{
    const std::set<int> stateLists = {ScriptPanelControl::VOutT1State, ScriptPanelControl::VOutT2State,
                                      ScriptPanelControl::VAuxT1State, ScriptPanelControl::VAuxT2State,
                                      ScriptPanelControl::PwsT1State,  ScriptPanelControl::PwsT2State};
    std::set<int> listsWithItems;
    for (const ControlTemplate& control : Dialog(ResourceId::ScriptPanel).controls)
    {
        if (control.items.empty())
            continue;
        listsWithItems.insert(control.id);
        EXPECT_EQ(control.kind, K::DropDownList) << control.id;
        EXPECT_EQ(control.items, (std::vector<std::string>{"OFF", "ON"})) << control.id;
    }
    EXPECT_EQ(listsWithItems, stateLists);
}

// A group box has to be made before the controls it frames, or it would be
// drawn over them.
TEST(DialogTemplate, ScriptGroupBoxesPrecedeTheControlsTheyFrame)
{
    const std::vector<ControlTemplate>& controls = Dialog(ResourceId::ScriptPanel).controls;
    auto inside = [](const DialogRect& inner, const DialogRect& outer) {
        return inner.x >= outer.x && inner.y >= outer.y && inner.x + inner.width <= outer.x + outer.width &&
               inner.y < outer.y + outer.height;
    };
    int groups = 0;
    for (std::size_t box = 0; box < controls.size(); ++box)
    {
        if (controls[box].kind != K::GroupBox)
            continue;
        ++groups;
        for (std::size_t other = 0; other < box; ++other)
        {
            EXPECT_FALSE(inside(controls[other].rect, controls[box].rect))
                << '"' << controls[other].caption << "\" (" << controls[other].id << ") comes before group box \""
                << controls[box].caption << '"';
        }
    }
    EXPECT_EQ(groups, 3);
}

TEST(DialogTemplate, StringTable)
{
    EXPECT_EQ(LoadResourceString(ResourceId::AboutMenuText), "&About Quorrel...");
    EXPECT_EQ(LoadResourceString(999), "");
}

} // namespace
