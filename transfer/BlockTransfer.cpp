#include "transfer/BlockTransfer.h"

#include "device/HIDQuorrel.h"

namespace
{
// Reports that are not the answer are thrown away; a device flooding the
// queue with them must not keep the search going for ever.
constexpr int MaxDiscardedReports = 3000;

uint32_t ReplyAddress(const HArray& report)
{
    return report.At(1) | (report.At(2) << 8) | (report.At(3) << 16);
}

bool IsAnswer(const HArray& report, std::optional<uint32_t> address)
{
    if (report.Length() < 1 || report.At(0) != ReportMemoryRead)
        return false;
    if (!address)
        return true;
    return ReplyAddress(report) == *address && report.At(4) == MemoryChunkSize;
}
} // namespace

bool SendRequest(ConnectionSource& source, const DeviceCommand& command)
{
    HIDQuorrel* connection = source.Connection();
    return connection && connection->SendBytes(command.code, command.args, command.data);
}

bool SendBlockReads(ConnectionSource& source, uint32_t blockAddress)
{
    bool ok = true;
    for (const DeviceCommand& read : BlockReadCommands(blockAddress))
        ok = SendRequest(source, read) && ok;
    return ok;
}

bool SendBlockWrite(ConnectionSource& source, uint32_t blockAddress, std::span<const uint8_t, MemoryEraseSize> block)
{
    bool ok = true;
    for (const DeviceCommand& request : BlockWriteCommands(blockAddress, block))
        ok = SendRequest(source, request) && ok;
    return ok;
}

std::unique_ptr<HArray> TakeReport(ConnectionSource& source, Clock& clock, const std::function<bool(const HArray&)>& isAnswer)
{
    int polls = 0;
    int discarded = 0;
    while (polls < HIDQuorrel::MaxReplyPolls && discarded < MaxDiscardedReports)
    {
        HIDQuorrel* connection = source.Connection();
        if (!connection)
            return nullptr;
        std::unique_ptr<HArray> report(connection->PopReport());
        if (!report)
        {
            clock.SleepMs(HIDQuorrel::ReplyPollMs);
            ++polls;
            continue;
        }
        if (isAnswer(*report))
            return report;
        ++discarded;
    }
    return nullptr;
}

std::unique_ptr<HArray> TakeMemoryAnswer(ConnectionSource& source, Clock& clock, std::optional<uint32_t> address)
{
    return TakeReport(source, clock, [address](const HArray& report) { return IsAnswer(report, address); });
}

std::optional<MemoryBlock> ReadBlock(ConnectionSource& source, Clock& clock, uint32_t blockAddress)
{
    MemoryBlock block{};
    for (uint32_t offset = 0; offset < MemoryEraseSize; offset += MemoryChunkSize)
    {
        if (!SendRequest(source, MemoryReadCommand(blockAddress + offset)))
            return std::nullopt;
        std::unique_ptr<HArray> answer = TakeMemoryAnswer(source, clock, blockAddress + offset);
        if (!answer)
            return std::nullopt;
        for (uint32_t i = 0; i < MemoryChunkSize; ++i)
            block[offset + i] = answer->At(5 + static_cast<int32_t>(i));
    }
    return block;
}

bool WriteBlock(ConnectionSource& source, Clock& clock, uint32_t blockAddress, std::span<const uint8_t, MemoryEraseSize> block)
{
    if (!SendRequest(source, MemoryEraseCommand(blockAddress)))
        return false;
    TakeMemoryAnswer(source, clock, std::nullopt);
    for (uint32_t offset = 0; offset < MemoryEraseSize; offset += MemoryChunkSize)
    {
        std::span<const uint8_t, MemoryChunkSize> chunk = block.subspan(offset).first<MemoryChunkSize>();
        if (!SendRequest(source, MemoryWriteCommand(blockAddress + offset, chunk)))
            return false;
        std::unique_ptr<HArray> echo = TakeMemoryAnswer(source, clock, blockAddress + offset);
        if (!echo)
            return false;
        for (uint32_t i = 0; i < MemoryChunkSize; ++i)
        {
            if (echo->At(5 + static_cast<int32_t>(i)) != chunk[i])
                return false;
        }
    }
    return true;
}
