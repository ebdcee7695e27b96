#pragma once

#include <functional>
#include <thread>

/**
 * @short A worker thread that runs one body below normal priority.
 *
 * Destroying it waits for the body to end, so an owner that declares it as
 * its last member has its other members outlive the body.
 */
class LowPriorityThread {
public:
    LowPriorityThread() = default;
    LowPriorityThread(const LowPriorityThread &) = delete;
    LowPriorityThread &operator=(const LowPriorityThread &) = delete;

    /** Starts the body on a new thread; called once. */
    void Start(std::function<void()> body);
    /** Waits for the body to end; nothing when it was never started or is already joined. */
    void Join();
    /** Started and not yet joined. */
    bool Joinable() const { return m_thread.joinable(); }

private:
    std::jthread m_thread;
};
