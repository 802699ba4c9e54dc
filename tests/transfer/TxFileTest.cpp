#include "tests/transfer/TransferFixture.h"
#include "transfer/TxFile.h"

namespace
{
// Every line of a file, as kind and bytes.
std::vector<std::pair<TxLine, std::vector<uint8_t>>> ReadLines(const std::string& file)
{
    TxFile reader(file);
    EXPECT_TRUE(reader.Open(nullptr));
    std::vector<std::pair<TxLine, std::vector<uint8_t>>> lines;
    for (;;)
    {
        HArray bytes;
        TxLine kind = reader.ReadLine(bytes);
        if (kind == TxLine::EndOfFile)
            return lines;
        lines.emplace_back(kind, kind == TxLine::Data ? Bytes(bytes) : std::vector<uint8_t>{});
    }
}
} // namespace

TEST(TxFile, DataLinesAreReadInGroupsOfThree)
{
    struct Case
    {
        std::string line;
        std::vector<uint8_t> bytes;
    };
    const Case cases[] = {
        {"10 3c 01 02 0a ff", {0x10, 0x3C, 0x01, 0x02, 0x0A, 0xFF}},
        {"10-3C:0A", {0x10, 0x3C, 0x0A}},      // the third character is never looked at
        {"1g zz 7", {0x01, 0x00, 0x07}},        // digits as far as they go; none gives 0
        {"abc", {0xAB}},                        // the 'c' sits in a separator's place
        {"ab\r", {0xAB}},                       // a trailing CR starts no group
        {"ab 1", {0xAB, 0x01}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Bytes(TxFile::ParseDataLine(c.line)), c.bytes) << c.line;

    std::string line53 = "00 3c";
    for (int i = 0; i < 16; ++i)
        line53 += " ff";
    ASSERT_EQ(line53.size(), 53u);
    EXPECT_EQ(TxFile::ParseDataLine(line53).Length(), 18);
    EXPECT_EQ(TxFile::ParseDataLine(line53 + "\r").Length(), 18);
}

TEST(TxFile, LineEndsKindsAndTheLengthCut)
{
    TempFolder folder;
    const std::string file = folder.File("lines.ini");
    const std::string longLine(800, '1');
    WriteAll(file, "#comment\r\r\n\n$directive\r\nab cd\nef\r\r\n" + longLine + "\n");

    auto lines = ReadLines(file);
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_EQ(lines[0].first, TxLine::Comment);
    EXPECT_EQ(lines[1].first, TxLine::Empty);
    EXPECT_EQ(lines[2].first, TxLine::Directive);
    EXPECT_EQ(lines[3], (std::pair<TxLine, std::vector<uint8_t>>{TxLine::Data, {0xAB, 0xCD}}));
    EXPECT_EQ(lines[4], (std::pair<TxLine, std::vector<uint8_t>>{TxLine::Data, {0xEF}})) << "CR CR LF leaves one CR";
    // 766 characters, then the rest as a line of its own.
    EXPECT_EQ(lines[5].first, TxLine::Data);
    EXPECT_EQ(lines[5].second.size(), 256u);
    EXPECT_EQ(lines[5].second.front(), 0x11);
    EXPECT_EQ(lines[6].second.size(), (800u - 766u + 2) / 3);
}

TEST(TxFile, ReadDataLineSkipsEverythingElseAndEmptiesAtTheEnd)
{
    TempFolder folder;
    const std::string file = folder.File("data.ini");
    WriteAll(file, "#a\n\n$b\n01 02\n#c\n03\n");
    TxFile reader(file);
    ASSERT_TRUE(reader.Open(nullptr));
    HArray bytes;
    reader.ReadDataLine(bytes);
    EXPECT_EQ(Bytes(bytes), (std::vector<uint8_t>{1, 2}));
    reader.ReadDataLine(bytes);
    EXPECT_EQ(Bytes(bytes), (std::vector<uint8_t>{3}));
    reader.ReadDataLine(bytes);
    EXPECT_EQ(bytes.Length(), 0);
}

TEST(TxFile, OpenTracesTheOutcome)
{
    TempFolder folder;
    const std::string present = folder.File("present.ini");
    WriteAll(present, "00\n");
    const std::string missing = folder.File("missing.ini");

    testing::internal::CaptureStdout();
    TxFile found(present);
    EXPECT_TRUE(found.Open());
    TxFile notFound(missing);
    EXPECT_FALSE(notFound.Open());
    HArray bytes;
    EXPECT_EQ(notFound.ReadLine(bytes), TxLine::EndOfFile);
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "File " + present + " opened\r\nFile " + missing + " could not be opened\r\n");
}
