#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <span>

// The input a simulated port has yet to hand out: one byte stream that
// remembers where each report the device sent begins. A read normally takes
// one report, as a HID read does; a read in chunks of a chosen size takes
// bytes across report boundaries, the way a link that splits reports would.
class ReportQueue
{
public:
    void Push(std::span<const uint8_t> report); // one report, or any bytes sent at once
    void Append(ReportQueue& other);             // moves everything in other behind this

    // Copies the next bytes into buffer: the rest of the front report, or
    // with chunk > 0 up to chunk bytes of the stream. Returns how many.
    size_t Take(std::span<uint8_t> buffer, size_t chunk = 0);

    size_t Size() const { return m_bytes.size(); }
    bool Empty() const { return m_bytes.empty(); }
    void Clear();

private:
    std::deque<uint8_t> m_bytes;
    std::deque<size_t> m_reports; // bytes left of each report, front first
};
