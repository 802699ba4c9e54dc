#include "device/DeviceDetector.h"

#include <gtest/gtest.h>

#include <atomic>
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

// The simulated bus, counting the watches that are alive. A watch that is
// gone makes no further call (the seam's promise), so a count of 0 proves
// that nothing more can reach the detector, without waiting for it.
class WatchCountingBus final : public HidBus
{
public:
    explicit WatchCountingBus(SimulatedHidBus& bus) : m_bus(bus) {}

    HidEnumeration Enumerate() override { return m_bus.Enumerate(); }
    std::unique_ptr<HidPort> Open(const std::string& path) override { return m_bus.Open(path); }
    std::unique_ptr<HidWatch> Watch(ChangeCallback onChange) override
    {
        auto watch = m_bus.Watch(std::move(onChange));
        if (!watch)
            return nullptr;
        return std::make_unique<Counted>(std::move(watch), m_alive);
    }

    int Alive() const { return m_alive; }

private:
    class Counted final : public HidWatch
    {
    public:
        Counted(std::unique_ptr<HidWatch> watch, std::atomic<int>& alive) : m_watch(std::move(watch)), m_alive(alive)
        {
            ++m_alive;
        }
        ~Counted() override
        {
            m_watch.reset();
            --m_alive;
        }

    private:
        std::unique_ptr<HidWatch> m_watch;
        std::atomic<int>& m_alive;
    };

    SimulatedHidBus& m_bus;
    std::atomic<int> m_alive{0};
};

// A bus on which no watch can be set up.
class UnwatchableBus final : public HidBus
{
public:
    HidEnumeration Enumerate() override { return {}; }
    std::unique_ptr<HidPort> Open(const std::string&) override { return nullptr; }
    std::unique_ptr<HidWatch> Watch(ChangeCallback) override { return nullptr; }
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
    // Any HID device counts, not just the power supply.
    HidDeviceInfo keyboard;
    keyboard.vendorId = 0x046D;
    const int decoy = bus.AddDecoy(keyboard);
    ASSERT_TRUE(Eventually([&] { return detector.Calls() == 3; }));
    bus.Unplug(decoy);
    ASSERT_TRUE(Eventually([&] { return detector.Calls() == 4; }));
    for (int i = 0; i < 10; ++i)
    {
        bus.Unplug(device);
        bus.Plug(device);
    }
    ASSERT_TRUE(Eventually([&] { return detector.Calls() == 24; }));
    std::lock_guard<std::mutex> lock(detector.mutex);
    EXPECT_EQ(detector.threads.size(), 1u);
    EXPECT_EQ(detector.threads.count(std::this_thread::get_id()), 0u);
}

TEST(DeviceDetector, NothingIsHeardBeforeStartingOrAfterStopping)
{
    SimulatedHidBus simulated;
    WatchCountingBus bus(simulated);
    const int device = simulated.AddPowerSupply();
    auto detector = std::make_unique<CountingDetector>(bus);
    EXPECT_FALSE(detector->IsDetecting());
    EXPECT_EQ(bus.Alive(), 0);

    // Starting twice must not make a second watch (every change would be told twice).
    ASSERT_TRUE(detector->StartDetecting());
    ASSERT_TRUE(detector->StartDetecting());
    EXPECT_EQ(bus.Alive(), 1);
    simulated.Unplug(device);
    ASSERT_TRUE(Eventually([&] { return detector->Calls() == 1; }));

    detector->StopDetecting();
    EXPECT_FALSE(detector->IsDetecting());
    EXPECT_EQ(bus.Alive(), 0);
    simulated.Plug(device);
    simulated.Unplug(device);
    EXPECT_EQ(detector->Calls(), 1);

    // It can be started again, and destroying it while devices change ends it.
    ASSERT_TRUE(detector->StartDetecting());
    simulated.Plug(device);
    ASSERT_TRUE(Eventually([&] { return detector->Calls() == 2; }));
    std::atomic<bool> changing{true};
    std::thread plugger([&] {
        while (changing)
        {
            simulated.Unplug(device);
            simulated.Plug(device);
        }
    });
    ASSERT_TRUE(Eventually([&] { return detector->Calls() >= 4; }));
    detector.reset();
    EXPECT_EQ(bus.Alive(), 0);
    changing = false;
    plugger.join();
}

// The base destructor stops the watch even when the owner forgot to.
TEST(DeviceDetector, TheDetectorsOwnDestructorStopsTheWatch)
{
    class Forgetful final : public DeviceDetector
    {
    public:
        using DeviceDetector::DeviceDetector;
        void OnDeviceChange() override {}
    };
    SimulatedHidBus simulated;
    WatchCountingBus bus(simulated);
    {
        Forgetful detector(bus);
        ASSERT_TRUE(detector.StartDetecting());
        EXPECT_EQ(bus.Alive(), 1);
    }
    EXPECT_EQ(bus.Alive(), 0);
}

TEST(DeviceDetector, WithoutAWatchTheOwnerGoesOnWithoutCalls)
{
    UnwatchableBus bus;
    CountingDetector detector(bus);
    EXPECT_FALSE(detector.StartDetecting());
    EXPECT_FALSE(detector.IsDetecting());
    detector.StopDetecting(); // harmless
    EXPECT_EQ(detector.Calls(), 0);
}
