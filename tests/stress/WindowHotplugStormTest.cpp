// The window through a thousand unplug and replug cycles while it polls:
// each loss is shown, each plug reconnects through the detector's queued
// call, and no report reaches a connection that is gone (the sanitizer
// build would catch it).

#include "tests/ui/UiFixture.h"

TEST_F(WindowFixture, ThousandReplugsWhilePolling)
{
    StartAndDrain();
    constexpr int Cycles = 1000;
    for (int cycle = 0; cycle < Cycles; ++cycle)
    {
        SCOPED_TRACE(cycle);
        window->OnTimer(CQuorrelDlg::PollTimer);
        bus.Unplug(device);
        window->OnTimer(CQuorrelDlg::PollTimer); // one of the two ticks writes after the unplug
        window->OnTimer(CQuorrelDlg::PollTimer);
        window->OnTimer(CQuorrelDlg::DrainTimer);
        ASSERT_TRUE(ProcessEventsUntil([&] { return Title() == "QUORREL DEVICE DISCONNECTED!"; }));

        bus.Plug(device);
        ASSERT_TRUE(ProcessEventsUntil([&] { return window->Connection() != nullptr && Title() == "QUORREL Device Connected!"; }));
        window->OnTimer(CQuorrelDlg::PollTimer);
        Drain();
        ASSERT_EQ(Title(), "QUORREL ver: 4.3 mode: 01 (Automotive)");
    }
    // Device changes still queued from the storm find a healthy connection.
    QCoreApplication::processEvents();
    EXPECT_NE(window->Connection(), nullptr);
    EXPECT_EQ(bus.OpenPortCount(device), 1);
    EXPECT_TRUE(boxes.shown.empty());
}
