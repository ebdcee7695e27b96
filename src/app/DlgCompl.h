#pragma once

#include "CommandTable.h"

#include <QDialog>

class TAdListPanel;
class TRndPnlContainer;
class TSummaryPanel;
struct TJobInfo;

/**
 * @short The job summary dialog: the product banner above the "Summary"
 * panel, closed by "Export Log" (result 1) or "Close" (result 2); the close
 * box gives 0.
 *
 * The content is built when the dialog is first shown.
 */
class TSummaryDialog : public QDialog {
    Q_OBJECT

public:
    static constexpr int ExportLogResult = 1;
    static constexpr int CloseResult = 2;

    TSummaryDialog(const TAdListPanel &listPanel, const TJobInfo &jobInfo, QWidget *parent = nullptr);

    /** The panel's command handler: 19 "Export Log" and 28 "Close" end the dialog; others do nothing. */
    void ExecuteCommand(QObject *Sender, CommandId Command);

    /** The band at the top holding the banner. */
    QWidget *TopPanel() const { return m_top; }
    /** The summary panel; nullptr until the dialog is shown. */
    TSummaryPanel *SummaryPanel() const { return m_summaryPanel; }

protected:
    void showEvent(QShowEvent *event) override;

private:
    void FormShow();

    const TAdListPanel &m_listPanel;
    const TJobInfo &m_jobInfo;
    QWidget *m_top = nullptr;
    TRndPnlContainer *m_container = nullptr;
    TSummaryPanel *m_summaryPanel = nullptr;
};

/**
 * Shows the job summary modally; true when it was closed with "Export Log".
 * Without a parent the dialog is centred on the list panel's window.
 */
bool ExecuteSummaryDialog(const TAdListPanel &listPanel, const TJobInfo &jobInfo, QWidget *parent = nullptr);
