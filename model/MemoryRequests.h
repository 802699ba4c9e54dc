#pragma once

#include "device/QuorrelProtocol.h"

#include <cstdint>
#include <span>
#include <vector>

// The requests that move device memory and the few control commands sent
// along with them, built as data so that the device link only has to send
// them and tests can compare them byte for byte. The same requests serve the
// parameter block and the script blocks.
//
// Memory addresses travel as three bytes, low byte first; address bits above
// 23 are dropped. Blocks are 64 bytes at a multiple of 64 and move as four
// 16-byte chunks; callers pass block addresses as such (nothing is aligned here).

struct DeviceCommand
{
    uint8_t code = 0;
    std::vector<uint8_t> args;
    std::vector<uint8_t> data; // only memory writes carry data

    // As written to the device before padding: code, args, data.
    std::vector<uint8_t> Bytes() const;

    bool operator==(const DeviceCommand&) const = default;
};

DeviceCommand MemoryReadCommand(uint32_t address);
DeviceCommand MemoryWriteCommand(uint32_t address, std::span<const uint8_t, MemoryChunkSize> chunk);
DeviceCommand MemoryEraseCommand(uint32_t blockAddress);

// A control command always carries the sub-code and two values; an unused value is 0.
DeviceCommand ControlCommand(uint8_t subCode, uint8_t value1 = 0, uint8_t value2 = 0);
// The device restores its own default parameters; the block must be read
// again afterwards to see them.
DeviceCommand FactoryDefaultsCommand();

// The four chunk reads of the block, in address order.
std::vector<DeviceCommand> BlockReadCommands(uint32_t blockAddress);
// The erase of the block, then its four chunk writes in address order. Flash
// bits can only be cleared by a write, so the erase must come first; the
// block counts as written only if all five requests succeed.
std::vector<DeviceCommand> BlockWriteCommands(uint32_t blockAddress, std::span<const uint8_t, MemoryEraseSize> block);
