#pragma once

#include "support/HArray.h"

class HIDDevice;

// The receiver of an HIDDevice's reports. Attaching makes it the device's
// receiver; destroying it detaches it, after which the device delivers
// nothing more to it, and no delivery is still in progress.
//
// The most derived class attaches at the end of its constructor: the reader
// thread may deliver at once, and must never see a half-built receiver.
class HIDInterface
{
public:
    // device may be null. Does not attach yet: see Attach.
    explicit HIDInterface(HIDDevice* device);
    HIDInterface(const HIDInterface&) = delete;
    HIDInterface& operator=(const HIDInterface&) = delete;
    virtual ~HIDInterface();

    // A complete input report has arrived; called on the device's reader thread.
    virtual bool OnReport(const HArray& report) = 0;
    // A write found the device no longer connected; called on the writer's thread.
    virtual bool OnDeviceGone() = 0;

    HIDDevice* Device() const { return m_device; }

protected:
    // Makes this object the device's receiver; called last by the constructor
    // of the most derived class.
    void Attach();
    // Stops deliveries to this receiver and waits for one in progress. A
    // subclass whose handlers use its own members calls this first thing in
    // its destructor, before those members are destroyed.
    void Detach();

    HIDDevice* m_device;
};
