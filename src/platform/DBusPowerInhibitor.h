#pragma once

#include "PowerInhibitor.h"

#include <QDBusConnection>
#include <QDBusUnixFileDescriptor>
#include <QObject>

#include <cstdint>
#include <memory>
#include <optional>

/**
 * @short Refuses screen saver, monitor power-off and suspend through the
 * desktop's D-Bus services.
 *
 * The screen saver service of the session bus (which also keeps the monitor
 * on) gives a cookie to hand back; logind on the system bus gives a file
 * descriptor whose closing ends the refusal. Calls are asynchronous, so a bus
 * that is slow never stalls the window; a bus or a service that is not there
 * means no refusal, silently.
 */
class DBusPowerInhibitor final : public PowerInhibitor {
public:
    DBusPowerInhibitor(QString appName, QDBusConnection sessionBus, QDBusConnection systemBus);
    ~DBusPowerInhibitor() override;
    DBusPowerInhibitor(const DBusPowerInhibitor &) = delete;
    DBusPowerInhibitor &operator=(const DBusPowerInhibitor &) = delete;

    void Inhibit(const QString &reason) override;
    void Release() override;
    bool IsInhibited() const override { return m_inhibited; }

    /** Whether the services' answers have arrived: the screen saver's cookie, logind's descriptor. */
    bool HoldsScreenSaverCookie() const { return m_cookie.has_value(); }
    bool HoldsSleepLock() const { return m_sleepLock.isValid(); }

private:
    void OnScreenSaverReply(std::uint32_t cookie, int generation);
    void OnSleepReply(const QDBusUnixFileDescriptor &fd, int generation);
    void UnInhibitScreenSaver(std::uint32_t cookie);

    const QString m_appName;
    QDBusConnection m_session;
    QDBusConnection m_system;
    bool m_inhibited = false;
    // Counts Inhibit() calls, so that an answer that arrives after the
    // Release() it belonged to is handed straight back.
    int m_generation = 0;
    std::optional<std::uint32_t> m_cookie;
    QDBusUnixFileDescriptor m_sleepLock;
    // Parent of the calls in flight: answers that arrive after this object
    // is gone are dropped with it.
    std::unique_ptr<QObject> m_calls;
};
