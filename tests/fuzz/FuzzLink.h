#pragma once

#include <chrono>
#include <memory>
#include <thread>

#include "device/HIDDevice.h"
#include "device/HIDQuorrel.h"
#include "sim/SimulatedHidBus.h"
#include "support/Clock.h"
#include "transfer/ConnectionSource.h"

// One simulated power supply, opened and connected, kept for the whole
// fuzzing run. Waits run on virtual time that yields to the reader thread.
struct FuzzLink
{
    ManualClock clock;
    SimulatedHidBus bus{clock};
    int index = bus.AddPowerSupply();
    std::unique_ptr<HIDDevice> device;
    std::unique_ptr<HIDQuorrel> connection;
    FixedConnection source{nullptr};

    FuzzLink()
    {
        clock.SetSleepHook([](uint32_t) { std::this_thread::sleep_for(std::chrono::microseconds(20)); });
        device = std::make_unique<HIDDevice>(new HIDDescriptor(bus.Enumerate().devices.at(0)), bus, clock);
        connection = std::make_unique<HIDQuorrel>(device.get(), clock);
        source = FixedConnection(connection.get());
    }

    static FuzzLink& Instance()
    {
        static FuzzLink* link = new FuzzLink; // lives until the process ends
        return *link;
    }
};
