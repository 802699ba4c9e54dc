// End to end on a real kernel: the simulated power supply appears through
// /dev/uhid as a genuine HID device, and the device link finds it, talks to
// it and notices it going and coming back, all through hidraw and libudev.
// Runs where /dev/uhid exists and we may use it (the test VM); skips elsewhere.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <memory>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <vector>
#include <unistd.h>

#include "device/DeviceDetector.h"
#include "device/DeviceIdentity.h"
#include "device/HIDDevices.h"
#include "device/HIDQuorrel.h"
#include "device/QuorrelProtocol.h"
#include "device/hid/linux/UdevHidBus.h"
#include "model/ReportDecoder.h"
#include "sim/SimulatedPowerSupply.h"

namespace
{
// quorrel-uhid-sim as a child process, driven through its standard input.
class UhidSimulator
{
public:
    explicit UhidSimulator(const std::string& program, std::vector<std::string> options = {})
    {
        std::vector<char*> argv = {const_cast<char*>(program.c_str())};
        for (auto& option : options)
            argv.push_back(option.data());
        argv.push_back(nullptr);
        int toChild[2], fromChild[2];
        if (pipe(toChild) != 0 || pipe(fromChild) != 0)
            return;
        m_pid = fork();
        if (m_pid == 0)
        {
            dup2(toChild[0], STDIN_FILENO);
            dup2(fromChild[1], STDOUT_FILENO);
            close(toChild[1]);
            close(fromChild[0]);
            execv(program.c_str(), argv.data());
            _exit(127);
        }
        close(toChild[0]);
        close(fromChild[1]);
        m_in = fdopen(toChild[1], "w");
        m_out = fdopen(fromChild[0], "r");
    }
    ~UhidSimulator()
    {
        if (m_in != nullptr)
            fclose(m_in); // end of input: the device disappears and the program ends
        if (m_out != nullptr)
            fclose(m_out);
        if (m_pid > 0)
            waitpid(m_pid, nullptr, 0);
    }
    // The next line the simulator prints.
    std::string Line()
    {
        char buffer[256] = {};
        if (m_out == nullptr || std::fgets(buffer, sizeof buffer, m_out) == nullptr)
            return "";
        std::string line = buffer;
        if (!line.empty() && line.back() == '\n')
            line.pop_back();
        return line;
    }
    std::string Say(const char* command)
    {
        std::fprintf(m_in, "%s\n", command);
        std::fflush(m_in);
        return Line();
    }

private:
    pid_t m_pid = -1;
    FILE* m_in = nullptr;
    FILE* m_out = nullptr;
};

class ChangeCounter : public DeviceDetector
{
public:
    using DeviceDetector::DeviceDetector;
    ~ChangeCounter() override { StopDetecting(); }
    void OnDeviceChange() override { ++changes; }
    std::atomic<int> changes{0};
};

// Waits for the kernel and its device nodes; the bound only stops a broken run.
bool Eventually(const std::function<bool()>& condition)
{
    for (int tries = 0; tries < 1000; ++tries)
    {
        if (condition())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

std::string SimulatorPath()
{
    const char* path = std::getenv("QUORREL_UHID_SIM");
    return path != nullptr ? path : "quorrel-uhid-sim";
}
} // namespace

TEST(KernelEndToEnd, FindTalkLoseAndFindAgain)
{
    if (access("/dev/uhid", R_OK | W_OK) != 0)
        GTEST_SKIP() << "no usable /dev/uhid here";
    std::signal(SIGPIPE, SIG_IGN);

    UdevHidBus bus;
    ChangeCounter detector(bus);
    ASSERT_TRUE(detector.StartDetecting()); // before the first enumeration

    // Decoys first, so that the power supply is not simply the only device.
    UhidSimulator otherIds(SimulatorPath(), {"--vendor", "0x1234", "--product", "0x5678"});
    ASSERT_EQ(otherIds.Line(), "ready");
    UhidSimulator longReports(SimulatorPath(), {"--data-bytes", "24"});
    ASSERT_EQ(longReports.Line(), "ready");
    UhidSimulator simulator(SimulatorPath());
    ASSERT_EQ(simulator.Line(), "ready");

    HIDDevices finder(bus);
    ASSERT_TRUE(Eventually([&] { return bus.Enumerate().devices.size() >= 3; }));
    HList<HIDDescriptor> matches;
    finder.FindDevices(matches, DeviceManufacturer, DeviceVendorId, DeviceProductId);
    EXPECT_EQ(matches.Count(), 1);
    for (HIDDescriptor* match = matches.First(); match != nullptr; match = matches.Next())
        delete match;
    std::unique_ptr<HIDDescriptor> found;
    ASSERT_TRUE(Eventually([&] {
        found.reset(finder.ChooseDevice(DeviceManufacturer));
        return found != nullptr;
    }));
    EXPECT_EQ(found->m_vendorId, DeviceVendorId);
    EXPECT_EQ(found->m_inputReportLength, 24);
    EXPECT_EQ(found->m_outputReportLength, 24);
    EXPECT_STREQ(found->m_manufacturer, DeviceManufacturer);
    EXPECT_TRUE(Eventually([&] { return detector.changes > 0; }));

    auto device = std::unique_ptr<HIDDevice>(finder.OpenDevice(found.release()));
    ASSERT_TRUE(device->IsOpen());
    auto connection = std::make_unique<HIDQuorrel>(device.get());

    // A memory read waits for its answer: the factory parameter block.
    ASSERT_TRUE(connection->SendCommand(CmdMemoryRead, {0xC0, 0x3F, 0, 16}));
    ASSERT_TRUE(connection->SendCommand(CmdStatusRequest));
    bool sawBlock = false, sawStatus = false;
    Eventually([&] {
        while (HArray* report = connection->PopReport())
        {
            const DecodedReport decoded = DecodeReport(*report);
            if (decoded.action == ReportAction::ParameterBlock && decoded.address == 0x3FC0)
            {
                const auto& factory = SimulatedPowerSupply::FactoryParameters();
                sawBlock = std::equal(factory.begin(), factory.begin() + 16, report->Data() + 5);
            }
            if (decoded.action == ReportAction::Status)
                sawStatus = decoded.status.title == "QUORREL ver: 4.3 mode: 01 (Automotive)";
            delete report;
        }
        return sawBlock && sawStatus;
    });
    EXPECT_TRUE(sawBlock);
    EXPECT_TRUE(sawStatus);

    // Rewrite the parameter block with another Voltage 1; every write is
    // answered with an echo of what is now stored.
    std::vector<uint8_t> block(SimulatedPowerSupply::FactoryParameters().begin(),
                               SimulatedPowerSupply::FactoryParameters().end());
    block[53] = 51; // 12.01 V
    ASSERT_TRUE(connection->SendCommand(CmdMemoryErase, {0xC0, 0x3F, 0, 64}));
    for (int quarter = 0; quarter < 4; ++quarter)
        ASSERT_TRUE(connection->SendCommandWithData(CmdMemoryWrite, std::span(block).subspan(16 * quarter, 16),
                                                    {0xC0 + 16 * quarter, 0x3F, 0, 16}));
    int echoes = 0;
    Eventually([&] {
        while (HArray* report = connection->PopReport())
        {
            const DecodedReport decoded = DecodeReport(*report);
            if (decoded.action == ReportAction::ParameterBlock)
            {
                const size_t offset = decoded.address - 0x3FC0;
                EXPECT_TRUE(std::equal(block.begin() + offset, block.begin() + offset + 16, report->Data() + 5))
                    << std::hex << decoded.address;
                ++echoes;
            }
            delete report;
        }
        return echoes == 4;
    });
    EXPECT_EQ(echoes, 4);

    // Pulled out: the next write fails and the connection queues one disconnect report.
    const int before = detector.changes;
    ASSERT_EQ(simulator.Say("unplug"), "unplugged");
    EXPECT_TRUE(Eventually([&] { return detector.changes > before; }));
    EXPECT_TRUE(Eventually([&] { return !connection->SendCommand(CmdStatusRequest); }));
    EXPECT_FALSE(device->IsOpen());
    bool disconnected = false;
    Eventually([&] {
        while (HArray* report = connection->PopReport())
        {
            disconnected = disconnected || DecodeReport(*report).action == ReportAction::Disconnected;
            delete report;
        }
        return disconnected;
    });
    EXPECT_TRUE(disconnected);
    connection.reset();
    device.reset();

    // Plugged back: the watch hears it, and the device is found and answers again.
    const int beforePlug = detector.changes;
    ASSERT_EQ(simulator.Say("plug"), "plugged");
    EXPECT_TRUE(Eventually([&] { return detector.changes > beforePlug; }));
    ASSERT_TRUE(Eventually([&] {
        found.reset(finder.ChooseDevice(DeviceManufacturer));
        return found != nullptr;
    }));
    device.reset(finder.OpenDevice(found.release()));
    connection = std::make_unique<HIDQuorrel>(device.get());
    EXPECT_TRUE(connection->SendCommand(CmdMemoryRead, {0x00, 0x3C, 0, 16}));
}

namespace
{
struct ToolResult
{
    int status = -1;
    std::string output;
};

// Runs quorrelctl with the arguments (a shell word list) and takes its standard output.
ToolResult Quorrelctl(const std::string& arguments)
{
    const char* program = std::getenv("QUORREL_CTL");
    const std::string command = std::string(program ? program : "quorrelctl") + " " + arguments + " 2>/dev/null";
    ToolResult result;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr)
        return result;
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, pipe) != nullptr)
        result.output += buffer;
    const int status = pclose(pipe);
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}
} // namespace

TEST(KernelEndToEnd, CommandLineToolOnTheRealDevice)
{
    if (access("/dev/uhid", R_OK | W_OK) != 0 || std::getenv("QUORREL_CTL") == nullptr)
        GTEST_SKIP() << "no usable /dev/uhid or no quorrelctl here";
    std::signal(SIGPIPE, SIG_IGN);
    UhidSimulator decoy(SimulatorPath(), {"--vendor", "0x1234", "--product", "0x5678"});
    ASSERT_EQ(decoy.Line(), "ready");
    UhidSimulator simulator(SimulatorPath());
    ASSERT_EQ(simulator.Line(), "ready");
    ASSERT_TRUE(Eventually([] { return Quorrelctl("list").status == 0; }));

    struct Step
    {
        const char* arguments;
        int status;
        const char* outputStart; // what the output begins with
    };
    const Step steps[] = {
        {"list", 0, "/dev/hidraw"},
        {"status", 0, "QUORREL ver: 4.3 mode: 01 (Automotive)\n"},
        {"set 'Off-delay TIME 1' 01:00:00", 0, "01:00:00\n"},
        {"get 'off-delay time 1'", 0, "01:00:00\n"},
        {"output aux on", 0, ""},
        {"vout 30", 2, ""},
        {"script show 1", 0, "step 1: "},
        {"export /tmp/e2e.ini", 0, ""},
        {"set 'Off-delay TIME 1' 00:00:30", 0, "00:00:30\n"},
        {"import /tmp/e2e.ini", 0, ""},
        {"get 'Off-delay TIME 1'", 0, "01:00:00\n"},
        {"sleep 00:00:05", 0, ""},
    };
    for (const Step& step : steps)
    {
        SCOPED_TRACE(step.arguments);
        const ToolResult result = Quorrelctl(step.arguments);
        EXPECT_EQ(result.status, step.status);
        EXPECT_EQ(result.output.rfind(step.outputStart, 0), 0u) << result.output;
    }
}
