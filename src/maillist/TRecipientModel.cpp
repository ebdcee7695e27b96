#include "TRecipientModel.h"

#include <algorithm>
#include <numeric>

namespace {

// Above this many separate runs a removal is cheaper as one reset than as
// one shift of the rows per run.
constexpr size_t MaxRemovedRuns = 32;

constexpr int PlaceholderImage = 3;

} // namespace

TRecipientModel::TRecipientModel(QObject *parent)
    : QAbstractTableModel(parent)
{
    // Every verb tells the views what it changed: the counts are looked at
    // there, so a verb added later cannot forget them.
    connect(this, &QAbstractItemModel::modelReset, this, &TRecipientModel::AnnounceCounts);
    connect(this, &QAbstractItemModel::rowsInserted, this, &TRecipientModel::AnnounceCounts);
    connect(this, &QAbstractItemModel::rowsRemoved, this, &TRecipientModel::AnnounceCounts);
    connect(this, &QAbstractItemModel::dataChanged, this, &TRecipientModel::AnnounceCounts);
}

TRecipientModel::~TRecipientModel() = default;

int TRecipientModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid())
        return 0;
    return m_rows.empty() ? 1 : int(m_rows.size());
}

int TRecipientModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_paramColumns + 2;
}

QVariant TRecipientModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    const int row = index.row();
    const int column = index.column();
    if (m_rows.empty()) {
        if (role == StatusRole)
            return ToInt(RecipientStatus::Placeholder);
        if (column != 1)
            return {};
        if (role == Qt::DisplayRole)
            return PlaceholderText.toString();
        if (role == Qt::DecorationRole && PlaceholderImage < m_images.size())
            return m_images[PlaceholderImage];
        return {};
    }

    const TRecipient &r = m_rows[size_t(row)];
    switch (role) {
    case Qt::DisplayRole:
        return column == 0 ? QVariant() : QVariant(r.Value(column - 1));
    case Qt::DecorationRole:
        if (column == 0 && IsRowStatus(r.Status) && ToInt(r.Status) < m_images.size())
            return m_images[ToInt(r.Status)];
        return {};
    case StatusRole:
        return ToInt(r.Status);
    case StatusTextRole:
        return r.StatusText;
    default:
        return {};
    }
}

Qt::ItemFlags TRecipientModel::flags(const QModelIndex &index) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return Qt::NoItemFlags;
    if (m_rows.empty())
        return Qt::ItemNeverHasChildren;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

bool TRecipientModel::removeRows(int row, int count, const QModelIndex &parent)
{
    if (parent.isValid() || count <= 0 || !IsValidItem(row) || !IsValidItem(row + count - 1))
        return false;
    std::vector<int> rows(static_cast<size_t>(count));
    std::iota(rows.begin(), rows.end(), row);
    RemoveRows(std::move(rows));
    return true;
}

void TRecipientModel::SetImages(const QList<QIcon> &images)
{
    m_images = images;
    if (rowCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1), {Qt::DecorationRole});
}

int TRecipientModel::StatusCount(RecipientStatus status) const
{
    return IsRowStatus(status) ? m_counts[size_t(ToInt(status))] : 0;
}

void TRecipientModel::Count(RecipientStatus status, int delta)
{
    if (IsRowStatus(status))
        m_counts[size_t(ToInt(status))] += delta;
}

void TRecipientModel::AnnounceCounts()
{
    if (m_counts == m_announcedCounts)
        return;
    m_announcedCounts = m_counts;
    emit StatusCountsChanged();
}

void TRecipientModel::RecountStatuses()
{
    m_counts.fill(0);
    for (const TRecipient &r : m_rows)
        Count(r.Status, 1);
}

void TRecipientModel::ResetList(std::vector<TRecipient> rows, int paramColumns)
{
    beginResetModel();
    m_rows = std::move(rows);
    m_paramColumns = std::clamp(paramColumns, 0, MaxParams);
    RecountStatuses();
    endResetModel();
}

void TRecipientModel::Clear()
{
    ResetList({}, 0);
}

QStringList TRecipientModel::FitParams(const QStringList &params) const
{
    QStringList fitted;
    fitted.reserve(m_paramColumns);
    for (int k = 0; k < m_paramColumns; ++k)
        fitted.append(k < params.size() ? CleanField(params[k]) : QString());
    return fitted;
}

int TRecipientModel::Append(const QString &address, const QStringList &params)
{
    TRecipient r{RecipientStatus::NotSent, CleanField(address), FitParams(params),
                 StatusTextStart(RecipientStatus::NotSent).toString()};
    if (m_rows.empty()) {
        // The placeholder row turns into the first recipient.
        std::vector<TRecipient> rows;
        rows.push_back(std::move(r));
        ResetList(std::move(rows), m_paramColumns);
        return 0;
    }
    const int row = RecipientCount();
    beginInsertRows({}, row, row);
    m_rows.push_back(std::move(r));
    Count(RecipientStatus::NotSent, 1);
    endInsertRows();
    return row;
}

void TRecipientModel::SetValues(int row, const QString &address, const QStringList &params)
{
    if (!IsValidItem(row))
        return;
    TRecipient &r = m_rows[size_t(row)];
    r.Address = CleanField(address);
    r.Params = FitParams(params);
    emit dataChanged(index(row, 1), index(row, columnCount() - 1), {Qt::DisplayRole});
}

void TRecipientModel::SetResult(int row, RecipientStatus status, const QString &statusText)
{
    if (!IsValidItem(row))
        return;
    TRecipient &r = m_rows[size_t(row)];
    Count(r.Status, -1);
    r.Status = std::clamp(status, RecipientStatus::NotSent, RecipientStatus::Failed);
    r.StatusText = statusText;
    Count(r.Status, 1);
    emit dataChanged(index(row, 0), index(row, 0), {Qt::DecorationRole, StatusRole, StatusTextRole});
}

void TRecipientModel::SetResults(const std::vector<int> &rows, RecipientStatus status, const QString &statusText)
{
    const RecipientStatus clamped = std::clamp(status, RecipientStatus::NotSent, RecipientStatus::Failed);
    int first = -1;
    int last = -1;
    for (const int row : rows) {
        if (!IsValidItem(row))
            continue;
        TRecipient &r = m_rows[size_t(row)];
        Count(r.Status, -1);
        r.Status = clamped;
        r.StatusText = statusText;
        Count(clamped, 1);
        first = first < 0 ? row : std::min(first, row);
        last = std::max(last, row);
    }
    if (first >= 0)
        emit dataChanged(index(first, 0), index(last, 0), {Qt::DecorationRole, StatusRole, StatusTextRole});
}

void TRecipientModel::RemoveRows(std::vector<int> rows)
{
    std::erase_if(rows, [this](int row) { return !IsValidItem(row); });
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    if (rows.empty())
        return;
    if (rows.size() == m_rows.size()) {
        Clear();
        return;
    }

    // Runs of consecutive rows, as [first, last].
    std::vector<std::pair<int, int>> runs;
    for (const int row : rows) {
        if (!runs.empty() && runs.back().second + 1 == row)
            runs.back().second = row;
        else
            runs.emplace_back(row, row);
    }

    if (runs.size() > MaxRemovedRuns) {
        beginResetModel();
        std::vector<TRecipient> kept;
        kept.reserve(m_rows.size() - rows.size());
        size_t next = 0;
        for (size_t i = 0; i < m_rows.size(); ++i) {
            if (next < rows.size() && rows[next] == int(i))
                ++next;
            else
                kept.push_back(std::move(m_rows[i]));
        }
        m_rows = std::move(kept);
        RecountStatuses();
        endResetModel();
        return;
    }

    // From the last run backwards, so the earlier runs keep their rows.
    for (auto run = runs.rbegin(); run != runs.rend(); ++run) {
        beginRemoveRows({}, run->first, run->second);
        const auto first = m_rows.begin() + run->first;
        const auto last = m_rows.begin() + run->second + 1;
        for (auto it = first; it != last; ++it)
            Count(it->Status, -1);
        m_rows.erase(first, last);
        endRemoveRows();
    }
}
