#pragma once

#include "JobSummary.h"
#include "TRndLVPanel.h"

#include <QIcon>
#include <QList>

class QStandardItemModel;
class TAdListPanel;
struct TJobInfo;

/**
 * @short The "Summary" panel of the job summary: start and end time, this
 * job's sent and failed recipients, the list's totals and the verdict.
 *
 * Owner's order: create, SetListPanel and SetJobInfo, Build, SetImages.
 */
class TSummaryPanel : public TRndLVPanel {
    Q_OBJECT

public:
    static constexpr int PanelWidth = 350;
    static constexpr int PanelHeight = 345;

    explicit TSummaryPanel(QWidget *parent = nullptr);

    /** The list whose totals are shown (not owned); set before Build. */
    void SetListPanel(const TAdListPanel *listPanel) { m_listPanel = listPanel; }
    /** The job's counters (not owned); set before Build. */
    void SetJobInfo(const TJobInfo *jobInfo) { m_jobInfo = jobInfo; }

    /** Inherited Build, then the outcome, title, size, separator, columns and FillSummary. */
    void Build(CommandSet commands, TColor bandColor, TColor captionColor, TColor cornerColor,
               TColor shadowCornerColor) override;
    /** Fills the 14 rows, the end time being now. */
    void FillSummary();
    /** The icon list: 0 not sent, 1 sent, 2 failed, 3 attention. */
    void SetImages(const QList<QIcon> &images);

    /** The verdict, computed by Build. */
    JobOutcome Outcome() const { return m_outcome; }

private:
    void ApplyIcons();

    JobOutcome m_outcome = joNotSent;
    const TAdListPanel *m_listPanel = nullptr;
    const TJobInfo *m_jobInfo = nullptr;
    QStandardItemModel *m_rows = nullptr;
    QList<QIcon> m_images;
};
