#pragma once

#include <cstdint>
#include <string>

#include "device/hid/HidBus.h"

// One device found by the discovery: where it is, who made it, and its report
// lengths. Owned by the discovery's list, then by whoever chose it, and
// finally by the HIDDevice made from it.
class HIDDescriptor
{
public:
    static constexpr const char* NotPresent = "- not present -";

    HIDDescriptor() = default;
    // Filled in from what the bus enumerated: strings narrowed (or
    // "- not present -"), ids, path and report lengths.
    explicit HIDDescriptor(const HidDeviceInfo& info);
    virtual ~HIDDescriptor() = default;

    char m_manufacturer[256] = {};
    char m_product[256] = {};
    uint16_t m_vendorId = 0xFFFF;
    uint16_t m_productId = 0xFFFF;
    std::string m_path;
    uint16_t m_inputReportLength = 0;
    uint16_t m_outputReportLength = 0;
};

// Narrows a UTF-16 string to 8-bit characters as the device's strings are
// compared: each unit gives its low byte, copying stops at the first unit
// whose low byte is 0 and after at most 255 units; out is always terminated.
void NarrowString(const std::u16string& text, char (&out)[256]);
