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
    return answers.empty() ? Report() : answers[0];
}

HArray AsArray(const Report& report)
{
    return HArray(static_cast<int32_t>(report.size()), report.data());
}
} // namespace

class SimulatedPowerSupplyTest : public ::testing::Test
{
protected:
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

    Report erased = Only(supply.HandleOutputReport(Command({CmdMemoryErase, 0x40, 0x3C, 0x00, 0x40})));
    EXPECT_EQ(erased, Command({0xA2, 0x40, 0x3C, 0x00, 0x40}));
    EXPECT_EQ(supply.ReadMemory(0x3C40, 64), std::vector<uint8_t>(64, 0xFF));

    echo = Only(supply.HandleOutputReport(Write(0x3C50, std::vector<uint8_t>(16, 0x3C))));
    Report read = Only(supply.HandleOutputReport(Command({CmdMemoryRead, 0x50, 0x3C, 0x00, 0x10})));
    EXPECT_EQ(read, echo);
    EXPECT_EQ(read[5], 0x3C);
}

TEST_F(SimulatedPowerSupplyTest, BadMemoryRequestsGetACountOfZero)
{
    const std::vector<Report> requests = {
        Command({CmdMemoryRead, 0xF0, 0x3B, 0x00, 0x10}),  // below memory
        Command({CmdMemoryRead, 0xF8, 0x3F, 0x00, 0x10}),  // runs past the end
        Command({CmdMemoryRead, 0xC0, 0x3F, 0x00, 0x08}),  // count 8
        Command({CmdMemoryErase, 0xD0, 0x3F, 0x00, 0x40}), // not a block boundary
    };
    for (const auto& request : requests)
    {
        const Report reply = Only(supply.HandleOutputReport(request));
        EXPECT_EQ(reply[0], ReportMemoryRead);
        EXPECT_EQ(reply[4], 0);
        EXPECT_EQ(DecodeReport(AsArray(reply)).action, ReportAction::Ignore);
    }
}

TEST_F(SimulatedPowerSupplyTest, FactoryDefaultsRestoreTheParameterBlockOnly)
{
    const ParameterBlock& factory = SimulatedPowerSupply::FactoryParameters();
    EXPECT_EQ(supply.ReadMemory(ParameterBlockBase, 64), std::vector<uint8_t>(factory.begin(), factory.end()));
    EXPECT_EQ(FormatParameter(factory, 0), "12.01"); // Voltage 0
    const ScriptBlock script = SimulatedPowerSupply::FactoryScriptBlock();
    EXPECT_EQ(DecodeScriptStep(script, 0).globalWaitTime, "00:01:00");

    supply.HandleOutputReport(Command({CmdMemoryErase, 0xC0, 0x3F, 0x00, 0x40}));
    supply.HandleOutputReport(Command({CmdMemoryErase, 0x00, 0x3C, 0x00, 0x40}));
    const Report reply = Only(supply.HandleOutputReport(Command({CmdControl, CtlFactoryDefaults, 0, 0})));
    EXPECT_EQ(reply, Command({ReportCommand, 0x00, CtlFactoryDefaults}));
    EXPECT_EQ(supply.ReadMemory(ParameterBlockBase, 64), std::vector<uint8_t>(factory.begin(), factory.end()));
    EXPECT_EQ(supply.ReadMemory(ScriptMemoryBase, 64), std::vector<uint8_t>(64, 0xFF));
}

TEST_F(SimulatedPowerSupplyTest, ControlCommandsChangeStateAndAreAnswered)
{
    struct Case
    {
        std::vector<uint8_t> args;
        uint8_t result;
        uint8_t value;
    };
    const Case cases[] = {
        {{CtlAuxOutput, 1, 0}, 0, 0},   {{CtlPowerSwitch, 1, 0}, 0, 0}, {{CtlMainOutput, 0, 0}, 0, 0},
        {{CtlStepUp, 0, 0}, 0, 0},      {{CtlStepUp, 0, 0}, 0, 0},      {{CtlStepDown, 0, 0}, 0, 0},
        {{CtlRegulatorSteps, 0, 0}, 0, 1}, {{CtlSleep, 0x05, 0xA0}, 0, 0}, {{CtlScriptStart, 0, 0}, 0, 0},
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
    EXPECT_EQ(supply.SleepMinutes(), 1440);
    EXPECT_TRUE(supply.ScriptRunning());
}

TEST_F(SimulatedPowerSupplyTest, StatusReportFollowsTheState)
{
    supply.SetInputCount(77);
    supply.SetMode(2);
    supply.SetVoltageConfig(1);
    supply.SetFirmwareByte(0x22);
    supply.HandleOutputReport(Command({CmdControl, CtlAuxOutput, 1, 0}));
    const StatusView status = DecodeStatusReport(AsArray(Only(supply.HandleOutputReport(Command({CmdStatusRequest})))));
    EXPECT_EQ(status.voltageIn, "12.00");
    EXPECT_EQ(status.mode, 2);
    EXPECT_EQ(status.voltageConfig, 1);
    EXPECT_EQ(status.title, "QUORREL ver: 1.2 mode: 02 (Script)");
    EXPECT_TRUE(status.auxOn && status.voutOn);
    EXPECT_FALSE(status.powerSwitchOn);
    // Voltage 1 is code 38 (13.87 V) by default, measured as the nearest count of 0.117 V.
    EXPECT_EQ(status.voltageOut, "13.92");

    supply.HandleOutputReport(Command({CmdControl, CtlSetOutputVoltage, 51, 0})); // 12.01 V for the moment
    const StatusView after = DecodeStatusReport(AsArray(supply.StatusReport()));
    EXPECT_EQ(after.voltageOut, "12.05"); // 103 counts
}

TEST_F(SimulatedPowerSupplyTest, FaultsAreInjectable)
{
    supply.FailControlCommandsWith(3);
    EXPECT_EQ(Only(supply.HandleOutputReport(Command({CmdControl, 12, 0, 0}))), Command({ReportCommand, 3, 12}));
    supply.FailControlCommandsWith(0);

    supply.DropNextReplies(1);
    EXPECT_TRUE(supply.HandleOutputReport(Command({CmdControl, CtlAuxOutput, 1, 0})).empty());
    EXPECT_TRUE(supply.AuxOn()); // carried out all the same

    supply.HandleOutputReport(Command({CmdMemoryErase, 0x80, 0x3F, 0x00, 0x40}));
    supply.CorruptNextWriteEchoes(1);
    const Report echo = Only(supply.HandleOutputReport(Write(0x3F80, std::vector<uint8_t>(16, 0x11))));
    EXPECT_EQ(echo[5], 0x10);
    EXPECT_EQ(supply.ReadMemory(0x3F80, 1)[0], 0x11);
    EXPECT_TRUE(supply.HandleOutputReport(Command({0x42})).empty()); // unknown codes: no answer
}
