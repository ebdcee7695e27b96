#pragma once

#include "CommandTable.h"
#include "JobMode.h"

#include <QString>

// Which job commands of the E-Mail panel's bar can be chosen, without the bar.

/** @short What the enabled job commands depend on. */
struct TEmailCommandState {
    /** SMTP server, sender address, sender name and subject are all set. */
    bool RequiredSet = false;
    /** Recipients of the list per status. */
    int NotSent = 0;
    int Sent = 0;
    int Failed = 0;
    /** The list has a current recipient. */
    bool HasCurrentItem = false;
    /** The message is HTML. */
    bool IsHtml = false;
};

/**
 * The commands of the E-Mail panel enabled while no job runs: 14 "Send All
 * Remaining" (recipients not yet sent), 15 "Send Selected" (a current
 * recipient) and 16 "Resend Failed" (failed recipients), each only with the
 * required settings; 18 "HTML Preview" for an HTML message; 19 "Export Log"
 * once anybody was sent to or failed; 20, 21, 22, 24, 25 and 26 always;
 * 17 "Stop Sending" never.
 */
CommandSet EnabledEmailCommands(const TEmailCommandState &state);

/** The commands enabled while a job of that mode runs: only 17 "Stop Sending" in a sending job, none in a connection
 * test. */
CommandSet JobModeEmailCommands(JobMode mode);

/** The caption of cmSendAll: "Send Next Batch" in batch mode, else "Send All Remaining". */
QString SendCommandCaption(bool batchMode);
