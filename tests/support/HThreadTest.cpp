#include "support/HThread.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <future>
#include <mutex>

namespace
{
// A gate the test opens; shared so that an abandoned body can still use it.
struct Gate
{
    std::mutex mutex;
    std::condition_variable changed;
    bool open = false;
    bool bodyEntered = false;
    bool bodyDone = false;

    void Set(bool Gate::*flag)
    {
        std::lock_guard<std::mutex> lock(mutex);
        this->*flag = true;
        changed.notify_all();
    }
    // Bounded only as a safety net against a hung test; never reached when the code works.
    bool WaitFor(bool Gate::*flag)
    {
        std::unique_lock<std::mutex> lock(mutex);
        return changed.wait_for(lock, std::chrono::seconds(30), [&] { return this->*flag; });
    }
};

// Polls the run flag like the device's reader.
class CooperativeThread : public HThread
{
public:
    CooperativeThread(Clock& clock, std::shared_ptr<Gate> gate) : HThread("HIDDevice", clock), m_gate(std::move(gate)) {}
    ~CooperativeThread() override { Stop(DefaultStopTimeoutMs); }
    void Run() override
    {
        ++runs;
        m_gate->Set(&Gate::bodyEntered);
        while (IsRunning())
            std::this_thread::yield();
        m_gate->Set(&Gate::bodyDone);
    }
    std::atomic<int> runs{0};

private:
    std::shared_ptr<Gate> m_gate;
};

// Never looks at the run flag; blocks until the test opens the gate.
class StuckThread : public HThread
{
public:
    StuckThread(Clock& clock, std::shared_ptr<Gate> gate) : HThread("HIDDevice", clock), m_gate(std::move(gate)) {}
    ~StuckThread() override { Stop(DefaultStopTimeoutMs); }
    void Run() override
    {
        auto gate = m_gate; // the object may be gone when the gate opens
        gate->Set(&Gate::bodyEntered);
        gate->WaitFor(&Gate::open);
        gate->Set(&Gate::bodyDone);
    }

private:
    std::shared_ptr<Gate> m_gate;
};
} // namespace

TEST(HThread, StopOfNeverStartedThreadReturnsTrueWithoutSleeping)
{
    ManualClock clock;
    HThread thread("idle", clock);
    EXPECT_TRUE(thread.IsStopped());
    EXPECT_FALSE(thread.IsRunning());
    EXPECT_TRUE(thread.Stop(5000));
    EXPECT_EQ(clock.SleepCount(), 0u);
}

TEST(HThread, NameIsCutToNineteenCharacters)
{
    HThread thread("abcdefghijklmnopqrstuvwxyz");
    EXPECT_STREQ(thread.Name(), "abcdefghijklmnopqrs");
}

TEST(HThread, CooperativeBodyStopsCleanlyAndStartTwiceRunsOnce)
{
    ManualClock clock;
    auto gate = std::make_shared<Gate>();
    CooperativeThread thread(clock, gate);
    // Stop's first poll lasts until the thread has ended by itself, so the
    // outcome does not depend on how the threads are scheduled.
    clock.SetSleepHook([&thread](uint32_t) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (!thread.IsStopped() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::yield();
    });
    ASSERT_TRUE(thread.Start());
    ASSERT_TRUE(gate->WaitFor(&Gate::bodyEntered));
    EXPECT_TRUE(thread.Start()); // already running: no second thread
    EXPECT_TRUE(thread.IsRunning());

    testing::internal::CaptureStdout();
    EXPECT_TRUE(thread.Stop(5000));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
    EXPECT_TRUE(thread.IsStopped());
    EXPECT_EQ(thread.runs, 1);
    EXPECT_TRUE(thread.Stop(5000)); // again: at once
}

TEST(HThread, StopRightAfterStartIsNotLost)
{
    // The stop request must win even if the new thread has not begun yet.
    ManualClock clock;
    auto gate = std::make_shared<Gate>();
    CooperativeThread thread(clock, gate);
    for (int i = 0; i < 50; ++i)
    {
        ASSERT_TRUE(thread.Start());
        ASSERT_TRUE(thread.Stop(HThread::NoTimeout));
    }
}

TEST(HThread, BodyThatIgnoresStopIsAbandonedAfterTimeout)
{
    ManualClock clock;
    auto gate = std::make_shared<Gate>();
    {
        StuckThread thread(clock, gate);
        ASSERT_TRUE(thread.Start());
        ASSERT_TRUE(gate->WaitFor(&Gate::bodyEntered));

        testing::internal::CaptureStdout();
        EXPECT_FALSE(thread.Stop(5000));
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "Forcing stop thread HIDDevice\n");
        EXPECT_EQ(clock.SleepCount(), 501u); // 5000 / 10 + 1 polls of 10 ms
        EXPECT_EQ(clock.NowMs(), 5010u);

        // Idle again: a second Stop returns at once.
        EXPECT_TRUE(thread.IsStopped());
        EXPECT_TRUE(thread.Stop(5000));
        EXPECT_EQ(clock.SleepCount(), 501u);
    } // the object is destroyed while its abandoned body still runs

    gate->Set(&Gate::open);
    EXPECT_TRUE(gate->WaitFor(&Gate::bodyDone));
}
