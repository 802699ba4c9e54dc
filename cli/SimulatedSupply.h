#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sim/SimulatedHidBus.h"
#include "support/Clock.h"

// The link's pace for the embedded device, which answers at once: every wait
// of the link (reply polls, the reader's pause, the thread stop poll) lasts a
// tenth of its length, bounds included. Time itself runs as the system's.
class SimulationClock final : public Clock
{
public:
    void SleepMs(uint32_t ms) override;
    uint64_t NowMs() const override { return Clock::System().NowMs(); }
};

// The embedded simulated power supply behind --simulate, alone on a bus of
// its own. With a memory file, its 1024 bytes of memory (script and
// parameter block, 0x3C00-0x3FFF) are kept there between runs as raw bytes:
// loaded when the supply is made, the file created with the factory contents
// when missing, and written back when a run changed them. Everything else of
// the device (outputs, volatile voltage, timers) starts afresh every run, as
// after a power cycle.
class SimulatedSupply
{
public:
    // memoryFile empty: memory lives only as long as this object.
    SimulatedSupply(std::string memoryFile, Clock& clock);

    HidBus& Bus() { return m_bus; }
    SimulatedPowerSupply& Supply() { return m_bus.PowerSupply(m_index); }

    // Writes the memory to the file if it changed or the file is new. The
    // file is replaced in one step, so a failed write leaves the old one.
    void Persist();

private:
    std::vector<uint8_t> Memory();

    SimulatedHidBus m_bus;
    int m_index;
    std::string m_file;
    bool m_fileExisted = false;
    std::vector<uint8_t> m_stored; // as in the file
};
