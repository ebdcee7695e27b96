#pragma once

#include "JobMode.h"

#include <QString>

struct TEmailMessage;

/**
 * @short What a job asks of the main window: its look during the job, the
 * message view's e-mail for the current recipient, and the end-of-job boxes.
 */
class IJobView {
public:
    virtual ~IJobView() = default;

    /** Caption, panels in job mode (the mailing list included), the status line appended. */
    virtual void EnterJobMode(JobMode mode) = 0;
    /** The elapsed-time panel emptied, caption back, panels idle, the status line removed. */
    virtual void LeaveJobMode() = 0;
    /** The job's status line (the last status panel). */
    virtual void SetStatusText(const QString &text) = 0;
    /** The elapsed-time panel; called only when the text changes. */
    virtual void SetElapsedText(const QString &text) = 0;
    /** After a recorded result: the view's status value (the status counters follow the list by themselves). */
    virtual void ShowResult() = 0;
    /** The e-mail the view shows for the current recipient: To, BccTo, ReplyTo, Subject, Body. */
    virtual void FillMessage(TEmailMessage &message) const = 0;

    /** Error box with the text and the troubleshooting sentence. */
    virtual void ShowTroubleshootingError(const QString &text) = 0;
    virtual void ShowInfo(const QString &text) = 0;
    virtual void ShowError(const QString &text) = 0;
    /** The job summary; true when the user chose "Export Log". */
    virtual bool ExecuteSummary() = 0;
};
