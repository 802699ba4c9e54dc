#include "device/hid/linux/ReportDescriptor.h"
#include "sim/SimulatedReportDescriptor.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace
{
struct Case
{
    const char* what;
    std::vector<uint8_t> descriptor;
    uint16_t inputLength;
    uint16_t outputLength;
    bool usesReportIds;
};
} // namespace

TEST(ReportDescriptor, LengthsAreTheLargestPayloadPlusTheIdByte)
{
    const Case cases[] = {
        {"numbered reports of 23 data bytes, as the power supply's",
         {0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01,             // vendor page, application collection
          0x85, 0x82, 0x75, 0x08, 0x95, 0x17, 0x09, 0x01, 0x81, 0x02, // report 0x82: 23 bytes in
          0x85, 0xA2, 0x09, 0x01, 0x81, 0x02,                   // report 0xA2: 23 bytes in
          0x85, 0x81, 0x09, 0x01, 0x91, 0x02,                   // report 0x81: 23 bytes out
          0xC0},
         24, 24, true},
        {"unnumbered 64-byte reports",
         {0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x75, 0x08, 0x95, 0x40, 0x09, 0x01, 0x81, 0x02, 0x09, 0x01,
          0x91, 0x02, 0xC0},
         65, 65, false},
        {"fields of one report add up", {0x75, 0x08, 0x95, 0x0A, 0x81, 0x02, 0x95, 0x05, 0x81, 0x02}, 16, 1, false},
        {"bits round up to bytes", {0x75, 0x01, 0x95, 0x03, 0x81, 0x02}, 2, 1, false},
        {"the largest report counts, not the sum over ids",
         {0x75, 0x08, 0x85, 0x01, 0x95, 0x04, 0x81, 0x02, 0x85, 0x02, 0x95, 0x09, 0x81, 0x02}, 10, 1, true},
        {"pop restores the pushed globals",
         {0x75, 0x08, 0x95, 0x10, 0xA4, 0x95, 0x02, 0x81, 0x02, 0xB4, 0x81, 0x02}, 19, 1, false},
        {"pop without push is ignored", {0xB4, 0x75, 0x08, 0x95, 0x02, 0x81, 0x02}, 3, 1, false},
        {"four-byte item data", {0x77, 0x08, 0x00, 0x00, 0x00, 0x95, 0x01, 0x91, 0x02}, 1, 2, false},
        {"long items are skipped", {0xFE, 0x02, 0x10, 0xAA, 0xBB, 0x75, 0x08, 0x95, 0x04, 0x81, 0x02}, 5, 1, false},
        {"a cut long item ends the walk", {0x75, 0x08, 0x95, 0x04, 0x81, 0x02, 0xFE, 0x05, 0x10, 0x81}, 5, 1, false},
        {"a cut short item ends the walk", {0x75, 0x08, 0x95, 0x04, 0x81, 0x02, 0x95}, 5, 1, false},
        {"feature reports do not count", {0x75, 0x08, 0x95, 0x20, 0xB1, 0x02}, 1, 1, false},
        {"absurd sizes are capped", {0x77, 0xFF, 0xFF, 0xFF, 0xFF, 0x97, 0xFF, 0xFF, 0xFF, 0xFF, 0x81, 0x02, 0x81, 0x02},
         0xFFFF, 1, false},
        {"empty", {}, 1, 1, false},
    };
    for (const auto& c : cases)
    {
        const ReportDescriptorSummary summary = ParseReportDescriptor(c.descriptor);
        EXPECT_EQ(summary.InputReportLength(), c.inputLength) << c.what;
        EXPECT_EQ(summary.OutputReportLength(), c.outputLength) << c.what;
        EXPECT_EQ(summary.usesReportIds, c.usesReportIds) << c.what;
    }
}

TEST(ReportDescriptor, AnyBytesAreWalkedWithoutReadingPastTheEnd)
{
    // Each descriptor lives in a buffer of exactly its size, so a read past
    // the end is caught by the address sanitizer builds.
    std::mt19937 random(12345);
    for (int round = 0; round < 20000; ++round)
    {
        const size_t length = random() % 48;
        std::vector<uint8_t> bytes(length);
        for (auto& b : bytes)
            b = static_cast<uint8_t>(random());
        const auto summary = ParseReportDescriptor(bytes);
        EXPECT_GE(summary.InputReportLength(), 1);
        EXPECT_GE(summary.OutputReportLength(), 1);
    }
}

TEST(ReportDescriptor, TheSimulatedPowerSupplyShowsNumbered24ByteReports)
{
    const ReportDescriptorSummary summary = ParseReportDescriptor(SimulatedReportDescriptor());
    EXPECT_TRUE(summary.usesReportIds);
    EXPECT_EQ(summary.InputReportLength(), 24);
    EXPECT_EQ(summary.OutputReportLength(), 24);
}

TEST(ReportDescriptor, ADecoyWithLongerReportsShowsThem)
{
    const ReportDescriptorSummary summary = ParseReportDescriptor(SimulatedReportDescriptor(24));
    EXPECT_EQ(summary.InputReportLength(), 25);
    EXPECT_EQ(summary.OutputReportLength(), 25);
}
