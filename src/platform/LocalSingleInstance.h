#pragma once

#include "SingleInstance.h"

#include <QLockFile>

#include <memory>

class QLocalServer;
class QLocalSocket;

/**
 * @short The single-instance rule through a lock file and a local socket in
 * the user's runtime folder.
 *
 * The lock file serialises starts that overlap; the socket stands in for a
 * search of the running main window: a later start connects, reads the window
 * title the running instance sends, and when it names the program, asks that
 * instance to come forward.
 */
class LocalSingleInstance final : public SingleInstance {
public:
    /** The lock file and the socket name of every instance of this user. */
    static constexpr const char *BaseName = "SI_VLKCRLN";
    /** How long a start waits for an overlapping one, in ms. */
    static constexpr int StartupWaitMs = 10000;

    /**
     * folder: where the lock file and the socket live (the runtime folder).
     * titleMark: the text a running instance's title must contain.
     */
    LocalSingleInstance(QString folder, QString titleMark, int waitMs = StartupWaitMs);
    ~LocalSingleInstance() override;
    LocalSingleInstance(const LocalSingleInstance &) = delete;
    LocalSingleInstance &operator=(const LocalSingleInstance &) = delete;

    StartupResult StartupCheck() override;
    void Serve(std::function<QString()> title, std::function<void()> comeForward) override;
    void ReleaseStartup() override;

    QString LockFileName() const;
    QString ServerName() const;

    /** The per-user folder the real program uses: the runtime folder, else the temporary one. */
    static QString DefaultFolder();

private:
    bool AskRunningInstance() const;
    bool RemoveUnnamedLock();
    void OnNewConnection();
    void OnRequest(QLocalSocket *socket);

    const QString m_folder;
    const QString m_titleMark;
    const int m_waitMs;
    QLockFile m_lock;
    std::unique_ptr<QLocalServer> m_server;
    std::function<QString()> m_title;
    std::function<void()> m_comeForward;
};
