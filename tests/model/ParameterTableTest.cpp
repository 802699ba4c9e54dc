#include "model/ParameterTable.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>
#include <vector>

using ::testing::ElementsAre;

namespace
{
// A block whose every byte differs from its neighbours and from what the
// stores below write, so a stray write shows.
ParameterBlock PatternBlock()
{
    ParameterBlock block{};
    for (int i = 0; i < ParameterBlockSize; ++i)
        block[static_cast<size_t>(i)] = static_cast<uint8_t>(0xA5 ^ (i * 7));
    return block;
}

std::vector<int> Range(int first, int last)
{
    std::vector<int> values;
    for (int v = first; v <= last; ++v)
        values.push_back(v);
    return values;
}
} // namespace

TEST(ParameterTableLayout, UsesSlots0To43AndLeavesTheRestEmptyWithEmptyTexts)
{
    EXPECT_EQ(ParameterSlots(), Range(0, 43));
    for (int slot : {44, 50, 63, -1, 64, 1000})
    {
        SCOPED_TRACE(slot);
        const ParameterDef& def = ParameterAt(slot);
        EXPECT_TRUE(def.IsEmpty());
        EXPECT_EQ(def.offset, 0);
        EXPECT_FALSE(def.listed);
        EXPECT_EQ(def.factor, 0.0);
        ASSERT_NE(def.name, nullptr);
        ASSERT_NE(def.description, nullptr);
        ASSERT_NE(def.unit, nullptr);
        EXPECT_STREQ(def.name, "");
        EXPECT_STREQ(def.description, "");
        EXPECT_STREQ(def.unit, "");
    }
}

TEST(ParameterTableLayout, CoversEveryBlockByteOnceExceptTheThreeUnusedOnes)
{
    std::vector<int> owners(ParameterBlockSize, 0);
    for (int slot : ParameterSlots())
    {
        const ParameterDef& def = ParameterAt(slot);
        ASSERT_TRUE(def.size == 1 || def.size == 2) << slot;
        ASSERT_GE(def.offset, 0) << slot;
        ASSERT_LE(def.offset + def.size, ParameterBlockSize) << slot;
        for (int i = 0; i < def.size; ++i)
            ++owners[static_cast<size_t>(def.offset + i)];
    }
    for (int offset = 0; offset < ParameterBlockSize; ++offset)
    {
        const bool unused = offset == 8 || offset == 12 || offset == 31;
        EXPECT_EQ(owners[static_cast<size_t>(offset)], unused ? 0 : 1) << "offset " << offset;
    }
}

TEST(ParameterTableLayout, VoltageRowsAreSlots0To7InOrder)
{
    for (int n = 0; n < 8; ++n)
    {
        const ParameterDef& def = ParameterAt(n);
        EXPECT_EQ(def.name, "Voltage " + std::to_string(n));
        EXPECT_EQ(def.offset, 52 + n);
        EXPECT_EQ(def.size, 1);
        EXPECT_EQ(def.type, ValueType::OutputVoltage);
        EXPECT_TRUE(def.listed);
    }
}

TEST(ParameterTableLayout, ListsFortyParametersInSlotOrderAndHidesExactlyFour)
{
    const std::vector<int> listed = ListedParameterSlots();
    EXPECT_EQ(listed.size(), 40u);
    EXPECT_TRUE(std::is_sorted(listed.begin(), listed.end()));

    std::vector<std::string> hidden;
    for (int slot : ParameterSlots())
        if (!ParameterAt(slot).listed)
            hidden.emplace_back(ParameterAt(slot).name);
    EXPECT_THAT(hidden, ElementsAre("Ignition Debounce", "Max. allowed VIN voltage", "Off-delay TIME 0",
                                    "Hard-off TIME 0"));
    for (int slot : {10, 16, 23, 24})
        EXPECT_FALSE(ParameterAt(slot).listed) << slot;
}

TEST(ParameterTableRows, PlacementTypeAndFactorOfRowsWhoseOffsetsBreakTheOrder)
{
    struct Row
    {
        int slot;
        int offset;
        int size;
        ValueType type;
        double factor;
    };
    const Row rows[] = {
        {8, 0, 1, ValueType::Decimal, 0.1558},
        {10, 2, 1, ValueType::Integer, 10},
        {11, 30, 1, ValueType::Integer, 1},
        {12, 14, 1, ValueType::Integer, 1},
        {17, 63, 1, ValueType::Decimal, 0.1558},
        {20, 10, 2, ValueType::Integer, 10},
        {21, 13, 1, ValueType::Flags, 1},
        {29, 28, 2, ValueType::Duration, 1},
        {30, 32, 2, ValueType::Duration, 1},
        {37, 48, 2, ValueType::Duration, 1},
        {39, 46, 1, ValueType::Integer, 1},
        {43, 62, 1, ValueType::Decimal, 0.1558},
    };
    for (const Row& row : rows)
    {
        SCOPED_TRACE(row.slot);
        const ParameterDef& def = ParameterAt(row.slot);
        EXPECT_EQ(def.offset, row.offset);
        EXPECT_EQ(def.size, row.size);
        EXPECT_EQ(def.type, row.type);
        EXPECT_EQ(def.factor, row.factor); // exact: the double nearest 0.1558
    }
}

TEST(ParameterTableRows, TextsThatAreEasyToGetWrong)
{
    struct Text
    {
        int slot;
        const char* ParameterDef::*field;
        std::string expected;
    };
    const Text texts[] = {
        {20, &ParameterDef::name, "PSW \"push-down\" time"},
        {11, &ParameterDef::name, "Automotive Mode: Ignition Cancel Time"},
        {14, &ParameterDef::description, "Input voltage STARTUP ZONE treshold "},
        {15, &ParameterDef::description, "Input voltage RUNNING ZONE treshold "},
        {16, &ParameterDef::description, "Input voltage, HIGH SHUTDOWN treshold [35V]"},
        {11, &ParameterDef::description, "After QUORREL \"boots\" in AUTOMOTIVE mode IGN is cancelled for this time"},
        {18, &ParameterDef::description, "Delay between output is ON and startup pulse is sent\n(v4.3+)"},
        {21, &ParameterDef::description,
         "Configuration flags: bit0=Regulator Enabled/Disabled(v2.0+)\nbit1=Power cycle On/Off(v2.1+)\n"
         "bit2=On pulse enable/disable bit3=Off pulse enable/disable(v3.1+)\nbit4=USB sense enable/disable(v4.0+)\n"
         "bit5=Ignition pulse enable/disable(v4.2+)"},
        {24, &ParameterDef::description,
         "Time Between PSW OFF to Output OFF,Hardware OFF in Time Configuration 0 (max. 17:59:59 or Never)"},
        {42, &ParameterDef::description,
         "PSU will be OFF if IGN<\"UPS Mode: Ignition OFF\" for \"UPS Mode: Ignition OFF time\" seconds"},
        {11, &ParameterDef::unit, "[sec]"},
        {13, &ParameterDef::unit, "[s]"},
        {18, &ParameterDef::unit, "[s]"},
        {40, &ParameterDef::unit, "[sec]"},
        {10, &ParameterDef::unit, "[ms]"},
        {19, &ParameterDef::unit, ""},
        {21, &ParameterDef::unit, ""},
        {22, &ParameterDef::unit, ""},
        {33, &ParameterDef::unit, "[hh:mm:ss]"},
    };
    for (const Text& text : texts)
    {
        SCOPED_TRACE(text.slot);
        EXPECT_EQ(ParameterAt(text.slot).*text.field, text.expected);
    }
}

TEST(ParameterTableRows, EachTimeRowNamesAndDescribesItsOwnConfiguration)
{
    for (int n = 0; n < 8; ++n)
    {
        SCOPED_TRACE(n);
        const std::string tail = " in Time Configuration " + std::to_string(n) + " (max. 17:59:59 or Never)";
        const ParameterDef& offDelay = ParameterAt(23 + 2 * n);
        const ParameterDef& hardOff = ParameterAt(24 + 2 * n);
        EXPECT_EQ(offDelay.name, "Off-delay TIME " + std::to_string(n));
        EXPECT_EQ(hardOff.name, "Hard-off TIME " + std::to_string(n));
        EXPECT_EQ(offDelay.description, "Time between IGN OFF to PSW OFF impulse" + tail);
        EXPECT_EQ(hardOff.description, "Time Between PSW OFF to Output OFF,Hardware OFF" + tail);
    }
}

TEST(ParameterTableLookup, FindsSlotsByExactNameOnly)
{
    const std::pair<std::string, std::optional<int>> cases[] = {
        {"Voltage 0", 0},
        {"PSW \"push-down\" time", 20},
        {"Hard-off TIME 0", 24},
        {"UPS Mode: VIn Good", 43},
        {"", std::nullopt}, // empty slots have empty names but are not parameters
        {"voltage 0", std::nullopt},
        {"Voltage 0 ", std::nullopt},
        {"PSW push-down time", std::nullopt},
    };
    for (const auto& [name, slot] : cases)
        EXPECT_EQ(FindParameterSlot(name), slot) << '"' << name << '"';
}

TEST(ParameterTableFormat, ShowsValuesFromTheBlock)
{
    struct Case
    {
        std::vector<std::pair<int, uint8_t>> bytes;
        int slot;
        std::string expected;
    };
    const Case cases[] = {
        {{{10, 0x01}, {11, 0x2C}}, 20, "3000"},
        {{{13, 0x21}}, 21, "00100001"},
        {{{20, 0xFF}, {21, 0xFF}}, 25, "Never"},
        {{{20, 0x0E}, {21, 0x10}}, 25, "01:00:00"},
        {{{0, 77}}, 8, "12.00"},
        {{{2, 5}}, 10, "50"},
        {{{52, 51}}, 0, "12.01"},
        {{{59, 203}}, 7, "5.01"},
        {{{63, 255}}, 17, "39.73"},
        {{}, 44, ""},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.slot);
        ParameterBlock block{};
        for (const auto& [offset, value] : c.bytes)
            block[static_cast<size_t>(offset)] = value;
        EXPECT_EQ(FormatParameter(block, c.slot), c.expected);
    }
}

TEST(ParameterTableStore, ChangesOnlyTheParametersOwnBytes)
{
    // A text for each type that reads back unchanged, so the stored bytes are
    // checked through the same table the panel shows them with.
    const auto textFor = [](const ParameterDef& def) -> std::string {
        switch (def.type)
        {
        case ValueType::OutputVoltage:
            return "12.01";
        case ValueType::Decimal:
            return "12.00";
        case ValueType::Integer:
            return def.factor == 10 ? "70" : "7";
        case ValueType::Duration:
            return "01:00:00";
        case ValueType::Flags:
            return "00100001";
        default:
            return "?";
        }
    };
    const ParameterBlock original = PatternBlock();
    for (int slot : ParameterSlots())
    {
        SCOPED_TRACE(slot);
        const ParameterDef& def = ParameterAt(slot);
        ParameterBlock block = original;
        const std::string text = textFor(def);
        ASSERT_TRUE(StoreParameter(block, slot, text));
        EXPECT_EQ(FormatParameter(block, slot), text);
        for (int offset = 0; offset < ParameterBlockSize; ++offset)
        {
            if (offset < def.offset || offset >= def.offset + def.size)
            {
                EXPECT_EQ(block[static_cast<size_t>(offset)], original[static_cast<size_t>(offset)])
                    << "offset " << offset;
            }
        }
    }
}

TEST(ParameterTableStore, PutsTheHighByteFirstAndASingleByteAtTheOffset)
{
    ParameterBlock block = PatternBlock();
    ASSERT_TRUE(StoreParameter(block, 20, "3000"));
    EXPECT_EQ(block[10], 0x01);
    EXPECT_EQ(block[11], 0x2C);

    ASSERT_TRUE(StoreParameter(block, 25, "17:59:59"));
    EXPECT_EQ(block[20], 0xFD);
    EXPECT_EQ(block[21], 0x1F);

    // Slot 19 sits at offset 9, right before slot 20's high byte: a size-1
    // store must not write a zero high byte anywhere.
    ASSERT_TRUE(StoreParameter(block, 19, "7"));
    EXPECT_EQ(block[9], 7);
    EXPECT_EQ(block[10], 0x01);
    EXPECT_EQ(block[8], PatternBlock()[8]);

    ASSERT_TRUE(StoreParameter(block, 0, "5"));
    EXPECT_EQ(block[52], 203);
    EXPECT_EQ(block[53], PatternBlock()[53]);
}

TEST(ParameterTableStore, RefusalLeavesTheBlockUntouched)
{
    const std::pair<int, std::string> refused[] = {
        {25, "18:00:00"}, {25, "1:00:00"}, {0, "4.99"}, {0, "25.54"}, {21, ""},
        {21, "102"},      {8, "1e999"},    {44, "1"},   {-1, "1"},    {64, "1"},
    };
    for (const auto& [slot, text] : refused)
    {
        SCOPED_TRACE(slot);
        ParameterBlock block = PatternBlock();
        EXPECT_FALSE(StoreParameter(block, slot, text)) << '"' << text << '"';
        EXPECT_EQ(block, PatternBlock());
    }
}
