#pragma once

#include <array>
#include <cstdint>
#include <mutex>
#include <span>
#include <vector>

#include "model/ParameterTable.h"
#include "support/Clock.h"

// The power supply as seen over its link: it answers every request the
// program sends with the reports the program relies on, keeps a flash-like
// memory for the script and the parameter block, and reports a status built
// from its state. No threads of its own; safe to call from several threads.
//
// Choices where the device's behaviour is ours to make:
// - An erase (64 bytes at a multiple of 64) is answered by a memory-read
//   reply with the block address and count 64, no data.
// - A read, write or erase outside 0x3C00..0x3FFF or with another count is
//   answered by a memory-read reply with the address and count 0, and
//   changes nothing.
// - A control command with an unknown sub-code is answered with result 1.
// - Unknown command codes get no answer.
// - Step up/down move the regulator step count within 0 and the "Max
//   regulation step number" parameter; the regulator-step query answers it.
// - Factory defaults restore the parameter block (script memory keeps what it
//   holds) and forget a volatile output voltage.
// - A script plays from step 1: each step lasts its global wait time (0 skips
//   it, "Never" holds it); its outputs follow the T1 states for the T1 times
//   and the T2 states after them, at the step's voltage. When a step ends the
//   script stops, goes on to the next step, or with "repeat from first" starts
//   again at step 1; it also stops after step 60. The outputs keep the state
//   the script left them in.
// - Status timers: the wait timer counts the seconds left of the step while a
//   script plays, else the seconds since power-up in Automotive and UPS mode;
//   the VOut and VAux timers count the seconds their output has been on, in
//   those modes or while a script plays; off-delay and hard-off show the times
//   of the time configuration in force; the power switch timer shows the
//   push-down time. Timer flags bit 0 is set while a script plays.
class SimulatedPowerSupply
{
public:
    static constexpr uint32_t MemoryBase = 0x3C00;
    static constexpr uint32_t MemorySize = 0x400;
    using Report = std::vector<uint8_t>; // always 24 bytes

    explicit SimulatedPowerSupply(Clock& clock);

    // One output report (24 bytes, byte 0 the command code) in, the answers out.
    std::vector<Report> HandleOutputReport(std::span<const uint8_t> report);
    Report StatusReport() const;

    // Memory, for tests and the demo.
    std::vector<uint8_t> ReadMemory(uint32_t address, size_t length) const;
    void WriteMemory(uint32_t address, std::span<const uint8_t> bytes); // plain store, no flash rules

    // State the user of the demo or a test may move.
    void SetInputCount(uint8_t count);    // 0.1558 V per count
    void SetIgnitionCount(uint8_t count); // 0.1558 V per count
    void SetMode(int mode);               // 0 Dumb, 1 Automotive, 2 Script, 3 UPS
    void SetVoltageConfig(int config);    // 0-7
    void SetTimeConfig(int config);       // 0-7
    void SetConverterState(uint8_t state);
    void SetFirmwareByte(uint8_t firmware);

    bool AuxOn() const;
    bool PowerSwitchOn() const;
    bool VOutOn() const;
    bool ScriptRunning() const;
    int ScriptStepNumber() const; // 1-60 while a script plays, else 0
    int RegulatorSteps() const;
    uint16_t SleepMinutes() const; // of the last sleep command
    uint8_t OutputCode() const;    // the output-voltage code in force

    // Faults.
    void FailControlCommandsWith(uint8_t error); // 0: answer normally
    void CorruptNextWriteEchoes(int count);       // the echo's first data byte is flipped
    void DropNextReplies(int count);               // requests are carried out, answers lost

    static const ParameterBlock& FactoryParameters();
    static const std::array<uint8_t, 64>& FactoryScriptBlock(); // the first script block

private:
    // What moves on by itself as time passes. Reading the device's state
    // first brings it up to the clock, so even a const read may change it.
    struct Outputs
    {
        bool vout = true;
        bool aux = false;
        bool powerSwitch = false;
        uint64_t voutSinceMs = 0; // when VOut was last switched on
        uint64_t auxSinceMs = 0;  // when VAux was last switched on
    };
    struct Script
    {
        bool running = false;
        int step = 0;             // index of the step playing
        uint64_t stepStartMs = 0; // when it began
    };

    Report MemoryReply(uint32_t address, uint8_t count, std::span<const uint8_t> data) const;
    Report Control(uint8_t subCode, uint8_t value1, uint8_t value2);
    Report MemoryRequest(uint8_t code, uint32_t address, uint8_t count, std::span<const uint8_t> data);
    Report StatusReportLocked() const;
    uint8_t OutputCodeLocked() const;
    void PlayScriptLocked() const;
    void ApplyStepOutputsLocked(uint64_t intoStepMs) const;
    void SwitchVOut(bool on) const;
    void SwitchAux(bool on) const;
    const uint8_t* StepBytes(int index) const;
    uint16_t SecondsSince(uint64_t ms) const;
    // The parameter in slot of the parameter table, as the device holds it now.
    uint16_t ParameterWord(int slot) const;
    uint8_t ParameterByte(int slot) const;

    Clock& m_clock;
    mutable std::mutex m_mutex;
    std::array<uint8_t, MemorySize> m_memory{};
    uint8_t m_inputCount = 83;    // 12.93 V
    uint8_t m_ignitionCount = 90; // 14.02 V
    int m_mode = 1;
    int m_voltageConfig = 0;
    int m_timeConfig = 1;
    uint8_t m_converterState = 0x07;
    uint8_t m_firmware = 0x83; // 4.3
    mutable Outputs m_outputs;
    mutable Script m_script;
    int m_volatileCode = -1; // a code set for the moment, until the next power cycle
    int m_regulatorSteps = 0;
    uint64_t m_startMs = 0; // power-up
    uint16_t m_sleepMinutes = 0;
    uint8_t m_controlError = 0;
    int m_corruptEchoes = 0;
    int m_dropReplies = 0;
};
