#pragma once

#include <QApplication>
#include <QTimer>

#include <functional>

/** Runs the action on the next modal dialog of type T once the event loop has opened it. */
template <typename T> void WhenOpen(const std::function<void(T &)> &action)
{
    QTimer::singleShot(0, [action] {
        if (auto *dialog = qobject_cast<T *>(QApplication::activeModalWidget()))
            action(*dialog);
    });
}
