#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>

#include "device/HIDDescriptor.h"
#include "device/hid/HidBus.h"
#include "support/HArray.h"
#include "support/HThread.h"

class HIDInterface;

// One opened HID device: writes output reports on the caller's thread, and
// reads input reports on its own reader thread ("HIDDevice"), reassembles
// them to the input report length and hands each to its receiver.
//
// States: open (m_open, m_reading), failed (opening failed; reader idles),
// gone (a write found the device disconnected; reader idles), closed.
class HIDDevice : public HThread
{
public:
    static constexpr uint32_t ReaderSleepMs = 10;

    // Takes ownership of descriptor, opens its path on bus and starts the
    // reader. Never fails: a device that could not be opened has IsOpen() false.
    HIDDevice(HIDDescriptor* descriptor, HidBus& bus, Clock& clock = Clock::System());
    // Closes (whatever the state: a device that disappeared releases its
    // port too), deletes the descriptor, stops the reader.
    ~HIDDevice() override;

    // Pads command with zeros to the output report length and writes it. A
    // first write that finds the device gone marks it not open and tells the
    // receiver once.
    bool Write(const HArray& command);
    // Stops reading and releases the port; only while open.
    void Close();

    bool IsOpen() const { return m_open; }
    bool IsReading() const;
    const HIDDescriptor* Descriptor() const { return m_descriptor; }

    // The reader's body; runs on the reader thread.
    void Run() override;

private:
    friend class HIDInterface;
    struct Reader;

    void Open(HidBus& bus);
    void SetReceiver(HIDInterface* receiver);
    // Clears the receiver only if it is still receiver.
    void ClearReceiver(HIDInterface* receiver);
    void Release();

    HIDDescriptor* m_descriptor;
    // Everything the reader thread touches lives here, shared with the
    // thread, so that even a reader abandoned by Stop never touches a
    // destroyed device.
    std::shared_ptr<Reader> m_reader;
    std::atomic<bool> m_open{false};
    bool m_released = false; // closed or being destroyed; owner's thread only
};
