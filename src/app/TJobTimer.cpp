#include "TJobTimer.h"

#include "ErrorGuard.h"

TJobTimer::TJobTimer(std::function<void()> onTick)
{
    m_timer.setInterval(IntervalMs);
    QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [tick = std::move(onTick)] { RunGuarded(tick); });
}

void TJobTimer::SetEnabled(bool enabled)
{
    if (enabled)
        m_timer.start();
    else
        m_timer.stop();
}
