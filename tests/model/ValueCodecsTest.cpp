#include "model/ValueCodecs.h"

#include <gtest/gtest.h>

#include <clocale>
#include <vector>

namespace
{
struct Bytes
{
    uint8_t high;
    uint8_t low;
};

// Parses and returns {high, low}; fails the test if the parse is refused.
Bytes Parsed(std::string_view text, ValueType type, int size, double factor)
{
    Bytes out{0xAA, 0xAA};
    EXPECT_TRUE(ParseValue(text, type, size, factor, out.high, out.low)) << text;
    return out;
}

bool Refused(std::string_view text, ValueType type, int size, double factor)
{
    uint8_t high = 0xAA, low = 0xAA;
    const bool ok = ParseValue(text, type, size, factor, high, low);
    EXPECT_EQ(high, 0) << "outputs are cleared first";
    return !ok;
}

std::string Shown(std::vector<uint8_t> field, ValueType type, double factor)
{
    return FormatValue(field, 0, static_cast<int>(field.size()), type, factor);
}
} // namespace

TEST(OutputVoltage, CodeToVolts)
{
    const std::pair<int, double> cases[] = {{0, 26.14}, {1, 25.53}, {2, 24.95},  {51, 12.01}, {52, 11.89},
                                            {100, 8.10}, {203, 5.01}, {204, 4.99}, {255, 4.27}};
    for (const auto& [code, volts] : cases)
        EXPECT_NEAR(OutputCodeToVolts(static_cast<uint8_t>(code)), volts, 1e-9) << code;
}

TEST(OutputVoltage, VoltsToCodeClampsAndRoundsUpToNextStep)
{
    const std::pair<double, int> cases[] = {{12.0, 51}, {13.8, 38}, {5.0, 203}, {4.99, 203},
                                            {25.0, 1},  {25.53, 1}, {26.0, 1},  {-100.0, 203}};
    for (const auto& [volts, code] : cases)
        EXPECT_EQ(VoltsToOutputCode(volts), code) << volts;
}

TEST(OutputVoltage, EveryProducibleCodeSurvivesTheRoundTripThroughItsText)
{
    for (int code = 0; code <= 255; ++code)
    {
        const auto text = Shown({static_cast<uint8_t>(code)}, ValueType::OutputVoltage, 0);
        const int expected = code == 0 ? 1 : code > 203 ? 203 : code;
        EXPECT_EQ(VoltsToOutputCode(OutputCodeToVolts(static_cast<uint8_t>(code))), expected) << code;
        if (code >= 1 && code <= 203)
        {
            EXPECT_EQ(Parsed(text, ValueType::OutputVoltage, 1, 0).low, code) << text;
        }
    }
}

TEST(OutputVoltage, TypedText)
{
    EXPECT_EQ(Parsed("5", ValueType::OutputVoltage, 1, 0).low, 203);
    EXPECT_EQ(Parsed("25.53", ValueType::OutputVoltage, 1, 0).low, 1);
    EXPECT_EQ(Parsed("12.0abc", ValueType::OutputVoltage, 1, 0).low, 51);
    EXPECT_TRUE(Refused("4.99", ValueType::OutputVoltage, 1, 0));
    EXPECT_TRUE(Refused("25.54", ValueType::OutputVoltage, 1, 0));
    EXPECT_TRUE(Refused("1e999", ValueType::OutputVoltage, 1, 0));
}

TEST(ValueFormat, ShownTexts)
{
    struct Case
    {
        std::vector<uint8_t> field;
        ValueType type;
        double factor;
        const char* text;
    };
    const Case cases[] = {
        {{77}, ValueType::Decimal, 0.1558, "12.00"},
        {{87}, ValueType::Decimal, 0.1558, "13.55"},
        {{255}, ValueType::Decimal, 0.1558, "39.73"},
        {{5}, ValueType::Integer, 10, "50"},
        {{0x00, 0x32}, ValueType::Integer, 10, "500"},
        {{0x01, 0x2C}, ValueType::Integer, 10, "3000"},
        {{0x0E, 0x10}, ValueType::Duration, 1, "01:00:00"},
        {{0xFF, 0xFF}, ValueType::Duration, 1, "Never"},
        {{0xFF, 0xFE}, ValueType::Duration, 1, "18:12:14"},
        {{0x00, 0x00}, ValueType::Duration, 1, "00:00:00"},
        {{0xFF, 0xFF}, ValueType::IntegerOrNever, 10, "Never"},
        {{0xFF, 0xFE}, ValueType::IntegerOrNever, 10, "655340"},
        {{0xFF}, ValueType::IntegerOrNever, 1, "Never"},
        {{0xFE}, ValueType::IntegerOrNever, 1, "254"},
        {{0x05}, ValueType::Flags, 1, "00000101"},
        {{0x21}, ValueType::Flags, 1, "00100001"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Shown(c.field, c.type, c.factor), c.text) << c.text;
}

TEST(ValueFormat, SizeOtherThanOneIsTwoAndFieldsPastTheBufferReadFF)
{
    const uint8_t block[] = {0x00, 0x0E, 0x10};
    EXPECT_EQ(FormatValue(block, 1, 7, ValueType::Duration, 1), "01:00:00");
    EXPECT_EQ(FormatValue(block, 2, 2, ValueType::IntegerOrNever, 1), "4351"); // 0x10, then 0xFF past the end
    EXPECT_EQ(FormatValue(block, 3, 2, ValueType::Duration, 1), "Never");
}

TEST(ValueParse, NumbersAreRoundedHalvesUpClampedAndNeverNegative)
{
    struct Case
    {
        const char* text;
        ValueType type;
        int size;
        double factor;
        uint8_t high, low;
    };
    const Case cases[] = {
        {"12.00", ValueType::Decimal, 1, 0.1558, 0, 77},
        {"13.5", ValueType::Decimal, 1, 0.1558, 0, 87},
        {"54", ValueType::Integer, 1, 10, 0, 5},
        {"55", ValueType::Integer, 1, 10, 0, 6},
        {"3000", ValueType::Integer, 1, 10, 0, 255},
        {"-5", ValueType::Integer, 1, 10, 0, 0},
        {"abc", ValueType::Integer, 1, 10, 0, 0},
        {"1000000", ValueType::Integer, 2, 10, 0xFF, 0xFF},
        {"1e300", ValueType::Integer, 2, 1, 0xFF, 0xFF},
        {"NEVER", ValueType::IntegerOrNever, 2, 10, 0xFF, 0xFF},
        {"never", ValueType::IntegerOrNever, 1, 10, 0, 0xFF},
        {"700000", ValueType::IntegerOrNever, 2, 10, 0xFF, 0xFF},
        {"15", ValueType::IntegerOrNever, 2, 10, 0, 2},
        {"14", ValueType::IntegerOrNever, 2, 10, 0, 1},
        {"17:59:59", ValueType::Duration, 2, 1, 0xFD, 0x1F},
        {"never", ValueType::Duration, 2, 1, 0xFF, 0xFF},
        {"ab:cd:ef", ValueType::Duration, 2, 1, 0x00, 0x00},
        {"0a:00:00", ValueType::Duration, 2, 1, 0x00, 0x00},
        {" 1:+2: 3", ValueType::Duration, 2, 1, 0x0E, 0x8B},
        {"101", ValueType::Flags, 1, 1, 0, 5},
        {"100000001", ValueType::Flags, 1, 1, 0, 1},
    };
    for (const auto& c : cases)
    {
        const Bytes out = Parsed(c.text, c.type, c.size, c.factor);
        EXPECT_EQ(out.high, c.high) << c.text;
        EXPECT_EQ(out.low, c.low) << c.text;
    }
}

TEST(ValueParse, RefusedTexts)
{
    struct Case
    {
        const char* text;
        ValueType type;
    };
    const Case cases[] = {
        {"18:00:00", ValueType::Duration}, {"1:00:00", ValueType::Duration},  {"01-00-00", ValueType::Duration},
        {"00:60:00", ValueType::Duration}, {"00:00:-1", ValueType::Duration}, {" Never", ValueType::Duration},
        {"", ValueType::Duration},         {"1e999", ValueType::Integer},     {"-1e999", ValueType::Decimal},
        {"1e-400", ValueType::Integer},    {"1e999", ValueType::IntegerOrNever}, {"", ValueType::Flags},
        {"102", ValueType::Flags},         {"10 ", ValueType::Flags},
    };
    for (const auto& c : cases)
        EXPECT_TRUE(Refused(c.text, c.type, 2, 1)) << '"' << c.text << '"';
    uint8_t high, low;
    EXPECT_FALSE(ParseValue("1", static_cast<ValueType>(4), 1, 1, high, low)) << "unassigned type number";
}

TEST(ValueParse, ARangeErrorDoesNotSpillIntoTheNextParse)
{
    uint8_t high, low;
    EXPECT_FALSE(ParseValue("1e999", ValueType::Integer, 1, 1, high, low));
    EXPECT_TRUE(ParseValue("12", ValueType::Integer, 1, 1, high, low));
    EXPECT_EQ(low, 12);
}

TEST(ReadNumber, OnlyTheFirstEightCharactersOfADecimalNumberCount)
{
    const std::pair<const char*, double> cases[] = {
        {"12.5V", 12.5},      {"  +3.25", 3.25},   {"-.5", -0.5},     {"1.", 1.0},      {"1e3", 1000.0},
        {"1e", 1.0},          {"2E+2x", 200.0},    {"123456789", 12345678.0}, {"1234567.9", 1234567.0},
        {"      12", 12.0},   {"       12", 1.0},  {"0x1A", 0.0},     {"inf", 0.0},     {"nan", 0.0},
        {".", 0.0},           {"", 0.0},           {"1.2.3", 1.2},    {"\t7", 7.0},
    };
    for (const auto& [text, value] : cases)
    {
        const auto number = ReadNumber(text);
        ASSERT_TRUE(number.has_value()) << text;
        EXPECT_DOUBLE_EQ(*number, value) << '"' << text << '"';
    }
    // The exponent of an overflow must lie inside the window to count.
    EXPECT_FALSE(ReadNumber("1e999").has_value());
    EXPECT_TRUE(ReadNumber("1234561e999").has_value());
}

TEST(ReadNumber, DoesNotDependOnTheProcessLocale)
{
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = previous ? previous : "C";
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr)
        GTEST_SKIP() << "no German locale installed";
    EXPECT_DOUBLE_EQ(*ReadNumber("12.5"), 12.5);
    EXPECT_EQ(FormatDecimal(12.5f), "12.50");
    std::setlocale(LC_NUMERIC, saved.c_str());
}

TEST(TextForms, FlagsWordDecimalDuration)
{
    EXPECT_EQ(FormatFlags(0x05), "00000101");
    EXPECT_EQ(FormatFlags(0x80), "10000000");
    EXPECT_EQ(FormatWord(0x01, 0x2C), "300");
    EXPECT_EQ(FormatWord(0xFF, 0xFF), "65535");
    EXPECT_EQ(FormatDecimal(0.58f), "0.58");
    EXPECT_EQ(FormatDuration(0xFFFF), "Never");
    EXPECT_EQ(FormatDuration(3661), "01:01:01");
    bool ok = true;
    EXPECT_EQ(ParseFlags("", ok), 0);
    EXPECT_FALSE(ok);
    EXPECT_EQ(ParseFlags("11111111", ok), 0xFF);
    EXPECT_TRUE(ok);
}
