#include "device/HIDQuorrel.h"

#include <gtest/gtest.h>

#include "device/QuorrelProtocol.h"
#include "tests/device/LinkFixture.h"

namespace
{
const std::vector<uint8_t> StatusBytes = Padded({ReportStatus, 0x01});
const std::vector<uint8_t> DisconnectBytes = Padded({ReportDisconnect, DisconnectedMark});
} // namespace

class HIDQuorrelTest : public ::testing::Test, public LinkFixture
{
};

TEST_F(HIDQuorrelTest, EveryCommandIsWrittenAsOneZeroFilledReport)
{
    std::vector<uint8_t> data(16);
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<uint8_t>(0xD0 + i);

    struct Case
    {
        std::function<bool()> send;
        std::vector<uint8_t> written;
    };
    const Case cases[] = {
        {[&] { return connection->SendCommand(CmdStatusRequest); }, {0x81}},
        {[&] { return connection->SendCommand(CmdControl, {CtlSleep, 0x05, 0xA0}); }, {0xB1, 0x12, 0x05, 0xA0}},
        {[&] { return connection->SendCommand(CmdControl, {CtlSetOutputVoltage, 0x133, 0}); }, {0xB1, 0x06, 0x33, 0x00}},
        {[&] { return connection->SendCommand(CmdMemoryRead, {0xC0, 0x3F, 0, 16}); }, {0xA1, 0xC0, 0x3F, 0x00, 0x10}},
        {[&] { return connection->SendCommand(CmdMemoryErase, {0xC0, 0x3F, 0, 64}); }, {0xA5, 0xC0, 0x3F, 0x00, 0x40}},
    };
    for (const auto& c : cases)
    {
        const size_t before = bus.WrittenReports(index).size();
        EXPECT_TRUE(c.send());
        const auto written = bus.WrittenReports(index);
        ASSERT_EQ(written.size(), before + 1);
        EXPECT_EQ(written.back(), Padded(c.written));
    }

    EXPECT_TRUE(connection->SendCommandWithData(CmdMemoryWrite, data, {0xC0, 0x3F, 0, 16}));
    std::vector<uint8_t> write = {0xA3, 0xC0, 0x3F, 0x00, 0x10};
    write.insert(write.end(), data.begin(), data.end());
    EXPECT_EQ(bus.WrittenReports(index).back(), Padded(write));
}

TEST_F(HIDQuorrelTest, CommandLongerThanTheReportIsRefusedUnwritten)
{
    const std::vector<uint8_t> data(24);
    EXPECT_FALSE(connection->SendCommandWithData(CmdMemoryWrite, data, {0xC0, 0x3F, 0, 16}));
    EXPECT_TRUE(bus.WrittenReports(index).empty());
}

TEST_F(HIDQuorrelTest, ReplyWaitEndsAtOnceWhenAReportAlreadyArrived)
{
    // Right after the connection is made the mark says "no report yet".
    bus.InjectInput(index, StatusBytes);
    ASSERT_TRUE(Eventually([&] { return connection->WaitForReply(); }));
    const uint64_t sleeps = replyClock.SleepCount();
    EXPECT_TRUE(connection->WaitForReply());
    EXPECT_EQ(replyClock.SleepCount(), sleeps);
}

TEST_F(HIDQuorrelTest, MemoryReadToASilentDeviceFailsAfter3001Polls)
{
    bus.HoldReplies(index, true);
    EXPECT_FALSE(connection->SendCommand(CmdMemoryRead, {0xC0, 0x3F, 0, 16}));
    EXPECT_EQ(replyClock.SleepCount(), 3001u);
    EXPECT_EQ(replyClock.NowMs(), 3001u * 5);

    // The late answer is queued like any other report.
    bus.ReleaseHeldReplies(index);
    const auto reports = TakeReports(1);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0][0], ReportMemoryRead);
}

TEST_F(HIDQuorrelTest, AnyReportEndsTheWaitAndTheLaterAnswerIsQueuedToo)
{
    bus.HoldReplies(index, true);
    replyClock.SetSleepHook([&](uint32_t) {
        if (replyClock.SleepCount() != 3)
            return;
        // A status report answering an earlier request arrives now; the
        // reader sleeps only once it has handed it over.
        const uint64_t readerCycles = readerClock.SleepCount();
        bus.InjectInput(index, StatusBytes);
        Eventually([&] { return readerClock.SleepCount() > readerCycles; });
    });
    EXPECT_TRUE(connection->SendCommand(CmdMemoryRead, {0xC0, 0x3F, 0, 16}));
    EXPECT_EQ(replyClock.SleepCount(), 3u);

    bus.ReleaseHeldReplies(index);
    const auto reports = TakeReports(2);
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[0], StatusBytes);
    EXPECT_EQ(reports[1][0], ReportMemoryRead);
}

TEST_F(HIDQuorrelTest, ControlCommandsDoNotWait)
{
    bus.HoldReplies(index, true);
    EXPECT_TRUE(connection->SendCommand(CmdControl, {CtlConnectInit, 0, 0}));
    EXPECT_TRUE(connection->SendCommand(CmdStatusRequest));
    EXPECT_EQ(replyClock.SleepCount(), 0u);
}

TEST_F(HIDQuorrelTest, UnplugQueuesOneDisconnectReportInArrivalOrder)
{
    bus.InjectInput(index, StatusBytes);
    ASSERT_TRUE(Eventually([&] { return connection->WaitForReply(); }));

    bus.Unplug(index);
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(connection->SendCommand(CmdStatusRequest));
    EXPECT_FALSE(device->IsOpen());
    // A report the reader completed afterwards still queues behind it.
    connection->OnReport(HArray(24, StatusBytes.data()));

    const auto reports = TakeReports(3);
    EXPECT_EQ(reports, (std::vector<std::vector<uint8_t>>{StatusBytes, DisconnectBytes, StatusBytes}));
    EXPECT_EQ(connection->PopReport(), nullptr);
}

TEST_F(HIDQuorrelTest, DisconnectReportDoesNotEndAWait)
{
    bus.Unplug(index);
    EXPECT_FALSE(connection->SendCommand(CmdStatusRequest)); // marks "waiting", then queues the disconnect
    const uint64_t sleeps = replyClock.SleepCount();
    EXPECT_FALSE(connection->WaitForReply());
    EXPECT_EQ(replyClock.SleepCount() - sleeps, 3001u);
}

TEST_F(HIDQuorrelTest, DestroyingConnectionsWhileTheReaderDeliversNeverCrashes)
{
    std::vector<uint8_t> flood;
    for (int i = 0; i < 20; ++i)
    {
        const auto report = Padded({ReportStatus, static_cast<uint8_t>(i)});
        flood.insert(flood.end(), report.begin(), report.end());
    }
    for (int round = 0; round < 60; ++round)
    {
        connection.reset();
        bus.InjectInput(index, flood);
        connection = std::make_unique<HIDQuorrel>(device.get(), replyClock);
        std::this_thread::yield();
    }
    // The last connection still receives, in order, what the device sends.
    bus.InjectInput(index, DisconnectBytes);
    EXPECT_TRUE(Eventually([&] {
        HArray* report = connection->PopReport();
        const bool last = report != nullptr && report->At(0) == ReportDisconnect;
        delete report;
        return last;
    }));
}
