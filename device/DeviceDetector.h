#pragma once

#include <memory>
#include <mutex>

#include "device/hid/HidBus.h"

// Tells its owner of every device plugged in or pulled out, through
// OnDeviceChange on a thread of its own; the owner decides what a change
// means and hands any work over to its own thread.
//
// The owner derives from the detector, so calls must not begin before the
// owner is complete nor go on while it is being destroyed: the owner calls
// StartDetecting at the end of its construction and StopDetecting first
// thing in its destructor.
class DeviceDetector
{
public:
    explicit DeviceDetector(HidBus& bus);
    DeviceDetector(const DeviceDetector&) = delete;
    DeviceDetector& operator=(const DeviceDetector&) = delete;
    virtual ~DeviceDetector();

    // Called once for every change, on the detector's thread.
    virtual void OnDeviceChange() = 0;

    // False when no watch could be set up: the owner then works without
    // hearing of changes.
    bool StartDetecting();
    // Waits for the detector's thread; afterwards no further call is made.
    // Never from within OnDeviceChange: the thread would wait for itself.
    void StopDetecting();
    bool IsDetecting() const;

private:
    HidBus& m_bus;
    mutable std::mutex m_mutex;
    std::unique_ptr<HidWatch> m_watch;
};
