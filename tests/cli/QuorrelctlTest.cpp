// quorrelctl as its users run it: the built program against the simulated
// power supply, its memory kept in a file of the test's folder.
#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "device/DeviceIdentity.h"
#include "model/ParameterTable.h"
#include "model/SleepTime.h"
#include "model/ValueCodecs.h"
#include "tests/cli/ToolRun.h"
#include "transfer/SettingsTransfer.h"

namespace
{
constexpr const char* Memory = "memory.bin";
constexpr size_t MemorySize = 1024;
constexpr size_t ParameterBlockAt = ParameterBlockBase - 0x3C00; // in the memory file

struct CliTest : testing::Test
{
    ToolFolder folder;

    // Runs against the simulated supply whose memory lives in the folder.
    ToolResult Sim(std::vector<std::string> args) const
    {
        args.insert(args.begin(), std::string("--simulate=") + Memory);
        return folder.Run(args);
    }
    std::string MemoryBytes() const { return ReadFile(folder.File(Memory)); }
    // The factory memory, made by a run that changes nothing.
    std::string FactoryMemory()
    {
        EXPECT_EQ(Sim({"get", "Voltage 0"}).status, 0);
        return MemoryBytes();
    }
};

struct Case
{
    std::vector<std::string> args;
    int status;
    std::string out; // exactly
    std::string err; // exactly; "*" for any
};

const std::string Step2 =
    "step 2: vout=12.01 vout-t1=off vout-t1-time=00:00:05 vout-t2=off vout-t2-time=00:00:55 aux-t1=off "
    "aux-t1-time=Never aux-t2=off aux-t2-time=Never pws-t1=off pws-t1-time=500 pws-t2=off pws-t2-time=Never "
    "gwt=00:00:30 skip=no next=no repeat=no\n";

// Each case on a fresh factory device.
const Case Commands[] = {
    {{"get", "Voltage 0"}, 0, "12.01\n", ""},
    {{"get", "oFF-DELAY time 1"}, 0, "00:00:30\n", ""},
    {{"get", "Ignition Debounce"}, 0, "50\n", ""}, // unlisted ones can be read
    {{"set", "Delay before PSU startup", "7"}, 0, "7\n", ""},
    {{"output", "aux", "on"}, 0, "aux on\n", ""},
    {{"vout", "12"}, 0, "VOut set to 12.01 V\n", ""},
    {{"vout", "  7.5V", "--save"}, 0, "VOut set to 7.52 V\nVoltage 0 = 7.52 [V]\n", ""},
    {{"step", "up"}, 0, "Regulator steps: 1\n", ""},
    {{"step", "down"}, 0, "Regulator steps: 0\n", ""},
    {{"sleep", "01:00:00"}, 0, "Sleeping for 1440 minutes\n", ""},
    {{"script", "start"}, 0, "Script started\n", ""},
    {{"script", "show", "2"}, 0, Step2, ""},
    {{"defaults", "--yes"}, 0, "Factory defaults loaded\n", ""},
    // Refused: a message, exit status 2, nothing on standard output.
    {{"get", "Voltage 9"}, 2, "", "Unknown parameter: Voltage 9\n"},
    {{"set", "Ignition Debounce", "60"}, 2, "", "Parameter cannot be changed: Ignition Debounce\n"},
    {{"set", "Off-delay TIME 1", "18:00:00"}, 2, "", "Invalid or too big value!\n"},
    {{"vout", "4.99"}, 2, "", "Voltage range: 5-25V\n"},
    {{"vout", "25.01", "--save"}, 2, "", "Voltage range: 5-25V\n"},
    {{"sleep", "45:12:16"}, 2, "", std::string(SleepTimeMessage) + "\n"},
    {{"sleep", "1:00:00"}, 2, "", std::string(SleepTimeMessage) + "\n"},
    {{"script", "show", "61"}, 2, "", "Step must be a number from 1 to 60\n"},
    {{"script", "set", "0", "vout=12"}, 2, "", "Step must be a number from 1 to 60\n"},
    {{"script", "set", "1", "vout=25.54"}, 2, "", "Wrong voltage!\n"},
    {{"script", "set", "1", "vout-t2-time=18:00:00"}, 2, "", "Wrong timer: VOutT2!\n"},
    {{"script", "set", "1", "gwt=00:00:00"}, 2, "", "Global Wait Time cannot be 0!\n"},
    {{"script", "set", "1", "next=on"}, 2, "", "next takes yes or no: next=on\n"},
    {{"script", "set", "1", "volts=12"}, 2, "", "*"},
    {{"defaults"}, 2, "", "Not on a terminal: give --yes to load the factory defaults\n"},
    {{"import"}, 2, "", "FILE NOT FOUND (Device <=== File)\n"},
    {{"output", "fan", "on"}, 2, "", "*"},
    {{"frobnicate"}, 2, "", "*"},
    {{}, 2, "", "*"},
};
} // namespace

TEST_F(CliTest, EachCommandsOutputAndStatus)
{
    const std::string factory = FactoryMemory();
    for (const Case& c : Commands)
    {
        WriteFile(folder.File(Memory), factory);
        const ToolResult result = Sim(c.args);
        EXPECT_EQ(result.status, c.status) << Joined(c.args) << "\n" << result.err;
        EXPECT_EQ(result.out, c.out) << Joined(c.args);
        if (c.err != "*")
        {
            EXPECT_EQ(result.err, c.err) << Joined(c.args);
        }
        else
        {
            EXPECT_FALSE(result.err.empty()) << Joined(c.args);
        }
        if (c.status == 2)
        {
            EXPECT_EQ(MemoryBytes(), factory) << "refused input changed the device: " << Joined(c.args);
        }
    }
}

TEST_F(CliTest, ChangesPersistAcrossRuns)
{
    const std::string factory = FactoryMemory();
    ASSERT_EQ(factory.size(), MemorySize);

    EXPECT_EQ(Sim({"set", "off-delay time 1", "01:00:00"}).out, "01:00:00\n");
    EXPECT_EQ(Sim({"get", "Off-delay TIME 1"}).out, "01:00:00\n");
    EXPECT_EQ(Sim({"vout", "19", "--save"}).status, 0);
    EXPECT_EQ(Sim({"get", "Voltage 0"}).out, "19.29\n"); // the lowest step at or above

    // Only the two parameters' bytes moved, big-endian where they are two.
    std::string expected = factory;
    expected[ParameterBlockAt + 20] = '\x0E';
    expected[ParameterBlockAt + 21] = '\x10';
    expected[ParameterBlockAt + 52] = static_cast<char>(VoltsToOutputCode(19.0));
    EXPECT_EQ(MemoryBytes(), expected);

    // A step changed in one run reads back in the next; its neighbours keep theirs.
    const ToolResult set = Sim({"script", "set", "2", "vout=13", "aux-t1=on", "aux-t1-time=00:10:00", "next=yes"});
    EXPECT_EQ(set.status, 0) << set.err;
    const std::string step2 =
        "step 2: vout=13.09 vout-t1=off vout-t1-time=00:00:05 vout-t2=off vout-t2-time=00:00:55 aux-t1=on "
        "aux-t1-time=00:10:00 aux-t2=off aux-t2-time=Never pws-t1=off pws-t1-time=500 pws-t2=off pws-t2-time=Never "
        "gwt=00:00:30 skip=no next=yes repeat=no\n";
    EXPECT_EQ(set.out, step2);
    EXPECT_EQ(Sim({"script", "show", "2"}).out, step2);
    EXPECT_EQ(MemoryBytes().substr(0, 16), factory.substr(0, 16));

    // Skipping a step stores a wait time of 0; giving a wait time un-skips it.
    EXPECT_NE(Sim({"script", "set", "2", "skip=yes"}).out.find("gwt=00:00:00 skip=yes"), std::string::npos);
    EXPECT_NE(Sim({"script", "set", "2", "gwt=00:00:20"}).out.find("gwt=00:00:20 skip=no"), std::string::npos);
}

TEST_F(CliTest, JsonOutputIsOneDocumentPerResult)
{
    FactoryMemory();
    const struct
    {
        std::vector<std::string> args;
        std::string pointer; // a value every document of this command has
        nlohmann::json value;
    } cases[] = {
        {{"status"}, "/dcdc_state", "07"},
        {{"status"}, "/voltage_in", 12.93},
        {{"list"}, "/devices/0/manufacturer", DeviceManufacturer},
        {{"params", "--all"}, "/parameters/10/name", "Ignition Debounce"},
        {{"get", "Voltage 1"}, "/value", "13.87"},
        {{"set", "Regulator offset", "3"}, "/value", "3"},
        {{"output", "psw", "on"}, "/on", true},
        {{"vout", "12"}, "/code", 51},
        {{"step", "up"}, "/regulator_steps", 1},
        {{"script", "show", "1"}, "/steps/0/pws_t1_time", "500"},
        {{"script", "show"}, "/steps/59/step", 60},
        {{"sleep", "45:12:15"}, "/sleep_minutes", 65535},
        {{"defaults", "--yes"}, "/factory_defaults_loaded", true},
        {{"export", "saved.ini"}, "/status", ExportSuccessText},
    };
    for (const auto& c : cases)
    {
        std::vector<std::string> args = c.args;
        args.push_back("--json"); // the global options may follow the command
        const ToolResult result = Sim(args);
        ASSERT_EQ(result.status, 0) << Joined(args) << "\n" << result.err;
        ASSERT_EQ(std::count(result.out.begin(), result.out.end(), '\n'), 1) << result.out;
        const nlohmann::json document = nlohmann::json::parse(result.out);
        EXPECT_EQ(document.at(nlohmann::json::json_pointer(c.pointer)), c.value) << Joined(args);
    }
    EXPECT_EQ(nlohmann::json::parse(Sim({"--json", "params"}).out).at("parameters").size(),
              ListedParameterSlots().size());
}

TEST_F(CliTest, WatchRepeatsTheStatusCountTimes)
{
    const ToolResult result = Sim({"--json", "status", "--watch", "0", "--count", "2"});
    ASSERT_EQ(result.status, 0) << result.err;
    size_t documents = 0;
    size_t start = 0;
    for (size_t end = result.out.find('\n'); end != std::string::npos; end = result.out.find('\n', start))
    {
        EXPECT_EQ(nlohmann::json::parse(result.out.substr(start, end - start)).at("mode_name"), "Automotive");
        ++documents;
        start = end + 1;
    }
    EXPECT_EQ(documents, 2u);
    EXPECT_EQ(start, result.out.size());

    const ToolResult text = Sim({"status", "--watch", "0", "--count", "3"});
    size_t titles = 0;
    for (size_t at = text.out.find("QUORREL ver: 4.3 mode: 01 (Automotive)\n"); at != std::string::npos;
         at = text.out.find("QUORREL ver:", at + 1))
        ++titles;
    EXPECT_EQ(titles, 3u);
    EXPECT_NE(text.out.find("DCDC State:          07\n"), std::string::npos);
    EXPECT_NE(text.out.find("Regulator steps:     0\n"), std::string::npos);

    EXPECT_EQ(Sim({"status", "--count", "2"}).status, 2) << "--count needs --watch";
    EXPECT_EQ(Sim({"status", "--watch", "-1"}).status, 2);
}

TEST_F(CliTest, NoDevice)
{
    const std::vector<std::string> cases[] = {
        {"--device", "/dev/no-such-hidraw", "status"},           // the real bus
        {"--device", "/dev/no-such-hidraw", "--json", "params"}, // nothing on standard output, even with --json
        {"--simulate", "--device", "sim:99", "get", "Voltage 0"},
    };
    for (const auto& args : cases)
    {
        const ToolResult result = folder.Run(args);
        EXPECT_EQ(result.status, 3) << Joined(args);
        EXPECT_EQ(result.out, "") << Joined(args);
        EXPECT_NE(result.err.find("Device not found\n"), std::string::npos) << Joined(args) << result.err;
    }
}

TEST_F(CliTest, ListShowsTheSimulatedSupply)
{
    char ids[16];
    std::snprintf(ids, sizeof ids, "%04x:%04x", DeviceVendorId, DeviceProductId);
    const ToolResult result = Sim({"list"});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.out.rfind("sim:", 0), 0u) << result.out;
    EXPECT_NE(result.out.find(std::string(ids) + "  \"" + DeviceManufacturer + "\""), std::string::npos) << result.out;
    EXPECT_NE(result.out.find("reports in 24 out 24\n"), std::string::npos) << result.out;
}

TEST_F(CliTest, ExportThenImportRestoresTheMemory)
{
    FactoryMemory();
    ASSERT_EQ(Sim({"set", "Hard-off TIME 2", "00:07:00"}).status, 0);
    ASSERT_EQ(Sim({"script", "set", "7", "vout=14", "gwt=00:00:10"}).status, 0);
    const std::string saved = MemoryBytes();

    const ToolResult exported = Sim({"export"});
    EXPECT_EQ(exported.status, 0) << exported.err;
    EXPECT_EQ(exported.out, std::string(ExportSuccessText) + "\n");
    // The file holds the memory line by line, behind its six header lines.
    const std::string file = ReadFile(folder.File(SettingsFileName));
    const std::string firstLine = "00 3c";
    size_t at = file.find(firstLine);
    ASSERT_NE(at, std::string::npos);
    for (size_t piece = 0; piece < MemorySize / 16; ++piece)
    {
        char line[64];
        int length = std::snprintf(line, sizeof line, "%02x %02x", unsigned((0x3C00 + 16 * piece) & 0xFF),
                                   unsigned((0x3C00 + 16 * piece) >> 8));
        for (size_t i = 0; i < 16; ++i)
            length += std::snprintf(line + length, sizeof line - length, " %02x",
                                    static_cast<unsigned char>(saved[16 * piece + i]));
        ASSERT_EQ(file.compare(at, length + 3, std::string(line) + "\r\r\n"), 0) << "piece " << piece;
        at += length + 3;
    }
    EXPECT_EQ(at, file.size());

    ASSERT_EQ(Sim({"defaults", "--yes"}).status, 0);
    ASSERT_EQ(Sim({"script", "set", "7", "vout=20"}).status, 0);
    ASSERT_NE(MemoryBytes(), saved);

    const ToolResult imported = Sim({"import", SettingsFileName});
    EXPECT_EQ(imported.status, 0) << imported.err;
    EXPECT_EQ(imported.out, std::string(ImportSuccessText) + "\n");
    EXPECT_EQ(MemoryBytes(), saved);
}

TEST_F(CliTest, FailedImportFallsBackToFactoryDefaults)
{
    const std::string factory = FactoryMemory();
    ASSERT_EQ(Sim({"export", "good.ini"}).status, 0);
    const std::string good = ReadFile(folder.File("good.ini"));
    const size_t firstData = good.find("00 3c");
    const size_t secondData = good.find("10 3c");
    const size_t lastData = good.find("f0 3f");
    ASSERT_TRUE(firstData != std::string::npos && secondData != std::string::npos && lastData != std::string::npos);

    const struct
    {
        const char* name;
        std::string content;
        bool scriptWritten; // whether script memory was reached before the failure
    } cases[] = {
        // The first piece is missing: the import stops before writing anything.
        {"wrong-first-address.ini", good.substr(0, firstData) + good.substr(secondData), false},
        // 63 pieces: all are written, then the missing last one fails it.
        {"short.ini", good.substr(0, lastData), true},
    };
    for (const auto& c : cases)
    {
        WriteFile(folder.File(Memory), factory);
        ASSERT_EQ(Sim({"set", "Delay before PSU startup", "9"}).status, 0);
        ASSERT_EQ(Sim({"script", "set", "1", "vout=20"}).status, 0);
        const std::string before = MemoryBytes();
        WriteFile(folder.File(c.name), c.content);

        const ToolResult result = Sim({"import", c.name});
        EXPECT_EQ(result.status, 1) << c.name;
        EXPECT_EQ(result.out, "") << c.name;
        EXPECT_NE(result.err.find(std::string(ImportWriteErrorText) + "\n"), std::string::npos) << result.err;
        EXPECT_NE(result.err.find(std::string(FactoryDefaultsLoadedText) + "\n"), std::string::npos) << result.err;
        // The parameters are the factory's again; the script holds what the import left.
        EXPECT_EQ(MemoryBytes().substr(ParameterBlockAt), factory.substr(ParameterBlockAt)) << c.name;
        EXPECT_EQ(MemoryBytes().substr(0, ParameterBlockAt),
                  (c.scriptWritten ? factory : before).substr(0, ParameterBlockAt))
            << c.name;
    }
}

TEST_F(CliTest, HelpGoesToStandardOutput)
{
    const ToolResult help = folder.Run({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("Usage: quorrelctl"), std::string::npos);
    EXPECT_NE(help.out.find("3 no device found"), std::string::npos);
    const ToolResult scriptHelp = folder.Run({"script", "set", "--help"});
    EXPECT_EQ(scriptHelp.status, 0);
    EXPECT_NE(scriptHelp.out.find("FIELD=VALUE"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(folder.File(Memory))) << "help touched no device";
}
