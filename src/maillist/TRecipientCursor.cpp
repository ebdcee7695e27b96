#include "TRecipientCursor.h"

#include "EmailAddress.h"
#include "TRecipientModel.h"

#include <QItemSelectionModel>

#include <algorithm>

TRecipientCursor::TRecipientCursor(TRecipientModel &model, QItemSelectionModel &selection)
    : m_model(model)
    , m_selection(selection)
{
}

void TRecipientCursor::SetJobMode(JobMode mode)
{
    m_mode = mode;
    m_jobSelection.clear();
    if (mode == JobMode::SendSelected) {
        const std::vector<int> rows = SelectedRows();
        m_jobSelection.assign(rows.begin(), rows.end());
    }
    m_bccGroup.clear();
}

namespace {

// The first row from start on with the status the mode looks for, or -1.
int FindFrom(const TRecipientModel &model, int start, JobMode mode)
{
    RecipientStatus wanted;
    if (mode == JobMode::SendAll)
        wanted = RecipientStatus::NotSent;
    else if (mode == JobMode::ResendFailed)
        wanted = RecipientStatus::Failed;
    else
        return -1;
    const std::vector<TRecipient> &rows = model.Recipients();
    for (size_t row = size_t(std::max(start, 0)); row < rows.size(); ++row) {
        if (rows[row].Status == wanted)
            return int(row);
    }
    return -1;
}

} // namespace

int TRecipientCursor::FindNextRecipient(JobMode mode, bool peek)
{
    if (mode == JobMode::SendSelected) {
        while (!m_jobSelection.empty()) {
            const int row = m_jobSelection.front();
            if (!peek || !m_model.IsValidItem(row))
                m_jobSelection.pop_front();
            if (m_model.IsValidItem(row))
                return row;
        }
        return -1;
    }
    int start = 0;
    if (!m_bccGroup.empty())
        start = m_bccGroup.back() + 1;
    else if (const int first = FirstSelectedRow(); first >= 0)
        start = first + 1;
    return FindFrom(m_model, start, mode);
}

std::vector<int> TRecipientCursor::CollectGroup(int first, JobMode mode, const TJobOptions &options)
{
    m_bccGroup.clear();
    if (first < 0)
        return {};
    if (!options.Bcc)
        return {first};
    const size_t size = size_t(std::max(options.BccPerMessage, 1));
    for (int row = first; row >= 0; row = FindNextRecipient(mode, false)) {
        m_bccGroup.push_back(row);
        if (m_bccGroup.size() >= size)
            break;
    }
    return m_bccGroup;
}

void TRecipientCursor::SelectGroup(const std::vector<int> &group)
{
    if (group.empty()) {
        ClearSelection();
        return;
    }
    if (ScrollTo) {
        ScrollTo(group.front());
        ScrollTo(group.back());
    }
    SelectRows(group, group.back());
}

void TRecipientCursor::BeginRecipients(JobMode mode, const TJobOptions &options)
{
    if (mode == JobMode::SendSelected && m_jobSelection.size() == 1) {
        // One recipient chosen by the user: the selection stays as it is.
        m_bccGroup.clear();
        if (options.Bcc)
            m_bccGroup.push_back(m_jobSelection.front());
        m_jobSelection.clear();
        return;
    }
    if (ScrollTo && m_model.RecipientCount() > 0)
        ScrollTo(m_model.RecipientCount() - 1);
    // The search starts at the top: the user's selection is not a position.
    m_bccGroup.clear();
    int first;
    if (mode == JobMode::SendSelected)
        first = FindNextRecipient(mode, false);
    else
        first = FindFrom(m_model, 0, mode);
    SelectGroup(CollectGroup(first, mode, options));
}

bool TRecipientCursor::AdvanceRecipients(JobMode mode, const TJobOptions &options)
{
    const int next = FindNextRecipient(mode, false);
    if (next < 0)
        return false;
    SelectGroup(CollectGroup(next, mode, options));
    return true;
}

TEmailAddressList TRecipientCursor::BccAddresses(const TJobOptions &options) const
{
    TEmailAddressList addresses;
    addresses.reserve(m_bccGroup.size());
    for (const int row : m_bccGroup) {
        if (!m_model.IsValidItem(row))
            continue;
        const TRecipient &r = m_model.Recipient(row);
        const int k = options.NameParInd;
        const bool hasName = options.NameParEna && k >= 1 && k <= r.Params.size();
        addresses.append({r.Address, hasName ? r.Value(k) : QString()});
    }
    return addresses;
}

std::vector<int> TRecipientCursor::ResultRows(int row) const
{
    if (row < 0 && !m_bccGroup.empty())
        return m_bccGroup;
    if (row < 0)
        row = FirstSelectedRow();
    return m_model.IsValidItem(row) ? std::vector<int>{row} : std::vector<int>();
}

bool TRecipientCursor::RecordResult(RecipientStatus status, const QString &errorText, int row)
{
    std::vector<int> rows = ResultRows(row);
    if (rows.empty())
        return false;
    if (row < 0 && !m_bccGroup.empty()) {
        // A row whose address is no valid e-mail address was left out of the
        // group's e-mail: it fails with its own reason.
        std::erase_if(rows, [this](int r) {
            if (!m_model.IsValidItem(r))
                return true;
            const QString &address = m_model.Recipient(r).Address;
            if (IsValidEmailAddress(address))
                return false;
            m_model.SetResult(r, RecipientStatus::Failed,
                              ResultStatusText(RecipientStatus::Failed, InvalidAddressText(address)));
            return true;
        });
    }
    m_model.SetResults(rows, status, ResultStatusText(status, errorText));
    return true;
}

bool TRecipientCursor::SelectNext()
{
    const int first = FirstSelectedRow();
    const int next = first < 0 ? 0 : first + 1;
    if (next >= m_model.RecipientCount())
        return false;
    SelectGroup({next});
    return true;
}

bool TRecipientCursor::SelectPrevious()
{
    const int first = FirstSelectedRow();
    if (first <= 0)
        return false;
    SelectGroup({first - 1});
    return true;
}

bool TRecipientCursor::IsFirst() const
{
    return FirstSelectedRow() <= 0;
}

bool TRecipientCursor::IsLast() const
{
    if (m_model.IsEmpty())
        return true;
    const int first = FirstSelectedRow();
    return first >= 0 && first == m_model.RecipientCount() - 1;
}

std::vector<int> TRecipientCursor::SelectedRows() const
{
    std::vector<int> rows;
    for (const QItemSelectionRange &range : m_selection.selection()) {
        for (int row = range.top(); row <= range.bottom(); ++row) {
            if (m_model.IsValidItem(row))
                rows.push_back(row);
        }
    }
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

int TRecipientCursor::FirstSelectedRow() const
{
    int first = -1;
    for (const QItemSelectionRange &range : m_selection.selection()) {
        const int top = std::max(range.top(), 0);
        if (m_model.IsValidItem(top) && (first < 0 || top < first))
            first = top;
    }
    return first;
}

int TRecipientCursor::CurrentItem() const
{
    const QModelIndex current = m_selection.currentIndex();
    if (current.isValid() && m_model.IsValidItem(current.row())
        && m_selection.rowIntersectsSelection(current.row(), {}))
        return current.row();
    return FirstSelectedRow();
}

void TRecipientCursor::SelectRows(const std::vector<int> &rows, int focus)
{
    const int lastColumn = m_model.columnCount() - 1;
    QItemSelection selection;
    size_t i = 0;
    while (i < rows.size()) {
        size_t j = i;
        while (j + 1 < rows.size() && rows[j + 1] == rows[j] + 1)
            ++j;
        if (m_model.IsValidItem(rows[i]) && m_model.IsValidItem(rows[j]))
            selection.append(QItemSelectionRange(m_model.index(rows[i], 0), m_model.index(rows[j], lastColumn)));
        i = j + 1;
    }
    // The current row first, so that whoever hears of the new selection
    // already finds the row that it is about.
    if (m_model.IsValidItem(focus))
        m_selection.setCurrentIndex(m_model.index(focus, 0), QItemSelectionModel::NoUpdate);
    else
        m_selection.clearCurrentIndex();
    m_selection.select(selection, QItemSelectionModel::ClearAndSelect);
}

void TRecipientCursor::AddToSelection(int row)
{
    if (!m_model.IsValidItem(row))
        return;
    m_selection.setCurrentIndex(m_model.index(row, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

void TRecipientCursor::ClearSelection()
{
    m_selection.clearCurrentIndex();
    m_selection.clearSelection();
}
