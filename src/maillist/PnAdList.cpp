#include "PnAdList.h"

#include "AppError.h"
#include "BusyCursor.h"
#include "DlgEdRcp.h"
#include "DlgProgr.h"
#include "FileDialogs.h"
#include "JobListFile.h"
#include "JobListJournal.h"
#include "ListExport.h"
#include "ListImport.h"
#include "MsgDlgs.h"
#include "StartupEnv.h"
#include "TESettings.h"
#include "TEmailMessage.h"
#include "TRecipientCursor.h"
#include "TRecipientModel.h"
#include "TRestoreSett.h"
#include "TTxtBtnPanel.h"
#include "TextCodec.h"
#include "TextHelpers.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>
#include <QStyle>
#include <QTableView>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

const QString ListFilter = u"Text Files (*.csv, *.txt)|*.csv;*.txt|All Files (*.*)|*.*"_s;

constexpr int SelectTimerInterval = 100;
// Loads and imports of more lines show the progress box.
constexpr int ProgressThreshold = 300;

QString FolderOf(const QString &path)
{
    const qsizetype slash = path.lastIndexOf(u'/');
    return slash < 0 ? QString() : path.left(slash + 1);
}

} // namespace

TAdListPanel::TAdListPanel(QWidget *parent)
    : TRndLVPanel(parent)
    , m_model(std::make_unique<TRecipientModel>())
{
}

TAdListPanel::~TAdListPanel()
{
    // The table goes with the panel's children, after the model it shows:
    // let it forget the model first.
    if (List())
        List()->setModel(nullptr);
}

void TAdListPanel::Build(CommandSet commands, TColor bandColor, TColor captionColor, TColor cornerColor,
                         TColor shadowCornerColor)
{
    TRndLVPanel::Build(commands, bandColor, captionColor, cornerColor, shadowCornerColor);
    SetTitle(u"Mailing List"_s);
    SetActive(true);

    SetModel(m_model.get());
    QTableView *list = List();
    m_cursor = std::make_unique<TRecipientCursor>(*m_model, *SelectionModel());
    m_cursor->ScrollTo = [this](int row) { ScrollTo(row); };

    m_popup = new QMenu(this);
    connect(m_popup, &QMenu::aboutToShow, this, &TAdListPanel::UpdatePopup);
    for (const CommandId id : {cmSelectAll, cmResetStatus, cmExportSelected}) {
        if (id != cmSelectAll)
            m_popup->addSeparator();
        QAction *action = m_popup->addAction(CommandCaptions[id]);
        action->setStatusTip(CommandHints[id]);
        action->setData(int(id));
        connect(action, &QAction::triggered, this, [this, id] { emit OnCommand(this, id); });
    }
    list->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(list, &QWidget::customContextMenuRequested, this, &TAdListPanel::ShowPopup);

    m_selectTimer = new QTimer(this);
    m_selectTimer->setInterval(SelectTimerInterval);
    m_selectTimer->setSingleShot(true);
    connect(m_selectTimer, &QTimer::timeout, this, &TAdListPanel::OnSelectTimer);

    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    list->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    list->horizontalHeader()->setMinimumSectionSize(1);
    list->horizontalHeader()->setStretchLastSection(false);
    connect(SelectionModel(), &QItemSelectionModel::selectionChanged, this, &TAdListPanel::OnSelectionChanged);
    list->installEventFilter(this);
    connect(list, &QAbstractItemView::doubleClicked, this, [this] {
        if (SelCount() == 1)
            emit OnCommand(this, cmEdit);
    });

    LoadJobList(true);
}

void TAdListPanel::SetBounds(int left, int top, int width, int height)
{
    TRndLVPanel::SetBounds(left, top, width, height);
    if (List())
        SizeColumns();
}

void TAdListPanel::SetImages(const QList<QIcon> &images)
{
    m_model->SetImages(images);
}

const TRecipient &TAdListPanel::Recipient(int row) const
{
    return m_model->Recipient(row);
}

// --- The list and its file

void TAdListPanel::LoadJobList(bool repaint)
{
    QStringList lines = ReadJobListLines(JobListPath());
    LoadList(lines);
    if (repaint)
        update();
}

void TAdListPanel::SaveJobList()
{
    const BusyCursor busy;
    WriteJobList(JobListPath(), m_model->Recipients());
    // The file now holds every result the journal kept.
    RemoveJournal(JobListJournalPath());
}

void TAdListPanel::JournalResults(const std::vector<int> &rows)
{
    std::vector<TJournalEntry> entries;
    entries.reserve(rows.size());
    for (const int row : rows) {
        if (!IsValidItem(row))
            continue;
        const TRecipient &r = m_model->Recipient(row);
        entries.push_back({row, r.Status, r.Address, r.StatusText});
    }
    AppendJournal(JobListJournalPath(), entries);
}

bool TAdListPanel::RecoverJournal()
{
    const QString journal = JobListJournalPath();
    if (!QFileInfo::exists(journal))
        return false;
    if (ApplyJournal(*m_model, ReadJournal(journal)) > 0)
        SaveJobList();
    else if (!m_model->IsEmpty()) // results of another list, or none intact
        RemoveJournal(journal);
    // A list that could not be read keeps its file and the journal as they are.
    return true;
}

void TAdListPanel::LoadList(QStringList &lines)
{
    if (lines.size() > MaxRecipients)
        lines.resize(MaxRecipients);
    const TProgressCloser closer;
    if (lines.size() > ProgressThreshold)
        ShowProgress(u"Loading..."_s, u"Loading E-mail Address List..."_s, int(lines.size()), false);

    TJobList list = ParseJobList(lines, StepProgress);
    DropSelection();
    m_model->ResetList(std::move(list.Rows), list.ParamColumns);
    MeasureColumns();
    if (m_model->IsEmpty() && m_settings)
        m_settings->Param(spListFile).SetStr({});
    SetListEnabled(!m_model->IsEmpty());
    SizeColumns();
    SetTitleFromListFile();
    UpdateCommands();
    update();
}

void TAdListPanel::SetTitleFromListFile()
{
    if (m_settings && !m_settings->Param(spListFile).GetStr().isEmpty())
        SetTitle(u"Mailing List - "_s + m_settings->DisplayText(spListFile));
    else
        SetTitle(u"Mailing List"_s);
}

int TAdListPanel::ItemCount() const
{
    return m_model->ItemCount();
}

int TAdListPanel::SelCount() const
{
    return m_cursor ? int(m_cursor->SelectedRows().size()) : 0;
}

int TAdListPanel::CurrentItem() const
{
    return m_cursor ? m_cursor->CurrentItem() : -1;
}

std::vector<int> TAdListPanel::SelectedRows() const
{
    return m_cursor ? m_cursor->SelectedRows() : std::vector<int>();
}

int TAdListPanel::StatusCount(RecipientStatus status) const
{
    return m_model->StatusCount(status);
}

bool TAdListPanel::IsValidItem(int row) const
{
    return m_model->IsValidItem(row);
}

void TAdListPanel::RecountStatuses()
{
    m_model->RecountStatuses();
}

int TAdListPanel::ParamColumns() const
{
    return m_model->ParamColumns();
}

void TAdListPanel::MeasureColumns()
{
    TTextWidthCache cache(List() ? List()->fontMetrics() : fontMetrics());
    m_columnWidths = ::MeasureColumns(m_model->Recipients(), m_model->ParamColumns(),
                                      [&cache](const QString &text) { return cache.Width(text); });
}

void TAdListPanel::SizeColumns()
{
    QTableView *list = List();
    if (!list)
        return;
    const int scrollBar = list->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, list);
    const std::vector<int> widths = ::SizeColumns(m_columnWidths, m_model->ParamColumns(), m_model->columnCount(),
                                                  list->width(), ItemCount(), scrollBar);
    for (size_t i = 0; i < widths.size(); ++i)
        list->setColumnWidth(int(i), widths[i]);
}

void TAdListPanel::SetListEnabled(bool enabled)
{
    // Like a disabled frame on the original platform: no input reaches the
    // table, but it is drawn as usual, its selection included.
    QTableView *list = List();
    if (!list)
        return;
    list->setAttribute(Qt::WA_TransparentForMouseEvents, !enabled);
    list->setFocusPolicy(enabled ? Qt::StrongFocus : Qt::NoFocus);
    if (!enabled)
        list->clearFocus();
}

void TAdListPanel::DropSelection()
{
    // A model reset forgets the selection without a word: clearing it first
    // tells the owner (late, through the timer) that no recipient is current.
    if (m_cursor && SelectionModel()->hasSelection())
        m_cursor->ClearSelection();
}

void TAdListPanel::ScrollTo(int row)
{
    if (List() && m_model->IsValidItem(row))
        List()->scrollTo(m_model->index(row, 0));
}

// --- Jobs and preview

TJobOptions TAdListPanel::JobOptions() const
{
    TJobOptions options;
    if (m_settings) {
        options.Bcc = m_settings->IsBccMethod();
        options.BccPerMessage = m_settings->BccPerMessage();
        options.NameParEna = m_settings->Param(spNameParEna).GetBool();
        options.NameParInd = m_settings->Param(spNameParInd).GetInt();
    }
    return options;
}

JobMode TAdListPanel::CurrentJobMode() const
{
    return m_cursor ? m_cursor->Mode() : JobMode::Idle;
}

void TAdListPanel::SetJobMode(JobMode mode)
{
    if (!m_cursor)
        return;
    m_cursor->SetJobMode(mode);
    if (mode == JobMode::Idle) {
        UpdateCommands();
        if (IsValidItem(0)) {
            SetListEnabled(true);
            List()->setFocus();
        }
    } else {
        SetListEnabled(false);
        DisableCommands();
    }
}

void TAdListPanel::BeginRecipients(JobMode mode)
{
    if (m_cursor)
        m_cursor->BeginRecipients(mode, JobOptions());
}

int TAdListPanel::FindNextRecipient(JobMode mode, bool peek)
{
    return m_cursor ? m_cursor->FindNextRecipient(mode, peek) : -1;
}

bool TAdListPanel::AdvanceRecipients(JobMode mode)
{
    return m_cursor && m_cursor->AdvanceRecipients(mode, JobOptions());
}

void TAdListPanel::FillBccRecipients(TEmailMessage &message) const
{
    message.Bcc = m_cursor ? m_cursor->BccAddresses(JobOptions()) : TEmailAddressList();
}

std::vector<int> TAdListPanel::RecordResult(RecipientStatus status, const QString &errorText, int row)
{
    if (!m_cursor)
        return {};
    std::vector<int> rows = m_cursor->ResultRows(row);
    m_cursor->RecordResult(status, errorText, row);
    return rows;
}

const std::vector<int> &TAdListPanel::BccGroup() const
{
    static const std::vector<int> none;
    return m_cursor ? m_cursor->BccGroup() : none;
}

bool TAdListPanel::SelectNext()
{
    return m_cursor && m_cursor->SelectNext();
}

bool TAdListPanel::SelectPrevious()
{
    return m_cursor && m_cursor->SelectPrevious();
}

bool TAdListPanel::IsFirst() const
{
    return !m_cursor || m_cursor->IsFirst();
}

bool TAdListPanel::IsLast() const
{
    return !m_cursor || m_cursor->IsLast();
}

// --- Selection events, keys, pop-up

void TAdListPanel::OnSelectionChanged(const QItemSelection &selected, const QItemSelection &deselected)
{
    Q_UNUSED(deselected);
    if (!selected.isEmpty()) {
        m_selectTimer->stop();
        UpdateCommands();
        emit OnSelect(this, CurrentItem());
    } else if (!m_selectTimer->isActive()) {
        // A selection may follow at once; if none does, report the change late.
        m_selectTimer->start();
    }
}

void TAdListPanel::OnSelectTimer()
{
    m_selectTimer->stop();
    UpdateCommands();
    emit OnSelect(this, CurrentItem());
}

bool TAdListPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == List() && event->type() == QEvent::KeyPress && SelCount() > 0) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            emit OnCommand(this, cmEdit);
            return true;
        }
        if (key == Qt::Key_Delete) {
            emit OnCommand(this, cmDelete);
            return true;
        }
    }
    return TRndLVPanel::eventFilter(watched, event);
}

void TAdListPanel::UpdatePopup()
{
    const bool selected = SelCount() > 0;
    for (QAction *action : m_popup->actions()) {
        if (action->isSeparator())
            continue;
        const int id = action->data().toInt();
        action->setEnabled(id == cmSelectAll ? IsValidItem(0) : selected);
    }
}

void TAdListPanel::ShowPopup(const QPoint &position)
{
    m_popup->popup(List()->viewport()->mapToGlobal(position));
}

// --- Commands

void TAdListPanel::UpdateCommands()
{
    TTxtBtnPanel *bar = Buttons();
    if (!bar || CurrentJobMode() != JobMode::Idle)
        return;
    const bool hasRecipients = IsValidItem(0);
    const int selected = SelCount();
    bar->SetCommandEnabled(cmImport, true);
    bar->SetCommandEnabled(cmExport, hasRecipients);
    bar->SetCommandEnabled(cmClear, hasRecipients);
    bar->SetCommandEnabled(cmAdd, hasRecipients);
    bar->SetCommandEnabled(cmEdit, selected == 1);
    bar->SetCommandEnabled(cmDelete, selected >= 1);
}

bool TAdListPanel::ConfirmDiscardList()
{
    const int unsent = StatusCount(RecipientStatus::NotSent);
    const int sent = StatusCount(RecipientStatus::Sent);
    if (unsent > 0 && sent > 0)
        return WarningYesNo(
            u"There are %1 unsent messages in current mailing list.\r\nAre you sure you want to discard them?"_s.arg(
                unsent));
    if (unsent > 0)
        return ConfirmYesNo(u"Are you sure you want to discard current mailing list?"_s);
    return true;
}

void TAdListPanel::ExtractAddresses(QStringList &lines)
{
    qsizetype length = 0;
    for (const QString &line : lines)
        length += line.size() + 2;
    const TProgressCloser closer;
    ShowProgress(u"List Import"_s, u"Extracting E-mail Addresses..."_s, int(length), false);
    lines = ::ExtractAddresses(lines, StepProgress);
}

bool TAdListPanel::ImportList()
{
    if (!ConfirmDiscardList())
        return false;

    const QString listPath = m_settings ? m_settings->Param(spListPath).GetStr() : QString();
    const QString startFolder = !listPath.isEmpty() && QFileInfo(listPath).isDir() ? listPath : SpecialFolder(0);
    QString fileName;
    OpenFileDlg(u"Import Mailing List"_s, ListFilter, startFolder, fileName);
    if (fileName.isEmpty())
        return false;
    // Let the dialog disappear before the work starts.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);

    QStringList lines;
    TImportCheck check;
    try {
        lines = SplitLines(ReadTextFile(fileName));
        check = CheckImportLines(lines);
    } catch (const AppError &e) {
        ErrorBox(e.Message());
        return false;
    }

    if (check.Suspicious
        && ConfirmYesNo(u"Format of the file being imported may not be valid.\r\n\r\nWould you like to extract all "
                        u"email addresses found\r\nin this file instead of trying to import it?\r\n"_s)) {
        ExtractAddresses(lines);
        // Nothing to import: the list, the settings and the files stay as they are.
        if (lines.isEmpty()) {
            ErrorBox(NoAddressesMessage());
            return false;
        }
    }

    if (const int count = TruncateImport(lines); count > 0)
        InfoBox(u"%1 can only import up to %2 e-mail addresses at a time.\r\nInput file contains %3 lines.\r\n"
                u"List was truncated."_s.arg(AppTitle)
                    .arg(MaxRecipients)
                    .arg(count));

    int duplicates = 0;
    {
        const TProgressCloser closer;
        if (lines.size() > ProgressThreshold)
            ShowProgress(u"Import Progress"_s, u"Parsing Address List..."_s, int(lines.size()), false);
        duplicates = BuildJobLines(lines, StepProgress);
        if (m_settings) {
            m_settings->Param(spListFile).SetStr(QFileInfo(fileName).absoluteFilePath());
            m_settings->Param(spListPath).SetStr(IncludeTrailingBackslash(QFileInfo(fileName).absolutePath()));
        }
        LoadList(lines);
    }
    // The list first: a configuration that names the new file must not
    // outlive a failure to save the list itself.
    SaveJobList();
    WriteConfig();

    if (duplicates == 1)
        InfoBox(u"One duplicate item was removed during import."_s);
    else if (duplicates > 1)
        InfoBox(u"%1 duplicate items were removed during import."_s.arg(duplicates));
    return true;
}

void TAdListPanel::WriteConfig()
{
    if (m_settings)
        m_settings->ReadWriteConfig(true, SettingsGroupSet::All(), nullptr);
}

bool TAdListPanel::ExportList(bool log, bool selectedOnly)
{
    const QString exportFile = m_settings ? m_settings->Param(spExportFile).GetStr() : QString();
    const QString exportFolder = FolderOf(exportFile);
    QString folder = SpecialFolder(0);
    QString proposed;
    if (!exportFolder.isEmpty() && QFileInfo(exportFolder).isDir()) {
        folder = exportFolder;
        if (!log)
            proposed = exportFile;
    }
    QString fileName;
    SaveFileDlg(u"Export File"_s, ListFilter, folder, proposed, u"csv"_s, true, fileName);
    if (fileName.isEmpty())
        return false;

    const std::vector<int> selected = selectedOnly ? SelectedRows() : std::vector<int>();
    WriteTextFileAtomic(fileName, FormatExport(m_model->Recipients(), m_model->ParamColumns(), log,
                                               selectedOnly ? &selected : nullptr));
    if (m_settings) {
        m_settings->Param(spExportFile).SetStr(fileName);
        WriteConfig();
    }
    return true;
}

bool TAdListPanel::ClearList()
{
    if (!ConfirmDiscardList())
        return false;
    DropSelection();
    ClearItems();
    SaveJobList();
    LoadJobList(true);
    return true;
}

bool TAdListPanel::EditOrAddRecipient(bool add)
{
    QTableView *list = List();
    if (!list || !m_cursor)
        return false;
    bool confirmed = false;
    if (add) {
        if (m_model->RecipientCount() >= MaxRecipients) {
            InfoBox(u"%1 cannot send more than %2 messages at a time."_s.arg(AppTitle).arg(MaxRecipients));
            return false;
        }
        const QPoint position = list->mapToGlobal(QPoint(20, list->y() + 3));
        confirmed = EditRecipient(-1, *m_model, *m_cursor, list, position, BandColor(), true);
    } else {
        const int row = m_cursor->FirstSelectedRow();
        if (row < 0)
            return false;
        const QRect rect = list->visualRect(m_model->index(row, 0));
        const QPoint position = list->viewport()->mapToGlobal(QPoint(20, rect.top() + 18));
        confirmed = EditRecipient(row, *m_model, *m_cursor, list, position, BandColor(), false);
    }
    if (confirmed) {
        if (m_model->RecipientCount() == 1)
            SetListEnabled(true);
        MeasureColumns();
        SizeColumns();
        UpdateCommands();
        SaveJobList();
    }
    if (SelCount() > 0)
        list->setFocus();
    return confirmed;
}

bool TAdListPanel::DeleteSelected()
{
    const std::vector<int> rows = SelectedRows();
    if (rows.empty())
        return false;
    if (!ConfirmYesNo(u"Are you sure you want to remove the selected item(s) from the list?"_s))
        return false;

    // The row that followed the last deleted one, or the new last row.
    const int follower = rows.back() + 1 - int(rows.size());
    DropSelection();
    m_model->RemoveRows(rows);
    SaveJobList();
    const int k = std::min(follower, m_model->RecipientCount() - 1);
    if (k >= 0) {
        m_cursor->SelectRows({k}, k);
        ScrollTo(k);
        UpdateCommands();
        MeasureColumns();
        SizeColumns();
        List()->setFocus();
    } else {
        LoadJobList(true);
    }
    return true;
}

void TAdListPanel::SelectAll()
{
    if (List() && IsValidItem(0))
        List()->selectAll();
}

void TAdListPanel::ResetSelectedStatus()
{
    std::vector<int> changed;
    for (const int row : SelectedRows()) {
        if (m_model->Status(row) != RecipientStatus::NotSent)
            changed.push_back(row);
    }
    if (changed.empty())
        return;
    m_model->SetResults(changed, RecipientStatus::NotSent, ResultStatusText(RecipientStatus::NotSent, {}));
    SaveJobList();
    update();
}

void TAdListPanel::ApplyRestore(const TRestoreSett &options)
{
    const bool reload = options.IsOn(rpRestoreLst);
    const bool reset = options.IsOn(rpClearStatus);
    if (reload)
        LoadJobList(false);
    if (reset) {
        std::vector<int> changed;
        for (int row = 0; row < m_model->RecipientCount(); ++row) {
            if (m_model->Status(row) != RecipientStatus::NotSent)
                changed.push_back(row);
        }
        m_model->SetResults(changed, RecipientStatus::NotSent, ResultStatusText(RecipientStatus::NotSent, {}));
    }
    if (m_cursor)
        m_cursor->ClearSelection();
    if (reload || reset) {
        SaveJobList();
        update();
    }
}
