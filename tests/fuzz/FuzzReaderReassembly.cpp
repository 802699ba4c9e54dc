// The reader's reassembly of reports from chunks: the first input bytes pick
// the chunk sizes the simulated bus hands out, the rest are whole reports.
// Whatever the chunking, the connection receives exactly those reports, in
// order.

#include <chrono>
#include <vector>

#include "device/DeviceIdentity.h"
#include "tests/fuzz/FuzzLink.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    FuzzLink& link = FuzzLink::Instance();
    const size_t sizeCount = 1 + data[0] % 4;
    if (size < 1 + sizeCount)
        return 0;
    std::vector<size_t> sizes;
    for (size_t i = 0; i < sizeCount; ++i)
        sizes.push_back(1 + data[1 + i] % DeviceReportLength);
    link.bus.SetChunkSizes(link.index, sizes);

    std::vector<std::vector<uint8_t>> sent;
    for (size_t at = 1 + sizeCount; at + DeviceReportLength <= size && sent.size() < 8; at += DeviceReportLength)
    {
        sent.emplace_back(data + at, data + at + DeviceReportLength);
        link.bus.InjectInput(link.index, sent.back());
    }

    std::vector<std::vector<uint8_t>> received;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (received.size() < sent.size() && std::chrono::steady_clock::now() < deadline)
    {
        if (HArray* report = link.connection->PopReport())
        {
            received.emplace_back(report->Data(), report->Data() + report->Length());
            delete report;
        }
        else
            std::this_thread::yield();
    }
    if (received != sent)
        __builtin_trap();
    return 0;
}
