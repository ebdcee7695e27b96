#include "MultipathTcp.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include <atomic>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <netinet/in.h>
#include <sched.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

std::atomic<bool> g_multipath{false};

bool Ip(const QStringList &args)
{
    const QString ip = QStandardPaths::findExecutable(u"ip"_s, {u"/usr/sbin"_s, u"/sbin"_s, u"/usr/bin"_s});
    return !ip.isEmpty() && QProcess::execute(ip, args) == 0;
}

QString LastError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

} // namespace

// Stands in for the C library's socket() in this program, the network
// library's calls included: a TCP socket asked for is a multipath one.
extern "C" int socket(int domain, int type, int protocol)
{
    const bool tcp = (domain == AF_INET || domain == AF_INET6) && (type & 0xf) == SOCK_STREAM
                     && (protocol == 0 || protocol == IPPROTO_TCP);
    return static_cast<int>(::syscall(SYS_socket, domain, type, tcp && g_multipath ? IPPROTO_MPTCP : protocol));
}

MultipathTcp::MultipathTcp()
{
    QFile enabled(u"/proc/sys/net/mptcp/enabled"_s);
    if (!enabled.open(QIODevice::ReadOnly) || enabled.readAll().trimmed() != "1") {
        m_whyNot = u"the kernel offers no multipath TCP (net.mptcp.enabled)"_s;
        return;
    }
    m_home = ::open("/proc/thread-self/ns/net", O_RDONLY | O_CLOEXEC);
    if (m_home < 0) {
        m_whyNot = u"the network namespace cannot be kept to come back to: "_s + LastError();
        return;
    }
    if (::unshare(CLONE_NEWNET) != 0) {
        m_whyNot = u"no network namespace of our own: "_s + LastError();
        ::close(m_home);
        m_home = -1;
        return;
    }
    if (!Ip({u"link"_s, u"set"_s, u"lo"_s, u"up"_s})
        || !Ip({u"mptcp"_s, u"limits"_s, u"set"_s, u"subflow"_s, u"2"_s, u"add_addr_accepted"_s, u"2"_s})
        || !Ip({u"mptcp"_s, u"endpoint"_s, u"add"_s, u"127.0.0.2"_s, u"dev"_s, u"lo"_s, u"subflow"_s})) {
        m_whyNot = u"ip (iproute2) cannot set up multipath TCP"_s;
        return;
    }
    g_multipath = true;
}

MultipathTcp::~MultipathTcp()
{
    g_multipath = false;
    if (m_home < 0)
        return;
    // Back where it came from: a test after this one in the same process must not find itself in a namespace
    // it never asked for. Nothing here can go on if that fails.
    if (::setns(m_home, CLONE_NEWNET) != 0)
        qFatal("The thread cannot return to its network namespace: %s", std::strerror(errno));
    ::close(m_home);
}
