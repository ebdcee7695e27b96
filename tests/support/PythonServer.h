#pragma once

#include <QByteArray>
#include <QProcess>
#include <QStringList>

/**
 * @short A test server written in Python, run as a child process: started by
 * the constructor, which returns once the server printed its first line (its
 * ports), and ended with the test. Its standard input stays an open pipe and
 * the server ends when that closes, so a crashed test never leaves one behind.
 */
class PythonServer {
public:
    /** Runs /usr/bin/python3 with args; throws std::runtime_error when the server does not come up. */
    explicit PythonServer(const QStringList &args);
    ~PythonServer();
    PythonServer(const PythonServer &) = delete;
    PythonServer &operator=(const PythonServer &) = delete;

    /** The first line the server printed, without its line end. */
    const QByteArray &FirstLine() const { return m_firstLine; }
    /** The next line the server prints, waiting at most timeoutMs; empty when none comes. */
    QByteArray NextLine(int timeoutMs);
    /** What the server wrote to its standard error since last asked. */
    QByteArray StandardError() { return m_process.readAllStandardError(); }

private:
    QProcess m_process;
    QByteArray m_firstLine;
};
