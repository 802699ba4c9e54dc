#include "device/DeviceDetector.h"

#include <gtest/gtest.h>

#include <set>
#include <thread>

#include "sim/SimulatedHidBus.h"
#include "tests/device/LinkFixture.h"

namespace
{
class CountingDetector : public DeviceDetector
{
public:
    explicit CountingDetector(HidBus& bus) : DeviceDetector(bus) {}
    ~CountingDetector() override { StopDetecting(); }

    void OnDeviceChange() override
    {
        std::lock_guard<std::mutex> lock(mutex);
        ++calls;
        threads.insert(std::this_thread::get_id());
    }
    int Calls()
    {
        std::lock_guard<std::mutex> lock(mutex);
        return calls;
    }

    std::mutex mutex;
    int calls = 0;
    std::set<std::thread::id> threads;
};
} // namespace

TEST(DeviceDetector, EveryPlugAndUnplugIsReportedOnTheDetectorsThread)
{
    SimulatedHidBus bus;
    const int device = bus.AddPowerSupply();
    CountingDetector detector(bus);
    ASSERT_TRUE(detector.StartDetecting());

    bus.Unplug(device);
    ASSERT_TRUE(Eventually([&] { return detector.Calls() == 1; }));
    bus.Plug(device);
    ASSERT_TRUE(Eventually([&] { return detector.Calls() == 2; }));
    for (int i = 0; i < 10; ++i)
    {
        bus.Unplug(device);
        bus.Plug(device);
    }
    ASSERT_TRUE(Eventually([&] { return detector.Calls() == 22; }));
    std::lock_guard<std::mutex> lock(detector.mutex);
    EXPECT_EQ(detector.threads.size(), 1u);
    EXPECT_EQ(detector.threads.count(std::this_thread::get_id()), 0u);
}

TEST(DeviceDetector, NoCallAfterStopping)
{
    SimulatedHidBus bus;
    const int device = bus.AddPowerSupply();
    auto detector = std::make_unique<CountingDetector>(bus);
    ASSERT_TRUE(detector->StartDetecting());
    bus.Unplug(device);
    detector->StopDetecting();
    const int calls = detector->Calls();
    EXPECT_LE(calls, 1);
    EXPECT_FALSE(detector->IsDetecting());
    bus.Plug(device);
    bus.Unplug(device);
    EXPECT_EQ(detector->Calls(), calls);
    detector.reset(); // and destroying it while devices change is safe
    bus.Plug(device);
}
