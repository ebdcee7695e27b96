#pragma once

#include "PowerInhibitor.h"

#include <QStringList>

/** @short Test stand-in: records what the program asked of the inhibitor. */
class FakePowerInhibitor final : public PowerInhibitor {
public:
    void Inhibit(const QString &reason) override
    {
        if (m_inhibited)
            return;
        m_inhibited = true;
        m_reasons.append(reason);
    }
    void Release() override
    {
        if (!m_inhibited)
            return;
        m_inhibited = false;
        ++m_releases;
    }
    bool IsInhibited() const override { return m_inhibited; }

    const QStringList &Reasons() const { return m_reasons; }
    int Releases() const { return m_releases; }

private:
    bool m_inhibited = false;
    QStringList m_reasons;
    int m_releases = 0;
};
