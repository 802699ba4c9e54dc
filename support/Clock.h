#pragma once

#include <atomic>
#include <cstdint>
#include <functional>

// Every wait of the device link (reply polls, reader sleeps, thread stop polls)
// goes through a Clock, so that tests can run a 15-second time-out in no time.
class Clock
{
public:
    virtual ~Clock() = default;

    // Blocks the calling thread for about ms milliseconds.
    virtual void SleepMs(uint32_t ms) = 0;

    // Milliseconds since an arbitrary fixed point; only differences are meaningful.
    virtual uint64_t NowMs() const = 0;

    // The real clock, shared by everything that is not told otherwise.
    static Clock& System();
};

class SystemClock final : public Clock
{
public:
    void SleepMs(uint32_t ms) override;
    uint64_t NowMs() const override;
};

// Virtual time: a sleep advances the clock and returns at once (after letting
// other threads run), so waits are counted instead of spent. A test can hook
// every sleep, for example to make another thread do its work at that moment.
// Safe to use from several threads.
class ManualClock final : public Clock
{
public:
    using SleepHook = std::function<void(uint32_t ms)>;

    void SleepMs(uint32_t ms) override;
    uint64_t NowMs() const override;

    void Advance(uint64_t ms);
    uint64_t SleepCount() const;
    // Set before the clock is shared with other threads.
    void SetSleepHook(SleepHook hook);

private:
    std::atomic<uint64_t> m_nowMs{0};
    std::atomic<uint64_t> m_sleeps{0};
    SleepHook m_hook;
};
