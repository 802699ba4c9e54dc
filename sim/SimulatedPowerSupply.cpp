#include "sim/SimulatedPowerSupply.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>

#include "device/QuorrelProtocol.h"
#include "model/ScriptStep.h"
#include "model/ValueCodecs.h"

namespace
{
// Slots of the parameter table the device itself acts on.
constexpr int SlotIgnitionHigh = 8;        // "Ignition HIGH limit"
constexpr int SlotMinVinAtStartup = 14;    // "Min. VIN voltage at startup"
constexpr int SlotPswPushDownTime = 20;    // "PSW "push-down" time"
constexpr int SlotMaxRegulationSteps = 22; // "Max regulation step number"
constexpr int SlotOffDelayTime0 = 23;      // then Hard-off TIME 0, Off-delay TIME 1, ... in pairs
constexpr int SlotHardOffTime0 = 24;

// Factory parameters, as a user would type them, by slot.
const std::pair<int, const char*> FactoryTexts[] = {
    {0, "12.00"}, {1, "13.80"}, {2, "19.00"}, {3, "5.00"}, {4, "9.00"}, {5, "15.00"}, {6, "24.00"}, {7, "12.50"},
    {8, "11.50"},            // ignition high
    {9, "10.00"},            // ignition low
    {10, "50"},              // debounce, ms
    {11, "10"}, {12, "2"}, {13, "5"},
    {14, "11.00"}, {15, "10.50"}, {16, "35.00"}, {17, "11.80"},
    {18, "1"}, {19, "0"}, {20, "500"}, {21, "00000001"}, {22, "20"},
    {23, "00:00:10"}, {24, "00:01:00"}, {25, "00:00:30"}, {26, "00:02:00"},
    {27, "00:01:00"}, {28, "00:05:00"}, {29, "00:05:00"}, {30, "00:10:00"},
    {31, "00:15:00"}, {32, "00:30:00"}, {33, "01:00:00"}, {34, "02:00:00"},
    {35, "04:00:00"}, {36, "08:00:00"}, {37, "Never"}, {38, "Never"},
    {39, "60"}, {40, "30"}, {41, "13.00"}, {42, "12.50"}, {43, "11.50"},
};

ParameterBlock MakeFactoryParameters()
{
    ParameterBlock block{};
    block[8] = 0x5A; // bytes no parameter uses still hold something of the device's
    block[12] = 0x00;
    block[31] = 0xA5;
    for (const auto& [slot, text] : FactoryTexts)
        StoreParameter(block, slot, text);
    return block;
}

std::array<uint8_t, 64> MakeFactoryScript()
{
    ScriptBlock block;
    block.fill(0xFF);
    // Step 1: output on at 12 V with a 500 ms power switch pulse, for a minute.
    ScriptStepView start;
    start.vOutT1State = StateItemOn;
    start.vOutT2State = StateItemOn;
    start.vPwsT1State = StateItemOn;
    start.playNextStep = true;
    start.voltage = "12.00";
    start.vOutT1Time = "00:00:05";
    start.vOutT2Time = "00:00:55";
    start.vAuxT1Time = start.vAuxT2Time = "Never";
    start.vPwsT1Time = "500";
    start.vPwsT2Time = "Never";
    start.globalWaitTime = "00:01:00";
    EncodeScriptStep(start, block, 0);
    // Step 2: everything off for half a minute, and the script ends.
    ScriptStepView stop = start;
    stop.vOutT1State = stop.vOutT2State = StateItemOff;
    stop.vPwsT1State = StateItemOff;
    stop.playNextStep = false;
    stop.globalWaitTime = "00:00:30";
    EncodeScriptStep(stop, block, 1);
    return block;
}

SimulatedPowerSupply::Report Blank(uint8_t type)
{
    SimulatedPowerSupply::Report report(ReportLength, 0);
    report[0] = type;
    return report;
}
} // namespace

const ParameterBlock& SimulatedPowerSupply::FactoryParameters()
{
    static const ParameterBlock block = MakeFactoryParameters();
    return block;
}

const std::array<uint8_t, 64>& SimulatedPowerSupply::FactoryScriptBlock()
{
    static const std::array<uint8_t, 64> block = MakeFactoryScript();
    return block;
}

SimulatedPowerSupply::SimulatedPowerSupply(Clock& clock) : m_clock(clock), m_startMs(clock.NowMs())
{
    m_outputs.voutSinceMs = m_startMs; // the output comes up with the device
    m_memory.fill(0xFF);
    std::copy(FactoryScriptBlock().begin(), FactoryScriptBlock().end(), m_memory.begin());
    std::copy(FactoryParameters().begin(), FactoryParameters().end(),
              m_memory.begin() + (ParameterBlockBase - MemoryBase));
}

std::vector<SimulatedPowerSupply::Report> SimulatedPowerSupply::HandleOutputReport(std::span<const uint8_t> report)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto at = [&](size_t i) -> uint8_t { return i < report.size() ? report[i] : 0; };
    Report answer;
    switch (at(0))
    {
    case CmdStatusRequest:
        answer = StatusReportLocked();
        break;
    case CmdMemoryRead:
    case CmdMemoryWrite:
    case CmdMemoryErase: {
        const uint32_t address = at(1) | at(2) << 8 | at(3) << 16;
        const std::span<const uint8_t> data = report.size() >= 21 ? report.subspan(5, 16) : std::span<const uint8_t>{};
        answer = MemoryRequest(at(0), address, at(4), data);
        break;
    }
    case CmdControl:
        answer = Control(at(1), at(2), at(3));
        break;
    default:
        return {};
    }
    if (m_dropReplies > 0)
    {
        --m_dropReplies;
        return {};
    }
    return {answer};
}

SimulatedPowerSupply::Report SimulatedPowerSupply::MemoryReply(uint32_t address, uint8_t count,
                                                               std::span<const uint8_t> data) const
{
    Report reply = Blank(ReportMemoryRead);
    reply[1] = static_cast<uint8_t>(address);
    reply[2] = static_cast<uint8_t>(address >> 8);
    reply[3] = static_cast<uint8_t>(address >> 16);
    reply[4] = count;
    std::copy_n(data.begin(), std::min<size_t>(data.size(), 16), reply.begin() + 5);
    return reply;
}

SimulatedPowerSupply::Report SimulatedPowerSupply::MemoryRequest(uint8_t code, uint32_t address, uint8_t count,
                                                                 std::span<const uint8_t> data)
{
    const bool inside = address >= MemoryBase && address + count <= MemoryBase + MemorySize;
    const size_t offset = address - MemoryBase;
    if (code == CmdMemoryErase)
    {
        if (!inside || count != MemoryEraseSize || address % MemoryEraseSize != 0)
            return MemoryReply(address, 0, {});
        std::fill_n(m_memory.begin() + static_cast<long>(offset), MemoryEraseSize, 0xFF);
        return MemoryReply(address, MemoryEraseSize, {});
    }
    if (!inside || count != MemoryChunkSize || (code == CmdMemoryWrite && data.size() != MemoryChunkSize))
        return MemoryReply(address, 0, {});
    if (code == CmdMemoryWrite)
    {
        // Flash: a write can only clear bits; only an erase sets them again.
        for (size_t i = 0; i < MemoryChunkSize; ++i)
            m_memory[offset + i] &= data[i];
    }
    std::array<uint8_t, MemoryChunkSize> stored;
    std::copy_n(m_memory.begin() + static_cast<long>(offset), MemoryChunkSize, stored.begin());
    if (code == CmdMemoryWrite && m_corruptEchoes > 0)
    {
        --m_corruptEchoes;
        stored[0] ^= 0x01;
    }
    return MemoryReply(address, MemoryChunkSize, stored);
}

SimulatedPowerSupply::Report SimulatedPowerSupply::Control(uint8_t subCode, uint8_t value1, uint8_t value2)
{
    Report reply = Blank(ReportCommand);
    reply[2] = subCode;
    if (m_controlError != 0)
    {
        reply[1] = m_controlError;
        return reply;
    }
    PlayScriptLocked(); // a command acts on the device as it is now
    const int maxSteps = ParameterByte(SlotMaxRegulationSteps);
    switch (subCode)
    {
    case CtlAuxOutput:
        SwitchAux(value1 != 0);
        break;
    case CtlPowerSwitch:
        m_outputs.powerSwitch = value1 != 0;
        break;
    case CtlMainOutput:
        SwitchVOut(value1 != 0);
        break;
    case CtlSetOutputVoltage:
        m_volatileCode = value1;
        break;
    case CtlConnectInit:
        break;
    case CtlStepUp:
        m_regulatorSteps = std::min(m_regulatorSteps + 1, maxSteps);
        break;
    case CtlStepDown:
        m_regulatorSteps = std::max(m_regulatorSteps - 1, 0);
        break;
    case CtlFactoryDefaults:
        std::copy(FactoryParameters().begin(), FactoryParameters().end(),
                  m_memory.begin() + (ParameterBlockBase - MemoryBase));
        m_volatileCode = -1;
        break;
    case CtlScriptStart:
        m_script = Script{true, 0, m_clock.NowMs()};
        PlayScriptLocked();
        break;
    case CtlScriptStop:
        m_script.running = false;
        break;
    case CtlSleep:
        m_sleepMinutes = static_cast<uint16_t>(value1 << 8 | value2);
        break;
    case CtlRegulatorSteps:
        reply[3] = static_cast<uint8_t>(m_regulatorSteps);
        break;
    default:
        reply[1] = 1;
        break;
    }
    return reply;
}

const uint8_t* SimulatedPowerSupply::StepBytes(int index) const
{
    return m_memory.data() + static_cast<size_t>(index) * ScriptStepSize;
}

namespace
{
uint16_t Word(const uint8_t* bytes, int offset)
{
    return static_cast<uint16_t>(bytes[offset] << 8 | bytes[offset + 1]);
}

// Whether a phase that lasts `time` units of `unitMs` is still on after `intoMs`.
bool InFirstPhase(uint16_t time, uint64_t unitMs, uint64_t intoMs)
{
    return time == NeverValue || intoMs < time * unitMs;
}
} // namespace

void SimulatedPowerSupply::ApplyStepOutputsLocked(uint64_t intoStepMs) const
{
    const uint8_t* step = StepBytes(m_script.step);
    const uint8_t flags = step[StepField::StepFlags];
    const auto state = [&](int t1Field, uint64_t unitMs, uint8_t t1Bit, uint8_t t2Bit) {
        return (flags & (InFirstPhase(Word(step, t1Field), unitMs, intoStepMs) ? t1Bit : t2Bit)) != 0;
    };
    SwitchVOut(state(StepField::VOutT1Time, 1000, StepFlags::VOutT1On, StepFlags::VOutT2On));
    SwitchAux(state(StepField::VAuxT1Time, 1000, StepFlags::VAuxT1On, StepFlags::VAuxT2On));
    m_outputs.powerSwitch = state(StepField::VPwsT1Time, 10, StepFlags::VPwsT1On, StepFlags::VPwsT2On);
}

void SimulatedPowerSupply::PlayScriptLocked() const
{
    // Every step played takes at least a second, and a skipped step only ever
    // leads onwards, so this ends.
    const uint64_t now = m_clock.NowMs();
    while (m_script.running)
    {
        const uint8_t* step = StepBytes(m_script.step);
        const uint16_t gwt = Word(step, StepField::GlobalWaitTime);
        int next = m_script.step + 1; // a skipped step (GWT 0) passes on to the next, whatever its flags
        if (gwt != 0)
        {
            const uint64_t lengthMs = gwt == NeverValue ? UINT64_MAX : gwt * uint64_t{1000};
            const uint64_t intoMs = now - m_script.stepStartMs;
            if (intoMs < lengthMs)
            {
                ApplyStepOutputsLocked(intoMs);
                return;
            }
            ApplyStepOutputsLocked(lengthMs); // the state the step ends in
            m_script.stepStartMs += lengthMs;
            const uint8_t flags = step[StepField::StepFlags];
            if ((flags & StepFlags::PlayNextStep) == 0)
                m_script.running = false;
            else if ((flags & StepFlags::RepeatFromFirst) != 0)
                next = 0;
        }
        if (next >= ScriptStepCount)
            m_script.running = false;
        if (m_script.running)
            m_script.step = next;
    }
}

void SimulatedPowerSupply::SwitchVOut(bool on) const
{
    if (on && !m_outputs.vout)
        m_outputs.voutSinceMs = m_clock.NowMs();
    m_outputs.vout = on;
}

void SimulatedPowerSupply::SwitchAux(bool on) const
{
    if (on && !m_outputs.aux)
        m_outputs.auxSinceMs = m_clock.NowMs();
    m_outputs.aux = on;
}

uint16_t SimulatedPowerSupply::SecondsSince(uint64_t ms) const
{
    const uint64_t seconds = (m_clock.NowMs() - ms) / 1000;
    return static_cast<uint16_t>(std::min<uint64_t>(seconds, NeverValue - 1));
}

uint8_t SimulatedPowerSupply::ParameterByte(int slot) const
{
    return m_memory[ParameterBlockBase - MemoryBase + static_cast<size_t>(ParameterAt(slot).offset)];
}

uint16_t SimulatedPowerSupply::ParameterWord(int slot) const
{
    const size_t at = ParameterBlockBase - MemoryBase + static_cast<size_t>(ParameterAt(slot).offset);
    return static_cast<uint16_t>(m_memory[at] << 8 | m_memory[at + 1]);
}

uint8_t SimulatedPowerSupply::OutputCodeLocked() const
{
    if (m_script.running)
        return StepBytes(m_script.step)[StepField::VOutCode];
    if (m_volatileCode >= 0)
        return static_cast<uint8_t>(m_volatileCode);
    return ParameterByte(m_voltageConfig); // "Voltage n" is slot n
}

uint8_t SimulatedPowerSupply::OutputCode() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    PlayScriptLocked();
    return OutputCodeLocked();
}

SimulatedPowerSupply::Report SimulatedPowerSupply::StatusReport() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return StatusReportLocked();
}

SimulatedPowerSupply::Report SimulatedPowerSupply::StatusReportLocked() const
{
    PlayScriptLocked();
    Report status = Blank(ReportStatus);
    const auto put16 = [&](size_t at, uint16_t value) {
        status[at] = static_cast<uint8_t>(value >> 8);
        status[at + 1] = static_cast<uint8_t>(value);
    };
    const Outputs& out = m_outputs;
    const bool playing = m_script.running;
    // Timers run while the device follows ignition or input voltage, or plays its script.
    const bool timing = m_mode == 1 || m_mode == 3 || playing;
    status[1] = static_cast<uint8_t>(m_timeConfig << 5 | m_voltageConfig << 2 | m_mode);
    status[2] = m_converterState;
    status[3] = m_inputCount;
    status[4] = m_ignitionCount;
    // The output measured in counts of 0.117 V, nothing while it is off.
    const double outputCounts = std::min(OutputCodeToVolts(OutputCodeLocked()) / 0.117, 255.0);
    status[5] = out.vout ? static_cast<uint8_t>(std::lround(outputCounts)) : 0;
    status[6] = static_cast<uint8_t>((out.powerSwitch ? 0x04 : 0) | (out.vout ? 0x08 : 0) | (out.aux ? 0x10 : 0));
    status[7] = 0x00;
    // Voltage flags: input above the startup threshold, ignition above its HIGH limit.
    status[8] = static_cast<uint8_t>((m_inputCount >= ParameterByte(SlotMinVinAtStartup) ? 0x01 : 0) |
                                     (m_ignitionCount >= ParameterByte(SlotIgnitionHigh) ? 0x02 : 0));
    status[9] = playing ? 0x01 : 0x00;
    status[10] = playing ? static_cast<uint8_t>(m_script.step + 1) : 0;
    uint16_t wait = 0;
    if (playing)
    {
        const uint16_t gwt = Word(StepBytes(m_script.step), StepField::GlobalWaitTime);
        wait = gwt == NeverValue ? NeverValue : static_cast<uint16_t>(gwt - SecondsSince(m_script.stepStartMs));
    }
    else if (timing)
    {
        wait = SecondsSince(m_startMs);
    }
    put16(11, wait);
    put16(13, out.vout && timing ? SecondsSince(out.voutSinceMs) : 0);
    put16(15, out.aux && timing ? SecondsSince(out.auxSinceMs) : 0);
    put16(17, ParameterWord(SlotPswPushDownTime));
    // Off-delay and hard-off of the time configuration in force.
    put16(19, ParameterWord(SlotOffDelayTime0 + 2 * m_timeConfig));
    put16(21, ParameterWord(SlotHardOffTime0 + 2 * m_timeConfig));
    status[23] = m_firmware;
    return status;
}

std::vector<uint8_t> SimulatedPowerSupply::ReadMemory(uint32_t address, size_t length) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    std::vector<uint8_t> bytes;
    for (size_t i = 0; i < length; ++i)
    {
        const uint32_t at = address + static_cast<uint32_t>(i);
        bytes.push_back(at >= MemoryBase && at < MemoryBase + MemorySize ? m_memory[at - MemoryBase] : 0xFF);
    }
    return bytes;
}

void SimulatedPowerSupply::WriteMemory(uint32_t address, std::span<const uint8_t> bytes)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    for (size_t i = 0; i < bytes.size(); ++i)
    {
        const uint32_t at = address + static_cast<uint32_t>(i);
        if (at >= MemoryBase && at < MemoryBase + MemorySize)
            m_memory[at - MemoryBase] = bytes[i];
    }
}

#define SIM_SETTER(Name, member, Type)                                                                                 \
    void SimulatedPowerSupply::Name(Type value)                                                                        \
    {                                                                                                                  \
        std::lock_guard<std::mutex> lock(m_mutex);                                                                     \
        member = value;                                                                                                \
    }
SIM_SETTER(SetInputCount, m_inputCount, uint8_t)
SIM_SETTER(SetIgnitionCount, m_ignitionCount, uint8_t)
SIM_SETTER(SetConverterState, m_converterState, uint8_t)
SIM_SETTER(SetFirmwareByte, m_firmware, uint8_t)
SIM_SETTER(FailControlCommandsWith, m_controlError, uint8_t)
SIM_SETTER(CorruptNextWriteEchoes, m_corruptEchoes, int)
SIM_SETTER(DropNextReplies, m_dropReplies, int)
#undef SIM_SETTER

void SimulatedPowerSupply::SetMode(int mode)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_mode = mode & 3;
}

void SimulatedPowerSupply::SetVoltageConfig(int config)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_voltageConfig = config & 7;
}

void SimulatedPowerSupply::SetTimeConfig(int config)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_timeConfig = config & 7;
}

// State that moves with time is brought up to the clock before it is read.
#define SIM_GETTER(Name, expression, Type)                                                                             \
    Type SimulatedPowerSupply::Name() const                                                                            \
    {                                                                                                                  \
        std::lock_guard<std::mutex> lock(m_mutex);                                                                     \
        PlayScriptLocked();                                                                                            \
        return expression;                                                                                             \
    }
SIM_GETTER(AuxOn, m_outputs.aux, bool)
SIM_GETTER(PowerSwitchOn, m_outputs.powerSwitch, bool)
SIM_GETTER(VOutOn, m_outputs.vout, bool)
SIM_GETTER(ScriptRunning, m_script.running, bool)
SIM_GETTER(ScriptStepNumber, m_script.running ? m_script.step + 1 : 0, int)
SIM_GETTER(RegulatorSteps, m_regulatorSteps, int)
SIM_GETTER(SleepMinutes, m_sleepMinutes, uint16_t)
#undef SIM_GETTER
