#include "device/hid/linux/UdevHidBus.h"
#include "device/hid/linux/UdevText.h"

#include <gtest/gtest.h>

TEST(UdevText, HidIdIsBusVendorProductInHex)
{
    const auto id = ParseHidId("0003:00001209:0000ABCD");
    ASSERT_TRUE(id.has_value());
    EXPECT_EQ(id->bus, 3u);
    EXPECT_EQ(id->vendorId, 0x1209);
    EXPECT_EQ(id->productId, 0xABCD);
    for (const char* bad : {"", "0003", "0003:1209", "0003:1209:", "0003:00011209:0001", "0003:12x9:0001",
                            "0003:1209:0001:7"})
        EXPECT_FALSE(ParseHidId(bad).has_value()) << bad;
}

TEST(UdevText, Utf8BecomesUtf16)
{
    EXPECT_EQ(Utf8ToUtf16("Quorrel"), u"Quorrel");
    EXPECT_EQ(Utf8ToUtf16("Qu\xC3\xB6rrel"), u"Qu\u00F6rrel");
    EXPECT_EQ(Utf8ToUtf16("\xE2\x82\xAC"), u"\u20AC");
    EXPECT_EQ(Utf8ToUtf16("\xF0\x9F\x94\x8B"), u"\U0001F50B"); // a surrogate pair
    // Broken input never stops the conversion: each bad byte is one U+FFFD.
    EXPECT_EQ(Utf8ToUtf16("a\xC3"), u"a\uFFFD");
    EXPECT_EQ(Utf8ToUtf16("\xC0\xAF"), u"\uFFFD\uFFFD"); // overlong '/'
    EXPECT_EQ(Utf8ToUtf16("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD"); // a surrogate
    EXPECT_EQ(Utf8ToUtf16("\xFF"), u"\uFFFD");
}

// The real libudev on whatever this machine has: usually no HID device at all.
TEST(UdevHidBus, EnumeratesHidrawNodesAndRefusesOtherPaths)
{
    UdevHidBus bus;
    const HidEnumeration present = bus.Enumerate();
    EXPECT_EQ(present.error, 0);
    for (const HidDeviceInfo& info : present.devices)
        EXPECT_EQ(info.path.rfind("/dev/hidraw", 0), 0u) << info.path;
    EXPECT_EQ(bus.Open("/dev/null"), nullptr);
    EXPECT_EQ(bus.Open("/nonexistent/hidraw0"), nullptr);
}

TEST(UdevHidBus, WatchStartsAndStopsPromptly)
{
    UdevHidBus bus;
    auto watch = bus.Watch([] {});
    ASSERT_NE(watch, nullptr);
    watch.reset(); // must not hang: the stop event ends the watch's poll
}
