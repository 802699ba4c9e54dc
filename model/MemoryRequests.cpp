#include "model/MemoryRequests.h"

namespace
{
std::vector<uint8_t> MemoryArgs(uint32_t address, int count)
{
    return {static_cast<uint8_t>(address), static_cast<uint8_t>(address >> 8), static_cast<uint8_t>(address >> 16),
            static_cast<uint8_t>(count)};
}
} // namespace

std::vector<uint8_t> DeviceCommand::Bytes() const
{
    std::vector<uint8_t> bytes;
    bytes.reserve(1 + args.size() + data.size());
    bytes.push_back(code);
    bytes.insert(bytes.end(), args.begin(), args.end());
    bytes.insert(bytes.end(), data.begin(), data.end());
    return bytes;
}

DeviceCommand MemoryReadCommand(uint32_t address)
{
    return {CmdMemoryRead, MemoryArgs(address, MemoryChunkSize), {}};
}

DeviceCommand MemoryWriteCommand(uint32_t address, std::span<const uint8_t, MemoryChunkSize> chunk)
{
    return {CmdMemoryWrite, MemoryArgs(address, MemoryChunkSize), {chunk.begin(), chunk.end()}};
}

DeviceCommand MemoryEraseCommand(uint32_t blockAddress)
{
    return {CmdMemoryErase, MemoryArgs(blockAddress, MemoryEraseSize), {}};
}

DeviceCommand ControlCommand(uint8_t subCode, uint8_t value1, uint8_t value2)
{
    return {CmdControl, {subCode, value1, value2}, {}};
}

DeviceCommand FactoryDefaultsCommand()
{
    return ControlCommand(CtlFactoryDefaults);
}

std::vector<DeviceCommand> BlockReadCommands(uint32_t blockAddress)
{
    std::vector<DeviceCommand> commands;
    for (int at = 0; at < MemoryEraseSize; at += MemoryChunkSize)
        commands.push_back(MemoryReadCommand(blockAddress + static_cast<uint32_t>(at)));
    return commands;
}

std::vector<DeviceCommand> BlockWriteCommands(uint32_t blockAddress, std::span<const uint8_t, MemoryEraseSize> block)
{
    std::vector<DeviceCommand> commands{MemoryEraseCommand(blockAddress)};
    for (int at = 0; at < MemoryEraseSize; at += MemoryChunkSize)
        commands.push_back(MemoryWriteCommand(blockAddress + static_cast<uint32_t>(at),
                                              block.subspan(static_cast<size_t>(at)).first<MemoryChunkSize>()));
    return commands;
}
