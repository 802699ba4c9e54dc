#include "sim/SimulatedReportDescriptor.h"


#include "device/QuorrelProtocol.h"

namespace
{
// One vendor-defined report of dataBytes bytes: main item 0x81 (input) or 0x91 (output).
#define QUORREL_REPORT(id, main) 0x85, id, 0x09, 0x01, main, 0x02

std::vector<uint8_t> Descriptor(uint8_t dataBytes)
{
    return {
    0x06, 0x00, 0xFF,       // usage page: vendor defined
    0x09, 0x01,             // usage 1
    0xA1, 0x01,             // collection: application
    0x15, 0x00,             // logical minimum 0
    0x26, 0xFF, 0x00,       // logical maximum 255
    0x75, 0x08,             // report size: 8 bits
    0x95, dataBytes,        // report count
    QUORREL_REPORT(ReportStatus, 0x81),
    QUORREL_REPORT(ReportMemoryRead, 0x81),
    QUORREL_REPORT(ReportCommand, 0x81),
    QUORREL_REPORT(CmdStatusRequest, 0x91),
    QUORREL_REPORT(CmdMemoryRead, 0x91),
    QUORREL_REPORT(CmdMemoryWrite, 0x91),
    QUORREL_REPORT(CmdMemoryErase, 0x91),
    QUORREL_REPORT(CmdControl, 0x91),
    0xC0,                   // end collection
    };
}
#undef QUORREL_REPORT
} // namespace

std::vector<uint8_t> SimulatedReportDescriptor(uint8_t dataBytes)
{
    return Descriptor(dataBytes);
}
