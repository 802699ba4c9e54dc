#include "support/HArray.h"

#include <gtest/gtest.h>

TEST(HArray, AtReadsInsideAndYieldsFFOutside)
{
    uint8_t bytes[24];
    for (int i = 0; i < 24; ++i)
        bytes[i] = static_cast<uint8_t>(i + 1);
    const HArray report(24, bytes);
    EXPECT_EQ(report.At(0), 1);
    EXPECT_EQ(report.At(23), 24);
    EXPECT_EQ(report.At(24), 0xFF);
    EXPECT_EQ(report.At(-1), 0xFF);
    EXPECT_EQ(HArray().At(0), 0xFF);
}

TEST(HArray, SizedArrayIsZeroFilled)
{
    const HArray zeros(24);
    ASSERT_EQ(zeros.Length(), 24);
    for (int i = 0; i < 24; ++i)
        EXPECT_EQ(zeros.At(i), 0) << i;
}

TEST(HArray, AssignZeroOrNegativeLeavesEmptyNullBuffer)
{
    const uint8_t bytes[] = {1, 2, 3};
    for (int n : {0, -5})
    {
        HArray array(3, bytes);
        array.Assign(n, bytes);
        EXPECT_EQ(array.Length(), 0);
        EXPECT_EQ(array.Data(), nullptr);
    }
}

TEST(HArray, CopyIsDeepAndAssignFromOwnBufferWorks)
{
    const uint8_t bytes[] = {7, 8, 9};
    HArray original(3, bytes);
    HArray copy(original);
    ASSERT_NE(copy.Data(), original.Data());
    original.Data()[0] = 0x55;
    EXPECT_EQ(copy.At(0), 7);

    // Shrinking an array to a prefix of its own bytes must not read freed memory.
    original.Assign(2, original.Data() + 1);
    EXPECT_EQ(original.Length(), 2);
    EXPECT_EQ(original.At(0), 8);
    EXPECT_EQ(original.At(1), 9);
}
