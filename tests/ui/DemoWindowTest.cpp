#include <QAbstractButton>
#include <QPushButton>

#include "tests/ui/UiFixture.h"
#include "ui/demo/SimulatedDeviceWindow.h"

namespace
{
namespace C = MainWindowControl;

} // namespace

TEST_F(WindowFixture, DemoDeviceWindowMovesVoltagesAndSurvivesReplugging)
{
    SimulatedDeviceWindow deviceWindow(bus, device);
    StartAndDrain();

    deviceWindow.SetInputVolts(12.0);
    deviceWindow.SetIgnitionVolts(0.0);
    window->OnTimer(CQuorrelDlg::PollTimer);
    Drain();
    EXPECT_EQ(Text(C::VoltageIn), "12.00");
    EXPECT_EQ(Text(C::Ignition), "0.00");

    for (int cycle = 0; cycle < 3; ++cycle)
    {
        SCOPED_TRACE(cycle);
        deviceWindow.TogglePlugged(); // out
        ASSERT_FALSE(bus.IsPlugged(device));
        window->OnTimer(CQuorrelDlg::PollTimer);
        window->OnTimer(CQuorrelDlg::DrainTimer);
        ASSERT_TRUE(ProcessEventsUntil([&] { return Title() == "QUORREL DEVICE DISCONNECTED!"; }));

        deviceWindow.TogglePlugged(); // in
        ASSERT_TRUE(ProcessEventsUntil([&] { return Title() == "QUORREL Device Connected!"; }));
        Drain();
        EXPECT_EQ(Title(), "QUORREL ver: 4.3 mode: 01 (Automotive)");
        EXPECT_EQ(Text(C::VoltageIn), "12.00") << "the device keeps its state while unplugged";
    }
}
