#pragma once

#include "JobMode.h"
#include "RecipientStatus.h"

#include <QString>

struct TEmailMessage;

/**
 * @short What a job asks of the mailing list: where it stands, the next
 * recipient or BCC group, the recording of results, the job-list file.
 */
class IJobList {
public:
    virtual ~IJobList() = default;

    /** Positions the list on the job's first recipient or BCC group. */
    virtual void BeginRecipients(JobMode mode) = 0;
    /** Whether a recipient is current (selected); none when the job found nobody. */
    virtual bool HasCurrentRecipient() const = 0;
    /** Whether a next recipient or group exists after the current one; consumes nothing. */
    virtual bool HasNextRecipient(JobMode mode) = 0;
    /** Moves to the next recipient or group; false, changing nothing, when none is left. */
    virtual bool AdvanceRecipients(JobMode mode) = 0;
    /** Replaces the message's BCC list with the current group. */
    virtual void FillBccRecipients(TEmailMessage &message) = 0;
    /**
     * Writes a result (sent or failed) into the current recipient or every
     * row of the current group, and has it on the disk before it returns.
     * Throws AppError when it could not be made safe; it is recorded all the same.
     */
    virtual void RecordResult(RecipientStatus status, const QString &errorText) = 0;
    /** Writes the whole job-list file, which then holds every result recorded; throws AppError when it cannot. */
    virtual void SaveJobList() = 0;
    /** Exports the results as a CSV log (the user picks the file). */
    virtual void ExportLog() = 0;
};
