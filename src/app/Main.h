#pragma once

#include "CommandTable.h"
#include "DialogButtons.h"
#include "IJobView.h"
#include "JobMode.h"
#include "PowerInhibitor.h"
#include "TJobInfo.h"

#include <QIcon>
#include <QList>
#include <QSize>
#include <QWidget>

#include <memory>

class IHtmlPreview;
class QTimer;
class TAdListJobList;
class TAdListPanel;
class TBryStatusBar;
class TESettings;
class TEmailPanel;
class TJobMachine;
class TJobTimer;
class TJobWorkers;
class TMsgPanel;
class TRestoreSett;
class TRndPnlContainer;
class TSettPanel;

/** The main window's size on a work area of that size: the whole of a small one, else 150 x 50 less, else 840 x 670. */
QSize MainFormSize(int workWidth, int workHeight);
/** The smallest size the window may take: 660 x 512 where the work area allows. */
QSize MainFormMinimumSize(int workWidth, int workHeight);
/** The error text with the sentence that points to the help page's troubleshooting tips. */
QString TroubleshootingText(const QString &text);

/**
 * @short The program's main window: the Connection, Message, Mailing List and
 * E-Mail panels on a shadowing background, the status bar, the command
 * dispatcher and the jobs.
 *
 * Created by the program block; its first showing loads the settings and
 * builds the panels. Closing is refused while a job runs.
 */
class TBryMainForm final : public QWidget, private IJobView {
    Q_OBJECT
public:
    static constexpr int DesignWidth = 690;
    static constexpr int DesignHeight = 500;
    /** The E-Mail panel offers "Velko Online" and "Exit" only in a window at least this high. */
    static constexpr int TallClientHeight = 500;

    /** inhibitor: what refuses screen saver and suspend during a job (the platform's by default). */
    explicit TBryMainForm(std::unique_ptr<PowerInhibitor> inhibitor = nullptr);
    ~TBryMainForm() override;

    /** Every command of the panels: carries it out, then refreshes what it may have changed. */
    void ExecuteCommand(QObject *Sender, CommandId Command);
    /** The Mailing List panel's selection event: Item is the current row, or -1. */
    void ListSelectionChanged(QObject *Sender, int Item);
    /** Mode 1..4 starts a job, 0 ends the running one. */
    void SetJobMode(JobMode mode);
    /** The job mode: not idle from the start of a job until its end-of-job report is over. */
    JobMode CurrentJobMode() const;
    /** The text of the last status panel: the job's status line, or the hint while idle. */
    void SetStatusText(const QString &text) override;
    /** Error box with the text, a blank line and the troubleshooting sentence. */
    void ShowTroubleshootingError(const QString &text) override;
    /** Sets the status counters from the list; every change of its counts calls it. */
    void InvalidateStatusBar();
    /** A later start of the program asked this one to come forward. */
    void ComeForward();

    /** "Backup Workspace": the three workspace files into an archive the user names. */
    void BackupWorkspace();
    /** "Restore Workspace": the files the restore options choose back from an archive, then reloaded. */
    void RestoreWorkspace();
    /** The preview's "<< &Prior" (bBack) and "&Next >>" (bNext): moves the selection while the preview is open. */
    void PreviewNavigate(DialogButtonId button);

    TESettings *Settings() const { return m_settings.get(); }
    const TJobInfo &JobInfo() const { return m_jobInfo; }
    TSettPanel *SettPanel() const { return m_settPanel; }
    TMsgPanel *MsgPanel() const { return m_msgPanel; }
    TAdListPanel *AdListPanel() const { return m_adListPanel; }
    TEmailPanel *EmailPanel() const { return m_emailPanel; }
    TBryStatusBar *StatusBar() const { return m_statusBar; }
    /** nullptr before the first showing. */
    TRestoreSett *RestoreSett() const { return m_restoreSett; }
    /** The open HTML preview, or nullptr. */
    IHtmlPreview *HtmlDialog() const { return m_htmlDialog; }
    /** Test hook: the timer that opens the welcome of the first run. */
    QTimer *StartTimer() const { return m_startTimer; }
    TRndPnlContainer *Container() const { return m_container; }
    /** Test hook: the job timer, whose interval a test may shorten. */
    TJobTimer &JobTimer() const { return *m_jobTimer; }
    /** nullptr before the first showing. */
    TJobMachine *JobMachine() const { return m_jobMachine.get(); }

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void FormCreate();
    void FormShow();
    void FormResize();
    void ShowApplicationHint(const QString &hint);
    void DrawStatusPanel(QPainter &painter, int index, const QRect &rect) const;
    void DoCommand(CommandId command);
    void ConfirmAndSendSelected();
    void RefreshView();
    void RefreshCommandStates();
    void StartTimerTimer();
    void ShowHtmlPreview();
    void UpdatePreviewNavigation();

    // What the job machine asks of the window.
    void EnterJobMode(JobMode mode) override;
    void LeaveJobMode() override;
    void SetElapsedText(const QString &text) override;
    void ShowResult() override;
    void FillMessage(TEmailMessage &message) const override;
    void ShowInfo(const QString &text) override;
    void ShowError(const QString &text) override;
    bool ExecuteSummary() override;

    std::unique_ptr<PowerInhibitor> m_inhibitor;
    std::unique_ptr<TJobWorkers> m_workers;
    std::unique_ptr<TJobTimer> m_jobTimer;
    QList<QIcon> m_icons;
    TBryStatusBar *m_statusBar = nullptr;
    QTimer *m_startTimer = nullptr;

    std::unique_ptr<TESettings> m_settings;
    TRestoreSett *m_restoreSett = nullptr;
    TJobInfo m_jobInfo;
    TRndPnlContainer *m_container = nullptr;
    TSettPanel *m_settPanel = nullptr;
    TMsgPanel *m_msgPanel = nullptr;
    TAdListPanel *m_adListPanel = nullptr;
    TEmailPanel *m_emailPanel = nullptr;
    std::unique_ptr<TAdListJobList> m_jobList;
    std::unique_ptr<TJobMachine> m_jobMachine;
    IHtmlPreview *m_htmlDialog = nullptr;
    bool m_shown = false;
};
