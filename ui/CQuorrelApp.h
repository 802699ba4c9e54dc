#pragma once

#include "device/hid/HidBus.h"

// The application: runs the main window on the given HID bus until it is
// closed. A QApplication must exist.
class CQuorrelApp
{
public:
    explicit CQuorrelApp(HidBus& bus);

    // Start-up; returns false, so the program ends when the window closes.
    bool InitInstance();

private:
    HidBus& m_bus;
};
