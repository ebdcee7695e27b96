#include "PowerInhibitor.h"

#if defined(Q_OS_LINUX)
#include "DBusPowerInhibitor.h"
#endif

namespace {

/** @short For a platform without a way to refuse: remembers the request only. */
class NoPowerInhibitor final : public PowerInhibitor {
public:
    void Inhibit(const QString &) override { m_inhibited = true; }
    void Release() override { m_inhibited = false; }
    bool IsInhibited() const override { return m_inhibited; }

private:
    bool m_inhibited = false;
};

} // namespace

std::unique_ptr<PowerInhibitor> CreatePowerInhibitor(const QString &appName)
{
#if defined(Q_OS_LINUX)
    return std::make_unique<DBusPowerInhibitor>(appName, QDBusConnection::sessionBus(), QDBusConnection::systemBus());
#else
    Q_UNUSED(appName);
    return std::make_unique<NoPowerInhibitor>();
#endif
}
