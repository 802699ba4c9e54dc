#pragma once

#include <chrono>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <QAbstractButton>
#include <QApplication>
#include <gtest/gtest.h>

#include "device/DeviceIdentity.h"
#include "resources/ResourceIds.h"
#include "sim/SimulatedHidBus.h"
#include "support/Clock.h"
#include "ui/CPanelScripts.h"
#include "ui/CPanelSettings.h"
#include "ui/CPanelStatus.h"
#include "ui/CQuorrelDlg.h"
#include "ui/kit/MessageBoxes.h"

// Message boxes answered by the test: every text shown is recorded, and each
// box takes the next queued answer (OK or Yes when none is queued).
class RecordedMessageBoxes final : public MessageBoxes
{
public:
    RecordedMessageBoxes() { m_previous = InstallMessageBoxes(this); }
    ~RecordedMessageBoxes() override { InstallMessageBoxes(m_previous); }

    MessageAnswer Show(QWidget*, const QString& text, MessageButtons buttons) override
    {
        shown.push_back(text.toStdString());
        if (!answers.empty())
        {
            MessageAnswer answer = answers.front();
            answers.pop_front();
            return answer;
        }
        return buttons == MessageButtons::YesNo ? MessageAnswer::Yes : MessageAnswer::Ok;
    }

    std::vector<std::string> shown;
    std::deque<MessageAnswer> answers;

private:
    MessageBoxes* m_previous = nullptr;
};

// Runs the GUI thread's events until the condition holds, for what another
// thread hands over through the event queue (device changes). The bound only
// stops a broken test from hanging.
inline bool ProcessEventsUntil(const std::function<bool()>& condition)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!condition())
    {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        QCoreApplication::processEvents();
        std::this_thread::yield();
    }
    return true;
}

// The main window on a simulated bus with one power supply, on virtual time
// that still lets the device's reader thread run.
class WindowFixture : public testing::Test
{
protected:
    ManualClock clock;
    SimulatedHidBus bus{clock};
    int device = bus.AddPowerSupply();
    RecordedMessageBoxes boxes;
    std::unique_ptr<CQuorrelDlg> window;

    WindowFixture()
    {
        clock.SetSleepHook([](uint32_t) { std::this_thread::sleep_for(std::chrono::microseconds(100)); });
    }
    ~WindowFixture() override { window.reset(); }

    SimulatedPowerSupply& Supply() { return bus.PowerSupply(device); }

    void Start()
    {
        window = std::make_unique<CQuorrelDlg>(bus, clock);
        window->OnInitDialog();
    }

    // Everything the device has answered so far reaches the window, as the
    // drain timer's next tick would hand it over.
    void Drain()
    {
        if (bus.IsPlugged(device))
        {
            ASSERT_TRUE(bus.AwaitBlockedRead(device));
        }
        window->OnTimer(CQuorrelDlg::DrainTimer);
    }

    void StartAndDrain()
    {
        Start();
        Drain();
    }

    // The commands written to the device from `from` on, each cut to its
    // first `bytes` bytes (the rest is padding).
    std::vector<std::vector<uint8_t>> Written(size_t from = 0, size_t bytes = 4) const
    {
        std::vector<std::vector<uint8_t>> cut;
        auto all = bus.WrittenReports(device);
        for (size_t i = from; i < all.size(); ++i)
            cut.emplace_back(all[i].begin(), all[i].begin() + std::min(bytes, all[i].size()));
        return cut;
    }
    size_t WrittenCount() const { return bus.WrittenReports(device).size(); }

    void Click(int id) { window->ButtonControl(id)->click(); }
    std::string Text(int id) const { return window->ItemText(id).toStdString(); }
    std::string Title() const { return window->windowTitle().toStdString(); }
    std::string RegulatorSteps() const { return window->StatusPanelWindow()->RegulatorSteps().toStdString(); }
};

// A report as the device sends it: the bytes given, then zeros up to 24.
inline HArray Report(std::vector<uint8_t> bytes, size_t length = DeviceReportLength)
{
    bytes.resize(length, 0);
    return HArray(static_cast<int32_t>(bytes.size()), bytes.data());
}
