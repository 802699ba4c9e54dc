#include <algorithm>

#include "device/QuorrelProtocol.h"
#include "tests/transfer/TransferFixture.h"
#include "transfer/SettingsTransfer.h"

namespace
{
const std::string Header = "#This file is a parameter and script file for QUORREL\r\r\n"
                           "#Can be created from the QUORREL software importing from device\r\r\n"
                           "#DO NOT MODIFY IT MANUALLY! WRONG VALUES CAN BURN DOWN YOUR DEVICE!\r\r\n"
                           "#version:\r\r\n"
                           "00\r\r\n"
                           "#-----------------------------------\r\r\n";

uint8_t Pattern(int i)
{
    return static_cast<uint8_t>(i * 13 + 5);
}

std::string Replace(std::string text, const std::string& from, const std::string& to)
{
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

// The data lines of a file, each with its line end.
std::vector<std::string> DataLines(const std::string& file)
{
    std::vector<std::string> lines;
    size_t start = Header.size();
    while (start < file.size())
    {
        size_t end = file.find('\n', start) + 1;
        lines.push_back(file.substr(start, end - start));
        start = end;
    }
    return lines;
}

std::string Join(const std::vector<std::string>& lines)
{
    std::string joined = Header;
    for (const std::string& line : lines)
        joined += line;
    return joined;
}
} // namespace

using SettingsTransfer = TransferFixture;

TEST_F(SettingsTransfer, ExportOfErasedMemoryIsExact)
{
    FillMemory([](int) -> uint8_t { return 0xFF; });
    ASSERT_TRUE(ExportSettings(source, link.replyClock, settings, report));

    std::string expected = Header;
    for (int address = 0x3C00; address < 0x4000; address += 16)
    {
        char line[8];
        std::snprintf(line, sizeof line, "%02x %02x", address & 0xFF, address >> 8);
        expected += line;
        for (int i = 0; i < 16; ++i)
            expected += " ff";
        expected += "\r\r\n";
    }
    const std::string written = ReadAll(settings);
    EXPECT_EQ(written, expected);
    EXPECT_EQ(written.size(), Header.size() + 64 * 56);
    EXPECT_EQ(written.substr(Header.size(), 8), "00 3c ff");
    EXPECT_EQ(report.statuses, (std::vector<std::string>{"IN PROGRESS (Device ===> File)", "SUCCESS (Device ===> File)"}));
    EXPECT_EQ(report.progress, 64);
    EXPECT_FALSE(std::filesystem::exists(settings + ".partial"));
}

TEST_F(SettingsTransfer, ExportThenImportRestoresMemory)
{
    FillMemory(Pattern);
    const std::vector<uint8_t> original = Memory();
    ASSERT_TRUE(ExportSettings(source, link.replyClock, settings, report));
    EXPECT_NE(ReadAll(settings).find("\r\r\n10 3c "), std::string::npos);
    FillMemory([](int) -> uint8_t { return 0; });
    const size_t before = Written().size();

    EXPECT_EQ(ImportSettings(source, link.replyClock, settings, report, nullptr), ImportOutcome::Done);

    EXPECT_EQ(Memory(), original);
    EXPECT_EQ(report.Last(), "SUCCESS (Device <=== File)");
    EXPECT_EQ(report.progress, 64);
    std::vector<std::vector<uint8_t>> erases;
    size_t writes = 0;
    auto all = Written();
    for (size_t i = before; i < all.size(); ++i)
    {
        if (all[i][0] == CmdMemoryErase)
            erases.push_back({all[i].begin(), all[i].begin() + 5});
        writes += all[i][0] == CmdMemoryWrite;
    }
    ASSERT_EQ(erases.size(), 16u);
    for (size_t n = 0; n < erases.size(); ++n)
    {
        const uint32_t address = 0x3C00 + 64 * n;
        EXPECT_EQ(erases[n], (std::vector<uint8_t>{CmdMemoryErase, uint8_t(address), uint8_t(address >> 8), 0, 64}));
    }
    EXPECT_EQ(writes, 64u);
}

TEST_F(SettingsTransfer, ImportReadsEveryLineEndAndSkipsCommentsBetweenLines)
{
    FillMemory(Pattern);
    const std::vector<uint8_t> original = Memory();
    ASSERT_TRUE(ExportSettings(source, link.replyClock, settings, report));
    const std::string exported = ReadAll(settings);
    std::vector<std::string> lines = DataLines(exported);
    lines.insert(lines.begin() + 10, "# a note\r\n");
    lines.insert(lines.begin() + 20, "\n");
    lines.insert(lines.begin() + 30, "$directive\n");

    const std::pair<const char*, std::string> files[] = {
        {"LF", Replace(exported, "\r\r\n", "\n")},
        {"CR LF", Replace(exported, "\r\r\n", "\r\n")},
        {"with comments", Join(lines)},
    };
    for (const auto& [what, content] : files)
    {
        SCOPED_TRACE(what);
        WriteAll(settings, content);
        FillMemory([](int) -> uint8_t { return 0; });
        EXPECT_EQ(ImportSettings(source, link.replyClock, settings, report, nullptr), ImportOutcome::Done);
        EXPECT_EQ(Memory(), original);
    }
}

TEST_F(SettingsTransfer, ImportFailures)
{
    FillMemory(Pattern);
    ASSERT_TRUE(ExportSettings(source, link.replyClock, settings, report));
    const std::vector<std::string> lines = DataLines(ReadAll(settings));

    struct Case
    {
        const char* what;
        std::string file;
        size_t writes; // memory writes sent before the import gives up
        std::function<void()> arrange;
    };
    std::vector<std::string> wrongStart = lines;
    wrongStart[0].replace(0, 5, "10 3c");
    std::vector<std::string> tooLong = lines;
    tooLong.push_back("00 40 01 02\r\r\n");
    const Case cases[] = {
        {"first address 0x3C10", Join(wrongStart), 0, nullptr},
        {"63 data lines", Join({lines.begin(), lines.end() - 1}), 63, nullptr},
        {"a line after 0x3FF0", Join(tooLong), 64, nullptr},
        {"no data line at all", Header, 0, nullptr},
        {"a version line only", Header + "00\r\r\n", 0, nullptr},
        {"an echo differing in one byte", Join(lines), 1, [&] { Supply().CorruptNextWriteEchoes(1); }},
        {"no device connection", Join(lines), 0, [&] { source.connection = nullptr; }},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        source.connection = link.connection.get();
        WriteAll(settings, c.file);
        if (c.arrange)
            c.arrange();
        const size_t before = Written().size();
        report.statuses.clear();

        EXPECT_EQ(ImportSettings(source, link.replyClock, settings, report, nullptr), ImportOutcome::Failed);

        auto all = Written();
        size_t writes = std::count_if(all.begin() + before, all.end(), [](const auto& r) { return r[0] == CmdMemoryWrite; });
        EXPECT_EQ(writes, c.writes);
        EXPECT_EQ(report.Last(), "IN PROGRESS (Device <=== File)") << "the caller reports the failure";
    }
}

TEST_F(SettingsTransfer, ImportWithoutAFileSendsNothing)
{
    EXPECT_EQ(ImportSettings(source, link.replyClock, folder.File("missing.ini"), report, nullptr), ImportOutcome::FileNotFound);
    EXPECT_EQ(report.Last(), "FILE NOT FOUND (Device <=== File)");
    EXPECT_TRUE(Written().empty());
}

TEST_F(SettingsTransfer, FailedExportLeavesThePreviousFileAsItWas)
{
    const std::string previous = Header + "00 3c 01 02 03\r\r\n";
    struct Case
    {
        const char* what;
        std::function<void()> arrange;
        const char* status;
    };
    const Case cases[] = {
        {"no device connection from the start", [&] { source.connection = nullptr; }, "ERROR (Device ===> File)"},
        {"the connection goes away half-way",
         [&] { report.onProgress = [&](int steps) { if (steps == 20) source.connection = nullptr; }; },
         "ERROR (Device ===> File)"},
        {"the device stops answering", [&] { link.bus.DisappearOnCommand(link.index, 30); }, "TIMEOUT ERROR (Device ===> File)"},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        source.connection = link.connection.get();
        WriteAll(settings, previous);
        c.arrange();
        EXPECT_FALSE(ExportSettings(source, link.replyClock, settings, report));
        EXPECT_EQ(report.Last(), c.status);
        EXPECT_EQ(ReadAll(settings), previous);
        EXPECT_EQ(std::filesystem::directory_iterator(folder.path)->path().filename(), "settings.ini") << "nothing left beside it";
        report.onProgress = nullptr;
    }
}

TEST_F(SettingsTransfer, AStaleReplyInTheQueueIsNeitherWrittenNorCompared)
{
    FillMemory(Pattern);
    ASSERT_TRUE(ExportSettings(source, link.replyClock, settings, report));
    const std::string exported = ReadAll(settings);
    // A reply left over from an earlier read of the parameter block.
    std::vector<uint8_t> stale = {ReportMemoryRead, 0xF0, 0x3F, 0x00, 16};
    stale.resize(DeviceReportLength, 0xEE);

    link.bus.InjectInput(link.index, stale);
    ASSERT_TRUE(link.bus.AwaitBlockedRead(link.index));
    ASSERT_TRUE(ExportSettings(source, link.replyClock, settings, report));
    EXPECT_EQ(ReadAll(settings), exported);

    FillMemory([](int) -> uint8_t { return 0; });
    link.bus.InjectInput(link.index, stale);
    ASSERT_TRUE(link.bus.AwaitBlockedRead(link.index));
    EXPECT_EQ(ImportSettings(source, link.replyClock, settings, report, nullptr), ImportOutcome::Done);
    ASSERT_TRUE(ExportSettings(source, link.replyClock, settings, report));
    EXPECT_EQ(ReadAll(settings), exported);
}

TEST_F(SettingsTransfer, FactoryDefaultsNeedAConnection)
{
    source.connection = nullptr;
    EXPECT_FALSE(LoadFactoryDefaults(source));
    EXPECT_TRUE(Written().empty());

    source.connection = link.connection.get();
    Supply().WriteMemory(0x3FC0, std::vector<uint8_t>(64, 0));
    EXPECT_TRUE(LoadFactoryDefaults(source));
    EXPECT_EQ(Written().back()[0], CmdControl);
    EXPECT_EQ(Written().back()[1], CtlFactoryDefaults);
    EXPECT_NE(Supply().ReadMemory(0x3FC0, 64), std::vector<uint8_t>(64, 0));
}
