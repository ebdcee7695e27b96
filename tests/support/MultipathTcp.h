#pragma once

#include <QString>

/**
 * @short For its lifetime, multipath TCP on loopback: moves the calling
 * thread, and every thread and process it starts meanwhile, into a network
 * namespace of its own whose loopback offers multipath TCP two paths (a
 * second address the client opens a second path from), and makes every TCP
 * socket this program opens meanwhile a multipath one, as `mptcpize run` or
 * a system policy does. Once it goes, the thread is back in the namespace it
 * came from and new sockets are plain TCP again, so that the tests after it
 * in the same process run as they would alone.
 */
class MultipathTcp {
public:
    MultipathTcp();
    ~MultipathTcp();
    MultipathTcp(const MultipathTcp &) = delete;
    MultipathTcp &operator=(const MultipathTcp &) = delete;

    /** Why it cannot be had here (the kernel, or our rights); empty when it is on. */
    const QString &WhyNot() const { return m_whyNot; }

private:
    int m_home = -1; // the namespace the thread came from, while it is away
    QString m_whyNot;
};
