#include <QAbstractButton>

#include "tests/ui/UiFixture.h"

namespace
{
namespace C = MainWindowControl;
namespace S = StatusPanelControl;

const std::vector<uint8_t> ExampleStatus = {
    0x82, 0xB6, 0xA5, 77, 90, 255, 0x14, 0x05, 0x80, 0x01, 3, 0xFF, 0xFF, 0x0E, 0x10, 0x00, 0x3C, 0x01, 0x2C, 0x00, 0x00, 0x00, 0x05, 0x83};
} // namespace

TEST_F(WindowFixture, StatusReportFillsEveryField)
{
    StartAndDrain();
    window->HandleReport(Report(ExampleStatus));

    const std::pair<int, const char*> panelFields[] = {
        {S::TimeConfig, "5"},         {S::VoltageConfig, "5"},       {S::Mode, "02"},
        {S::DcdcState, "a5"},         {S::OutputFlags, "00010100"},  {S::PinConfiguration, "00000101"},
        {S::VoltageFlags, "10000000"}, {S::TimerFlags, "00000001"},  {S::ScriptStep, "3"},
        {S::WaitTimer, "Never"},      {S::VOutTimer, "01:00:00"},    {S::VAuxTimer, "00:01:00"},
        {S::PowerSwitchTimer, "300"}, {S::OffDelayTimer, "00:00:00"}, {S::HardOffTimer, "00:00:05"},
    };
    for (const auto& [id, text] : panelFields)
        EXPECT_EQ(window->StatusPanelWindow()->ItemText(id).toStdString(), text) << "field " << id;
    EXPECT_EQ(Text(C::VoltageIn), "12.00");
    EXPECT_EQ(Text(C::Ignition), "14.02");
    EXPECT_EQ(Text(C::VoltageOut), "29.83");
    EXPECT_TRUE(window->IsChecked(C::PowerSwitch));
    EXPECT_FALSE(window->IsChecked(C::VOutOn));
    EXPECT_TRUE(window->IsChecked(C::AuxOutput));
    EXPECT_EQ(Text(C::SetAndSaveVoltage), "Set and save VOut (Voltage 5)");
    EXPECT_EQ(Title(), "QUORREL ver: 4.3 mode: 02 (Script)");
    EXPECT_EQ(window->FirmwareByte(), 0x83);
}

TEST_F(WindowFixture, ShortReportsChangeNothing)
{
    StartAndDrain();
    const std::string title = Title();
    const std::string dcdc = window->StatusPanelWindow()->ItemText(S::DcdcState).toStdString();
    std::vector<uint8_t> shortStatus(ExampleStatus.begin(), ExampleStatus.end() - 1);
    window->HandleReport(HArray(static_cast<int32_t>(shortStatus.size()), shortStatus.data()));
    window->HandleReport(Report({0xB2, 0x02, 0x06}, 23));
    window->HandleReport(Report({0x55, 0x01}));
    EXPECT_EQ(Title(), title);
    EXPECT_EQ(window->StatusPanelWindow()->ItemText(S::DcdcState).toStdString(), dcdc);
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(WindowFixture, SaveButtonCaptionFollowsTheVoltageConfiguration)
{
    StartAndDrain();
    std::vector<uint8_t> status = ExampleStatus;
    window->HandleReport(Report(status));
    EXPECT_EQ(Text(C::SetAndSaveVoltage), "Set and save VOut (Voltage 5)");
    // The caption is written only when the configuration changes, so a
    // caption changed in between stays until then.
    window->SetItemText(C::SetAndSaveVoltage, "marker");
    window->HandleReport(Report(status));
    EXPECT_EQ(Text(C::SetAndSaveVoltage), "marker");
    status[1] = 0x0C; // configuration 3
    window->HandleReport(Report(status));
    EXPECT_EQ(Text(C::SetAndSaveVoltage), "Set and save VOut (Voltage 3)");
}

TEST_F(WindowFixture, CommandRepliesShowStepsOrErrors)
{
    struct Case
    {
        std::vector<uint8_t> reply;
        const char* steps;
        std::vector<std::string> messages;
    };
    const Case cases[] = {
        {{0xB2, 0x00, 0x13, 0x2A}, "42", {}},
        {{0xB2, 0x01, 0x13}, "undefined", {}},
        {{0xB2, 0x02, 0x06}, "7", {"Error 2 for message 06"}},
        {{0xB2, 0x03, 0x0C}, "7", {"Error 3 for message 0C"}},
        {{0xB2, 0x00, 0x06}, "7", {}},
    };
    StartAndDrain();
    for (const Case& c : cases)
    {
        SCOPED_TRACE(testing::PrintToString(c.reply));
        window->StatusPanelWindow()->SetRegulatorSteps("7");
        boxes.shown.clear();
        window->HandleReport(Report(c.reply));
        EXPECT_EQ(RegulatorSteps(), c.steps);
        EXPECT_EQ(boxes.shown, c.messages);
    }
}

TEST_F(WindowFixture, MemoryRepliesCompleteTheParameterBlockOnlyInOrder)
{
    struct Case
    {
        std::vector<uint8_t> addressLows;
        bool enabled; // the copy is complete and editing enabled
    };
    const Case cases[] = {
        {{0xC0, 0xD0, 0xE0, 0xF0}, true},
        {{0xF0, 0xC0, 0xD0, 0xE0}, false},
        {{0xC0, 0xD0, 0xE8, 0xF0}, false}, // not a quarter's start
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(testing::PrintToString(c.addressLows));
        StartAndDrain();
        window->SettingsPanelWindow()->ResetBlock(true);
        for (uint8_t low : c.addressLows)
            window->HandleReport(Report({0xA2, low, 0x3F, 0x00, 16, low, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}));
        EXPECT_EQ(window->IsItemEnabled(C::SetAndSaveVoltage), c.enabled);
        EXPECT_EQ(window->SettingsPanelWindow()->IsItemEnabled(SettingsPanelControl::Save), c.enabled);
        if (c.enabled)
        {
            EXPECT_EQ(window->SettingsPanelWindow()->Block()[0x30], 0xF0);
        }
        window.reset();
    }
}

TEST_F(WindowFixture, MemoryRepliesOutsideTheBlockOrWithAnotherCountGoNowhere)
{
    StartAndDrain();
    const ParameterBlock before = window->SettingsPanelWindow()->Block();
    const std::vector<std::vector<uint8_t>> strays = {
        {0xA2, 0xF0, 0x3B, 0x00, 16, 0x11},  // 0x3BF0, below script memory
        {0xA2, 0xF8, 0x3F, 0x00, 16, 0x11},  // 0x3FF8, inside the block but no quarter
        {0xA2, 0xC0, 0x3F, 0x00, 8, 0x11},   // count 8
        {0xA2, 0xC0, 0x3F, 0x01, 16, 0x11},  // 0x13FC0
    };
    for (const auto& stray : strays)
        window->HandleReport(Report(stray));
    EXPECT_EQ(window->SettingsPanelWindow()->Block(), before);
    EXPECT_TRUE(window->SettingsPanelWindow()->IsBlockComplete());
}

TEST_F(WindowFixture, DisconnectReportLeavesTheEditingPanels)
{
    struct Case
    {
        int button;
        std::vector<uint8_t> report;
        bool disconnected;
    };
    const Case cases[] = {
        {C::ScriptButton, {0xFF, 0x01}, true},
        {C::SettingsButton, {0xFF, 0x01}, true},
        {C::StatusButton, {0xFF, 0x01}, true},
        {C::ScriptButton, {0xFF, 0x02}, false},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.button);
        StartAndDrain();
        Click(c.button);
        Drain();
        window->HandleReport(Report(c.report));
        EXPECT_EQ(Title() == "QUORREL DEVICE DISCONNECTED!", c.disconnected);
        EXPECT_EQ(window->IsItemEnabled(C::SettingsButton), !c.disconnected);
        EXPECT_EQ(window->IsItemEnabled(C::ScriptButton), !c.disconnected);
        EXPECT_EQ(window->IsItemEnabled(C::SetAndSaveVoltage), !c.disconnected);
        const int expectedPanel = c.disconnected ? CQuorrelDlg::StatusPanel
                                  : c.button == C::ScriptButton ? CQuorrelDlg::ScriptPanel
                                                                : CQuorrelDlg::StatusPanel;
        EXPECT_EQ(window->CurrentPanel(), expectedPanel);
        window.reset();
    }
}
