#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The texts udev gives about a HID device, turned into what the seam reports.

struct HidId
{
    uint32_t bus = 0;
    uint16_t vendorId = 0;
    uint16_t productId = 0;
};

// HID_ID of the hid parent: "bus:vendor:product" in hexadecimal, for example
// "0003:00001209:00000001". nullopt when it is not of that form.
std::optional<HidId> ParseHidId(std::string_view text);

// The USB strings arrive as UTF-8; the link compares them as UTF-16 narrowed
// to their low bytes. Malformed sequences become U+FFFD.
std::u16string Utf8ToUtf16(std::string_view text);
