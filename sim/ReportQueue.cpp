#include "sim/ReportQueue.h"

#include <algorithm>

void ReportQueue::Push(std::span<const uint8_t> report)
{
    if (report.empty())
        return;
    m_bytes.insert(m_bytes.end(), report.begin(), report.end());
    m_reports.push_back(report.size());
}

void ReportQueue::Append(ReportQueue& other)
{
    m_bytes.insert(m_bytes.end(), other.m_bytes.begin(), other.m_bytes.end());
    m_reports.insert(m_reports.end(), other.m_reports.begin(), other.m_reports.end());
    other.Clear();
}

size_t ReportQueue::Take(std::span<uint8_t> buffer, size_t chunk)
{
    if (m_bytes.empty())
        return 0;
    const size_t limit = chunk > 0 ? std::min(chunk, m_bytes.size()) : m_reports.front();
    const size_t count = std::min(buffer.size(), limit);
    std::copy_n(m_bytes.begin(), count, buffer.begin());
    m_bytes.erase(m_bytes.begin(), m_bytes.begin() + static_cast<std::ptrdiff_t>(count));
    for (size_t left = count; left > 0;)
    {
        const size_t fromFront = std::min(left, m_reports.front());
        left -= fromFront;
        if ((m_reports.front() -= fromFront) == 0)
            m_reports.pop_front();
    }
    return count;
}

void ReportQueue::Clear()
{
    m_bytes.clear();
    m_reports.clear();
}
