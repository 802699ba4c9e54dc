#include "model/MemoryRequests.h"
#include "model/ParameterTable.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <vector>

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

namespace
{
using Bytes = std::vector<uint8_t>;

std::array<uint8_t, 64> NumberedBlock()
{
    std::array<uint8_t, 64> block{};
    for (size_t i = 0; i < block.size(); ++i)
        block[i] = static_cast<uint8_t>(0x40 + i);
    return block;
}

std::vector<Bytes> AllBytes(const std::vector<DeviceCommand>& commands)
{
    std::vector<Bytes> all;
    for (const DeviceCommand& command : commands)
        all.push_back(command.Bytes());
    return all;
}
} // namespace

TEST(MemoryRequests, ParameterBlockIsReadInFourQuartersInAddressOrder)
{
    EXPECT_THAT(AllBytes(BlockReadCommands(ParameterBlockBase)),
                ElementsAre(Bytes{0xA1, 0xC0, 0x3F, 0x00, 0x10}, Bytes{0xA1, 0xD0, 0x3F, 0x00, 0x10},
                            Bytes{0xA1, 0xE0, 0x3F, 0x00, 0x10}, Bytes{0xA1, 0xF0, 0x3F, 0x00, 0x10}));
}

TEST(MemoryRequests, ParameterBlockIsErasedThenWrittenQuarterByQuarter)
{
    const auto block = NumberedBlock();
    const std::vector<Bytes> sent = AllBytes(BlockWriteCommands(ParameterBlockBase, block));
    ASSERT_EQ(sent.size(), 5u);
    EXPECT_EQ(sent[0], (Bytes{0xA5, 0xC0, 0x3F, 0x00, 0x40}));

    const uint8_t addressLow[] = {0xC0, 0xD0, 0xE0, 0xF0};
    for (size_t quarter = 0; quarter < 4; ++quarter)
    {
        SCOPED_TRACE(quarter);
        Bytes expected{0xA3, addressLow[quarter], 0x3F, 0x00, 0x10};
        expected.insert(expected.end(), block.begin() + 16 * quarter, block.begin() + 16 * (quarter + 1));
        EXPECT_EQ(sent[quarter + 1], expected);
        // Padded to one output report by the link; it must fit.
        EXPECT_LE(sent[quarter + 1].size(), static_cast<size_t>(ReportLength));
    }
}

TEST(MemoryRequests, ScriptBlocksUseTheSameRequestsAtTheirOwnAddresses)
{
    struct Case
    {
        uint32_t blockAddress;
        std::array<uint8_t, 2> chunkLow[4]; // address low and middle byte of each chunk
    };
    const Case cases[] = {
        {0x3C00, {{0x00, 0x3C}, {0x10, 0x3C}, {0x20, 0x3C}, {0x30, 0x3C}}},
        {0x3CC0, {{0xC0, 0x3C}, {0xD0, 0x3C}, {0xE0, 0x3C}, {0xF0, 0x3C}}},
        {0x3F80, {{0x80, 0x3F}, {0x90, 0x3F}, {0xA0, 0x3F}, {0xB0, 0x3F}}},
    };
    const auto block = NumberedBlock();
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.blockAddress);
        const std::vector<DeviceCommand> reads = BlockReadCommands(c.blockAddress);
        const std::vector<DeviceCommand> writes = BlockWriteCommands(c.blockAddress, block);
        ASSERT_EQ(reads.size(), 4u);
        ASSERT_EQ(writes.size(), 5u);
        EXPECT_EQ(writes[0].Bytes(), (Bytes{0xA5, c.chunkLow[0][0], c.chunkLow[0][1], 0x00, 0x40}));
        for (size_t chunk = 0; chunk < 4; ++chunk)
        {
            const auto [low, mid] = c.chunkLow[chunk];
            EXPECT_EQ(reads[chunk].Bytes(), (Bytes{0xA1, low, mid, 0x00, 0x10}));
            EXPECT_EQ(writes[chunk + 1].code, 0xA3);
            EXPECT_THAT(writes[chunk + 1].args, ElementsAre(low, mid, 0x00, 0x10));
        }
    }
}

TEST(MemoryRequests, AddressesTravelLowByteFirstInThreeBytes)
{
    const std::array<uint8_t, 16> chunk{0xDE, 0xAD, 0xBE, 0xEF};
    EXPECT_THAT(MemoryReadCommand(0x123456).args, ElementsAre(0x56, 0x34, 0x12, 0x10));
    EXPECT_THAT(MemoryEraseCommand(0x123440).args, ElementsAre(0x40, 0x34, 0x12, 0x40));
    // The fourth address byte does not exist on the link.
    EXPECT_THAT(MemoryReadCommand(0xAB123456).args, ElementsAre(0x56, 0x34, 0x12, 0x10));

    const DeviceCommand write = MemoryWriteCommand(0x3FD0, chunk);
    EXPECT_THAT(write.Bytes(), ElementsAreArray({0xA3, 0xD0, 0x3F, 0x00, 0x10, 0xDE, 0xAD, 0xBE, 0xEF, 0, 0, 0, 0,
                                                 0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST(MemoryRequests, FactoryDefaultsIsAControlCommandWithTwoZeroValues)
{
    EXPECT_EQ(FactoryDefaultsCommand().Bytes(), (Bytes{0xB1, 0x0E, 0x00, 0x00}));
    EXPECT_EQ(ControlCommand(CtlSleep, 0x01, 0x2C).Bytes(), (Bytes{0xB1, 0x12, 0x01, 0x2C}));
}
