#pragma once

#include "TIdSet32.h"

#include <QString>

#include <array>
#include <cstdint>

// Every user action of the program is a command: an id 0 to 28 that indexes
// one table of captions and hints. Panels and dialogs choose the commands they
// offer with a CommandSet and report a chosen one with its id.

using CommandId = std::uint8_t;
using CommandSet = TIdSet32<CommandId>;

/** Number of rows of the command table (ids 0 to 28; id 23 is unused). */
constexpr int CommandCount = 29;

/** The maker's web site, named by the hint of command 24. */
extern const QString MakerWebAddress;

/** Caption of each command; empty for the unused id 23. */
extern const std::array<QString, CommandCount> CommandCaptions;
/** Hint of each command (shown in the status bar); empty for 23, 27 and 28. */
extern const std::array<QString, CommandCount> CommandHints;

/** Commands with a line and a gap above their link in the vertical bar. */
constexpr CommandSet SeparatorCommands = {18, 22, 26};
