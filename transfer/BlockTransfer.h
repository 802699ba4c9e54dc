#pragma once

#include <cstdint>
#include <optional>
#include <span>

#include "device/QuorrelProtocol.h"
#include "model/MemoryRequests.h"
#include "support/Clock.h"
#include "support/HArray.h"
#include "transfer/ConnectionSource.h"

#include <array>
#include <functional>
#include <memory>

// Moving one 64-byte block of device memory (the parameter block or a block
// of four script steps) through the connection.

using MemoryBlock = std::array<uint8_t, MemoryEraseSize>;

// Sends one request through the connection of the moment; false when there
// is none or the request was not carried (or, for a memory request, not
// answered within the reply wait).
bool SendRequest(ConnectionSource& source, const DeviceCommand& command);

// Sends the four reads of the block (+0, +16, +32, +48). The answers are
// left in the report queue for whoever drains it. False when a read could
// not be sent (or no connection was there for it); every read is attempted.
bool SendBlockReads(ConnectionSource& source, uint32_t blockAddress);

// Sends the erase of the block, then its four writes in ascending order,
// every request attempted while a connection exists. True only when all
// five were sent and answered. The echoes stay in the report queue.
bool SendBlockWrite(ConnectionSource& source, uint32_t blockAddress, std::span<const uint8_t, MemoryEraseSize> block);

// Takes the first report that `isAnswer` accepts out of the report queue,
// deleting every other report on the way. Waits for it in 5 ms polls, at
// most 3000; null when none came, or when the connection went away.
std::unique_ptr<HArray> TakeReport(ConnectionSource& source, Clock& clock, const std::function<bool(const HArray&)>& isAnswer);

// Takes the answer to a memory request out of the report queue, deleting
// every other report on the way. With an address, only a memory-read reply
// for that address with a count of 16 is an answer (the reply to a read or
// the echo of a write); without one, any memory-read reply is (the answer to
// an erase). Waits for it in 5 ms polls, at most 3000; null when none came,
// or when the connection went away.
std::unique_ptr<HArray> TakeMemoryAnswer(ConnectionSource& source, Clock& clock, std::optional<uint32_t> address);

// Reads the block and waits for its four answers (the command-line tool's
// way; the window's panels take theirs from the dispatcher instead).
std::optional<MemoryBlock> ReadBlock(ConnectionSource& source, Clock& clock, uint32_t blockAddress);

// Writes the block and checks each write's echo against what was written.
bool WriteBlock(ConnectionSource& source, Clock& clock, uint32_t blockAddress, std::span<const uint8_t, MemoryEraseSize> block);
