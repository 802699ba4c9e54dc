#include "sim/SimulatedHidBus.h"

#include <gtest/gtest.h>

#include <thread>

#include "device/DeviceIdentity.h"
#include "device/QuorrelProtocol.h"

namespace
{
std::vector<uint8_t> Status()
{
    std::vector<uint8_t> request(24, 0);
    request[0] = CmdStatusRequest;
    return request;
}
} // namespace

TEST(SimulatedHidBus, EnumeratesWhatIsPluggedInOrder)
{
    SimulatedHidBus bus;
    HidDeviceInfo decoy;
    decoy.vendorId = 0x1234;
    decoy.inputReportLength = 25;
    bus.AddDecoy(decoy);
    HidDeviceInfo locked;
    locked.openable = false;
    bus.AddDecoy(locked);
    const int supply = bus.AddPowerSupply();

    auto present = bus.Enumerate();
    ASSERT_EQ(present.devices.size(), 3u);
    EXPECT_EQ(present.devices[0].vendorId, 0x1234);
    EXPECT_FALSE(present.devices[1].openable);
    EXPECT_EQ(present.devices[2].vendorId, DeviceVendorId);
    EXPECT_EQ(present.devices[2].inputReportLength, 24);
    EXPECT_EQ(bus.Open(present.devices[1].path), nullptr);

    bus.Unplug(supply);
    EXPECT_EQ(bus.Enumerate().devices.size(), 2u);
    EXPECT_EQ(bus.Open(bus.PathOf(supply)), nullptr);
}

TEST(SimulatedHidBus, UnplugWakesABlockedReadAndFailsWrites)
{
    SimulatedHidBus bus;
    const int supply = bus.AddPowerSupply();
    auto port = bus.Open(bus.PathOf(supply));
    ASSERT_NE(port, nullptr);

    HidReadResult result = HidReadResult::Data;
    std::thread reader([&] {
        std::vector<uint8_t> buffer(24);
        size_t count = 0;
        result = port->Read(buffer, count);
    });
    bus.Unplug(supply);
    reader.join();
    EXPECT_EQ(result, HidReadResult::DeviceGone);
    EXPECT_EQ(port->Write(Status()), HidWriteResult::DeviceGone);

    // Back again: the old port stays dead, a new one works.
    bus.Plug(supply);
    EXPECT_EQ(port->Write(Status()), HidWriteResult::DeviceGone);
    auto fresh = bus.Open(bus.PathOf(supply));
    ASSERT_NE(fresh, nullptr);
    EXPECT_EQ(fresh->Write(Status()), HidWriteResult::Ok);
    EXPECT_EQ(bus.OpenPortCount(supply), 2);
}

TEST(SimulatedHidBus, CancelEndsABlockedReadForGood)
{
    SimulatedHidBus bus;
    auto port = bus.Open(bus.PathOf(bus.AddPowerSupply()));
    std::vector<uint8_t> buffer(24);
    size_t count = 0;
    HidReadResult result = HidReadResult::Data;
    std::thread reader([&] { result = port->Read(buffer, count); });
    port->CancelRead();
    reader.join();
    EXPECT_EQ(result, HidReadResult::Cancelled);
    EXPECT_EQ(port->Read(buffer, count), HidReadResult::Cancelled);
}

TEST(SimulatedHidBus, AnswersComeInChosenChunksAndCanBeHeld)
{
    SimulatedHidBus bus;
    const int supply = bus.AddPowerSupply();
    auto port = bus.Open(bus.PathOf(supply));
    bus.SetChunkSizes(supply, {10, 20});
    bus.HoldReplies(supply, true);
    ASSERT_EQ(port->Write(Status()), HidWriteResult::Ok);
    EXPECT_EQ(bus.PendingInput(supply), 0u);
    bus.ReleaseHeldReplies(supply);
    EXPECT_EQ(bus.PendingInput(supply), 24u);

    std::vector<uint8_t> buffer(24);
    size_t count = 0;
    ASSERT_EQ(port->Read(buffer, count), HidReadResult::Data);
    EXPECT_EQ(count, 10u);
    EXPECT_EQ(buffer[0], ReportStatus);
    ASSERT_EQ(port->Read(buffer, count), HidReadResult::Data);
    EXPECT_EQ(count, 14u); // only what is there
}

TEST(SimulatedHidBus, DisappearsOnTheNthCommand)
{
    SimulatedHidBus bus;
    const int supply = bus.AddPowerSupply();
    auto port = bus.Open(bus.PathOf(supply));
    bus.DisappearOnCommand(supply, 3);
    EXPECT_EQ(port->Write(Status()), HidWriteResult::Ok);
    EXPECT_EQ(port->Write(Status()), HidWriteResult::Ok);
    EXPECT_EQ(port->Write(Status()), HidWriteResult::DeviceGone);
    EXPECT_FALSE(bus.IsPlugged(supply));
    EXPECT_EQ(bus.WrittenReports(supply).size(), 3u);
}

TEST(SimulatedHidBus, WatchCallsOncePerChangeAndNeverAfterItIsGone)
{
    SimulatedHidBus bus;
    const int supply = bus.AddPowerSupply();
    std::mutex mutex;
    std::condition_variable changed;
    int calls = 0;
    auto watch = bus.Watch([&] {
        std::lock_guard<std::mutex> lock(mutex);
        ++calls;
        changed.notify_all();
    });
    bus.Unplug(supply);
    bus.Unplug(supply); // already out: no change
    bus.Plug(supply);
    {
        std::unique_lock<std::mutex> lock(mutex);
        ASSERT_TRUE(changed.wait_for(lock, std::chrono::seconds(20), [&] { return calls == 2; }));
    }
    watch.reset();
    bus.Unplug(supply);
    std::lock_guard<std::mutex> lock(mutex);
    EXPECT_EQ(calls, 2);
}
