#pragma once

#include "IJobTimer.h"

#include <QTimer>

#include <functional>

/** @short The job timer of the main window: a 100 ms timer whose ticks run guarded. */
class TJobTimer final : public IJobTimer {
public:
    static constexpr int IntervalMs = 100;

    explicit TJobTimer(std::function<void()> onTick);

    void SetEnabled(bool enabled) override;
    bool IsEnabled() const override { return m_timer.isActive(); }
    /** Test hook: a shorter tick runs a job's steps faster; every pacing counts ticks. */
    void SetInterval(int ms) { m_timer.setInterval(ms); }

private:
    QTimer m_timer;
};
