#include "support/Clock.h"

#include <chrono>
#include <thread>

Clock& Clock::System()
{
    static SystemClock clock;
    return clock;
}

void SystemClock::SleepMs(uint32_t ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

uint64_t SystemClock::NowMs() const
{
    using namespace std::chrono;
    return static_cast<uint64_t>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}

void ManualClock::SleepMs(uint32_t ms)
{
    m_nowMs += ms;
    ++m_sleeps;
    if (m_hook)
        m_hook(ms);
    else
        std::this_thread::yield();
}

uint64_t ManualClock::NowMs() const
{
    return m_nowMs;
}

void ManualClock::Advance(uint64_t ms)
{
    m_nowMs += ms;
}

uint64_t ManualClock::SleepCount() const
{
    return m_sleeps;
}

void ManualClock::SetSleepHook(SleepHook hook)
{
    m_hook = std::move(hook);
}
