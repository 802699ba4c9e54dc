#pragma once

#include <array>
#include <cstdint>

#include "support/HArray.h"
#include "transfer/BlockTransfer.h"

// A program's copy of one 64-byte block of device memory, filled from the
// four memory-read replies of its quarters as they arrive. The copy is
// complete only when the last quarter arrives after the other three (the
// reads go out in ascending order and are answered in that order); a copy
// finished out of order waits for the next reset.
class BlockCopy
{
public:
    // Forgets the copy: zero-filled, no quarter received, for the block at `base`.
    void Reset(uint32_t base);

    // Places a reply's 16 data bytes (bytes 5-20) when `address` starts one
    // of the block's quarters; anything else is ignored. True when this reply
    // completed the copy.
    bool Place(uint32_t address, const HArray& reply);

    bool IsComplete() const;
    uint32_t Base() const { return m_base; }
    const MemoryBlock& Bytes() const { return m_bytes; }

private:
    uint32_t m_base = 0;
    std::array<bool, MemoryEraseSize / MemoryChunkSize> m_received{};
    MemoryBlock m_bytes{};
};
