#include "ui/kit/WindowTimers.h"

#include <QTimer>

namespace
{
bool TimersRunByHand = false;
} // namespace

WindowTimers::WindowTimers(QObject* owner, std::function<void(int id)> onTick)
    : m_owner(owner), m_onTick(std::move(onTick))
{
}

WindowTimers::~WindowTimers() = default;

int WindowTimers::Set(int id, int periodMs)
{
    m_periods[id] = periodMs;
    if (TimersRunByHand)
        return id;
    auto& timer = m_timers[id];
    if (!timer)
    {
        timer = std::make_unique<QTimer>(); // owned here, not by the window
        QObject::connect(timer.get(), &QTimer::timeout, m_owner, [this, id] { m_onTick(id); });
    }
    timer->start(periodMs);
    return id;
}

bool WindowTimers::Kill(int id)
{
    if (m_periods.erase(id) == 0)
        return false;
    if (auto found = m_timers.find(id); found != m_timers.end())
        found->second->stop();
    return true;
}

std::optional<int> WindowTimers::Period(int id) const
{
    auto found = m_periods.find(id);
    if (found == m_periods.end())
        return std::nullopt;
    return found->second;
}

int WindowTimers::RunningCount() const
{
    return static_cast<int>(m_periods.size());
}

void WindowTimers::SetRunByHand(bool byHand)
{
    TimersRunByHand = byHand;
}

bool WindowTimers::RunByHand()
{
    return TimersRunByHand;
}
