#include "sim/SimulatedHidBus.h"

#include <gtest/gtest.h>

#include <functional>
#include <future>
#include <thread>

#include "device/DeviceIdentity.h"
#include "device/QuorrelProtocol.h"

namespace
{
std::vector<uint8_t> Request(std::vector<uint8_t> bytes)
{
    bytes.resize(ReportLength, 0);
    return bytes;
}

std::vector<uint8_t> Status()
{
    return Request({CmdStatusRequest});
}

// Reads whatever the next Read hands out; may block.
std::vector<uint8_t> ReadChunk(HidPort& port, HidReadResult expected = HidReadResult::Data)
{
    std::vector<uint8_t> buffer(64);
    size_t count = 0;
    EXPECT_EQ(port.Read(buffer, count), expected);
    buffer.resize(count);
    return buffer;
}

// Reads input that must already be there, without blocking when it is not.
std::vector<uint8_t> Next(SimulatedHidBus& bus, int index, HidPort& port)
{
    if (bus.PendingInput(index) == 0)
    {
        ADD_FAILURE() << "no input queued";
        return std::vector<uint8_t>(ReportLength, 0);
    }
    return ReadChunk(port);
}

// A read that was woken must end; if it does not, another way out ends it,
// so that the test fails instead of hanging.
template <typename T>
bool EndsSoon(std::future<T>& read, const std::function<void()>& otherWayOut)
{
    if (read.wait_for(std::chrono::seconds(20)) == std::future_status::ready)
        return true;
    otherWayOut();
    return false;
}

// Counts watch calls; a test waits for a number of them with a safety net.
class CallCounter
{
public:
    void operator()()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        ++m_calls;
        m_changed.notify_all();
    }
    bool AwaitCalls(int calls)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_changed.wait_for(lock, std::chrono::seconds(20), [&] { return m_calls >= calls; });
    }
    int Calls()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_calls;
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    int m_calls = 0;
};
} // namespace

TEST(SimulatedHidBus, EnumeratesWhatIsPluggedInOrder)
{
    SimulatedHidBus bus;
    HidDeviceInfo otherIds;
    otherIds.vendorId = 0x1234;
    otherIds.productId = 0x5678;
    otherIds.manufacturer = u"Somebody";
    otherIds.inputReportLength = otherIds.outputReportLength = 25;
    bus.AddDecoy(otherIds);
    HidDeviceInfo locked;
    locked.openable = false;
    locked.vendorId = DeviceVendorId;
    bus.AddDecoy(locked);
    HidDeviceInfo lookalike; // our identity, but the maker's name in other letters and no product
    lookalike.vendorId = DeviceVendorId;
    lookalike.productId = DeviceProductId;
    lookalike.manufacturer = u"QUORREL";
    lookalike.inputReportLength = lookalike.outputReportLength = 24;
    const int refuses = bus.AddDecoy(lookalike, false);
    const int supply = bus.AddPowerSupply();

    const HidEnumeration present = bus.Enumerate();
    EXPECT_EQ(present.error, 0);
    ASSERT_EQ(present.devices.size(), 4u);
    for (size_t i = 0; i < 4; ++i)
        EXPECT_EQ(present.devices[i].path, "sim:" + std::to_string(i));
    EXPECT_EQ(present.devices[0].vendorId, 0x1234);
    EXPECT_EQ(present.devices[0].inputReportLength, 25);
    // Nothing can be learnt of a device that cannot be opened to be queried.
    EXPECT_FALSE(present.devices[1].openable);
    EXPECT_EQ(present.devices[1].vendorId, 0xFFFF);
    EXPECT_EQ(present.devices[2].manufacturer, std::u16string(u"QUORREL"));
    EXPECT_FALSE(present.devices[2].product.has_value());
    const HidDeviceInfo& ours = present.devices[3];
    EXPECT_EQ(ours.vendorId, DeviceVendorId);
    EXPECT_EQ(ours.productId, DeviceProductId);
    EXPECT_EQ(ours.manufacturer, std::u16string(u"Quorrel"));
    EXPECT_EQ(ours.inputReportLength, DeviceReportLength);
    EXPECT_EQ(ours.outputReportLength, DeviceReportLength);

    EXPECT_NE(bus.Open("sim:0"), nullptr);
    EXPECT_EQ(bus.Open("sim:1"), nullptr);
    EXPECT_EQ(bus.Open(bus.PathOf(refuses)), nullptr);
    EXPECT_EQ(bus.Open("sim:9"), nullptr);
    EXPECT_NE(bus.Open(bus.PathOf(supply)), nullptr);

    bus.Unplug(supply);
    bus.Unplug(0);
    const HidEnumeration left = bus.Enumerate();
    ASSERT_EQ(left.devices.size(), 2u);
    EXPECT_EQ(left.devices[0].path, "sim:1");
    EXPECT_EQ(bus.Open(bus.PathOf(supply)), nullptr);
}

TEST(SimulatedHidBus, WritesReachThePowerSupplyAndItsAnswersComeBack)
{
    ManualClock clock; // the status report's timers stand still
    SimulatedHidBus bus(clock);
    const int supply = bus.AddPowerSupply();
    const int decoy = bus.AddDecoy(HidDeviceInfo{});
    auto port = bus.Open(bus.PathOf(supply));
    ASSERT_NE(port, nullptr);

    const auto control = Request({CmdControl, CtlAuxOutput, 1, 0});
    ASSERT_EQ(port->Write(control), HidWriteResult::Ok);
    EXPECT_EQ(Next(bus, supply, *port), Request({ReportCommand, 0, CtlAuxOutput}));
    EXPECT_TRUE(bus.PowerSupply(supply).AuxOn());
    ASSERT_EQ(port->Write(Status()), HidWriteResult::Ok);
    EXPECT_EQ(Next(bus, supply, *port), bus.PowerSupply(supply).StatusReport());
    EXPECT_EQ(bus.WrittenReports(supply), (std::vector<std::vector<uint8_t>>{control, Status()}));

    // A decoy takes what is written and never answers.
    auto other = bus.Open(bus.PathOf(decoy));
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(other->Write(Status()), HidWriteResult::Ok);
    EXPECT_EQ(bus.PendingInput(decoy), 0u);
    EXPECT_EQ(bus.WrittenReports(decoy).size(), 1u);
}

TEST(SimulatedHidBus, UnplugWakesABlockedReadAndFailsWrites)
{
    SimulatedHidBus bus;
    const int supply = bus.AddPowerSupply();
    auto port = bus.Open(bus.PathOf(supply));
    ASSERT_NE(port, nullptr);

    auto read = std::async(std::launch::async, [&] { return ReadChunk(*port, HidReadResult::DeviceGone); });
    ASSERT_TRUE(bus.AwaitBlockedRead(supply));
    bus.Unplug(supply);
    ASSERT_TRUE(EndsSoon(read, [&] { port->CancelRead(); }));
    EXPECT_TRUE(read.get().empty());
    EXPECT_EQ(port->Write(Status()), HidWriteResult::DeviceGone);
    ReadChunk(*port, HidReadResult::DeviceGone);

    // Back again: the old port stays dead, a new one works.
    bus.Plug(supply);
    EXPECT_EQ(port->Write(Status()), HidWriteResult::DeviceGone);
    auto fresh = bus.Open(bus.PathOf(supply));
    ASSERT_NE(fresh, nullptr);
    EXPECT_EQ(fresh->Write(Status()), HidWriteResult::Ok);
    EXPECT_EQ(Next(bus, supply, *fresh)[0], ReportStatus);
    EXPECT_EQ(bus.OpenPortCount(supply), 2);
    port.reset();
    EXPECT_EQ(bus.OpenPortCount(supply), 1);
}

TEST(SimulatedHidBus, UnplugDiscardsWhatWasNotRead)
{
    SimulatedHidBus bus;
    const int supply = bus.AddPowerSupply();
    auto port = bus.Open(bus.PathOf(supply));
    bus.HoldReplies(supply, true);
    port->Write(Status());
    bus.HoldReplies(supply, false);
    port->Write(Status());
    bus.Unplug(supply);
    bus.ReleaseHeldReplies(supply);
    bus.Plug(supply);
    EXPECT_EQ(bus.PendingInput(supply), 0u);
}

TEST(SimulatedHidBus, CancelEndsABlockedReadForGood)
{
    SimulatedHidBus bus;
    const int supply = bus.AddPowerSupply();
    auto port = bus.Open(bus.PathOf(supply));
    auto read = std::async(std::launch::async, [&] { return ReadChunk(*port, HidReadResult::Cancelled); });
    ASSERT_TRUE(bus.AwaitBlockedRead(supply));
    port->CancelRead();
    ASSERT_TRUE(EndsSoon(read, [&] { bus.Unplug(supply); }));
    EXPECT_TRUE(read.get().empty());
    bus.InjectInput(supply, Status());
    ReadChunk(*port, HidReadResult::Cancelled); // even with input waiting
    EXPECT_EQ(port->Write(Status()), HidWriteResult::Ok); // writing goes on
}

TEST(SimulatedHidBus, InputIsHandedOutInTheChosenChunks)
{
    struct Case
    {
        std::vector<size_t> chunks;
        std::vector<size_t> counts; // of the reads that take two reports
    };
    const Case cases[] = {
        {{}, {24, 24}},
        {{12, 12}, {12, 12, 12, 12}},
        {{10, 20}, {10, 20, 10, 8}}, // a chunk runs over into the next report; only what is there is handed out
        {{1, 47}, {1, 47}},
    };
    for (const auto& c : cases)
    {
        SimulatedHidBus bus;
        const int supply = bus.AddPowerSupply();
        auto port = bus.Open(bus.PathOf(supply));
        bus.SetChunkSizes(supply, c.chunks);
        port->Write(Request({CmdControl, CtlConnectInit}));
        port->Write(Status());
        std::vector<uint8_t> stream;
        std::vector<size_t> counts;
        while (bus.PendingInput(supply) > 0)
        {
            const auto chunk = Next(bus, supply, *port);
            counts.push_back(chunk.size());
            stream.insert(stream.end(), chunk.begin(), chunk.end());
        }
        EXPECT_EQ(counts, c.counts) << c.chunks.size();
        std::vector<uint8_t> expected = Request({ReportCommand, 0, CtlConnectInit});
        const auto status = bus.PowerSupply(supply).StatusReport();
        expected.insert(expected.end(), status.begin(), status.end());
        EXPECT_EQ(stream, expected);
    }
}

TEST(SimulatedHidBus, HeldRepliesWaitUntilReleased)
{
    SimulatedHidBus bus;
    const int supply = bus.AddPowerSupply();
    auto port = bus.Open(bus.PathOf(supply));
    bus.HoldReplies(supply, true);
    ASSERT_EQ(port->Write(Request({CmdMemoryRead, 0xC0, 0x3F, 0, 16})), HidWriteResult::Ok);
    ASSERT_EQ(bus.PendingInput(supply), 0u);

    // A report the device sends meanwhile overtakes the held answer.
    auto read = std::async(std::launch::async, [&] { return ReadChunk(*port); });
    ASSERT_TRUE(bus.AwaitBlockedRead(supply));
    bus.InjectInput(supply, Request({ReportStatus}));
    ASSERT_TRUE(EndsSoon(read, [&] { bus.Unplug(supply); }));
    const auto overtaking = read.get();
    ASSERT_FALSE(overtaking.empty());
    EXPECT_EQ(overtaking[0], ReportStatus);

    bus.ReleaseHeldReplies(supply);
    const auto answer = Next(bus, supply, *port);
    ASSERT_EQ(answer.size(), 24u);
    EXPECT_EQ(std::vector<uint8_t>(answer.begin(), answer.begin() + 5),
              (std::vector<uint8_t>{ReportMemoryRead, 0xC0, 0x3F, 0, 16}));
    EXPECT_EQ(bus.PendingInput(supply), 0u);
}

TEST(SimulatedHidBus, InjectedBytesArriveAsTheyAre)
{
    SimulatedHidBus bus;
    const int supply = bus.AddPowerSupply();
    auto port = bus.Open(bus.PathOf(supply));
    const std::vector<uint8_t> shortReport(23, ReportStatus);
    const std::vector<uint8_t> unknownType = Request({0x55, 1, 2, 3});
    bus.InjectInput(supply, shortReport);
    port->Write(Status());
    bus.InjectInput(supply, unknownType);
    EXPECT_EQ(Next(bus, supply, *port), shortReport);
    EXPECT_EQ(Next(bus, supply, *port)[0], ReportStatus);
    EXPECT_EQ(Next(bus, supply, *port), unknownType);
}

TEST(SimulatedHidBus, DisappearsOnTheNthCommandAndComesBack)
{
    SimulatedHidBus bus;
    const int supply = bus.AddPowerSupply();
    CallCounter changes;
    auto watch = bus.Watch(std::ref(changes));
    auto port = bus.Open(bus.PathOf(supply));
    bus.DisappearOnCommand(supply, 3);
    EXPECT_EQ(port->Write(Status()), HidWriteResult::Ok);
    EXPECT_EQ(port->Write(Request({CmdControl, CtlAuxOutput, 1, 0})), HidWriteResult::Ok);
    EXPECT_EQ(port->Write(Request({CmdControl, CtlPowerSwitch, 1, 0})), HidWriteResult::DeviceGone);
    EXPECT_FALSE(bus.IsPlugged(supply));
    EXPECT_FALSE(bus.PowerSupply(supply).PowerSwitchOn()); // the last command never arrived
    EXPECT_EQ(bus.WrittenReports(supply).size(), 3u);
    EXPECT_EQ(bus.WrittenReports(supply)[2][1], CtlPowerSwitch);
    ReadChunk(*port, HidReadResult::DeviceGone);
    EXPECT_TRUE(changes.AwaitCalls(1));

    bus.Plug(supply);
    auto again = bus.Open(bus.PathOf(supply));
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->Write(Status()), HidWriteResult::Ok); // it disappears once only
    EXPECT_EQ(again->Write(Status()), HidWriteResult::Ok);
    EXPECT_EQ(Next(bus, supply, *again)[0], ReportStatus);
    EXPECT_TRUE(bus.PowerSupply(supply).AuxOn()); // the device kept its state
}

TEST(SimulatedHidBus, EveryWatchHearsEachChangeOnceAndNothingAfterItIsGone)
{
    SimulatedHidBus bus;
    const int supply = bus.AddPowerSupply();
    CallCounter first;
    CallCounter second;
    auto watch = bus.Watch(std::ref(first));
    auto other = bus.Watch(std::ref(second));
    ASSERT_NE(watch, nullptr);
    bus.Unplug(supply);
    bus.Unplug(supply); // already out: no change
    bus.Plug(supply);
    bus.Plug(supply); // already in: no change
    bus.AddDecoy(HidDeviceInfo{});
    bus.AddPowerSupply();
    ASSERT_TRUE(first.AwaitCalls(4));
    ASSERT_TRUE(second.AwaitCalls(4));

    watch.reset();
    bus.Unplug(supply);
    ASSERT_TRUE(second.AwaitCalls(5));
    EXPECT_EQ(first.Calls(), 4);
    other.reset();
    bus.Plug(supply);
    EXPECT_EQ(second.Calls(), 5);
}

TEST(SimulatedHidBus, NoInputIsLostWhileWritingAndReadingAtOnce)
{
    // Writer and reader threads at once, and an unplug to end it; under a
    // thread sanitizer this also checks the port's locking.
    SimulatedHidBus bus;
    const int supply = bus.AddPowerSupply();
    auto port = bus.Open(bus.PathOf(supply));
    bus.SetChunkSizes(supply, {7, 17});
    size_t received = 0;
    HidReadResult last = HidReadResult::Data;
    auto reader = std::async(std::launch::async, [&] {
        std::vector<uint8_t> buffer(24);
        size_t count = 0;
        while ((last = port->Read(buffer, count)) == HidReadResult::Data)
            received += count;
    });
    std::thread writer([&] {
        for (int i = 0; i < 200; ++i)
            ASSERT_EQ(port->Write(Status()), HidWriteResult::Ok);
    });
    writer.join();
    const bool allRead = bus.AwaitBlockedRead(supply); // the reader has taken everything
    std::thread unplugger([&] { bus.Unplug(supply); });
    unplugger.join();
    ASSERT_TRUE(EndsSoon(reader, [&] { port->CancelRead(); }));
    EXPECT_TRUE(allRead);
    EXPECT_EQ(last, HidReadResult::DeviceGone);
    EXPECT_EQ(received, 200u * 24u);
}
