// The device link through a thousand unplug and replug cycles, with the
// change detector running: every plug reconnects, every unplug is noticed by
// the next write, and nothing is left open afterwards.

#include <atomic>

#include "device/DeviceDetector.h"
#include "device/HIDDevices.h"
#include "tests/device/LinkFixture.h"

#include <gtest/gtest.h>

namespace
{
class ChangeCounter final : public DeviceDetector
{
public:
    explicit ChangeCounter(HidBus& bus) : DeviceDetector(bus) { StartDetecting(); }
    ~ChangeCounter() override { StopDetecting(); }
    void OnDeviceChange() override { ++changes; }
    std::atomic<int> changes{0};
};
} // namespace

TEST(HotplugStorm, ThousandCyclesReconnectEveryTimeAndLeaveNothingOpen)
{
    ManualClock clock;
    LetThreadsRun(clock);
    SimulatedHidBus bus(clock);
    const int index = bus.AddPowerSupply();
    ChangeCounter detector(bus);
    constexpr int Cycles = 1000;

    for (int cycle = 0; cycle < Cycles; ++cycle)
    {
        SCOPED_TRACE(cycle);
        HIDDevices devices(bus, clock);
        HIDDescriptor* found = devices.ChooseDevice(DeviceManufacturer);
        ASSERT_NE(found, nullptr);
        std::unique_ptr<HIDDevice> device(devices.OpenDevice(found));
        ASSERT_TRUE(device->IsOpen());
        auto connection = std::make_unique<HIDQuorrel>(device.get(), clock);
        ASSERT_TRUE(connection->SendCommand(CmdStatusRequest));

        bus.Unplug(index);
        EXPECT_FALSE(connection->SendCommand(CmdStatusRequest)) << "the write after the unplug fails";
        EXPECT_FALSE(device->IsOpen());
        // Reports queued before and after: the status answer (if it came in
        // time) and the disconnect report, which is queued once.
        int disconnects = 0;
        while (HArray* report = connection->PopReport())
        {
            disconnects += report->At(0) == 0xFF;
            delete report;
        }
        EXPECT_EQ(disconnects, 1);
        connection.reset(); // the connection goes first, then the device
        device.reset();
        bus.Plug(index);
    }
    EXPECT_EQ(bus.OpenPortCount(index), 0);
    EXPECT_TRUE(Eventually([&] { return detector.changes >= 2 * Cycles; })) << detector.changes;
}
