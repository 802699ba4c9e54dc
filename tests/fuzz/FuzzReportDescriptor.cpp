// Any bytes as a HID report descriptor: the lengths come out within what a
// descriptor of that size can describe, and parsing never reads outside it.

#include <span>

#include "device/hid/linux/ReportDescriptor.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const ReportDescriptorSummary summary = ParseReportDescriptor(std::span<const uint8_t>(data, size));
    summary.InputReportLength();
    summary.OutputReportLength();
    return 0;
}
