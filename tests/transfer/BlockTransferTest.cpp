#include "device/QuorrelProtocol.h"
#include "tests/transfer/TransferFixture.h"
#include "transfer/BlockTransfer.h"

namespace
{
std::vector<uint8_t> MemoryReply(uint32_t address, uint8_t count, uint8_t fill)
{
    std::vector<uint8_t> reply = {ReportMemoryRead, uint8_t(address), uint8_t(address >> 8), uint8_t(address >> 16), count};
    reply.resize(DeviceReportLength, fill);
    return reply;
}
} // namespace

using BlockTransfer = TransferFixture;

TEST_F(BlockTransfer, AnswerSearchSkipsStaleAndStrayReports)
{
    struct Case
    {
        const char* what;
        std::vector<std::vector<uint8_t>> queued;
        std::optional<uint32_t> address;
        int answerFill; // fill byte of the report taken, -1: none
    };
    const Case cases[] = {
        {"stale reply for another address, then the answer",
         {MemoryReply(0x3C00, 16, 0x11), MemoryReply(0x3C10, 16, 0x22)}, 0x3C10, 0x22},
        {"status report and a reply with count 8 first",
         {Padded({ReportStatus, 1}), MemoryReply(0x3C10, 8, 0x33), MemoryReply(0x3C10, 16, 0x44)}, 0x3C10, 0x44},
        {"an erase takes any memory-read reply", {Padded({ReportCommand}), MemoryReply(0x1234, 3, 0x55)}, std::nullopt, 0x55},
        {"nothing that answers", {MemoryReply(0x3C00, 16, 0x66)}, 0x3C20, -1},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        for (const auto& report : c.queued)
            link.bus.InjectInput(link.index, report);
        ASSERT_TRUE(link.bus.AwaitBlockedRead(link.index));

        const uint64_t sleepsBefore = link.replyClock.SleepCount();
        std::unique_ptr<HArray> answer = TakeMemoryAnswer(source, link.replyClock, c.address);
        if (c.answerFill < 0)
        {
            EXPECT_EQ(answer, nullptr);
            EXPECT_EQ(link.replyClock.SleepCount() - sleepsBefore, 3000u) << "waits its whole bound";
        }
        else
        {
            ASSERT_NE(answer, nullptr);
            EXPECT_EQ(answer->At(10), c.answerFill);
        }
        EXPECT_EQ(link.connection->PopReport(), nullptr) << "the reports before the answer are gone";
    }
}

TEST_F(BlockTransfer, AnswerSearchWaitsForALateReply)
{
    // The answer arrives a few polls into the search.
    link.replyClock.SetSleepHook([&](uint32_t) {
        if (link.replyClock.SleepCount() == 4)
            link.bus.InjectInput(link.index, MemoryReply(0x3FC0, 16, 0x77));
        std::this_thread::sleep_for(std::chrono::microseconds(100));
    });
    std::unique_ptr<HArray> answer = TakeMemoryAnswer(source, link.replyClock, 0x3FC0);
    ASSERT_NE(answer, nullptr);
    EXPECT_EQ(answer->At(5), 0x77);
    EXPECT_GE(link.replyClock.SleepCount(), 4u);
}

TEST_F(BlockTransfer, NoConnectionEndsTheSearchAndSendsNothing)
{
    source.connection = nullptr;
    MemoryBlock block{};
    EXPECT_EQ(TakeMemoryAnswer(source, link.replyClock, 0x3C00), nullptr);
    EXPECT_FALSE(SendBlockReads(source, 0x3FC0));
    EXPECT_FALSE(SendBlockWrite(source, 0x3FC0, block));
    EXPECT_FALSE(ReadBlock(source, link.replyClock, 0x3FC0));
    EXPECT_TRUE(Written().empty());
    EXPECT_EQ(link.replyClock.SleepCount(), 0u);
}

TEST_F(BlockTransfer, WriteThenReadABlock)
{
    MemoryBlock block;
    for (size_t i = 0; i < block.size(); ++i)
        block[i] = static_cast<uint8_t>(i * 7);
    ASSERT_TRUE(WriteBlock(source, link.replyClock, 0x3C40, block));
    EXPECT_EQ(Supply().ReadMemory(0x3C40, 64), std::vector<uint8_t>(block.begin(), block.end()));
    EXPECT_EQ(ReadBlock(source, link.replyClock, 0x3C40), block);

    // An echo that differs from what was written fails the write.
    Supply().CorruptNextWriteEchoes(1);
    EXPECT_FALSE(WriteBlock(source, link.replyClock, 0x3C40, block));
}
