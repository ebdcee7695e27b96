#include "PnComplt.h"

#include "PnAdList.h"
#include "SettingRows.h"
#include "TJobInfo.h"

#include <QStandardItemModel>
#include <QTableView>

using namespace Qt::StringLiterals;

namespace {

constexpr int LabelWidth = 130;
// The model keeps the icon index of each row's first text here.
constexpr int IconRole = Qt::UserRole + 1;

} // namespace

TSummaryPanel::TSummaryPanel(QWidget *parent)
    : TRndLVPanel(parent)
{
}

void TSummaryPanel::Build(CommandSet commands, TColor bandColor, TColor captionColor, TColor cornerColor,
                          TColor shadowCornerColor)
{
    TRndLVPanel::Build(commands, bandColor, captionColor, cornerColor, shadowCornerColor);
    m_outcome = ComputeJobOutcome(m_jobInfo ? m_jobInfo->Count(RecipientStatus::Sent) : 0,
                                  m_listPanel ? m_listPanel->StatusCount(RecipientStatus::Failed) : 0);
    SetTitle(u"Summary"_s);
    SetShowSeparator(true);
    SetBounds(x(), y(), PanelWidth, PanelHeight);
    m_rows = new QStandardItemModel(0, 3, this);
    SetModel(m_rows);
    List()->setShowGrid(false);
    SetRowColumns(*List(), LabelWidth);
    FillSummary();
}

void TSummaryPanel::FillSummary()
{
    if (!m_rows)
        return;
    TSummaryCounts counts;
    if (m_jobInfo) {
        counts.StartTime = m_jobInfo->StartTime;
        counts.BatchMode = m_jobInfo->BatchMode;
        counts.JobSent = m_jobInfo->Count(RecipientStatus::Sent);
        counts.JobFailed = m_jobInfo->Count(RecipientStatus::Failed);
    }
    counts.EndTime = QDateTime::currentDateTime();
    if (m_listPanel) {
        counts.ListNotSent = m_listPanel->StatusCount(RecipientStatus::NotSent);
        counts.ListSent = m_listPanel->StatusCount(RecipientStatus::Sent);
        counts.ListFailed = m_listPanel->StatusCount(RecipientStatus::Failed);
    }

    if (m_rows->rowCount() > 0)
        m_rows->removeRows(0, m_rows->rowCount());
    for (const TSummaryRow &row : SummaryRows(counts, QLocale())) {
        auto *first = new QStandardItem(row.SubItems.value(0));
        first->setData(row.Icon, IconRole);
        m_rows->appendRow({new QStandardItem(), first, new QStandardItem(row.SubItems.value(1))});
    }
    ApplyIcons();
}

void TSummaryPanel::SetImages(const QList<QIcon> &images)
{
    m_images = images;
    ApplyIcons();
}

void TSummaryPanel::ApplyIcons()
{
    if (!m_rows)
        return;
    for (int r = 0; r < m_rows->rowCount(); ++r) {
        QStandardItem *item = m_rows->item(r, 1);
        const int icon = item->data(IconRole).toInt();
        item->setIcon(icon >= 0 && icon < m_images.size() ? m_images[icon] : QIcon());
    }
}
