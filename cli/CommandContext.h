#pragma once

#include <memory>
#include <optional>
#include <string>

#include "cli/DeviceSession.h"
#include "cli/ResultOutput.h"
#include "cli/SimulatedSupply.h"
#include "device/hid/HidBus.h"
#include "support/Clock.h"

// The options every command takes.
struct GlobalOptions
{
    bool simulate = false;
    std::string simulatedMemoryFile; // with --simulate=FILE
    std::string devicePath;          // --device PATH; empty: the first power supply found
    bool json = false;
};

// What a command works with: the options, the result output, and the
// device, which is looked for only when the command first asks for it.
class CommandContext
{
public:
    CommandContext(const GlobalOptions& options, ResultOutput& out, Clock& clock = Clock::System());
    ~CommandContext();

    const GlobalOptions& Options() const { return m_options; }
    ResultOutput& Out() { return m_out; }
    // The clock of pauses the user asks for (status --watch).
    Clock& GetClock() { return m_clock; }

    // The bus the device is looked for on: hidraw, or the simulated one.
    HidBus& Bus();
    // The open session; ends the command with exit status 3 when no device is found.
    DeviceSession& Session();

    // Closes the session and keeps the simulated memory; a failure to keep it
    // ends with a CommandFailure.
    void Finish();

private:
    GlobalOptions m_options;
    ResultOutput& m_out;
    Clock& m_clock;
    SimulationClock m_simulationClock;
    std::unique_ptr<HidBus> m_hidraw;
    std::unique_ptr<SimulatedSupply> m_simulated;
    std::unique_ptr<DeviceSession> m_session;
};
