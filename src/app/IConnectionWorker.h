#pragma once

#include <QString>

/** @short The connection test, run by a worker thread: connect, authenticate, disconnect. */
class IConnectionWorker {
public:
    virtual ~IConnectionWorker() = default;

    virtual void Start() = 0;
    virtual bool Terminated() const = 0;
    /** Valid once Terminated(). */
    virtual bool Success() const = 0;
    /** The text for the user; valid once Terminated(). */
    virtual QString ResultText() const = 0;
};
