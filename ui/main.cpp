// quorrel: the programmer and live monitor on the real HID bus.

#include <QApplication>

#include "device/hid/linux/UdevHidBus.h"
#include "ui/CQuorrelApp.h"

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    UdevHidBus bus;
    CQuorrelApp quorrel(bus);
    quorrel.InitInstance();
    return 0;
}
