#include "MultipathTcp.h"

#include <QFile>
#include <QProcess>
#include <QStandardPaths>

#include <atomic>
#include <cerrno>
#include <cstring>

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

} // namespace

// Stands in for the C library's socket() in this program, the network
// library's calls included: a TCP socket asked for is a multipath one.
extern "C" int socket(int domain, int type, int protocol)
{
    const bool tcp = (domain == AF_INET || domain == AF_INET6) && (type & 0xf) == SOCK_STREAM
                     && (protocol == 0 || protocol == IPPROTO_TCP);
    return static_cast<int>(::syscall(SYS_socket, domain, type, tcp && g_multipath ? IPPROTO_MPTCP : protocol));
}

QString UseMultipathTcp()
{
    QFile enabled(u"/proc/sys/net/mptcp/enabled"_s);
    if (!enabled.open(QIODevice::ReadOnly) || enabled.readAll().trimmed() != "1")
        return u"the kernel offers no multipath TCP (net.mptcp.enabled)"_s;
    if (::unshare(CLONE_NEWNET) != 0)
        return u"no network namespace of our own: "_s + QString::fromLocal8Bit(std::strerror(errno));
    if (!Ip({u"link"_s, u"set"_s, u"lo"_s, u"up"_s})
        || !Ip({u"mptcp"_s, u"limits"_s, u"set"_s, u"subflow"_s, u"2"_s, u"add_addr_accepted"_s, u"2"_s})
        || !Ip({u"mptcp"_s, u"endpoint"_s, u"add"_s, u"127.0.0.2"_s, u"dev"_s, u"lo"_s, u"subflow"_s}))
        return u"ip (iproute2) cannot set up multipath TCP"_s;
    g_multipath = true;
    return {};
}
