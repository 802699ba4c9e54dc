#pragma once

#include <cstdint>

#include "device/HIDDescriptor.h"
#include "device/HIDDevice.h"
#include "device/hid/HidBus.h"
#include "support/Clock.h"
#include "support/HList.h"

// Finds the power supply among the present HID devices and opens it. A
// device matches when its vendor and product ids, its manufacturer string
// (byte for byte, after narrowing) and both report lengths (24) are right;
// the first match in enumeration order is chosen. Diagnostics go to standard
// output, never to the user. Each search is independent.
class HIDDevices
{
public:
    explicit HIDDevices(HidBus& bus, Clock& clock = Clock::System());
    virtual ~HIDDevices() = default;

    // The first matching device, or null (with a line on standard output).
    // The caller owns the result.
    HIDDescriptor* ChooseDevice(const char* manufacturer);

    // Appends a new descriptor to list for every matching device, in
    // enumeration order.
    void FindDevices(HList<HIDDescriptor>& list, const char* manufacturer, uint16_t vendorId, uint16_t productId);

    // Opens the device; it takes the descriptor. Returned even when opening
    // failed: its IsOpen() tells.
    HIDDevice* OpenDevice(HIDDescriptor* descriptor);

private:
    HidBus& m_bus;
    Clock& m_clock;
};
