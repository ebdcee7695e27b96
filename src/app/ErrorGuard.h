#pragma once

#include <functional>

/**
 * Runs an operation entered from the event loop (a command, a timer, a dialog
 * handler), which cannot carry an exception: whatever escapes it is shown in an
 * error box with its text, and the program goes on. True when the operation
 * ran to its end.
 */
bool RunGuarded(const std::function<void()> &operation);
