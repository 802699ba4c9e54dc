#include "support/HThread.h"

#include <cstdio>
#include <cstring>
#include <mutex>
#include <system_error>

HThread::HThread(const char* name, Clock& clock) : m_clock(clock)
{
    if (name != nullptr)
        std::strncpy(m_name, name, sizeof m_name - 1);
}

HThread::~HThread()
{
    Stop(DefaultStopTimeoutMs);
}

bool HThread::Start()
{
    if (!m_stopped)
        return true;
    if (m_thread.joinable())
        m_thread.join(); // ended by itself earlier: collect it before reusing the handle

    // The flags are set here and not again in the new thread, so that a Stop
    // right after Start cannot be overwritten by a thread that starts late.
    m_running = true;
    m_stopped = false;
    auto generation = std::make_shared<Generation>();
    try
    {
        m_thread = std::thread([this, generation] { Entry(generation); });
    }
    catch (const std::system_error&)
    {
        m_running = false;
        m_stopped = true;
        return false;
    }
    m_generation = std::move(generation);
    return true;
}

void HThread::Entry(const std::shared_ptr<Generation>& generation)
{
    {
        std::lock_guard<std::mutex> lock(generation->mutex);
        if (generation->abandoned)
            return; // stopped before it began: the object may be gone already
        generation->entered = true;
    }
    Run();
    std::lock_guard<std::mutex> lock(generation->mutex);
    if (generation->abandoned)
        return; // the object may be gone: leave it alone
    m_running = false;
    m_stopped = true;
}

bool HThread::Stop(uint32_t timeoutMs)
{
    m_running = false;
    if (m_thread.joinable())
    {
        // A thread that has not begun its body yet never will: nothing to wait for.
        std::lock_guard<std::mutex> lock(m_generation->mutex);
        if (!m_generation->entered)
        {
            m_generation->abandoned = true;
            m_stopped = true;
        }
    }
    const uint32_t maxSleeps = timeoutMs / StopPollMs + 1;
    for (uint32_t sleeps = 0; !m_stopped && (timeoutMs == NoTimeout || sleeps < maxSleeps); ++sleeps)
        m_clock.SleepMs(StopPollMs);

    if (!m_thread.joinable())
        return m_stopped;

    bool forced = false;
    {
        std::lock_guard<std::mutex> lock(m_generation->mutex);
        if (!m_stopped)
        {
            m_generation->abandoned = true;
            forced = true;
        }
    }
    if (forced)
    {
        std::printf("Forcing stop thread %s\n", m_name);
        std::fflush(stdout);
        m_thread.detach();
        // The object is idle again; the abandoned thread keeps only its generation.
        m_stopped = true;
    }
    else
    {
        m_thread.join(); // the body has returned; only the thread's exit remains
    }
    m_generation.reset();
    return !forced;
}

void HThread::Run()
{
}
