#pragma once

#include <cstdint>
#include <vector>

#include "device/QuorrelProtocol.h"

// The HID report descriptor the simulated power supply shows a real kernel:
// numbered reports, the report id being the command code (out) or the report
// type (in), each followed by 23 data bytes, so that both report lengths come
// to 24 with the report-id byte. Decoys may carry another number of data bytes.
std::vector<uint8_t> SimulatedReportDescriptor(uint8_t dataBytes = ReportLength - 1);
