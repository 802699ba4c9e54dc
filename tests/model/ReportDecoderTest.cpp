#include "model/ReportDecoder.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
HArray Report(std::vector<uint8_t> bytes, size_t length = 24)
{
    bytes.resize(length, 0);
    return HArray(static_cast<int32_t>(bytes.size()), bytes.data());
}

HArray StatusReport(std::vector<std::pair<int, uint8_t>> fields)
{
    std::vector<uint8_t> bytes(24, 0);
    bytes[0] = 0x82;
    for (auto [at, value] : fields)
        bytes[static_cast<size_t>(at)] = value;
    return Report(bytes);
}

HArray MemoryReply(uint32_t address, uint8_t count = 16)
{
    return Report({0xA2, static_cast<uint8_t>(address), static_cast<uint8_t>(address >> 8),
                   static_cast<uint8_t>(address >> 16), count});
}
} // namespace

TEST(ReportDecoder, ShortReportsAndUnknownTypesAreIgnored)
{
    EXPECT_EQ(DecodeReport(Report({0x82, 0xB6}, 23)).action, ReportAction::Ignore);
    EXPECT_EQ(DecodeReport(Report({0xFF, 0x01}, 23)).action, ReportAction::Ignore);
    EXPECT_EQ(DecodeReport(HArray()).action, ReportAction::Ignore);
    EXPECT_EQ(DecodeReport(Report({0x83})).action, ReportAction::Ignore);
    EXPECT_EQ(DecodeReport(Report({0x00})).action, ReportAction::Ignore);
    // The same 23 bytes padded to 24 are a status report; longer ones too.
    EXPECT_EQ(DecodeReport(Report({0x82, 0xB6}, 24)).action, ReportAction::Status);
    EXPECT_EQ(DecodeReport(Report({0x82, 0xB6}, 64)).action, ReportAction::Status);
}

TEST(ReportDecoder, StatusReportTexts)
{
    const auto decoded = DecodeReport(StatusReport({
        {1, 0xB6},              // time cfg 5, voltage cfg 5, mode 2
        {2, 0xA5},              // converter state
        {3, 77},                // input
        {4, 255},               // ignition
        {5, 5},                 // output
        {6, 0x1C},              // all three outputs on
        {7, 0x05},              // pins
        {8, 0x80},              // voltage flags
        {9, 0x01},              // timer flags
        {10, 42},               // script step
        {11, 0x0E}, {12, 0x10}, // wait 1 h
        {13, 0xFF}, {14, 0xFF}, // VOut Never
        {15, 0xFF}, {16, 0xFE}, // VAux 18:12:14
        {17, 0x01}, {18, 0x2C}, // power switch 300
        {19, 0x00}, {20, 0x3D}, // off delay 61 s
        {21, 0x00}, {22, 0x00}, // hard off 0
        {23, 0x83},             // firmware 4.3
    }));
    ASSERT_EQ(decoded.action, ReportAction::Status);
    const StatusView& s = decoded.status;
    const StatusPanelTexts& p = s.panel;
    EXPECT_EQ(p.timeConfig, "5");
    EXPECT_EQ(p.voltageConfig, "5");
    EXPECT_EQ(s.voltageConfig, 5);
    EXPECT_EQ(p.mode, "02");
    EXPECT_EQ(p.dcdcState, "a5");
    EXPECT_EQ(s.voltageIn, "12.00");
    EXPECT_EQ(s.ignition, "39.73");
    EXPECT_EQ(s.voltageOut, "0.58");
    EXPECT_TRUE(s.powerSwitchOn && s.voutOn && s.auxOn);
    EXPECT_EQ(p.outputFlags, "00011100");
    EXPECT_EQ(p.pinConfiguration, "00000101");
    EXPECT_EQ(p.voltageFlags, "10000000");
    EXPECT_EQ(p.timerFlags, "00000001");
    EXPECT_EQ(p.scriptStep, "42");
    EXPECT_EQ(p.waitTimer, "01:00:00");
    EXPECT_EQ(p.voutTimer, "Never");
    EXPECT_EQ(p.vauxTimer, "18:12:14");
    EXPECT_EQ(p.powerSwitchTimer, "300");
    EXPECT_EQ(p.offDelayTimer, "00:01:01");
    EXPECT_EQ(p.hardOffTimer, "00:00:00");
    EXPECT_EQ(s.firmwareByte, 0x83);
    EXPECT_EQ(s.title, "QUORREL ver: 4.3 mode: 02 (Script)");
}

TEST(ReportDecoder, VoltagesAreScaledInSinglePrecision)
{
    const std::tuple<int, uint8_t, const char*> cases[] = {
        {5, 5, "0.58"}, {5, 255, "29.83"}, {5, 0, "0.00"}, {3, 77, "12.00"}, {3, 255, "39.73"}, {4, 1, "0.16"},
    };
    for (const auto& [at, count, text] : cases)
    {
        const StatusView s = DecodeStatusReport(StatusReport({{at, count}}));
        const std::string& shown = at == 3 ? s.voltageIn : at == 4 ? s.ignition : s.voltageOut;
        EXPECT_EQ(shown, text) << "byte " << at << " = " << int(count);
    }
}

TEST(ReportDecoder, OutputBitsAndModesAndTitle)
{
    const StatusView none = DecodeStatusReport(StatusReport({{6, 0xE3}}));
    EXPECT_FALSE(none.powerSwitchOn || none.voutOn || none.auxOn);
    const StatusView vout = DecodeStatusReport(StatusReport({{6, 0x08}}));
    EXPECT_TRUE(vout.voutOn);
    EXPECT_FALSE(vout.powerSwitchOn || vout.auxOn);

    EXPECT_EQ(DecodeStatusReport(StatusReport({{2, 0x07}})).panel.dcdcState, "07");
    const char* titles[] = {"QUORREL ver: 4.3 mode: 00 (Dumb)", "QUORREL ver: 4.3 mode: 01 (Automotive)",
                            "QUORREL ver: 4.3 mode: 02 (Script)", "QUORREL ver: 4.3 mode: 03 (UPS)"};
    for (uint8_t mode = 0; mode < 4; ++mode)
        EXPECT_EQ(DecodeStatusReport(StatusReport({{1, mode}, {23, 0x83}})).title, titles[mode]);
    EXPECT_EQ(StatusTitle(0xFF, 1), "QUORREL ver: 7.31 mode: 01 (Automotive)");
    EXPECT_EQ(SaveVoltageCaption(5), "Set and save VOut (Voltage 5)");
}

TEST(ReportDecoder, MemoryRepliesAreRoutedByAddress)
{
    const std::tuple<uint32_t, uint8_t, ReportAction> cases[] = {
        {0x3C00, 16, ReportAction::ScriptMemory},   {0x3FB0, 16, ReportAction::ScriptMemory},
        {0x3FC0, 16, ReportAction::ParameterBlock}, {0x3FF0, 16, ReportAction::ParameterBlock},
        {0x3BF0, 16, ReportAction::Ignore},         {0x3FF8, 16, ReportAction::Ignore},
        {0x13FC0, 16, ReportAction::Ignore},        {0x3FC0, 8, ReportAction::Ignore},
        {0x3C00, 64, ReportAction::Ignore},
    };
    for (const auto& [address, count, action] : cases)
    {
        const auto decoded = DecodeReport(MemoryReply(address, count));
        EXPECT_EQ(decoded.action, action) << std::hex << address << " count " << std::dec << int(count);
        if (action != ReportAction::Ignore)
        {
            EXPECT_EQ(decoded.address, address);
        }
    }
}

TEST(ReportDecoder, CommandReplies)
{
    const std::tuple<std::vector<uint8_t>, ReportAction, const char*> cases[] = {
        {{0xB2, 0x00, 0x13, 0x2A}, ReportAction::RegulatorSteps, "42"},
        {{0xB2, 0x01, 0x13, 0x2A}, ReportAction::RegulatorSteps, "undefined"},
        {{0xB2, 0x02, 0x06}, ReportAction::CommandError, "Error 2 for message 06"},
        {{0xB2, 0x03, 0x0C}, ReportAction::CommandError, "Error 3 for message 0C"},
        {{0xB2, 0xFF, 0xB1}, ReportAction::CommandError, "Error 255 for message B1"},
        {{0xB2, 0x00, 0x06}, ReportAction::Ignore, ""},
    };
    for (const auto& [bytes, action, text] : cases)
    {
        const auto decoded = DecodeReport(Report(bytes));
        EXPECT_EQ(decoded.action, action) << text;
        EXPECT_EQ(decoded.text, text);
    }
}

TEST(ReportDecoder, DisconnectReportNeedsMarkOne)
{
    EXPECT_EQ(DecodeReport(Report({0xFF, 0x01})).action, ReportAction::Disconnected);
    EXPECT_EQ(DecodeReport(Report({0xFF, 0x00})).action, ReportAction::Ignore);
    EXPECT_EQ(DecodeReport(Report({0xFF, 0x02})).action, ReportAction::Ignore);
}
