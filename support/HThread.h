#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <thread>

#include "support/Clock.h"

// A named worker thread. Run is the body: it polls IsRunning() and must return
// soon after it turns false. Stop asks cooperatively and, after a time-out,
// abandons a body that did not return: the abandoned thread is detached and
// can no longer change this object's state (it is never killed, which would
// leave locks and heap blocks in an unknown state).
//
// A subclass must call Stop in its own destructor: the base destructor runs
// after the subclass's members, which the body may still be using, are gone.
// A body that can be abandoned must not touch its object after a blocking call
// that might outlive the object.
class HThread
{
public:
    static constexpr uint32_t NoTimeout = 0xFFFFFFFF;
    static constexpr uint32_t DefaultStopTimeoutMs = 5000;
    static constexpr uint32_t StopPollMs = 10;

    // name: at most 19 characters are kept.
    explicit HThread(const char* name, Clock& clock = Clock::System());
    HThread(const HThread&) = delete;
    HThread& operator=(const HThread&) = delete;
    virtual ~HThread();

    // True when a thread runs (already, or newly started); false when the
    // platform could not create one.
    virtual bool Start();
    // True when the body returned by itself or nothing ran; false when it had
    // to be abandoned after timeoutMs (NoTimeout: wait for ever). Prints
    // "Forcing stop thread <name>" in that case.
    virtual bool Stop(uint32_t timeoutMs);
    virtual void Run();

    const char* Name() const { return m_name; }
    bool IsRunning() const { return m_running; }
    bool IsStopped() const { return m_stopped; }

protected:
    Clock& m_clock;

private:
    // One per started thread; shared with that thread so that a thread
    // abandoned by Stop can find out, under the mutex, that it must not touch
    // the object any more.
    struct Generation
    {
        std::mutex mutex;
        bool entered = false;   // the body has begun
        bool abandoned = false; // the object no longer waits for this thread
    };

    void Entry(const std::shared_ptr<Generation>& generation);

    char m_name[20] = {};
    std::atomic<bool> m_running{false};
    std::atomic<bool> m_stopped{true};
    std::thread m_thread;
    std::shared_ptr<Generation> m_generation;
};
