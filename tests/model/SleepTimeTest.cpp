#include "model/SleepTime.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

TEST(SleepTime, AcceptedTextsGiveTheirMinutes)
{
    const std::pair<std::string, int> cases[] = {
        {"00:00:00", 0},
        {"01:00:00", 1440},
        {"00:00:59", 59},
        {"00:59:59", 3599},  // hours run to 59, not 23
        {"45:12:15", 65535}, // the most two bytes hold
        {"0x:00:00", 0},     // a field reads up to its first non-digit
        {"+1:00:00", 1440},
        {" 1:00:00", 1440},  // leading white space in a field
        {"ab:cd:ef", 0},     // fields without digits read as 0
    };
    for (const auto& [text, minutes] : cases)
    {
        const std::optional<uint16_t> parsed = ParseSleepTime(text);
        ASSERT_TRUE(parsed.has_value()) << text;
        EXPECT_EQ(*parsed, minutes) << text;
    }
}

TEST(SleepTime, RefusedTexts)
{
    const char* cases[] = {
        "45:12:16",  // one minute too many
        "45:13:00",
        "46:00:00",  // days above 45
        "00:60:00",
        "00:00:60",
        "-1:00:00",  // negative fields
        "00:-1:00",
        "1:00:00",   // seven characters
        "001:00:00", // nine
        "01-00-00",  // wrong separators
        "0100:00:",
        "",
    };
    for (const char* text : cases)
        EXPECT_FALSE(ParseSleepTime(text).has_value()) << text;
}

TEST(SleepTime, CommandCarriesTheMinutesHighByteFirst)
{
    EXPECT_EQ(SleepCommand(1440).Bytes(), (std::vector<uint8_t>{0xB1, 18, 0x05, 0xA0}));
    EXPECT_EQ(SleepCommand(0).Bytes(), (std::vector<uint8_t>{0xB1, 18, 0x00, 0x00}));
    EXPECT_EQ(SleepCommand(65535).Bytes(), (std::vector<uint8_t>{0xB1, 18, 0xFF, 0xFF}));
    EXPECT_STREQ(SleepTimeMessage, "Invalid or too big time - format is dd:hh:mm (max: 45:12:15)!");
}
