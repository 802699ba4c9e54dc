#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "sim/SimulatedPowerSupply.h"

// One simulated power supply behind /dev/uhid. Output reports the kernel
// hands over go to the power supply; its answers go back as input reports.
// How the device shows itself to the kernel; the defaults are the power
// supply's own identity, anything else makes a decoy.
struct UhidIdentity
{
    std::string name;   // the kernel's name, which stands for the manufacturer
    uint16_t vendorId;
    uint16_t productId;
    uint8_t dataBytes;  // per report, after the report id
};
UhidIdentity PowerSupplyIdentity();

class UhidDevice
{
public:
    UhidDevice(SimulatedPowerSupply& supply, UhidIdentity identity);
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
    UhidIdentity m_identity;
    int m_fd = -1;
    bool m_created = false;
};
