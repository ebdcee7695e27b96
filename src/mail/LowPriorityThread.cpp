#include "LowPriorityThread.h"

#include <cassert>
#include <cerrno>

#include <sys/resource.h>
#include <unistd.h>

namespace {

// One step below normal, as far as niceness goes: the window stays first in
// line while a slow server is served.
constexpr int NiceStep = 5;

void LowerOwnPriority()
{
    // On Linux a thread id names a single thread for setpriority. Best effort:
    // a refusal leaves the thread at normal priority.
    const auto tid = static_cast<id_t>(::gettid());
    errno = 0;
    const int nice = ::getpriority(PRIO_PROCESS, tid);
    if (errno == 0)
        ::setpriority(PRIO_PROCESS, tid, nice + NiceStep);
}

} // namespace

void LowPriorityThread::Start(std::function<void()> body)
{
    assert(!m_thread.joinable());
    m_thread = std::jthread([body = std::move(body)] {
        LowerOwnPriority();
        body();
    });
}

void LowPriorityThread::Join()
{
    if (m_thread.joinable())
        m_thread.join();
}
