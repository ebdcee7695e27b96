#pragma once

#include <QString>

#include <memory>

/**
 * @short Refuses the screen saver, the monitor power-off and suspend while the
 * program is busy.
 *
 * Where the platform offers no way to refuse them, both calls do nothing.
 */
class PowerInhibitor {
public:
    virtual ~PowerInhibitor() = default;

    /** Starts refusing; a call while already refusing does nothing. */
    virtual void Inhibit(const QString &reason) = 0;
    /** Stops refusing; a call while not refusing does nothing. */
    virtual void Release() = 0;
    /** True between Inhibit() and Release(). */
    virtual bool IsInhibited() const = 0;
};

/** The inhibitor of this platform; appName names the program to the system. */
std::unique_ptr<PowerInhibitor> CreatePowerInhibitor(const QString &appName);
