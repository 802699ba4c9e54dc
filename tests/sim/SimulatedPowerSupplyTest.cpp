#include "sim/SimulatedPowerSupply.h"

#include <gtest/gtest.h>

#include "device/QuorrelProtocol.h"
#include "model/ReportDecoder.h"
#include "model/ScriptStep.h"

namespace
{
using Report = SimulatedPowerSupply::Report;

Report Command(std::vector<uint8_t> bytes)
{
    bytes.resize(ReportLength, 0);
    return bytes;
}

Report Write(uint32_t address, std::vector<uint8_t> data)
{
    Report report = {CmdMemoryWrite, static_cast<uint8_t>(address), static_cast<uint8_t>(address >> 8), 0, 16};
    report.insert(report.end(), data.begin(), data.end());
    return Command(report);
}

Report Only(const std::vector<Report>& answers)
{
    EXPECT_EQ(answers.size(), 1u);
    return answers.empty() ? Report(ReportLength, 0) : answers[0];
}

HArray AsArray(const Report& report)
{
    return HArray(static_cast<int32_t>(report.size()), report.data());
}

uint16_t Word(const Report& report, size_t at)
{
    return static_cast<uint16_t>(report[at] << 8 | report[at + 1]);
}
} // namespace

class SimulatedPowerSupplyTest : public ::testing::Test
{
protected:
    Report Control(uint8_t subCode, uint8_t value1 = 0, uint8_t value2 = 0)
    {
        return Only(supply.HandleOutputReport(Command({CmdControl, subCode, value1, value2})));
    }
    StatusView Status() { return DecodeStatusReport(AsArray(supply.StatusReport())); }

    ManualClock clock;
    SimulatedPowerSupply supply{clock};
};

TEST_F(SimulatedPowerSupplyTest, MemoryBehavesLikeFlash)
{
    // A write without erase can only clear bits; the echo shows what is stored.
    supply.WriteMemory(0x3C40, std::vector<uint8_t>(16, 0xF0));
    Report echo = Only(supply.HandleOutputReport(Write(0x3C40, std::vector<uint8_t>(16, 0x3C))));
    EXPECT_EQ(echo, Command({0xA2, 0x40, 0x3C, 0x00, 0x10, 0x30, 0x30, 0x30, 0x30, 0x30, 0x30, 0x30, 0x30, 0x30,
                             0x30, 0x30, 0x30, 0x30, 0x30, 0x30, 0x30}));

    // An erase sets the whole block and nothing beside it.
    supply.WriteMemory(0x3C80, std::vector<uint8_t>(1, 0x00));
    Report erased = Only(supply.HandleOutputReport(Command({CmdMemoryErase, 0x40, 0x3C, 0x00, 0x40})));
    EXPECT_EQ(erased, Command({0xA2, 0x40, 0x3C, 0x00, 0x40}));
    EXPECT_EQ(supply.ReadMemory(0x3C40, 64), std::vector<uint8_t>(64, 0xFF));
    EXPECT_EQ(supply.ReadMemory(0x3C80, 1)[0], 0x00);

    echo = Only(supply.HandleOutputReport(Write(0x3C50, std::vector<uint8_t>(16, 0x3C))));
    Report read = Only(supply.HandleOutputReport(Command({CmdMemoryRead, 0x50, 0x3C, 0x00, 0x10})));
    EXPECT_EQ(read, echo);
    EXPECT_EQ(read[5], 0x3C);
}

TEST_F(SimulatedPowerSupplyTest, BadMemoryRequestsGetACountOfZeroAndChangeNothing)
{
    const std::vector<Report> requests = {
        Command({CmdMemoryRead, 0xF0, 0x3B, 0x00, 0x10}),  // below memory
        Command({CmdMemoryRead, 0xF8, 0x3F, 0x00, 0x10}),  // runs past the end
        Command({CmdMemoryRead, 0xC0, 0x3F, 0x00, 0x08}),  // count 8
        Command({CmdMemoryRead, 0xC0, 0x3F, 0x01, 0x10}),  // third address byte set
        Write(0x3BF0, std::vector<uint8_t>(16, 0x00)),     // below memory
        Command({CmdMemoryWrite, 0xC0, 0x3F, 0x00, 0x08}), // count 8
        Command({CmdMemoryErase, 0xD0, 0x3F, 0x00, 0x40}), // not a block boundary
        Command({CmdMemoryErase, 0xC0, 0x3F, 0x00, 0x10}), // count 16
        Command({CmdMemoryErase, 0xC0, 0x3B, 0x00, 0x40}), // below memory
    };
    const std::vector<uint8_t> before = supply.ReadMemory(SimulatedPowerSupply::MemoryBase, 0x400);
    for (const auto& request : requests)
    {
        const Report reply = Only(supply.HandleOutputReport(request));
        EXPECT_EQ(reply[0], ReportMemoryRead);
        EXPECT_EQ(std::vector<uint8_t>(reply.begin() + 1, reply.begin() + 4),
                  std::vector<uint8_t>(request.begin() + 1, request.begin() + 4));
        EXPECT_EQ(reply[4], 0);
        EXPECT_EQ(DecodeReport(AsArray(reply)).action, ReportAction::Ignore);
    }
    EXPECT_EQ(supply.ReadMemory(SimulatedPowerSupply::MemoryBase, 0x400), before);
}

TEST_F(SimulatedPowerSupplyTest, FactoryDefaultsRestoreTheParameterBlockOnly)
{
    const ParameterBlock& factory = SimulatedPowerSupply::FactoryParameters();
    EXPECT_EQ(supply.ReadMemory(ParameterBlockBase, 64), std::vector<uint8_t>(factory.begin(), factory.end()));
    EXPECT_EQ(FormatParameter(factory, 0), "12.01"); // Voltage 0
    EXPECT_EQ(FormatParameter(factory, 22), "20");   // max regulation steps
    const ScriptBlock script = SimulatedPowerSupply::FactoryScriptBlock();
    EXPECT_EQ(supply.ReadMemory(ScriptMemoryBase, 64), std::vector<uint8_t>(script.begin(), script.end()));
    EXPECT_EQ(DecodeScriptStep(script, 0).globalWaitTime, "00:01:00");
    EXPECT_EQ(supply.ReadMemory(ScriptMemoryBase + 32, 16), std::vector<uint8_t>(16, 0xFF)); // step 3 unused

    supply.HandleOutputReport(Command({CmdMemoryErase, 0xC0, 0x3F, 0x00, 0x40}));
    supply.HandleOutputReport(Command({CmdMemoryErase, 0x00, 0x3C, 0x00, 0x40}));
    Control(CtlSetOutputVoltage, 100);
    EXPECT_EQ(Control(CtlFactoryDefaults), Command({ReportCommand, 0x00, CtlFactoryDefaults}));
    EXPECT_EQ(supply.ReadMemory(ParameterBlockBase, 64), std::vector<uint8_t>(factory.begin(), factory.end()));
    EXPECT_EQ(supply.ReadMemory(ScriptMemoryBase, 64), std::vector<uint8_t>(64, 0xFF));
    EXPECT_EQ(supply.OutputCode(), factory[52]); // the volatile voltage is forgotten too
}

TEST_F(SimulatedPowerSupplyTest, EveryControlCommandIsAnsweredAndChangesState)
{
    supply.WriteMemory(ParameterBlockBase + 15, std::vector<uint8_t>{2}); // at most two regulator steps
    struct Case
    {
        std::vector<uint8_t> args;
        uint8_t result;
        uint8_t value;
    };
    const Case cases[] = {
        {{CtlAuxOutput, 1, 0}, 0, 0},
        {{CtlPowerSwitch, 1, 0}, 0, 0},
        {{CtlMainOutput, 0, 0}, 0, 0},
        {{CtlSetOutputVoltage, 99, 0}, 0, 0},
        {{CtlConnectInit, 0, 0}, 0, 0},
        {{CtlStepDown, 0, 0}, 0, 0}, // already at 0: stays there
        {{CtlRegulatorSteps, 0, 0}, 0, 0},
        {{CtlStepUp, 0, 0}, 0, 0},
        {{CtlStepUp, 0, 0}, 0, 0},
        {{CtlStepUp, 0, 0}, 0, 0}, // beyond the maximum: stays at 2
        {{CtlRegulatorSteps, 0, 0}, 0, 2},
        {{CtlStepDown, 0, 0}, 0, 0},
        {{CtlRegulatorSteps, 0, 0}, 0, 1},
        {{CtlSleep, 0x05, 0xA0}, 0, 0},
        {{CtlScriptStop, 0, 0}, 0, 0},
        {{0, 0, 0}, 1, 0},
        {{4, 0, 0}, 1, 0},
        {{99, 0, 0}, 1, 0},
    };
    for (const auto& c : cases)
    {
        Report request = {CmdControl};
        request.insert(request.end(), c.args.begin(), c.args.end());
        const Report reply = Only(supply.HandleOutputReport(Command(request)));
        EXPECT_EQ(reply, Command({ReportCommand, c.result, c.args[0], c.value})) << int(c.args[0]);
    }
    EXPECT_TRUE(supply.AuxOn());
    EXPECT_TRUE(supply.PowerSwitchOn());
    EXPECT_FALSE(supply.VOutOn());
    EXPECT_EQ(supply.OutputCode(), 99);
    EXPECT_EQ(supply.RegulatorSteps(), 1);
    EXPECT_EQ(supply.SleepMinutes(), 1440);
}

TEST_F(SimulatedPowerSupplyTest, StatusReportFollowsTheState)
{
    supply.SetInputCount(77);
    supply.SetIgnitionCount(255);
    supply.SetMode(2);
    supply.SetVoltageConfig(1);
    supply.SetTimeConfig(5);
    supply.SetConverterState(0xA5);
    supply.SetFirmwareByte(0x22);
    Control(CtlAuxOutput, 1);
    const Report raw = Only(supply.HandleOutputReport(Command({CmdStatusRequest})));
    EXPECT_EQ(raw[1], 5 << 5 | 1 << 2 | 2);
    const StatusView status = DecodeStatusReport(AsArray(raw));
    EXPECT_EQ(status.voltageIn, "12.00");
    EXPECT_EQ(status.ignition, "39.73");
    EXPECT_EQ(status.panel.dcdcState, "a5");
    EXPECT_EQ(status.title, "QUORREL ver: 1.2 mode: 02 (Script)");
    EXPECT_EQ(status.panel.outputFlags, "00011000");
    EXPECT_EQ(status.panel.voltageFlags, "00000011"); // input and ignition above their limits
    // Voltage 1 is code 38 (13.87 V) by default, measured as the nearest count of 0.117 V.
    EXPECT_EQ(status.voltageOut, "13.92");
    EXPECT_EQ(status.panel.offDelayTimer, "01:00:00"); // time configuration 5
    EXPECT_EQ(status.panel.hardOffTimer, "02:00:00");
    EXPECT_EQ(status.panel.powerSwitchTimer, "50");   // 500 ms in counts of 10 ms

    Control(CtlSetOutputVoltage, 51); // 12.01 V for the moment
    EXPECT_EQ(Status().voltageOut, "12.05"); // 103 counts
    supply.SetVoltageConfig(0);
    EXPECT_EQ(Status().voltageOut, "12.05"); // the volatile voltage overrides the configuration

    Control(CtlMainOutput, 0);
    Control(CtlAuxOutput, 0);
    Control(CtlPowerSwitch, 1);
    supply.SetInputCount(10);
    supply.SetIgnitionCount(10);
    const StatusView off = Status();
    EXPECT_EQ(off.voltageOut, "0.00");
    EXPECT_EQ(off.panel.outputFlags, "00000100");
    EXPECT_EQ(off.panel.voltageFlags, "00000000");
    EXPECT_EQ(off.firmwareByte, 0x22);
    EXPECT_EQ(SimulatedPowerSupply(clock).StatusReport()[23], 0x83); // version 4.3 unless told otherwise
}

TEST_F(SimulatedPowerSupplyTest, TimersCountInAutomotiveAndUpsModesOnly)
{
    for (const int mode : {0, 1, 2, 3})
    {
        ManualClock modeClock;
        SimulatedPowerSupply device(modeClock);
        device.SetMode(mode);
        const bool counts = mode == 1 || mode == 3;
        modeClock.Advance(30'000);
        device.HandleOutputReport(Command({CmdControl, CtlAuxOutput, 1, 0}));
        modeClock.Advance(60'999);
        Report status = device.StatusReport();
        EXPECT_EQ(Word(status, 11), counts ? 90 : 0) << mode; // wait timer: since power-up
        EXPECT_EQ(Word(status, 13), counts ? 90 : 0) << mode; // VOut on since power-up
        EXPECT_EQ(Word(status, 15), counts ? 60 : 0) << mode; // VAux on for a minute

        // Switching VOut off and on again starts its timer afresh.
        device.HandleOutputReport(Command({CmdControl, CtlMainOutput, 0, 0}));
        device.HandleOutputReport(Command({CmdControl, CtlMainOutput, 1, 0}));
        modeClock.Advance(5'000);
        status = device.StatusReport();
        EXPECT_EQ(Word(status, 13), counts ? 5 : 0) << mode;
    }
}

TEST_F(SimulatedPowerSupplyTest, FactoryScriptPlaysStepByStep)
{
    supply.SetMode(2);
    Control(CtlMainOutput, 0);
    EXPECT_EQ(Control(CtlScriptStart), Command({ReportCommand, 0, CtlScriptStart}));

    // Step 1: output on at 12.01 V, a 500 ms power switch pulse, for a minute.
    StatusView status = Status();
    EXPECT_EQ(status.panel.scriptStep, "1");
    EXPECT_EQ(status.panel.timerFlags, "00000001");
    EXPECT_EQ(status.panel.waitTimer, "00:01:00");
    EXPECT_EQ(status.panel.outputFlags, "00001100");
    EXPECT_EQ(status.voltageOut, "12.05");
    clock.Advance(499);
    EXPECT_TRUE(supply.PowerSwitchOn());
    clock.Advance(1);
    EXPECT_FALSE(supply.PowerSwitchOn());
    clock.Advance(59'499);
    EXPECT_EQ(Status().panel.waitTimer, "00:00:01");
    EXPECT_EQ(supply.ScriptStepNumber(), 1);

    // Step 2: everything off for half a minute, then the script ends.
    clock.Advance(1);
    status = Status();
    EXPECT_EQ(status.panel.scriptStep, "2");
    EXPECT_EQ(status.panel.waitTimer, "00:00:30");
    EXPECT_EQ(status.panel.outputFlags, "00000000");
    clock.Advance(30'000);
    status = Status();
    EXPECT_FALSE(supply.ScriptRunning());
    EXPECT_EQ(status.panel.scriptStep, "0");
    EXPECT_EQ(status.panel.timerFlags, "00000000");
    EXPECT_EQ(status.panel.waitTimer, "00:00:00"); // Script mode: no timers once the script is over

    // Started again and stopped by command.
    Control(CtlScriptStart);
    clock.Advance(70'000);
    EXPECT_EQ(supply.ScriptStepNumber(), 2);
    Control(CtlScriptStop);
    EXPECT_EQ(supply.ScriptStepNumber(), 0);
}

TEST_F(SimulatedPowerSupplyTest, ScriptFollowsItsStepFlags)
{
    using namespace StepFlags;
    struct Step
    {
        uint8_t flags;
        uint16_t gwt;
    };
    struct Case
    {
        const char* what;
        std::vector<Step> steps; // the rest of script memory erased
        uint64_t afterMs;
        int stepNumber; // 0: the script has ended
        uint16_t waitTimer;
    };
    const std::vector<Step> allSkipped(ScriptStepCount, Step{PlayNextStep | RepeatFromFirst, 0});
    const Case cases[] = {
        {"plays the next step", {{PlayNextStep, 10}, {PlayNextStep, 10}, {0, 10}}, 15'000, 2, 5},
        {"stops without play next", {{0, 10}, {PlayNextStep, 10}}, 10'000, 0, 0},
        {"repeats from the first step", {{PlayNextStep | RepeatFromFirst, 10}, {0, 10}}, 25'000, 1, 5},
        {"repeat needs play next", {{RepeatFromFirst, 10}, {0, 10}}, 10'000, 0, 0},
        {"passes over skipped steps", {{0, 0}, {0, 0}, {0, 10}}, 0, 3, 10},
        {"holds a step that lasts for ever", {{PlayNextStep, NeverValue}}, 100'000'000, 1, NeverValue},
        {"an erased step holds too", {{PlayNextStep, 10}}, 20'000, 2, NeverValue},
        {"ends after step 60", allSkipped, 0, 0, 0},
    };
    for (const auto& c : cases)
    {
        ManualClock scriptClock;
        SimulatedPowerSupply device(scriptClock);
        device.SetMode(2);
        std::vector<uint8_t> memory(ScriptStepCount * ScriptStepSize, 0xFF);
        for (size_t i = 0; i < c.steps.size(); ++i)
        {
            memory[i * 16 + StepField::StepFlags] = c.steps[i].flags;
            memory[i * 16 + StepField::GlobalWaitTime] = static_cast<uint8_t>(c.steps[i].gwt >> 8);
            memory[i * 16 + StepField::GlobalWaitTime + 1] = static_cast<uint8_t>(c.steps[i].gwt);
        }
        device.WriteMemory(ScriptMemoryBase, memory);
        device.HandleOutputReport(Command({CmdControl, CtlScriptStart, 0, 0}));
        scriptClock.Advance(c.afterMs);
        const Report status = device.StatusReport();
        EXPECT_EQ(status[10], c.stepNumber) << c.what;
        EXPECT_EQ(device.ScriptRunning(), c.stepNumber != 0) << c.what;
        EXPECT_EQ(Word(status, 11), c.waitTimer) << c.what;
    }
}

TEST_F(SimulatedPowerSupplyTest, FaultsAreInjectable)
{
    supply.FailControlCommandsWith(3);
    EXPECT_EQ(Control(CtlStepUp), Command({ReportCommand, 3, CtlStepUp}));
    EXPECT_EQ(Control(CtlAuxOutput, 1), Command({ReportCommand, 3, CtlAuxOutput}));
    EXPECT_FALSE(supply.AuxOn()); // a refused command does nothing
    supply.FailControlCommandsWith(0);

    supply.DropNextReplies(2);
    EXPECT_TRUE(supply.HandleOutputReport(Command({CmdControl, CtlAuxOutput, 1, 0})).empty());
    EXPECT_TRUE(supply.HandleOutputReport(Command({CmdStatusRequest})).empty());
    EXPECT_TRUE(supply.AuxOn()); // carried out all the same
    EXPECT_EQ(Only(supply.HandleOutputReport(Command({CmdStatusRequest})))[0], ReportStatus);

    supply.HandleOutputReport(Command({CmdMemoryErase, 0x80, 0x3F, 0x00, 0x40}));
    supply.CorruptNextWriteEchoes(1);
    Report echo = Only(supply.HandleOutputReport(Write(0x3F80, std::vector<uint8_t>(16, 0x11))));
    EXPECT_EQ(echo[5], 0x10);
    EXPECT_EQ(supply.ReadMemory(0x3F80, 1)[0], 0x11); // stored right, echoed wrong
    echo = Only(supply.HandleOutputReport(Write(0x3F90, std::vector<uint8_t>(16, 0x11))));
    EXPECT_EQ(echo[5], 0x11); // only the next one

    EXPECT_TRUE(supply.HandleOutputReport(Command({0x42})).empty()); // unknown codes: no answer
}
