#include "device/hid/linux/ReportDescriptor.h"

#include <algorithm>
#include <map>
#include <vector>

namespace
{
// Item types and tags of the HID report descriptor's short items.
constexpr unsigned TypeMain = 0;
constexpr unsigned TypeGlobal = 1;
constexpr unsigned MainInput = 0x8;
constexpr unsigned MainOutput = 0x9;
constexpr unsigned GlobalReportSize = 0x7;
constexpr unsigned GlobalReportId = 0x8;
constexpr unsigned GlobalReportCount = 0x9;
constexpr unsigned GlobalPush = 0xA;
constexpr unsigned GlobalPop = 0xB;
constexpr uint8_t LongItemPrefix = 0xFE;
constexpr uint64_t MaxReportBits = uint64_t{1} << 40;
constexpr size_t MaxPushDepth = 64; // deeper pushes are ignored rather than grown without bound

struct Globals
{
    uint64_t reportSize = 0;  // bits per field
    uint64_t reportCount = 0; // fields
    uint32_t reportId = 0;
};

uint16_t LengthWithIdByte(size_t payload)
{
    return static_cast<uint16_t>(std::min<size_t>(payload + 1, 0xFFFF));
}

size_t LargestInBytes(const std::map<uint32_t, uint64_t>& bitsById)
{
    uint64_t largest = 0;
    for (const auto& [id, bits] : bitsById)
        largest = std::max(largest, bits);
    return static_cast<size_t>(std::min<uint64_t>((largest + 7) / 8, 0xFFFF));
}
} // namespace

uint16_t ReportDescriptorSummary::InputReportLength() const
{
    return LengthWithIdByte(maxInputPayload);
}

uint16_t ReportDescriptorSummary::OutputReportLength() const
{
    return LengthWithIdByte(maxOutputPayload);
}

ReportDescriptorSummary ParseReportDescriptor(std::span<const uint8_t> descriptor)
{
    ReportDescriptorSummary summary;
    Globals globals;
    std::vector<Globals> stack;
    std::map<uint32_t, uint64_t> inputBits, outputBits; // per report id

    size_t at = 0;
    while (at < descriptor.size())
    {
        const uint8_t prefix = descriptor[at];
        if (prefix == LongItemPrefix)
        {
            // Long item: prefix, data size, tag, data. Nothing the link needs.
            if (at + 1 >= descriptor.size())
                break;
            const size_t total = 3 + static_cast<size_t>(descriptor[at + 1]);
            if (descriptor.size() - at < total)
                break;
            at += total;
            continue;
        }
        const size_t dataSize = (prefix & 3) == 3 ? 4 : (prefix & 3);
        if (descriptor.size() - at < 1 + dataSize)
            break;
        uint32_t value = 0;
        for (size_t i = 0; i < dataSize; ++i)
            value |= static_cast<uint32_t>(descriptor[at + 1 + i]) << (8 * i);
        at += 1 + dataSize;

        const unsigned type = (prefix >> 2) & 3;
        const unsigned tag = prefix >> 4;
        if (type == TypeGlobal)
        {
            switch (tag)
            {
            case GlobalReportSize:
                globals.reportSize = value;
                break;
            case GlobalReportCount:
                globals.reportCount = value;
                break;
            case GlobalReportId:
                globals.reportId = value;
                summary.usesReportIds = true;
                break;
            case GlobalPush:
                if (stack.size() < MaxPushDepth)
                    stack.push_back(globals);
                break;
            case GlobalPop:
                if (!stack.empty())
                {
                    globals = stack.back();
                    stack.pop_back();
                }
                break;
            default:
                break;
            }
        }
        else if (type == TypeMain && (tag == MainInput || tag == MainOutput))
        {
            auto& bits = tag == MainInput ? inputBits : outputBits;
            // Size and count are 32-bit values, so their product fits 64 bits;
            // capping both it and the sum keeps any descriptor from overflowing.
            const uint64_t added = std::min(globals.reportSize * globals.reportCount, MaxReportBits);
            bits[globals.reportId] = std::min(bits[globals.reportId] + added, MaxReportBits);
        }
    }
    summary.maxInputPayload = LargestInBytes(inputBits);
    summary.maxOutputPayload = LargestInBytes(outputBits);
    return summary;
}
