#include "support/HList.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{
std::vector<int*> Items(HList<int>& list)
{
    std::vector<int*> items;
    for (int* item = list.First(); item != nullptr; item = list.Next())
        items.push_back(item);
    return items;
}
} // namespace

class HListTest : public ::testing::Test
{
protected:
    int a = 1, b = 2, c = 3, stranger = 4;
    HList<int> list;
};

TEST_F(HListTest, EmptyListHasNoItems)
{
    EXPECT_EQ(list.First(), nullptr);
    EXPECT_EQ(list.Next(), nullptr);
    EXPECT_EQ(list.Count(), 0);
}

TEST_F(HListTest, AppendKeepsOrderAndNextEndsWithNull)
{
    ASSERT_TRUE(list.Append(&a));
    ASSERT_TRUE(list.Append(&b));
    EXPECT_EQ(list.Count(), 2);
    EXPECT_EQ(list.First(), &a);
    EXPECT_EQ(list.Next(), &b);
    EXPECT_EQ(list.Next(), nullptr);
}

TEST_F(HListTest, RemoveUnknownItemChangesNothing)
{
    list.Append(&a);
    EXPECT_FALSE(list.Remove(&stranger));
    EXPECT_EQ(list.Count(), 1);
    EXPECT_EQ(Items(list), std::vector<int*>{&a});
}

TEST_F(HListTest, RemovingOnlyItemEmptiesAndListStaysUsable)
{
    list.Append(&a);
    EXPECT_TRUE(list.Remove(&a));
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(list.First(), nullptr);
    // Head and tail must both be clear: a stale tail would lose this append.
    list.Append(&b);
    EXPECT_EQ(Items(list), std::vector<int*>{&b});
}

TEST_F(HListTest, RemovingTailMakesPreviousNodeTheTail)
{
    list.Append(&a);
    list.Append(&b);
    list.Append(&c);
    EXPECT_TRUE(list.Remove(&c));
    list.Append(&stranger);
    EXPECT_EQ(Items(list), (std::vector<int*>{&a, &b, &stranger}));
    EXPECT_TRUE(list.Remove(&b));
    EXPECT_EQ(Items(list), (std::vector<int*>{&a, &stranger}));
}

TEST_F(HListTest, TakingOldestUnderLockIsFifoAndDuplicatesAreDistinctNodes)
{
    list.Append(&a);
    list.Append(&b);
    list.Append(&a);
    std::vector<int*> taken;
    for (;;)
    {
        HLockGuard guard(list.GetLock());
        int* item = list.First();
        if (item == nullptr)
            break;
        list.Remove(item);
        taken.push_back(item);
    }
    EXPECT_EQ(taken, (std::vector<int*>{&a, &b, &a}));
}

TEST(HLock, IsRecursive)
{
    HLock lock;
    ASSERT_TRUE(lock.Lock());
    ASSERT_TRUE(lock.Lock());
    lock.Unlock();
    lock.Unlock();
    // Fully released: another thread can take it.
    bool taken = false;
    std::thread other([&] {
        taken = lock.Lock();
        if (taken)
            lock.Unlock();
    });
    other.join();
    EXPECT_TRUE(taken);
}
