#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

// The seam between the device link and the platform's HID access. It offers
// exactly what the link needs and no more; hidraw/libudev implement it on
// Linux, and the simulated bus implements it for tests and the demo.

// One present HID interface, as the discovery needs to see it.
struct HidDeviceInfo
{
    std::string path; // what Open takes
    bool openable = true; // false: present, but could not be opened to be queried (nothing else is known)
    uint16_t vendorId = 0xFFFF;
    uint16_t productId = 0xFFFF;
    std::optional<std::u16string> manufacturer; // absent: could not be read
    std::optional<std::u16string> product;      // absent: could not be read
    // Report lengths counted with the report-id position in byte 0, whether or
    // not the device numbers its reports. 0: capabilities unknown.
    uint16_t inputReportLength = 0;
    uint16_t outputReportLength = 0;
};

struct HidEnumeration
{
    // Non-zero when the set of devices could not be made at all (a platform
    // error code); devices is then empty.
    int error = 0;
    std::vector<HidDeviceInfo> devices; // in enumeration order
};

enum class HidWriteResult
{
    Ok,
    DeviceGone, // the device is no longer connected
    Failed,     // any other failure
};

enum class HidReadResult
{
    Data,       // count > 0 bytes were read
    Cancelled,  // CancelRead was called (now or earlier)
    DeviceGone, // the device is no longer connected
    Failed,     // any other failure
};

// One opened device. Write runs on the senders' thread, Read on the reader
// thread and CancelRead on the owner's thread, all at the same time: an
// implementation must allow that. Destroying the port releases it; the
// owner stops its reader first.
class HidPort
{
public:
    virtual ~HidPort() = default;

    // Writes one whole output report (byte 0: report-id position).
    virtual HidWriteResult Write(std::span<const uint8_t> report) = 0;

    // Blocks until input arrives (at most buffer.size() bytes, byte 0 the
    // report-id position), the port is cancelled, or the device is lost.
    virtual HidReadResult Read(std::span<uint8_t> buffer, size_t& count) = 0;

    // Ends a blocked Read at once; every later Read returns Cancelled too.
    virtual void CancelRead() = 0;
};

// A running watch for device changes. Destroying it stops its thread and
// waits for it: once the destructor returns, no further call is made.
class HidWatch
{
public:
    virtual ~HidWatch() = default;
};

class HidBus
{
public:
    using ChangeCallback = std::function<void()>;

    virtual ~HidBus() = default;

    virtual HidEnumeration Enumerate() = 0;

    // Opens path for reading and writing; null when it cannot be opened.
    virtual std::unique_ptr<HidPort> Open(const std::string& path) = 0;

    // Calls onChange once for every device added or removed, on a thread of
    // the watch's own. Null when no watch can be set up.
    virtual std::unique_ptr<HidWatch> Watch(ChangeCallback onChange) = 0;
};
