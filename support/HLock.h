#pragma once

#include <mutex>

// A recursive lock whose Lock can report failure. A thread holding it may take
// it again and must release it as often as it took it (the device connection's
// destructor empties its queue while holding the queue's lock).
class HLock
{
public:
    HLock() = default;
    HLock(const HLock&) = delete;
    HLock& operator=(const HLock&) = delete;
    virtual ~HLock() = default;

    // Waits as long as necessary. False only when the platform reports an
    // error; the lock is then not held.
    bool Lock();
    // Releases once.
    void Unlock();

private:
    std::recursive_mutex m_mutex;
};

// Holds an HLock for a scope, if it could be taken.
class HLockGuard
{
public:
    explicit HLockGuard(HLock& lock) : m_lock(lock), m_locked(lock.Lock()) {}
    ~HLockGuard()
    {
        if (m_locked)
            m_lock.Unlock();
    }
    HLockGuard(const HLockGuard&) = delete;
    HLockGuard& operator=(const HLockGuard&) = delete;

    bool Locked() const { return m_locked; }

private:
    HLock& m_lock;
    bool m_locked;
};
