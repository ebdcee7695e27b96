#pragma once

#include "HangGuard.h"

#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

// Waits for a widget's window to come up, within the hang guard; a failure
// says which step never came.

/** The window is shown (exposed). */
inline testing::AssertionResult WindowShown(QWidget *widget)
{
    if (QTest::qWaitForWindowExposed(widget, HangGuardMs))
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << "the window was still not shown after " << HangGuardMs / 1000 << " s";
}

/** The window is the active one. */
inline testing::AssertionResult WindowActive(QWidget *widget)
{
    if (QTest::qWaitForWindowActive(widget, HangGuardMs))
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << "the window was still not active after " << HangGuardMs / 1000 << " s";
}
