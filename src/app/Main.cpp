#include "Main.h"

#include "AppError.h"
#include "AtomicFile.h"
#include "DlgAbout.h"
#include "DlgCompl.h"
#include "DlgRestr.h"
#include "DlgWelcm.h"
#include "ErrorGuard.h"
#include "FileDialogs.h"
#include "FirstRun.h"
#include "FormPlacement.h"
#include "HtmlPreview.h"
#include "MsgDlgs.h"
#include "PnAdList.h"
#include "PnEmail.h"
#include "PnMsg.h"
#include "PnSett.h"
#include "StartupEnv.h"
#include "StatusIcons.h"
#include "TAdListJobList.h"
#include "TBryStatusBar.h"
#include "TESettings.h"
#include "TJobMachine.h"
#include "TJobTimer.h"
#include "TJobWorkers.h"
#include "TRecipientModel.h"
#include "TRestoreSett.h"
#include "TRndPnlContainer.h"
#include "TTxtBtnPanel.h"
#include "TVTxtBtnPanel.h"
#include "TextHelpers.h"
#include "WebEmail.h"
#include "Workspace.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QPainter>
#include <QScopeGuard>
#include <QStatusTipEvent>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

const QString TroubleshootingSentence = u"For a possible solution see Appendix \"Troubleshooting Tips\" in Help."_s;
const QString CloseRefusedText = u"Program cannot close while e-mail job is active.\r\n"
                                 u"Please stop the job first (click on \"Stop Sending\"),\r\n"
                                 u"and then close the program."_s;

// Status bar panels: the three status counters, the position, the hint (or
// the elapsed time during a job), and during a job the status line. Each is
// at least as wide as the window had it, and wide enough for its longest
// text in the font the bar has.
constexpr int CounterPanelWidth = 76;
constexpr int CounterTextLeft = 21; // after the status icon
constexpr int PositionPanel = 3;
constexpr int PositionPanelWidth = 96;
constexpr int HintPanel = 4;
constexpr int HintPanelWidth = 62;
const QString CounterPrefix = u"-  "_s;
const QString HintPanelName = u"Hint"_s;
const QString ElapsedPanelName = u"Elapsed time"_s;

// Commands and their colours of the four panels.
constexpr CommandSet ConnectionCommands = {cmConnSettings, cmTestConnection};
constexpr CommandSet MessageCommands = {cmMsgSettings, cmText, cmMethod};
constexpr CommandSet ListCommands = {cmImport, cmExport, cmClear, cmAdd, cmEdit, cmDelete};
constexpr CommandSet EmailCommands = {cmSendAll,   cmSendSelected, cmResendFailed, cmStopSending, cmHtmlPreview,
                                      cmExportLog, cmBackup,       cmRestore,      cmHelp,        cmAbout};
constexpr CommandSet TallEmailCommands = {cmOnline, cmExit};
constexpr TColor CornerColor = 0xD0F7FF;
constexpr TColor ShadowCornerColor = 0x80A8AB;

// The welcome opens this long after the window is first shown.
constexpr int StartTimerInterval = 250;

} // namespace

QSize MainFormSize(int workWidth, int workHeight)
{
    QSize size(840, 670);
    if (workWidth < 800)
        size = QSize(workWidth, workHeight);
    else if (workWidth < 900)
        size = QSize(workWidth - 150, workHeight - 50);
    return size.boundedTo(QSize(workWidth, workHeight));
}

QSize MainFormMinimumSize(int workWidth, int workHeight)
{
    return QSize(std::min(660, workWidth), std::min(512, workHeight));
}

QString TroubleshootingText(const QString &text)
{
    return text + u"\r\n\r\n"_s + TroubleshootingSentence;
}

TBryMainForm::TBryMainForm(std::unique_ptr<PowerInhibitor> inhibitor)
    : m_inhibitor(inhibitor ? std::move(inhibitor) : CreatePowerInhibitor(AppTitle.toString()))
    , m_workers(std::make_unique<TJobWorkers>())
    , m_jobTimer(std::make_unique<TJobTimer>([this] {
        if (m_jobMachine)
            m_jobMachine->Tick();
    }))
    , m_icons(StatusIcons())
{
    setObjectName(u"TBryMainForm"_s);
    resize(DesignWidth, DesignHeight);

    m_statusBar = new TBryStatusBar(this);
    const QString maxCount = QString::number(MaxRecipients);
    for (const QString &name : {u"Not sent"_s, u"Sent"_s, u"Failed"_s})
        m_statusBar->AddPanel(
            {CounterPanelWidth, Qt::AlignLeft, true, CounterPrefix + maxCount, CounterTextLeft, name});
    m_statusBar->AddPanel({PositionPanelWidth, Qt::AlignRight, false, u"%1 : %1 "_s.arg(maxCount), 0, u"Position"_s});
    m_statusBar->AddPanel({HintPanelWidth, Qt::AlignLeft, false, u" 00:00:00"_s, 0, HintPanelName});
    m_statusBar->SetDrawPanel(
        [this](QPainter &painter, int index, const QRect &rect) { DrawStatusPanel(painter, index, rect); });

    m_startTimer = new QTimer(this);
    m_startTimer->setSingleShot(true);
    m_startTimer->setInterval(StartTimerInterval);
    connect(m_startTimer, &QTimer::timeout, this, &TBryMainForm::StartTimerTimer);

    // The window sees F1 before its controls do.
    qApp->installEventFilter(this);
    FormCreate();
}

TBryMainForm::~TBryMainForm()
{
    qApp->removeEventFilter(this);
    // Workers first (they read the settings), then the panels (they hold the
    // settings), then the settings.
    m_jobMachine.reset();
    delete m_container;
}

void TBryMainForm::FormCreate()
{
    // A first run takes over the configuration an earlier copy of the program
    // left in its own folder; nothing of it may keep the program from starting.
    try {
        TakeOverOlderInstallation(ProgramDirNoBackslash(), QCoreApplication::applicationDirPath());
    } catch (...) {
    }
    if (WorkArea.Width <= 0 || WorkArea.Height <= 0)
        return;
    setMinimumSize(MainFormMinimumSize(WorkArea.Width, WorkArea.Height));
    const QSize size = MainFormSize(WorkArea.Width, WorkArea.Height);
    setGeometry(0, 0, size.width(), size.height());
    CenterOnWorkArea(this);
}

void TBryMainForm::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (m_shown)
        return;
    m_shown = true;
    RunGuarded([this] { FormShow(); });
}

void TBryMainForm::FormShow()
{
    setWindowTitle(AppTitle.toString());

    m_settings = std::make_unique<TESettings>();
    m_settings->ReadWriteConfig(false, SettingsGroupSet::All(), this);
    m_restoreSett = new TRestoreSett(this);

    m_container = new TRndPnlContainer(this);
    m_container->show();

    m_settPanel = new TSettPanel(m_container);
    m_settPanel->SetSettings(m_settings.get());
    connect(m_settPanel, &TRndBtnPanel::OnCommand, this, &TBryMainForm::ExecuteCommand);
    m_settPanel->Build(ConnectionCommands, 0xB8D8C0, 0x204020, CornerColor, ShadowCornerColor);
    m_settPanel->SetImages(m_icons);
    m_settPanel->SetBounds(5, 5, m_settPanel->width(), m_settPanel->height());

    m_msgPanel = new TMsgPanel(m_container);
    m_msgPanel->SetSettings(m_settings.get());
    connect(m_msgPanel, &TRndBtnPanel::OnCommand, this, &TBryMainForm::ExecuteCommand);
    m_msgPanel->Build(MessageCommands, 0xB8D8C0, 0x204020, CornerColor, ShadowCornerColor);
    m_msgPanel->SetImages(m_icons);
    m_msgPanel->SetBounds(5, m_settPanel->geometry().bottom() + 1 + 4, m_msgPanel->width(), m_msgPanel->height());

    m_adListPanel = new TAdListPanel(m_container);
    m_adListPanel->SetSettings(m_settings.get());
    // Whatever changes the rows (a command, a job's result, a restore, the
    // load below), the counters follow it from here.
    connect(&m_adListPanel->RecipientModel(), &TRecipientModel::StatusCountsChanged, this,
            &TBryMainForm::InvalidateStatusBar);
    connect(m_adListPanel, &TRndBtnPanel::OnCommand, this, &TBryMainForm::ExecuteCommand);
    m_adListPanel->Build(ListCommands, 0xF8D8B8, 0x584820, CornerColor, ShadowCornerColor);
    m_adListPanel->SetImages(m_icons);
    // Results of a job that was cut off (killed, a power cut) come back from
    // its journal. A failed save keeps the journal and must not stop the start.
    try {
        m_adListPanel->RecoverJournal();
    } catch (const AppError &error) {
        ErrorBox(error.Message());
    }

    // The window size after the stored placement decides whether the bar has room for two more links.
    CommandSet emailCommands = EmailCommands;
    if (height() >= TallClientHeight)
        emailCommands += TallEmailCommands;
    m_emailPanel = new TEmailPanel(m_container);
    m_emailPanel->SetSettings(m_settings.get());
    connect(m_emailPanel, &TEmailPanel::OnCommand, this, &TBryMainForm::ExecuteCommand);
    // Selection changes show the recipient in the E-Mail panel, so listen only once it exists.
    connect(m_adListPanel, &TAdListPanel::OnSelect, this, &TBryMainForm::ListSelectionChanged);
    m_emailPanel->Build(emailCommands, 0x80C0FF, 0x204070, CornerColor, ShadowCornerColor);

    for (QWidget *panel : {static_cast<QWidget *>(m_settPanel), static_cast<QWidget *>(m_msgPanel),
                           static_cast<QWidget *>(m_adListPanel), static_cast<QWidget *>(m_emailPanel)})
        panel->show();

    m_jobList = std::make_unique<TAdListJobList>(*m_adListPanel);
    m_jobMachine = std::make_unique<TJobMachine>(*m_settings, m_jobInfo, *m_jobList, static_cast<IJobView &>(*this),
                                                 *m_workers, *m_jobTimer, *m_inhibitor);

    FormResize();
    InvalidateStatusBar();
    RefreshCommandStates();
    m_settPanel->setFocus(Qt::OtherFocusReason);

    // The first run (an empty configuration) welcomes the user once the window is up; a
    // welcome text left from a run whose configuration was taken over is of no use any more.
    const QString welcome = WelcomeFileName();
    const QFileInfo config(TESettings::ConfigFileName());
    if (QFileInfo::exists(welcome)) {
        if (config.exists() && config.size() == 0)
            m_startTimer->start();
        else
            QFile::remove(welcome);
    }

    if (m_settings->Maximized)
        setWindowState(windowState() | Qt::WindowMaximized);
}

void TBryMainForm::StartTimerTimer()
{
    m_startTimer->stop();
    RunGuarded([this] { ShowWelcome(this); });
}

void TBryMainForm::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    FormResize();
}

void TBryMainForm::FormResize()
{
    const int barTop = height() - m_statusBar->height();
    m_statusBar->setGeometry(0, barTop, width(), m_statusBar->height());
    if (!m_container)
        return;
    m_container->setGeometry(0, 0, width(), std::max(0, barTop));
    const int containerWidth = m_container->width();
    const int containerHeight = m_container->height();
    // Edges as the window library counts them: right = left + width.
    const QRect sett = m_settPanel->geometry();
    const QRect msg = m_msgPanel->geometry();
    const int settRight = sett.left() + sett.width();
    const int msgBottom = msg.top() + msg.height();
    m_adListPanel->SetBounds(settRight + 7, sett.top(), containerWidth - settRight - 13, msgBottom - sett.top());
    m_emailPanel->SetBounds(sett.left(), msgBottom + 7, containerWidth - 11, containerHeight - msgBottom - 13);
}

bool TBryMainForm::event(QEvent *event)
{
    // The hints of the command links and menu items arrive here.
    if (event->type() == QEvent::StatusTip) {
        ShowApplicationHint(static_cast<QStatusTipEvent *>(event)->tip());
        return true;
    }
    return QWidget::event(event);
}

void TBryMainForm::ShowApplicationHint(const QString &hint)
{
    if (CurrentJobMode() == JobMode::Idle)
        SetStatusText(hint);
}

bool TBryMainForm::eventFilter(QObject *watched, QEvent *event)
{
    // A key reaches the focus widget first and then each parent it passes
    // through: looking at the first delivery only opens the page once.
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == Qt::Key_F1) {
        auto *widget = qobject_cast<QWidget *>(watched);
        const QWidget *first = QApplication::focusWidget() ? QApplication::focusWidget() : this;
        if (widget && widget == first && widget->window() == this)
            RunGuarded([] { OpenHelpPage(); });
    }
    return QWidget::eventFilter(watched, event);
}

void TBryMainForm::closeEvent(QCloseEvent *event)
{
    const JobMode mode = CurrentJobMode();
    if (mode != JobMode::Idle) {
        event->ignore();
        if (mode != JobMode::TestConnection)
            InfoBox(CloseRefusedText);
        return;
    }
    if (m_settings)
        RunGuarded([this] { m_settings->ReadWriteConfig(true, SettingsGroupSet::All(), this); });
    if (m_adListPanel)
        m_adListPanel->ClearItems();
    event->accept();
}

void TBryMainForm::ComeForward()
{
    if (!isVisible()) {
        setWindowState(windowState() & ~Qt::WindowMinimized);
        show();
    } else if (isMinimized()) {
        setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    } else {
        raise();
        activateWindow();
    }
}

// --- Status bar

void TBryMainForm::InvalidateStatusBar()
{
    // Only the counters follow the list here; a job changes one or two of them
    // per e-mail, and only a changed one is repainted.
    for (int i = 0; i < RowStatusCount; ++i)
        m_statusBar->SetPanelText(i, m_adListPanel ? QString::number(m_adListPanel->StatusCount(RecipientStatus(i)))
                                                   : QString());
}

void TBryMainForm::DrawStatusPanel(QPainter &painter, int index, const QRect &rect) const
{
    painter.fillRect(rect, m_statusBar->palette().color(QPalette::Window));
    painter.setFont(m_statusBar->font());
    if (index >= 0 && index < m_icons.size())
        m_icons[index].paint(&painter, QRect(rect.left() + 2, rect.top() + (rect.height() - 16) / 2, 16, 16));
    painter.setPen(m_statusBar->palette().color(QPalette::WindowText));
    painter.drawText(rect.adjusted(CounterTextLeft, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                     CounterPrefix + m_statusBar->PanelText(index));
}

void TBryMainForm::SetStatusText(const QString &text)
{
    m_statusBar->SetPanelText(m_statusBar->PanelCount() - 1, u' ' + text);
}

void TBryMainForm::SetElapsedText(const QString &text)
{
    m_statusBar->SetPanelText(HintPanel, text);
}

// --- Selection

void TBryMainForm::ListSelectionChanged(QObject *Sender, int Item)
{
    Q_UNUSED(Sender);
    RunGuarded([this, Item] {
        const bool valid = m_adListPanel->IsValidItem(Item);
        m_statusBar->SetPanelText(PositionPanel,
                                  valid ? u"%1 : %2 "_s.arg(Item + 1).arg(m_adListPanel->ItemCount()) : QString());
        // During a job this is how each recipient's e-mail is made.
        m_emailPanel->ShowMessageFor(valid ? &m_adListPanel->Recipient(Item) : nullptr);
        if (CurrentJobMode() != JobMode::Idle)
            return;
        RefreshCommandStates();
        // An open preview follows the selection.
        if (m_htmlDialog) {
            m_htmlDialog->SetHtmlText(m_emailPanel->GetBody());
            m_htmlDialog->PostReload();
        }
    });
}

void TBryMainForm::RefreshView()
{
    m_emailPanel->ClearView();
    const int row = m_adListPanel->CurrentItem();
    m_emailPanel->ShowMessageFor(m_adListPanel->IsValidItem(row) ? &m_adListPanel->Recipient(row) : nullptr);
}

void TBryMainForm::RefreshCommandStates()
{
    m_emailPanel->UpdateCommandStates(*m_adListPanel);
}

// --- Commands

void TBryMainForm::ExecuteCommand(QObject *Sender, CommandId Command)
{
    Q_UNUSED(Sender);
    RunGuarded([this, Command] { DoCommand(Command); });
}

void TBryMainForm::DoCommand(CommandId command)
{
    if (!m_jobMachine)
        return;
    TAdListPanel &list = *m_adListPanel;
    switch (command) {
    case cmConnSettings:
    case cmMsgSettings:
    case cmMethod: {
        const bool confirmed = command == cmConnSettings  ? m_settPanel->EditSettings()
                               : command == cmMsgSettings ? m_msgPanel->EditMessageSettings()
                                                          : m_msgPanel->EditSendMethod();
        if (confirmed) {
            RefreshView();
            RefreshCommandStates();
        }
        break;
    }
    case cmTestConnection:
        SetJobMode(JobMode::TestConnection);
        break;
    case cmText:
        if (m_msgPanel->EditMessageText()) {
            RefreshView();
            RefreshCommandStates();
        }
        break;
    case cmImport:
        if (list.ImportList())
            RefreshCommandStates();
        break;
    case cmExport:
        list.ExportList(false, false);
        break;
    case cmClear:
    case cmDelete:
        if (command == cmClear ? list.ClearList() : list.DeleteSelected())
            RefreshCommandStates();
        break;
    case cmAdd:
    case cmEdit:
        if (list.EditOrAddRecipient(command == cmAdd)) {
            RefreshView();
            RefreshCommandStates();
        }
        break;
    case cmSelectAll:
        list.SelectAll();
        break;
    case cmResetStatus:
        list.ResetSelectedStatus();
        // Rows not sent again may be sent now: the commands follow at once, not at the next selection.
        RefreshCommandStates();
        break;
    case cmExportSelected:
        list.ExportList(false, true);
        break;
    case cmSendAll:
        SetJobMode(JobMode::SendAll);
        break;
    case cmSendSelected:
        ConfirmAndSendSelected();
        break;
    case cmResendFailed:
        SetJobMode(JobMode::ResendFailed);
        break;
    case cmStopSending:
        m_jobMachine->RequestStop();
        break;
    case cmHtmlPreview:
        ShowHtmlPreview();
        break;
    case cmExportLog:
        list.ExportList(true, false);
        break;
    case cmBackup:
        BackupWorkspace();
        break;
    case cmRestore:
        RestoreWorkspace();
        break;
    case cmHelp:
        OpenHelpPage();
        break;
    case cmOnline:
        OpenURL(HomePageHost());
        break;
    case cmAbout:
        ShowAbout(this);
        break;
    case cmExit:
        close();
        break;
    default:
        break;
    }
}

void TBryMainForm::ConfirmAndSendSelected()
{
    const TAdListPanel &list = *m_adListPanel;
    const int row = list.CurrentItem();
    if (list.SelCount() == 1 && list.IsValidItem(row) && list.Recipient(row).Status == RecipientStatus::Sent
        && !ConfirmYesNo(u"E-mail was already sent to this destination.\r\nAre you sure you want to send it again?"_s))
        return;
    SetJobMode(JobMode::SendSelected);
}

// --- HTML preview

void TBryMainForm::ShowHtmlPreview()
{
    std::unique_ptr<IHtmlPreview> preview =
        CreateHtmlPreview(this, [this](DialogButtonId button) { PreviewNavigate(button); });
    if (!preview)
        return;
    m_htmlDialog = preview.get();
    // Forgotten before it is freed, whatever happens while it is open.
    const auto forget = qScopeGuard([this] { m_htmlDialog = nullptr; });
    UpdatePreviewNavigation();
    preview->SetHtmlText(m_emailPanel->GetBody());
    preview->Execute();
}

void TBryMainForm::PreviewNavigate(DialogButtonId button)
{
    if (!m_htmlDialog)
        return;
    // The move changes the current recipient: the selection handler reloads the preview.
    if (button == bBack)
        m_adListPanel->SelectPrevious();
    else if (button == bNext)
        m_adListPanel->SelectNext();
    else
        return;
    UpdatePreviewNavigation();
}

void TBryMainForm::UpdatePreviewNavigation()
{
    // A message that is the same for everybody has nobody to step to.
    const bool personalise = m_settings->CanPersonalise();
    m_htmlDialog->SetNavigationEnabled(personalise && !m_adListPanel->IsFirst(),
                                       personalise && !m_adListPanel->IsLast());
}

// --- Workspace backup and restore

void TBryMainForm::BackupWorkspace()
{
    QString chosen;
    SaveFileDlg(u"Backup Workspace"_s, WorkspaceFilter(), SpecialFolder(0), QString(), QString(), true, chosen);
    if (chosen.isEmpty())
        return;
    const QString archive = ForceExtension(chosen, WorkspaceExtension.toString());
    // The dialog asked about the name chosen; the forced extension may name another file.
    if (archive != chosen && QFileInfo::exists(archive)
        && !WarningYesNo(u"File \"%1\" already exists.\r\nDo you want to replace it?"_s.arg(archive)))
        return;
    WriteWorkspaceArchive(archive, ProgramDirNoBackslash());
}

void TBryMainForm::RestoreWorkspace()
{
    QString archive;
    OpenFileDlg(u"Restore Workspace"_s, WorkspaceFilter(), SpecialFolder(0), archive);
    if (archive.isEmpty())
        return;
    // The archive is read and checked whole before the options are asked
    // for: a damaged or foreign one is refused before their "Proceed" stores
    // them, and nothing changes.
    const QMap<QString, QByteArray> contents = ReadWorkspaceArchive(archive, WorkspaceFileNames());
    if (!ExecuteRestoreDialog(JustName(archive), *m_restoreSett, this))
        return;
    const TRestorePlan plan = PlanRestore(*m_restoreSett);
    // Every file is written beside the one it replaces before the first takes
    // its place: a disk too full for all of them throws here and changes nothing.
    SettingsGroupSet groups = plan.Groups;
    bool complete = true;
    try {
        RestoreWorkspaceFiles(contents, ProgramDirNoBackslash(), plan.Entries);
    } catch (const UnsyncedFolderError &error) {
        // The files hold the backup all the same: what is in memory must follow
        // them, or the next save writes the old workspace over them.
        ErrorBox(error.Message());
    } catch (const PartialCommitError &error) {
        // Files that could not go back hold the backup: the window takes them
        // in as well. The settings only from a configuration that does; one as
        // it was, or gone, keeps what is in memory, which the write below puts
        // in its place. The list, put in place last, never came back, and
        // keeps its statuses: the restore failed.
        ErrorBox(error.Message());
        if (!error.HasNewContent(TESettings::ConfigFileName()))
            groups = {};
        complete = false;
    }

    // Whatever fails from here, the commands follow the list.
    const auto refresh = qScopeGuard([this] { RefreshCommandStates(); });
    m_settings->ReadWriteConfig(false, groups);
    if (m_restoreSett->IsOn(rpRestoreCon))
        m_settPanel->RefreshRows();
    if (m_restoreSett->IsOn(rpRestoreMsg))
        m_msgPanel->RefreshRows();
    m_emailPanel->ClearView();
    if (complete)
        m_adListPanel->ApplyRestore(*m_restoreSett);
    // The groups not chosen keep the values in memory, and the window its
    // place: the file says so now, not only at the next save.
    m_settings->ReadWriteConfig(true, SettingsGroupSet::All(), this);
}

// --- Jobs

void TBryMainForm::SetJobMode(JobMode mode)
{
    if (m_jobMachine)
        m_jobMachine->SetJobMode(mode);
}

JobMode TBryMainForm::CurrentJobMode() const
{
    return m_jobMachine ? m_jobMachine->Mode() : JobMode::Idle;
}

void TBryMainForm::EnterJobMode(JobMode mode)
{
    setWindowTitle(AppTitle.toString()
                   + (mode == JobMode::TestConnection ? u" - Checking connection ..."_s : u" - Job in progress ..."_s));
    m_settPanel->SetJobMode(mode);
    m_msgPanel->SetJobMode(mode);
    m_adListPanel->SetJobMode(mode);
    m_emailPanel->SetPanelJobMode(mode, *m_adListPanel);
    m_statusBar->SetPanelName(HintPanel, ElapsedPanelName);
    m_statusBar->AddPanel({0, Qt::AlignLeft, false, QString(), 0, u"Job status"_s});
}

void TBryMainForm::LeaveJobMode()
{
    m_statusBar->SetPanelText(HintPanel, QString());
    setWindowTitle(AppTitle.toString());
    m_settPanel->SetJobMode(JobMode::Idle);
    m_msgPanel->SetJobMode(JobMode::Idle);
    m_adListPanel->SetJobMode(JobMode::Idle);
    m_emailPanel->SetPanelJobMode(JobMode::Idle, *m_adListPanel);
    m_statusBar->RemoveLastPanel();
    m_statusBar->SetPanelName(HintPanel, HintPanelName);
}

void TBryMainForm::ShowResult()
{
    const int row = m_adListPanel->CurrentItem();
    m_emailPanel->ShowStatus(m_adListPanel->IsValidItem(row) ? &m_adListPanel->Recipient(row) : nullptr);
}

void TBryMainForm::FillMessage(TEmailMessage &message) const
{
    message.To = m_emailPanel->ToItem();
    message.BccTo = m_emailPanel->BccTo();
    message.ReplyTo = m_emailPanel->ReplyTo();
    message.Subject = m_emailPanel->GetSubject();
    message.Body = m_emailPanel->GetBody();
}

void TBryMainForm::ShowTroubleshootingError(const QString &text)
{
    ErrorBox(TroubleshootingText(text));
}

void TBryMainForm::ShowInfo(const QString &text)
{
    InfoBox(text);
}

void TBryMainForm::ShowError(const QString &text)
{
    ErrorBox(text);
}

bool TBryMainForm::ExecuteSummary()
{
    return ExecuteSummaryDialog(*m_adListPanel, m_jobInfo, this);
}
