#pragma once

#include <cstdint>
#include <span>

// The HID report descriptor the simulated power supply shows a real kernel:
// numbered reports, the report id being the command code (out) or the report
// type (in), each followed by 23 data bytes, so that both report lengths come
// to 24 with the report-id byte.
std::span<const uint8_t> SimulatedReportDescriptor();
