// The window on the simulated power supply, as quorrel-demo starts it, ending
// as soon as the first status report has set the window title. bench/run
// times the whole process from outside: start to first status.

#include <QApplication>
#include <QTimer>

#include "model/ReportDecoder.h"
#include "sim/SimulatedHidBus.h"
#include "ui/CQuorrelDlg.h"

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    SimulatedHidBus bus;
    bus.AddPowerSupply();
    CQuorrelDlg dialog(bus);
    dialog.OnInitDialog();
    dialog.show();
    QObject::connect(&dialog, &QWidget::windowTitleChanged, &dialog, [&](const QString& title) {
        if (title.startsWith(QStringLiteral("QUORREL ver:")))
            dialog.reject();
    });
    dialog.exec();
    return 0;
}
