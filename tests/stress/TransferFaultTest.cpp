// The settings transfers when the device vanishes at any request, and when
// its answers come late, get lost, repeat, arrive out of order or among
// stray reports: no transfer claims success it did not have, no wait runs
// beyond the reply bound, and no piece of device memory ends up holding
// anything but what it held, the erased state, or what the file says.

#include <algorithm>

#include "device/QuorrelProtocol.h"
#include "tests/transfer/TransferFixture.h"
#include "transfer/SettingsTransfer.h"

namespace
{
uint8_t Pattern(int i)
{
    return static_cast<uint8_t>(i * 29 + 3);
}

std::vector<uint8_t> Reply(uint8_t type, std::vector<uint8_t> bytes = {})
{
    bytes.insert(bytes.begin(), type);
    bytes.resize(DeviceReportLength, 0);
    return bytes;
}

std::vector<uint8_t> MemoryReply(uint32_t address)
{
    std::vector<uint8_t> reply = {ReportMemoryRead, uint8_t(address), uint8_t(address >> 8), 0, 16};
    reply.resize(DeviceReportLength, 0x5C);
    return reply;
}
} // namespace

class TransferFaults : public TransferFixture
{
protected:
    TransferFaults()
    {
        // Give the reader thread room only while there is a device to read;
        // a wait for a device that has gone runs through its bound at once.
        link.replyClock.SetSleepHook([this](uint32_t) {
            if (link.bus.IsPlugged(link.index))
                std::this_thread::sleep_for(std::chrono::microseconds(100));
        });
    }

    // The device back on the bus with a new connection to it.
    void Reconnect()
    {
        link.Disconnect();
        if (!link.bus.IsPlugged(link.index))
            link.bus.Plug(link.index);
        link.Open();
        source.connection = link.connection.get();
    }

    // Every 16-byte piece holds what it held before, the erased state, or the file's bytes.
    void ExpectEveryPieceConsistent(const std::vector<uint8_t>& before, const std::vector<uint8_t>& file)
    {
        const std::vector<uint8_t> now = Memory();
        for (size_t piece = 0; piece < 64; ++piece)
        {
            auto at = [piece](const std::vector<uint8_t>& memory) {
                return std::vector<uint8_t>(memory.begin() + 16 * piece, memory.begin() + 16 * piece + 16);
            };
            const auto held = at(now);
            EXPECT_TRUE(held == at(before) || held == at(file) || held == std::vector<uint8_t>(16, 0xFF)) << "piece " << piece;
        }
    }
};

TEST_F(TransferFaults, DeviceVanishingAtEachExportRequestLeavesThePreviousFile)
{
    FillMemory(Pattern);
    const std::string previous = "#an older backup\r\r\n00\r\r\n";
    for (int request = 1; request <= 64; ++request)
    {
        SCOPED_TRACE(request);
        Reconnect();
        WriteAll(settings, previous);
        link.bus.DisappearOnCommand(link.index, request);
        report.statuses.clear();

        EXPECT_FALSE(ExportSettings(source, link.replyClock, settings, report));

        EXPECT_NE(report.Last(), "SUCCESS (Device ===> File)");
        EXPECT_EQ(ReadAll(settings), previous);
        EXPECT_FALSE(std::filesystem::exists(settings + ".partial"));
    }
}

TEST_F(TransferFaults, DeviceVanishingAtEachImportRequestNeverReportsSuccess)
{
    FillMemory(Pattern);
    const std::vector<uint8_t> fileBytes = Memory();
    ASSERT_TRUE(ExportSettings(source, link.replyClock, settings, report));
    FillMemory([](int i) -> uint8_t { return static_cast<uint8_t>(255 - i); });
    const std::vector<uint8_t> before = Memory();

    for (int request = 1; request <= 80; ++request) // 16 erases and 64 writes
    {
        SCOPED_TRACE(request);
        Supply().WriteMemory(0x3C00, before);
        Reconnect();
        link.bus.DisappearOnCommand(link.index, request);
        report.statuses.clear();

        EXPECT_EQ(ImportSettings(source, link.replyClock, settings, report, nullptr), ImportOutcome::Failed);
        EXPECT_EQ(report.Last(), "IN PROGRESS (Device <=== File)");
        EXPECT_FALSE(LoadFactoryDefaults(source)) << "the device is gone: the fall-back cannot be sent";
        ExpectEveryPieceConsistent(before, fileBytes);
    }
}

TEST_F(TransferFaults, AnswersLateLostRepeatedOutOfOrderOrAmongStrays)
{
    FillMemory(Pattern);
    const std::vector<uint8_t> original = Memory();
    ASSERT_TRUE(ExportSettings(source, link.replyClock, settings, report));
    const std::string good = ReadAll(settings);

    const std::vector<std::vector<uint8_t>> strays = {
        Reply(ReportStatus, {0xB6, 0x07}), Reply(ReportCommand, {0x02, 0x06}), Reply(0xFF, {0x00}), Reply(0x55),
        Reply(ReportMemoryRead, {0xC0, 0x3F, 0x00, 8}), // a count other than 16
        MemoryReply(0x3C00),               // a repeat of an answer given long ago
        MemoryReply(0x3FF0),               // one given ahead of its request
    };
    struct Case
    {
        const char* what;
        std::function<void()> arrange;
        bool exportSucceeds;
    };
    const Case cases[] = {
        {"every answer held back a few polls",
         [&] {
             link.bus.HoldReplies(link.index, true);
             link.replyClock.SetSleepHook([&](uint32_t) {
                 if (link.replyClock.SleepCount() % 3 == 0)
                     link.bus.ReleaseHeldReplies(link.index);
                 std::this_thread::sleep_for(std::chrono::microseconds(100));
             });
         },
         true},
        {"strays of every kind between the answers",
         [&] { report.onProgress = [&](int step) { link.bus.InjectInput(link.index, strays[step % strays.size()]); }; },
         true},
        {"one answer lost", [&] { Supply().DropNextReplies(1); }, false},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        Reconnect();
        Supply().WriteMemory(0x3C00, original);
        WriteAll(settings, good);
        c.arrange();

        const uint64_t sleepsBefore = link.replyClock.SleepCount();
        EXPECT_EQ(ExportSettings(source, link.replyClock, settings, report), c.exportSucceeds);
        EXPECT_EQ(ReadAll(settings), good) << "a complete export writes what the device holds; a failed one leaves the file";
        // Each request waits at most twice the bound (its send, then the search).
        EXPECT_LE(link.replyClock.SleepCount() - sleepsBefore, 64u * 2 * 3000);

        Supply().WriteMemory(0x3C00, std::vector<uint8_t>(0x400, 0));
        if (!c.exportSucceeds)
            c.arrange(); // the fault again, for the import
        // The lost answer is now an erase's: the import goes on without it,
        // as the device did erase.
        EXPECT_EQ(ImportSettings(source, link.replyClock, settings, report, nullptr), ImportOutcome::Done);
        EXPECT_EQ(Memory(), original);

        link.bus.HoldReplies(link.index, false);
        link.bus.ReleaseHeldReplies(link.index);
        report.onProgress = nullptr;
        link.replyClock.SetSleepHook([this](uint32_t) {
            if (link.bus.IsPlugged(link.index))
                std::this_thread::sleep_for(std::chrono::microseconds(100));
        });
    }
}

TEST_F(TransferFaults, CorruptedEchoStopsTheImportAtThatPiece)
{
    FillMemory(Pattern);
    const std::vector<uint8_t> fileBytes = Memory();
    ASSERT_TRUE(ExportSettings(source, link.replyClock, settings, report));
    const std::vector<uint8_t> before(0x400, 0x00);
    for (int piece : {0, 17, 63})
    {
        SCOPED_TRACE(piece);
        Supply().WriteMemory(0x3C00, before);
        int writes = 0;
        report.onProgress = [&](int step) {
            if (step == piece)
                Supply().CorruptNextWriteEchoes(1);
            writes = step;
        };
        EXPECT_EQ(ImportSettings(source, link.replyClock, settings, report, nullptr), ImportOutcome::Failed);
        EXPECT_EQ(writes, piece) << "nothing after the piece whose echo differed";
        ExpectEveryPieceConsistent(before, fileBytes);
    }
}
