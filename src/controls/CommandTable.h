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

/** The command ids, by the captions of the table. */
enum : CommandId {
    cmConnSettings = 0, // "Settings" of the Connection panel
    cmTestConnection = 1,
    cmMsgSettings = 2, // "Settings" of the Message panel
    cmText = 3,
    cmMethod = 4,
    cmImport = 5,
    cmExport = 6,
    cmClear = 7,
    cmAdd = 8,
    cmEdit = 9,
    cmDelete = 10,
    cmSelectAll = 11,
    cmResetStatus = 12, // "Reset Status to \"Not Sent\""
    cmExportSelected = 13,
    cmSendAll = 14, // "Send All Remaining"
    cmSendSelected = 15,
    cmResendFailed = 16,
    cmStopSending = 17,
    cmHtmlPreview = 18,
    cmExportLog = 19,
    cmBackup = 20,  // "Backup Workspace"
    cmRestore = 21, // "Restore Workspace"
    cmHelp = 22,
    cmNone = 23,   // unused
    cmOnline = 24, // "Velko Online"
    cmAbout = 25,
    cmExit = 26,
    cmShowHelp = 27,
    cmClose = 28,
};

/** Number of rows of the command table (ids 0 to 28; id 23 is unused). */
constexpr int CommandCount = 29;

/** The maker's web site, named by the hint of cmOnline. */
extern const QString MakerWebAddress;

/** Caption of each command; empty for the unused id 23. */
extern const std::array<QString, CommandCount> CommandCaptions;
/** Hint of each command (shown in the status bar); empty for 23, 27 and 28. */
extern const std::array<QString, CommandCount> CommandHints;

/** Commands with a line and a gap above their link in the vertical bar. */
constexpr CommandSet SeparatorCommands = {cmHtmlPreview, cmHelp, cmExit};
