#include "TAdListJobList.h"

#include "AppError.h"
#include "PnAdList.h"

void TAdListJobList::BeginRecipients(JobMode mode)
{
    m_panel.BeginRecipients(mode);
}

bool TAdListJobList::HasCurrentRecipient() const
{
    return m_panel.IsValidItem(m_panel.CurrentItem());
}

bool TAdListJobList::HasNextRecipient(JobMode mode)
{
    return m_panel.FindNextRecipient(mode, true) >= 0;
}

bool TAdListJobList::AdvanceRecipients(JobMode mode)
{
    return m_panel.AdvanceRecipients(mode);
}

void TAdListJobList::FillBccRecipients(TEmailMessage &message)
{
    m_panel.FillBccRecipients(message);
}

void TAdListJobList::RecordResult(RecipientStatus status, const QString &errorText)
{
    const std::vector<int> rows = m_panel.RecordResult(status, errorText);
    try {
        m_panel.JournalResults(rows);
    } catch (const AppError &) {
        // The whole list holds the result as well, when it can be written.
        try {
            m_panel.SaveJobList();
        } catch (const AppError &) {
        }
        throw;
    }
}

void TAdListJobList::SaveJobList()
{
    m_panel.SaveJobList();
}

void TAdListJobList::ExportLog()
{
    m_panel.ExportList(true, false);
}
