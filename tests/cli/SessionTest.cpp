// The tool's pieces in-process, where the simulated device can be put in
// states and faults a run of the program cannot reach.
#include <cstdio>
#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "cli/DeviceSession.h"
#include "cli/ExitStatus.h"
#include "cli/ParameterStore.h"
#include "cli/ResultOutput.h"
#include "cli/SimulatedSupply.h"
#include "cli/StatusCommand.h"
#include "cli/StepCommand.h"
#include "device/QuorrelProtocol.h"
#include "sim/SimulatedHidBus.h"
#include "support/Clock.h"

namespace
{
struct SessionTest : testing::Test
{
    SimulatedHidBus bus;
    int index = bus.AddPowerSupply();
    SimulationClock linkClock;
    std::FILE* stream = std::tmpfile();
    ResultOutput out{stream, false};
    std::unique_ptr<DeviceSession> session;

    SessionTest() { session = std::make_unique<DeviceSession>(bus, linkClock); }
    ~SessionTest() override
    {
        session.reset();
        std::fclose(stream);
    }
    SimulatedPowerSupply& Supply() { return bus.PowerSupply(index); }

    std::string Output()
    {
        std::fflush(stream);
        std::rewind(stream);
        std::string text;
        for (int c = std::fgetc(stream); c != EOF; c = std::fgetc(stream))
            text += static_cast<char>(c);
        return text;
    }
    int ControlsSent(uint8_t subCode) const
    {
        int count = 0;
        for (const auto& report : bus.WrittenReports(index))
            count += report.at(0) == CmdControl && report.at(1) == subCode;
        return count;
    }
    // Runs action and returns the failure it ended with.
    template <typename Action>
    static CommandFailure FailureOf(Action action)
    {
        try
        {
            action();
        }
        catch (const CommandFailure& failure)
        {
            return failure;
        }
        ADD_FAILURE() << "no failure";
        return CommandFailure(ExitStatus::Done, "");
    }
};
} // namespace

TEST_F(SessionTest, RegulatorStepsOnlyWhileTheStateIs07)
{
    Supply().SetConverterState(0x05);
    const CommandFailure refused = FailureOf([&] { StepRegulator(*session, out, true); });
    EXPECT_EQ(refused.Status(), ExitStatus::Refused);
    EXPECT_STREQ(refused.what(), "Regulator steps can only be changed while the DCDC state is 07; it is 05");
    EXPECT_EQ(ControlsSent(CtlStepUp), 0);
    EXPECT_EQ(Supply().RegulatorSteps(), 0);

    Supply().SetConverterState(0x07);
    StepRegulator(*session, out, true);
    StepRegulator(*session, out, true);
    StepRegulator(*session, out, false);
    EXPECT_EQ(ControlsSent(CtlStepUp), 2);
    EXPECT_EQ(ControlsSent(CtlStepDown), 1);
    EXPECT_EQ(Output(), "Regulator steps: 1\nRegulator steps: 2\nRegulator steps: 1\n");
}

TEST_F(SessionTest, WatchSleepsOnceBetweenReports)
{
    const struct
    {
        uint32_t intervalMs;
        int count;
        uint64_t sleeps;
    } cases[] = {{1000, 1, 0}, {1000, 4, 3}, {250, 2, 1}, {0, 3, 0}};
    for (const auto& c : cases)
    {
        ManualClock pause;
        WatchStatus(*session, out, pause, c.intervalMs, c.count);
        // One sleep of the whole interval between two reports: the idle
        // watch wakes once per report, never to poll.
        EXPECT_EQ(pause.SleepCount(), c.sleeps) << c.intervalMs << " x " << c.count;
        EXPECT_EQ(pause.NowMs(), c.sleeps * c.intervalMs);
    }
    const std::string text = Output();
    size_t reports = 0;
    for (size_t at = text.find("QUORREL ver:"); at != std::string::npos; at = text.find("QUORREL ver:", at + 1))
        ++reports;
    EXPECT_EQ(reports, 1u + 4 + 2 + 3);
}

TEST_F(SessionTest, ControlErrorsAreTheWindowsMessage)
{
    Supply().FailControlCommandsWith(3);
    const CommandFailure failure = FailureOf([&] { session->Control(CtlStepUp); });
    EXPECT_EQ(failure.Status(), ExitStatus::Failed);
    EXPECT_STREQ(failure.what(), "Error 3 for message 0C");
    // The regulator step query's error is "undefined", not a failure.
    EXPECT_EQ(session->RegulatorSteps(), std::nullopt);
}

TEST_F(SessionTest, StoringChecksEveryEcho)
{
    const int slot = *FindParameterByName("delay before psu startup");
    Supply().CorruptNextWriteEchoes(1);
    const CommandFailure failure = FailureOf([&] { StoreParameterOnDevice(*session, slot, "9"); });
    EXPECT_EQ(failure.Status(), ExitStatus::Failed);
    EXPECT_STREQ(failure.what(), "Error occured during write - please retry!");
    // Told the truth, the user retries, and the retry succeeds.
    EXPECT_EQ(StoreParameterOnDevice(*session, slot, "9"), "9");
}

TEST(SimulatedSupplyFile, RefusesAFileOfTheWrongSize)
{
    const std::string file = testing::TempDir() + "quorrelctl-short-memory.bin";
    std::FILE* out = std::fopen(file.c_str(), "wb");
    ASSERT_NE(out, nullptr);
    std::fputs("too short", out);
    std::fclose(out);
    try
    {
        SimulatedSupply supply(file, Clock::System());
        ADD_FAILURE() << "a short memory file was taken";
    }
    catch (const CommandFailure& failure)
    {
        EXPECT_EQ(failure.Status(), ExitStatus::Failed);
    }
    std::remove(file.c_str());
}
