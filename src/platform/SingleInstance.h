#pragma once

#include <QString>

#include <functional>
#include <memory>

/**
 * @short Keeps the program to one instance per user: a later start hands
 * itself over to the running one and ends.
 *
 * The program block calls StartupCheck() first. Proceed: this instance starts;
 * once its main window exists it calls Serve() (so that later starts find it)
 * and then ReleaseStartup(). Any other result: the process ends at once with
 * exit code 0, showing nothing.
 */
class SingleInstance {
public:
    enum class StartupResult {
        Proceed,  // no running instance took the start over
        Deferred, // a running instance was asked to come forward
        TimedOut, // another start held the start-up lock for too long
    };

    virtual ~SingleInstance() = default;

    /**
     * Waits for the start-up lock (held by a start until its main window
     * exists), then asks a running instance whose window title contains the
     * program's title to come forward.
     */
    virtual StartupResult StartupCheck() = 0;

    /**
     * Answers later starts for the life of this object: title() is asked for
     * the main window's current title, comeForward() is called when a later
     * start asks this instance to come to the front. Both run on the thread
     * that calls Serve().
     */
    virtual void Serve(std::function<QString()> title, std::function<void()> comeForward) = 0;

    /** Releases the start-up lock; later starts may go on. */
    virtual void ReleaseStartup() = 0;
};

/** The single-instance rule of this platform for the program whose title is titleMark. */
std::unique_ptr<SingleInstance> CreateSingleInstance(const QString &titleMark);
