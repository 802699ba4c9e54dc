// quorrel-demo: the programmer's window on a simulated power supply, with a
// "Simulated device" window to unplug, replug and change its voltages.

#include <QApplication>

#include "sim/SimulatedHidBus.h"
#include "ui/CQuorrelDlg.h"
#include "ui/demo/SimulatedDeviceWindow.h"

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorrel"));
    QApplication::setApplicationDisplayName(QStringLiteral("Quorrel"));

    SimulatedHidBus bus;
    const int device = bus.AddPowerSupply();
    SimulatedDeviceWindow deviceWindow(bus, device);
    deviceWindow.show();

    CQuorrelDlg dialog(bus);
    dialog.OnInitDialog();
    deviceWindow.move(dialog.frameGeometry().topRight() + QPoint(16, 0));
    dialog.exec();
    return 0;
}
