#include "transfer/BlockCopy.h"

#include <algorithm>

void BlockCopy::Reset(uint32_t base)
{
    m_base = base;
    m_received.fill(false);
    m_bytes.fill(0);
}

bool BlockCopy::Place(uint32_t address, const HArray& reply)
{
    if (address < m_base || address >= m_base + MemoryEraseSize || (address - m_base) % MemoryChunkSize != 0)
        return false;
    const uint32_t quarter = (address - m_base) / MemoryChunkSize;
    for (uint32_t i = 0; i < MemoryChunkSize; ++i)
        m_bytes[quarter * MemoryChunkSize + i] = reply.At(static_cast<int32_t>(5 + i));
    m_received[quarter] = true;
    return quarter == m_received.size() - 1 && IsComplete();
}

bool BlockCopy::IsComplete() const
{
    return std::all_of(m_received.begin(), m_received.end(), [](bool received) { return received; });
}
