#include "cli/CommandContext.h"

#include "device/hid/linux/UdevHidBus.h"

CommandContext::CommandContext(const GlobalOptions& options, ResultOutput& out, Clock& clock)
    : m_options(options), m_out(out), m_clock(clock)
{
}

CommandContext::~CommandContext()
{
    m_session.reset(); // before the bus it runs on
}

HidBus& CommandContext::Bus()
{
    if (m_options.simulate)
    {
        if (!m_simulated)
            m_simulated = std::make_unique<SimulatedSupply>(m_options.simulatedMemoryFile, m_clock);
        return m_simulated->Bus();
    }
    if (!m_hidraw)
        m_hidraw = std::make_unique<UdevHidBus>();
    return *m_hidraw;
}

DeviceSession& CommandContext::Session()
{
    if (!m_session)
    {
        // The link keeps its own timing on real hardware.
        Clock& linkClock = m_options.simulate ? static_cast<Clock&>(m_simulationClock) : m_clock;
        m_session = std::make_unique<DeviceSession>(Bus(), linkClock, m_options.devicePath);
    }
    return *m_session;
}

void CommandContext::Finish()
{
    m_session.reset();
    if (m_simulated)
        m_simulated->Persist();
}
