#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>

#include "model/ParameterTable.h"
#include "model/ValueCodecs.h"
#include "tests/ui/UiFixture.h"

namespace
{
namespace C = MainWindowControl;
using Bytes = std::vector<uint8_t>;

const Bytes StatusRequest = {0x81, 0, 0, 0};
const Bytes ConnectInit = {0xB1, 7, 0, 0};
const Bytes RegulatorStepQuery = {0xB1, 19, 0, 0};
const std::vector<Bytes> ParameterBlockReads = {
    {0xA1, 0xC0, 0x3F, 0, 16}, {0xA1, 0xD0, 0x3F, 0, 16}, {0xA1, 0xE0, 0x3F, 0, 16}, {0xA1, 0xF0, 0x3F, 0, 16}};

std::vector<Bytes> Concat(std::vector<Bytes> first, const std::vector<Bytes>& then)
{
    first.insert(first.end(), then.begin(), then.end());
    return first;
}

} // namespace

TEST(MainWindowWithoutDevice, SaysSoOnceAndSendsNothing)
{
    ManualClock clock;
    SimulatedHidBus bus(clock);
    HidDeviceInfo other = SimulatedHidBus::PowerSupplyInfo();
    other.productId = static_cast<uint16_t>(DeviceProductId + 1);
    const int decoy = bus.AddDecoy(other);
    RecordedMessageBoxes boxes;

    testing::internal::CaptureStdout();
    CQuorrelDlg window(bus, clock);
    window.OnInitDialog();
    testing::internal::GetCapturedStdout();

    EXPECT_EQ(boxes.shown, std::vector<std::string>{"Device not found"});
    EXPECT_EQ(window.windowTitle().toStdString(), "QUORREL DEVICE DISCONNECTED!");
    EXPECT_FALSE(window.IsItemEnabled(C::SettingsButton));
    EXPECT_FALSE(window.IsItemEnabled(C::ScriptButton));
    EXPECT_TRUE(window.IsItemEnabled(C::SetAndSaveVoltage)) << "stays enabled when no device was found";
    EXPECT_EQ(window.RunningTimerCount(), 0);
    EXPECT_EQ(window.Connection(), nullptr);
    EXPECT_EQ(window.CurrentPanel(), CQuorrelDlg::StatusPanel);
    EXPECT_TRUE(window.StatusPanelWindow()->isVisibleTo(&window));
    EXPECT_EQ(window.height(), window.TemplateSize().height());

    // Without a connection the controls still act on the window, and nothing is sent.
    window.ButtonControl(C::AuxOutput)->click();
    EXPECT_TRUE(window.IsChecked(C::AuxOutput));
    window.SetItemText(C::VoltageEntry, "12");
    window.ButtonControl(C::SetAndSaveVoltage)->click();
    EXPECT_EQ(window.StatusPanelWindow()->RegulatorSteps().toStdString(), "undefined");
    EXPECT_TRUE(bus.WrittenReports(decoy).empty());
    EXPECT_EQ(boxes.shown.size(), 1u);
}

TEST_F(WindowFixture, StartUpConnectsReadsTheBlockAndTheFirstStatusSetsTheTitle)
{
    Start();
    EXPECT_EQ(Written(0, 5), Concat({{0x81, 0, 0, 0, 0}, {0xB1, 7, 0, 0, 0}}, ParameterBlockReads));
    EXPECT_EQ(window->TimerPeriod(CQuorrelDlg::DrainTimer), 200);
    EXPECT_EQ(window->TimerPeriod(CQuorrelDlg::PollTimer), 1000);
    EXPECT_EQ(Title(), "QUORREL DEVICE DISCONNECTED!");
    EXPECT_EQ(RegulatorSteps(), "undefined");
    EXPECT_FALSE(window->IsItemEnabled(C::SetAndSaveVoltage)) << "disabled until the block is read";
    EXPECT_TRUE(boxes.shown.empty());

    Drain();
    EXPECT_EQ(Title(), "QUORREL ver: 4.3 mode: 01 (Automotive)");
    EXPECT_EQ(Text(C::SetAndSaveVoltage), "Set and save VOut (Voltage 0)");
    EXPECT_EQ(Text(C::VoltageIn), "12.93");
    EXPECT_TRUE(window->IsItemEnabled(C::SetAndSaveVoltage));
    EXPECT_TRUE(window->SettingsPanelWindow()->IsBlockComplete());
}

TEST_F(WindowFixture, PollAlternatesStatusAndRegulatorStepsOnlyAboveFirmware12)
{
    for (uint8_t firmware : {uint8_t{0x22}, uint8_t{0x23}})
    {
        SCOPED_TRACE(int(firmware));
        Supply().SetFirmwareByte(firmware);
        StartAndDrain();
        const size_t before = WrittenCount();
        for (int tick = 0; tick < 4; ++tick)
            window->OnTimer(CQuorrelDlg::PollTimer);
        std::vector<Bytes> expected = {StatusRequest, StatusRequest};
        if (firmware > 0x22)
            expected = {StatusRequest, RegulatorStepQuery, StatusRequest, RegulatorStepQuery};
        EXPECT_EQ(Written(before), expected);

        Drain();
        EXPECT_EQ(RegulatorSteps(), firmware > 0x22 ? std::to_string(Supply().RegulatorSteps()) : "undefined");
        window.reset();
    }
}

TEST_F(WindowFixture, DeviceChangeWhileHealthyChangesNothing)
{
    StartAndDrain();
    const std::string title = Title();
    HIDQuorrel* connection = window->Connection();
    const size_t before = WrittenCount();

    window->DeviceChanged();

    EXPECT_EQ(Title(), title);
    EXPECT_EQ(window->Connection(), connection);
    EXPECT_EQ(window->TimerPeriod(CQuorrelDlg::PollTimer), 1000);
    EXPECT_EQ(WrittenCount(), before);
}

TEST_F(WindowFixture, LossShowsDisconnectedAndTheNextDeviceChangeReconnects)
{
    StartAndDrain();
    Click(C::ScriptButton);
    bus.Unplug(device);
    window->OnTimer(CQuorrelDlg::PollTimer); // the write fails: the connection queues the disconnect report
    window->OnTimer(CQuorrelDlg::DrainTimer);

    EXPECT_EQ(Title(), "QUORREL DEVICE DISCONNECTED!");
    EXPECT_FALSE(window->IsItemEnabled(C::SettingsButton));
    EXPECT_FALSE(window->IsItemEnabled(C::ScriptButton));
    EXPECT_FALSE(window->IsItemEnabled(C::SetAndSaveVoltage));
    EXPECT_EQ(window->CurrentPanel(), CQuorrelDlg::StatusPanel);
    EXPECT_TRUE(window->StatusPanelWindow()->isVisibleTo(window.get()));
    EXPECT_FALSE(window->ScriptPanelWindow()->isVisibleTo(window.get()));
    EXPECT_EQ(window->TimerPeriod(CQuorrelDlg::PollTimer), 1000) << "timers run on until the device change";

    const size_t before = WrittenCount();
    bus.Plug(device);
    window->DeviceChanged();

    EXPECT_EQ(Title(), "QUORREL Device Connected!");
    EXPECT_EQ(window->TimerPeriod(CQuorrelDlg::PollTimer), 500);
    EXPECT_EQ(window->TimerPeriod(CQuorrelDlg::DrainTimer), 200);
    EXPECT_TRUE(window->IsItemEnabled(C::SettingsButton));
    EXPECT_TRUE(window->IsItemEnabled(C::ScriptButton));
    EXPECT_EQ(Text(C::SetAndSaveVoltage), "Set and save VOut (Voltage X)");
    EXPECT_EQ(RegulatorSteps(), "undefined");
    EXPECT_EQ(Written(before, 5), Concat({{0x81, 0, 0, 0, 0}, {0xB1, 7, 0, 0, 0}}, ParameterBlockReads));

    Drain();
    EXPECT_EQ(Text(C::SetAndSaveVoltage), "Set and save VOut (Voltage 0)");
    EXPECT_EQ(Title(), "QUORREL ver: 4.3 mode: 01 (Automotive)");
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(WindowFixture, DeviceChangesReachTheWindowThroughItsEventQueue)
{
    StartAndDrain();
    bus.Unplug(device);
    window->OnTimer(CQuorrelDlg::PollTimer);
    Drain();
    ASSERT_EQ(Title(), "QUORREL DEVICE DISCONNECTED!");

    bus.Plug(device);
    ASSERT_TRUE(ProcessEventsUntil([&] { return Title() == "QUORREL Device Connected!"; }));
    ASSERT_NE(window->Connection(), nullptr);
    Drain();
    EXPECT_EQ(Title(), "QUORREL ver: 4.3 mode: 01 (Automotive)");
}

TEST_F(WindowFixture, PanelButtonsSwitchPanelsAndWindowHeight)
{
    struct Case
    {
        std::vector<int> clicks;
        int panel;
        bool collapsed;
        size_t blockReads; // parameter block reads sent by the clicks
    };
    const Case cases[] = {
        {{C::StatusButton}, CQuorrelDlg::StatusPanel, false, 0},
        {{C::MinimizeButton, C::MinimizeButton}, CQuorrelDlg::NoPanel, true, 0},
        {{C::SettingsButton, C::ScriptButton, C::MinimizeButton, C::StatusButton}, CQuorrelDlg::StatusPanel, false, 4},
        {{C::MinimizeButton, C::SettingsButton}, CQuorrelDlg::SettingsPanel, false, 4},
        {{C::SettingsButton, C::SettingsButton}, CQuorrelDlg::SettingsPanel, false, 4},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(testing::PrintToString(c.clicks));
        StartAndDrain();
        const int fullHeight = window->TemplateSize().height();
        const int width = window->width();
        EXPECT_EQ(window->height(), fullHeight);
        const size_t before = WrittenCount();

        for (int button : c.clicks)
        {
            Click(button);
            Drain();
        }

        EXPECT_EQ(window->CurrentPanel(), c.panel);
        EXPECT_EQ(window->height(), c.collapsed ? fullHeight - 420 : fullHeight);
        EXPECT_EQ(window->width(), width);
        const std::pair<int, QWidget*> panels[] = {{CQuorrelDlg::StatusPanel, window->StatusPanelWindow()},
                                                   {CQuorrelDlg::SettingsPanel, window->SettingsPanelWindow()},
                                                   {CQuorrelDlg::ScriptPanel, window->ScriptPanelWindow()}};
        for (const auto& [number, panel] : panels)
            EXPECT_EQ(panel->isVisibleTo(window.get()), number == c.panel) << "panel " << number;
        for (int button : {C::StatusButton, C::SettingsButton, C::ScriptButton, C::MinimizeButton})
            EXPECT_EQ(window->IsChecked(button), button == c.clicks.back()) << "button " << button;
        size_t reads = 0;
        for (const Bytes& command : Written(before, 3))
            reads += command == Bytes{0xA1, 0xC0, 0x3F} || command == Bytes{0xA1, 0xD0, 0x3F} ||
                     command == Bytes{0xA1, 0xE0, 0x3F} || command == Bytes{0xA1, 0xF0, 0x3F};
        EXPECT_EQ(reads, c.blockReads);
        window.reset();
    }
}

TEST_F(WindowFixture, PanelsSitBelowTheTopRowAtTheirPixelPlace)
{
    StartAndDrain();
    for (QWidget* panel : {static_cast<QWidget*>(window->StatusPanelWindow()),
                           static_cast<QWidget*>(window->SettingsPanelWindow()),
                           static_cast<QWidget*>(window->ScriptPanelWindow())})
        EXPECT_EQ(panel->geometry(), QRect(15, 150, 540, 400));
}

TEST_F(WindowFixture, VoltageButtonsCheckTheEntryAndSendTheCode)
{
    struct Case
    {
        const char* entry;
        std::optional<double> volts; // sent as its output-voltage code; nothing: refused
        bool message;
    };
    const Case cases[] = {
        {"12", 12.0, false},
        {"4.99", std::nullopt, true},
        {"25.01", std::nullopt, true},
        {"abc", std::nullopt, true},
        {"5", 5.0, false},
        {"25", 25.0, false},
        {"  7.5V", 7.5, false},
        {"12.3456789", 12.34567, false},
        {"", std::nullopt, false},
    };
    StartAndDrain();
    for (int button : {C::SetVoltageVolatile, C::SetAndSaveVoltage})
    {
        for (const Case& c : cases)
        {
            SCOPED_TRACE(std::string(c.entry) + " on " + std::to_string(button));
            window->StatusPanelWindow()->SetRegulatorSteps("42");
            boxes.shown.clear();
            const size_t before = WrittenCount();
            window->SetItemText(C::VoltageEntry, c.entry);

            Click(button);
            Drain();

            const auto sent = Written(before);
            if (c.volts)
            {
                ASSERT_FALSE(sent.empty());
                EXPECT_EQ(sent.front(), (Bytes{0xB1, 6, VoltsToOutputCode(*c.volts), 0}));
                EXPECT_EQ(RegulatorSteps(), "undefined");
            }
            else
            {
                EXPECT_TRUE(sent.empty());
                EXPECT_EQ(RegulatorSteps(), "42");
            }
            EXPECT_EQ(boxes.shown, c.message ? std::vector<std::string>{"Voltage range: 5-25V"} : std::vector<std::string>{});
        }
    }
}

TEST_F(WindowFixture, SetAndSaveStoresTheVoltageOfTheConfigurationInForce)
{
    Supply().SetVoltageConfig(3);
    StartAndDrain();
    ASSERT_EQ(Text(C::SetAndSaveVoltage), "Set and save VOut (Voltage 3)");
    const std::vector<uint8_t> blockBefore = Supply().ReadMemory(ParameterBlockBase, ParameterBlockSize);
    const int slot = *FindParameterSlot("Voltage 3");
    const int offset = ParameterAt(slot).offset;
    window->SetItemText(C::VoltageEntry, "12.3456789");

    Click(C::SetAndSaveVoltage);
    Drain();

    ParameterBlock expected;
    std::copy(blockBefore.begin(), blockBefore.end(), expected.begin());
    ASSERT_TRUE(StoreParameter(expected, slot, "12.3456789"));
    EXPECT_NE(expected[offset], blockBefore[offset]);
    EXPECT_EQ(Supply().ReadMemory(ParameterBlockBase, ParameterBlockSize), std::vector<uint8_t>(expected.begin(), expected.end()))
        << "only Voltage 3 changes";
    EXPECT_TRUE(window->SettingsPanelWindow()->IsBlockComplete()) << "read back after the store";
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(WindowFixture, OutputButtonsSendTheirNewState)
{
    struct Case
    {
        int button;
        Bytes sent;
    };
    // The simulated supply starts with VOut on and the other two off.
    const Case cases[] = {
        {C::AuxOutput, {0xB1, 1, 1, 0}},
        {C::PowerSwitch, {0xB1, 2, 1, 0}},
        {C::VOutOn, {0xB1, 3, 0, 0}},
    };
    StartAndDrain();
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.button);
        const size_t before = WrittenCount();
        Click(c.button);
        EXPECT_EQ(Written(before), std::vector<Bytes>{c.sent});
    }
    Drain();
    window->OnTimer(CQuorrelDlg::PollTimer);
    Drain();
    EXPECT_TRUE(window->IsChecked(C::AuxOutput));
    EXPECT_TRUE(window->IsChecked(C::PowerSwitch));
    EXPECT_FALSE(window->IsChecked(C::VOutOn));
}

TEST_F(WindowFixture, RegulatorStepButtonsActOnlyInConverterState07)
{
    struct Case
    {
        uint8_t state;
        int button;
        std::vector<Bytes> sent;
    };
    const Case cases[] = {
        {0x07, C::StepUp, {{0xB1, 12, 0, 0}}},
        {0x07, C::StepDown, {{0xB1, 13, 0, 0}}},
        {0x05, C::StepUp, {}},
        {0x70, C::StepDown, {}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(std::to_string(c.state) + " " + std::to_string(c.button));
        Supply().SetConverterState(c.state);
        StartAndDrain();
        const size_t before = WrittenCount();
        Click(c.button);
        EXPECT_EQ(Written(before), c.sent);
        window.reset();
    }
}
