#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "device/DeviceIdentity.h"
#include "device/HIDDevice.h"
#include "device/HIDQuorrel.h"
#include "sim/SimulatedHidBus.h"
#include "support/Clock.h"

// Waits for something another thread does. The bound only stops a broken
// test from hanging; a working one never comes near it.
inline bool Eventually(const std::function<bool()>& condition)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!condition())
    {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::yield();
    }
    return true;
}

inline std::vector<uint8_t> Bytes(const HArray& array)
{
    return std::vector<uint8_t>(array.Data(), array.Data() + array.Length());
}

inline std::vector<uint8_t> Padded(std::vector<uint8_t> bytes, size_t length = DeviceReportLength)
{
    bytes.resize(length, 0);
    return bytes;
}

// Virtual time for a reader thread that still lets it run: each of its
// sleeps, and each poll of the stop that waits for it, yields the processor
// for a moment instead of spending the milliseconds.
inline void LetThreadsRun(ManualClock& clock)
{
    clock.SetSleepHook([](uint32_t) { std::this_thread::sleep_for(std::chrono::microseconds(100)); });
}

// One simulated power supply on a simulated bus, opened and connected. The
// device's reader and the connection's reply wait have clocks of their own,
// so a test can count the connection's polls exactly.
struct LinkFixture
{
    ManualClock readerClock;
    ManualClock replyClock;
    SimulatedHidBus bus{readerClock};
    int index = bus.AddPowerSupply();
    std::unique_ptr<HIDDevice> device;
    std::unique_ptr<HIDQuorrel> connection;

    LinkFixture()
    {
        LetThreadsRun(readerClock);
        Open();
    }
    ~LinkFixture() { Disconnect(); }

    void Open()
    {
        device = std::make_unique<HIDDevice>(new HIDDescriptor(bus.Enumerate().devices.at(0)), bus, readerClock);
        connection = std::make_unique<HIDQuorrel>(device.get(), replyClock);
    }
    void Disconnect()
    {
        connection.reset(); // the connection goes first, then the device
        device.reset();
    }

    // Takes out every queued report, waiting until there are count of them.
    std::vector<std::vector<uint8_t>> TakeReports(size_t count)
    {
        std::vector<std::vector<uint8_t>> reports;
        Eventually([&] {
            while (HArray* report = connection->PopReport())
            {
                reports.push_back(Bytes(*report));
                delete report;
            }
            return reports.size() >= count;
        });
        return reports;
    }
};
