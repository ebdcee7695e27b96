#pragma once

#include "IJobList.h"

class TAdListPanel;

/** @short The Mailing List panel as a job sees it. */
class TAdListJobList final : public IJobList {
public:
    explicit TAdListJobList(TAdListPanel &panel)
        : m_panel(panel)
    {
    }

    void BeginRecipients(JobMode mode) override;
    bool HasCurrentRecipient() const override;
    bool HasNextRecipient(JobMode mode) override;
    bool AdvanceRecipients(JobMode mode) override;
    void FillBccRecipients(TEmailMessage &message) override;
    void RecordResult(RecipientStatus status, const QString &errorText) override;
    void SaveJobList() override;
    void ExportLog() override;

private:
    TAdListPanel &m_panel;
};
