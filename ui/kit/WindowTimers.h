#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>

class QObject;
class QTimer;

// A window's numbered timers: Set starts (or restarts) timer `id` with a
// period and returns the id, Kill stops it. In the program each timer is a
// QTimer whose ticks call the owner's handler on the GUI thread. Tests run
// the timers by hand instead: with hand-run timers nothing ticks by itself,
// the timers only record their periods, and a test calls the handler.
class WindowTimers
{
public:
    WindowTimers(QObject* owner, std::function<void(int id)> onTick);
    ~WindowTimers();
    WindowTimers(const WindowTimers&) = delete;
    WindowTimers& operator=(const WindowTimers&) = delete;

    int Set(int id, int periodMs);
    bool Kill(int id);
    // The period of a running timer; nothing when it is not running.
    std::optional<int> Period(int id) const;
    int RunningCount() const;

    // Process-wide, for tests: timers made from now on are run by hand.
    static void SetRunByHand(bool byHand);
    static bool RunByHand();

private:
    QObject* m_owner;
    std::function<void(int)> m_onTick;
    std::map<int, int> m_periods;
    std::map<int, std::unique_ptr<QTimer>> m_timers;
};
