#include <QComboBox>
#include <QLineEdit>
#include <QTimer>

#include "device/QuorrelProtocol.h"
#include "model/ScriptStep.h"
#include "tests/ui/UiFixture.h"
#include "ui/CPanelScripts.h"
#include "ui/CSleepDialog.h"

namespace
{
namespace C = ScriptPanelControl;
using Bytes = std::vector<uint8_t>;

std::vector<Bytes> BlockReads(uint32_t block)
{
    std::vector<Bytes> reads;
    for (uint32_t address = block; address < block + 64; address += 16)
        reads.push_back({0xA1, uint8_t(address), uint8_t(address >> 8), 0, 16});
    return reads;
}

// Every step different, so a step written into the wrong place shows.
std::vector<uint8_t> NumberedScript()
{
    std::vector<uint8_t> memory(0x3C0);
    for (size_t step = 0; step < 60; ++step)
    {
        ScriptBlock block{};
        ScriptStepView view;
        view.vOutT1State = StateItemOn;
        view.playNextStep = step % 2 == 0;
        view.voltage = "12.00";
        view.vOutT1Time = "00:00:0" + std::to_string(step % 10);
        view.vOutT2Time = view.vAuxT1Time = view.vAuxT2Time = "Never";
        view.vPwsT1Time = std::to_string(10 * (step + 1));
        view.vPwsT2Time = "Never";
        view.globalWaitTime = "00:01:00";
        EXPECT_TRUE(EncodeScriptStep(view, block, 0).Ok());
        std::copy(block.begin(), block.begin() + 16, memory.begin() + 16 * step);
    }
    return memory;
}
} // namespace

class ScriptPanel : public WindowFixture
{
protected:
    void SetUp() override
    {
        Supply().WriteMemory(0x3C00, NumberedScript());
        StartAndDrain();
    }
    CPanelScripts& Panel() { return *window->ScriptPanelWindow(); }
    void SelectStep(int step) { Panel().ListControl(C::StepList)->setCurrentIndex(step - 1); }
    std::string PanelText(int id) { return Panel().ItemText(id).toStdString(); }
    void ClickPanel(int id) { Panel().ButtonControl(id)->click(); }
    void ShowScript()
    {
        Click(MainWindowControl::ScriptButton);
        Drain();
    }
    std::vector<uint8_t> Step(int step) { return Supply().ReadMemory(0x3C00 + 16 * (step - 1), 16); }
};

TEST_F(ScriptPanel, ReadsTheSelectedStepsBlockOnlyWhenItChanges)
{
    EXPECT_EQ(PanelText(C::StepList), "1");
    EXPECT_EQ(Panel().ListControl(C::StepList)->count(), 60);
    size_t from = WrittenCount();
    Click(MainWindowControl::ScriptButton);
    EXPECT_EQ(Written(from, 5), BlockReads(0x3C00));
    EXPECT_FALSE(Panel().IsItemEnabled(C::SaveChanges)) << "while the block is read";
    Drain();
    EXPECT_TRUE(Panel().IsItemEnabled(C::SaveChanges));
    EXPECT_EQ(PanelText(C::PwsT1Time), "10");

    struct Case
    {
        int step;
        std::vector<Bytes> reads;
        const char* pwsT1; // shows the step's own bytes
    };
    const Case cases[] = {
        {2, {}, "20"}, {4, {}, "40"}, {3, {}, "30"}, {5, BlockReads(0x3C40), "50"}, {60, BlockReads(0x3F80), "600"}, {58, {}, "580"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.step);
        from = WrittenCount();
        SelectStep(c.step);
        EXPECT_EQ(Written(from, 5), c.reads);
        Drain();
        EXPECT_EQ(PanelText(C::PwsT1Time), c.pwsT1);
    }

    from = WrittenCount();
    Click(MainWindowControl::ScriptButton); // already shown
    EXPECT_EQ(WrittenCount(), from);
    Click(MainWindowControl::StatusButton);
    Click(MainWindowControl::ScriptButton);
    EXPECT_EQ(Written(from, 5), BlockReads(0x3F80)) << "every switch to the panel reads again";
}

TEST_F(ScriptPanel, SavingAStepRewritesItsBlockWithTheOtherThreeAsRead)
{
    ShowScript();
    SelectStep(6);
    Drain();
    Panel().SetItemText(C::PwsT1Time, "1230");
    const size_t from = WrittenCount();
    const auto step5 = Step(5), step7 = Step(7), step8 = Step(8);

    ClickPanel(C::SaveChanges);

    auto sent = Written(from, 21);
    ASSERT_EQ(sent.size(), 5u);
    EXPECT_EQ(Bytes(sent[0].begin(), sent[0].begin() + 5), (Bytes{0xA5, 0x40, 0x3C, 0, 64}));
    for (int k = 0; k < 4; ++k)
        EXPECT_EQ(Bytes(sent[1 + k].begin(), sent[1 + k].begin() + 5), (Bytes{0xA3, uint8_t(0x40 + 16 * k), 0x3C, 0, 16}));
    EXPECT_EQ(Step(5), step5);
    EXPECT_EQ(Step(7), step7);
    EXPECT_EQ(Step(8), step8);
    EXPECT_EQ(Step(6)[StepField::VPwsT1Time], 0);
    EXPECT_EQ(Step(6)[StepField::VPwsT1Time + 1], 123) << "10 ms units";
    EXPECT_TRUE(boxes.shown.empty()) << "a successful save says nothing";
}

TEST_F(ScriptPanel, TwoSavesInOneBlockKeepBothChanges)
{
    ShowScript();
    Panel().SetItemText(C::PwsT1Time, "70");
    ClickPanel(C::SaveChanges);
    Drain(); // the echoes update the panel's copy
    SelectStep(2);
    Panel().SetItemText(C::PwsT1Time, "80");
    ClickPanel(C::SaveChanges);
    Drain();

    EXPECT_EQ(Step(1)[StepField::VPwsT1Time + 1], 7);
    EXPECT_EQ(Step(2)[StepField::VPwsT1Time + 1], 8);
    SelectStep(1);
    EXPECT_EQ(PanelText(C::PwsT1Time), "70");
}

TEST_F(ScriptPanel, SkipThisStepGreysTheFieldsAndSavesAZeroWait)
{
    std::vector<uint8_t> zeroWait = {0, 0};
    Supply().WriteMemory(0x3C00 + 16 * 2 + StepField::GlobalWaitTime, zeroWait); // step 3
    ShowScript();
    SelectStep(3);
    EXPECT_TRUE(Panel().IsChecked(C::SkipThisStep));
    EXPECT_FALSE(Panel().IsItemEnabled(C::OutputVoltage));
    EXPECT_FALSE(Panel().IsItemEnabled(C::GlobalWaitTime));
    EXPECT_TRUE(Panel().IsItemEnabled(C::SaveChanges));

    ClickPanel(C::SkipThisStep); // unticked: the fields come back, and a zero wait is refused
    EXPECT_TRUE(Panel().IsItemEnabled(C::GlobalWaitTime));
    size_t from = WrittenCount();
    ClickPanel(C::SaveChanges);
    EXPECT_EQ(boxes.shown, std::vector<std::string>{"Global Wait Time cannot be 0!"});
    EXPECT_EQ(WrittenCount(), from);

    SelectStep(4);
    Panel().SetItemText(C::GlobalWaitTime, "00:05:00");
    ClickPanel(C::SkipThisStep); // ticked
    ClickPanel(C::SaveChanges);
    EXPECT_EQ(PanelText(C::GlobalWaitTime), "00:00:00");
    EXPECT_EQ(Step(4)[StepField::GlobalWaitTime], 0);
    EXPECT_EQ(Step(4)[StepField::GlobalWaitTime + 1], 0);
}

TEST_F(ScriptPanel, RefusedFieldsSendNothing)
{
    struct Case
    {
        int control;
        const char* text;
        const char* message;
    };
    const Case cases[] = {
        {C::OutputVoltage, "abc", "Wrong voltage!"},
        {C::VOutT2Time, "25:00:00", "Wrong timer: VOutT2!"},
        {C::PwsT1Time, "1e999", "Wrong timer: VPwsT1!"},
    };
    ShowScript();
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.text);
        ShowScript();
        Click(MainWindowControl::StatusButton);
        ShowScript(); // fresh fields from the device
        boxes.shown.clear();
        const size_t from = WrittenCount();
        Panel().SetItemText(c.control, c.text);
        ClickPanel(C::SaveChanges);
        EXPECT_EQ(boxes.shown, std::vector<std::string>{c.message});
        EXPECT_EQ(WrittenCount(), from);
        EXPECT_EQ(PanelText(c.control), c.text) << "the typed text stays";
    }
}

TEST_F(ScriptPanel, RepliesForOtherBlocksOrOutOfOrderChangeNothing)
{
    ShowScript();
    const ScriptBlock before = Panel().Block();
    std::vector<uint8_t> other = {0xA2, 0x40, 0x3C, 0x00, 16};
    other.resize(24, 0x99);
    window->HandleReport(Report(other));
    EXPECT_EQ(Panel().Block(), before);

    Click(MainWindowControl::StatusButton);
    Click(MainWindowControl::ScriptButton);
    ASSERT_TRUE(bus.AwaitBlockedRead(device));
    while (HArray* report = window->Connection()->PopReport())
        delete report; // the device's answers are lost
    for (uint8_t low : {0x30, 0x00, 0x10, 0x20})
    {
        std::vector<uint8_t> reply = {0xA2, low, 0x3C, 0x00, 16};
        reply.resize(24, 0x11);
        window->HandleReport(Report(reply));
    }
    EXPECT_FALSE(Panel().IsItemEnabled(C::SaveChanges)) << "the last quarter came first";
}

TEST_F(ScriptPanel, StartStopAndSaveNeedAConnection)
{
    ShowScript();
    size_t from = WrittenCount();
    ClickPanel(C::StartScript);
    ClickPanel(C::StopScript);
    EXPECT_EQ(Written(from), (std::vector<Bytes>{{0xB1, 16, 0, 0}, {0xB1, 17, 0, 0}}));

    bus.Unplug(device);
    window->OnTimer(CQuorrelDlg::PollTimer);
    window->DeviceChanged();
    ASSERT_EQ(window->Connection(), nullptr);
    ClickPanel(C::StartScript);
    ClickPanel(C::SaveChanges);
    EXPECT_EQ(boxes.shown, std::vector<std::string>{"No device connected!"});
}

TEST_F(ScriptPanel, SleepDialogChecksTheTimeAndSendsMinutes)
{
    struct Case
    {
        const char* text;
        std::optional<uint16_t> minutes; // nothing: refused
    };
    // The reading rules themselves are the model's; here: what the dialog does with them.
    const Case cases[] = {
        {"00:00:00", 0}, {"01:00:00", 1440}, {"45:12:15", 65535}, {"46:00:00", std::nullopt}, {"1:00:00", std::nullopt},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.text);
        boxes.shown.clear();
        CSleepDialog sleep(&Panel(), window.get());
        EXPECT_EQ(sleep.ItemText(SleepDialogControl::SleepTime).toStdString(), "00:00:00");
        sleep.SetItemText(SleepDialogControl::SleepTime, c.text);
        const size_t from = WrittenCount();
        sleep.ButtonControl(DialogCommand::Ok)->click();
        if (c.minutes)
        {
            EXPECT_EQ(Written(from), (std::vector<Bytes>{{0xB1, 18, uint8_t(*c.minutes >> 8), uint8_t(*c.minutes & 0xFF)}}));
            EXPECT_EQ(sleep.result(), QDialog::Accepted);
            EXPECT_TRUE(boxes.shown.empty());
        }
        else
        {
            EXPECT_EQ(WrittenCount(), from);
            EXPECT_EQ(boxes.shown, std::vector<std::string>{"Invalid or too big time - format is dd:hh:mm (max: 45:12:15)!"});
            EXPECT_EQ(sleep.ItemText(SleepDialogControl::SleepTime).toStdString(), c.text);
        }
    }

    CSleepDialog cancelled(&Panel(), window.get());
    const size_t from = WrittenCount();
    cancelled.ButtonControl(DialogCommand::Cancel)->click();
    EXPECT_EQ(WrittenCount(), from);
    EXPECT_EQ(cancelled.result(), QDialog::Rejected);
}

TEST_F(ScriptPanel, SleepButtonOpensAFreshDialog)
{
    ShowScript();
    std::string opened;
    QTimer::singleShot(0, [&] {
        if (QWidget* modal = QApplication::activeModalWidget())
        {
            opened = modal->windowTitle().toStdString();
            auto* sleep = dynamic_cast<CSleepDialog*>(modal);
            if (sleep)
                opened += " " + sleep->ItemText(SleepDialogControl::SleepTime).toStdString();
            modal->close();
        }
    });
    ClickPanel(C::Sleep);
    EXPECT_EQ(opened, "Sleep 00:00:00");
}
