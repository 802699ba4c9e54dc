#pragma once

#include <cstdint>
#include <span>

#include "sim/SimulatedPowerSupply.h"

// One simulated power supply behind /dev/uhid. Output reports the kernel
// hands over go to the power supply; its answers go back as input reports.
class UhidDevice
{
public:
    explicit UhidDevice(SimulatedPowerSupply& supply);
    ~UhidDevice();
    UhidDevice(const UhidDevice&) = delete;
    UhidDevice& operator=(const UhidDevice&) = delete;

    // Opens /dev/uhid; false (with errno) when it cannot be opened.
    bool Open();
    // Makes the device appear, or disappear, as if plugged or pulled.
    bool Create();
    bool Destroy();
    bool Exists() const { return m_created; }

    // The descriptor to poll for events from the kernel.
    int Fd() const { return m_fd; }
    // Handles one event from the kernel; false when reading failed.
    bool HandleEvent();

private:
    bool Send(const void* event, size_t size);

    SimulatedPowerSupply& m_supply;
    int m_fd = -1;
    bool m_created = false;
};
