#include "DlgSett.h"

#include "AttachmentList.h"
#include "ErrorGuard.h"
#include "FileDialogs.h"
#include "FormPlacement.h"
#include "HeaderPreview.h"
#include "HelpKey.h"
#include "MailClientAccount.h"
#include "MsgDlgs.h"
#include "SettingsCorrections.h"
#include "SettingsPage.h"
#include "StartupEnv.h"
#include "TButtonText.h"
#include "TDialogBtnPanel.h"
#include "TESettings.h"
#include "TIntSpinEdit.h"
#include "TextHelpers.h"
#include "UI.h"
#include "WebEmail.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {

constexpr int FirstRowTop = 10;
constexpr int LabelLeft = 8;
constexpr int RowGap = 4;
constexpr int SeparatorGap = 10;
constexpr int RightMargin = 8;
constexpr int BottomMargin = 8;
constexpr int SpinWidth = 72;
constexpr int CharSetLeft = 135;
constexpr int CharSetWidth = 274;
// The name-parameter switch and its column share one line.
constexpr int NameParWidth = 366;
constexpr int NameParIndRight = 76;
constexpr int NameParIndWidth = 68;
constexpr int AttachListHeight = 69;
constexpr int AttachButtonWidth = 90;
constexpr int AttachButtonHeight = 28;
constexpr int AttachButtonGap = 2;
constexpr int HeaderEditHeight = 60;
constexpr int HeaderPreviewHeight = 88;

const QString AuthWarning = u"If you are not sure if your SMTP Server requires authentication,\r\n"
                            u"please check the settings in your default e-mail program first.\r\n"
                            u"\r\n"
                            u"Don't confuse it with login settings for incoming mail server!\r\n"
                            u"\r\n"
                            u"Incorrect authentication will result in connection failure.\r\n"
                            u"\r\n"
                            u"Are you sure you want to proceed?"_s;
const QString MessageFileFilter = u"Text or HTML Files (*.txt, *.htm, *.html)|*.txt;*.htm;*.html|All Files (*.*)|*.*"_s;
const QStringList AttachCaptions = {u"Add"_s, u"Remove"_s, u"Clear"_s};

// The name assistive technology reads for a row: its label without the colon.
QString RowAccessibleName(int index)
{
    const int named = index == spNameParInd ? spNameParEna : index;
    QString name = ParamLabels[size_t(named)].trimmed().toString();
    if (name.endsWith(u':'))
        name.chop(1);
    return name;
}

} // namespace

TEMSettDialog::TEMSettDialog(SettingsParamSet page, TESettings &settings, TColor color, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint)
    , PageSet(page)
    , Settings(settings)
    , Color(color)
{
    // Rows are laid out from the heights the controls get in this font.
    SetDialogFont(this);
    setWindowTitle(u"Edit Settings"_s);
    InstallHelpKey(this);
}

TEMSettDialog::~TEMSettDialog() = default;

QCheckBox *TEMSettDialog::CheckBoxRow(int index) const
{
    return qobject_cast<QCheckBox *>(Rows[size_t(index)]);
}

QLineEdit *TEMSettDialog::EditRow(int index) const
{
    return qobject_cast<QLineEdit *>(Rows[size_t(index)]);
}

TIntSpinEdit *TEMSettDialog::SpinRow(int index) const
{
    return qobject_cast<TIntSpinEdit *>(Rows[size_t(index)]);
}

QComboBox *TEMSettDialog::ComboRow(int index) const
{
    return qobject_cast<QComboBox *>(Rows[size_t(index)]);
}

TButtonText *TEMSettDialog::ValueFieldRow(int index) const
{
    return qobject_cast<TButtonText *>(Rows[size_t(index)]);
}

QListWidget *TEMSettDialog::AttachmentListBox() const
{
    return qobject_cast<QListWidget *>(Rows[spAttachments]);
}

void TEMSettDialog::showEvent(QShowEvent *event)
{
    if (!Shown)
        FormShow();
    QDialog::showEvent(event);
}

void TEMSettDialog::FormShow()
{
    if (Shown)
        return;
    const int x = ControlColumn(PageSet);
    int top = FirstRowTop;
    for (int i = 0; i < SettingsParamCount; ++i) {
        if (!PageSet.Contains(i))
            continue;
        m_rowBottom[size_t(i)] = BuildRow(i, top, x);
        // The name-parameter switch shares its line with the column that follows.
        if (i != spNameParEna)
            top = m_rowBottom[size_t(i)] + RowGap + (SeparatorParams.Contains(i) ? SeparatorGap : 0);
    }

    if (PageSet.Contains(spSmtpServer) && EditRow(spSmtpServer)->text().isEmpty()) {
        try {
            ImportMailClientAccount();
        } catch (...) {
            // Whatever the mail program's files hold, the page opens as loaded.
        }
    }

    ButtonBar = CreateDialogBtnPanel(this, PageButtons(PageSet), false, 8);
    connect(ButtonBar, &TDialogBtnPanel::ButtonClicked, this, &TEMSettDialog::ButtonClick);
    for (int id = 0; id < DialogButtonCount; ++id)
        if (QPushButton *button = ButtonBar->Button(DialogButtonId(id)))
            button->setText(PageButtonCaption(PageSet, DialogButtonId(id)));

    if (CheckBoxRow(spSmtpAuth))
        AuthClick(nullptr);
    if (CheckBoxRow(spBatchMode))
        BatchModeClick(nullptr);
    for (const int box : {spBccEmails, spReplyEna})
        if (QCheckBox *check = CheckBoxRow(box))
            AddressSwitchClick(check);
    if (CheckBoxRow(spNameParEna))
        NameParClick(nullptr);
    if (CheckBoxRow(spMimeEna))
        MimeClick(nullptr);
    if (CheckBoxRow(spExtraHdrEna))
        ExtraHeadersClick(nullptr);
    if (ComboRow(spMethodBcc))
        SendMethodClick(nullptr);

    // Controls made while the dialog is being shown would stay hidden.
    for (QWidget *child : findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        if (!child->testAttribute(Qt::WA_WState_ExplicitShowHide))
            child->show();
    setFixedSize(ClientWidth, top + BottomMargin + TDialogBtnPanel::BarHeight);
    setWindowTitle(PageCaption(PageSet));
    if (PageSet.Contains(spMimeEna))
        PreviewHeaders(true);
    Shown = true;
}

int TEMSettDialog::BuildRow(int index, int top, int x)
{
    const int fullWidth = ClientWidth - x - RightMargin;
    const TIniPar &par = Settings.Param(index);
    QWidget *control = nullptr;
    int bottom = top;
    switch (RowControlOf(index)) {
    case RowControl::CheckBox: {
        const bool namePar = index == spNameParEna;
        QCheckBox *box = CreateCheckBox(this, ParamLabels[size_t(index)].toString(), namePar ? LabelLeft : x,
                                        namePar ? top + 2 : top, namePar ? NameParWidth : fullWidth);
        box->setChecked(par.GetBool());
        connect(box, &QCheckBox::toggled, this, [this, box, index] {
            switch (index) {
            case spSmtpAuth:
                AuthClick(box);
                break;
            case spBatchMode:
                BatchModeClick(box);
                break;
            case spBccEmails:
            case spReplyEna:
                AddressSwitchClick(box);
                break;
            case spNameParEna:
                NameParClick(box);
                break;
            case spMimeEna:
                MimeClick(box);
                break;
            case spExtraHdrEna:
                ExtraHeadersClick(box);
                break;
            default:
                break;
            }
        });
        control = box;
        bottom = box->geometry().bottom() + 1;
        if (index == spExtraHdrEna) {
            Rows[size_t(index)] = box;
            box->setAccessibleName(RowAccessibleName(index));
            return BuildHeaderBlock(bottom + RowGap, x);
        }
        break;
    }
    case RowControl::ComboBox: {
        QComboBox *combo = CreateComboBox(this, x, top, fullWidth);
        for (const QStringView item : SendMethodItems)
            combo->addItem(item.toString());
        combo->setCurrentIndex(Settings.IsBccMethod() ? 1 : 0);
        connect(combo, &QComboBox::activated, this, [this, combo] { SendMethodClick(combo); });
        control = combo;
        break;
    }
    case RowControl::SpinEdit: {
        auto *spin = new TIntSpinEdit(this);
        spin->SetMin(par.Min);
        spin->SetMax(par.Max);
        spin->SetIncrement(1);
        spin->SetValue(par.GetInt());
        const int height = spin->sizeHint().height();
        if (index == spNameParInd)
            spin->setGeometry(ClientWidth - NameParIndRight, top, NameParIndWidth, height);
        else
            spin->setGeometry(x, top, SpinWidth, height);
        control = spin;
        break;
    }
    case RowControl::ValueField: {
        auto *field = new TButtonText(this);
        field->Setup(index, true, false);
        field->SetText(par.GetStr());
        field->SetBounds(x, top, fullWidth, field->height());
        connect(field, &TButtonText::Clicked, this, [this](int tag) { BrowseFileClick(tag); });
        // The button is the field's way in for the keyboard.
        field->Button()->setFocusPolicy(Qt::StrongFocus);
        field->Button()->setAccessibleName(u"Choose %1"_s.arg(RowAccessibleName(index)));
        control = field;
        break;
    }
    case RowControl::Attachments:
        bottom = BuildAttachments(top, x);
        control = Rows[size_t(index)];
        break;
    case RowControl::Edit:
    case RowControl::PasswordEdit: {
        auto *edit = new QLineEdit(this);
        edit->setText(par.GetStr());
        if (index == spPassword)
            edit->setEchoMode(QLineEdit::Password);
        const int height = edit->sizeHint().height();
        if (index == spCharSet) {
            edit->setGeometry(CharSetLeft, top, CharSetWidth, height);
            connect(edit, &QLineEdit::textChanged, this, [this] { HeadersChange(); });
        } else {
            edit->setGeometry(x, top, fullWidth, height);
        }
        control = edit;
        break;
    }
    }

    Rows[size_t(index)] = control;
    control->setAccessibleName(RowAccessibleName(index));
    // A disabled row shows the dialog's colour.
    QPalette palette = control->palette();
    palette.setColor(QPalette::Disabled, QPalette::Base, ColorFromBGR(Color));
    control->setPalette(palette);
    if (bottom == top)
        bottom = control->geometry().bottom() + 1;
    if (RowHasLabel(index)) {
        QLabel *label = CreateLabel(this, RowLabelText(index), LabelLeft, top);
        const int controlHeight = index == spAttachments ? label->height() : control->height();
        label->move(LabelLeft, top + std::max(0, (controlHeight - label->height()) / 2));
        label->setBuddy(control);
    }
    return bottom;
}

int TEMSettDialog::BuildAttachments(int top, int x)
{
    AttachList = Settings.AttachmentPaths;
    QListWidget *list = CreateListBox(this, x, top, ClientWidth - x - RightMargin, AttachListHeight);
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    // A scroll bar would hide a row of the short list: a long name is cut in
    // the middle instead, and its tool tip holds the whole path.
    list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list->setTextElideMode(Qt::ElideMiddle);
    list->installEventFilter(this);
    connect(list, &QListWidget::itemSelectionChanged, this, [this] { AttachmentListClick(); });
    Rows[spAttachments] = list;

    const int buttonTop = top + AttachListHeight + RowGap;
    int left = ClientWidth - RightMargin - 3 * AttachButtonWidth - 2 * AttachButtonGap;
    for (int tag = 0; tag < 3; ++tag) {
        AttachButtons[size_t(tag)] = CreateButton(
            this, AttachCaptions[tag], tag, [this](int t) { AttachmentButtonClick(t); }, left, buttonTop,
            AttachButtonWidth, AttachButtonHeight);
        left += AttachButtonWidth + AttachButtonGap;
    }
    FillAttachmentList();
    return buttonTop + AttachButtonHeight;
}

int TEMSettDialog::BuildHeaderBlock(int top, int x)
{
    const int fullWidth = ClientWidth - x - RightMargin;
    HeaderEdit = new QPlainTextEdit(this);
    HeaderEdit->setGeometry(x, top, fullWidth, HeaderEditHeight);
    HeaderEdit->setLineWrapMode(QPlainTextEdit::NoWrap);
    HeaderEdit->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    HeaderEdit->setTabChangesFocus(true);
    HeaderEdit->setAccessibleName(RowAccessibleName(spExtraHdrEna));
    connect(HeaderEdit, &QPlainTextEdit::textChanged, this, [this] { HeadersChange(); });
    top += HeaderEditHeight + 12;

    const QString caption = u"Message Headers (click on \"Preview\" to generate)"_s;
    QLabel *label = CreateLabel(this, caption, x, top);
    top += label->height() + 1;

    HeaderPreview = new QPlainTextEdit(this);
    HeaderPreview->setGeometry(x, top, fullWidth, HeaderPreviewHeight);
    HeaderPreview->setReadOnly(true);
    HeaderPreview->setLineWrapMode(QPlainTextEdit::NoWrap);
    HeaderPreview->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    HeaderPreview->setTabChangesFocus(true);
    QPalette palette = HeaderPreview->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Button));
    HeaderPreview->setPalette(palette);
    HeaderPreview->setAccessibleName(u"Message Headers"_s);
    label->setBuddy(HeaderPreview);
    return top + HeaderPreviewHeight;
}

// --- Dependent rows

void TEMSettDialog::SetRowEnabled(int index, bool enabled)
{
    QWidget *row = Rows[size_t(index)];
    if (!row)
        return;
    row->setEnabled(enabled);
    // A disabled row keeps nothing typed; enabling it shows the stored value.
    if (TIntSpinEdit *spin = SpinRow(index)) {
        if (enabled)
            spin->SetValue(Settings.Param(index).GetInt());
        else
            spin->clear();
    } else if (QLineEdit *edit = EditRow(index)) {
        edit->setText(enabled ? Settings.Param(index).GetStr() : QString());
    }
}

void TEMSettDialog::EnableDependentRows(int switchRow, bool enabled)
{
    for (int i = 0; i < SettingsParamCount; ++i)
        if (SwitchRowOf(i) == switchRow)
            SetRowEnabled(i, enabled);
}

void TEMSettDialog::FocusRow(int index)
{
    QWidget *row = Rows[size_t(index)];
    if (row && row->isEnabled() && row->focusPolicy() != Qt::NoFocus)
        row->setFocus(Qt::OtherFocusReason);
}

void TEMSettDialog::FollowSwitch(int switchRow, QCheckBox *sender, int focusRow)
{
    const bool on = CheckBoxRow(switchRow)->isChecked();
    EnableDependentRows(switchRow, on);
    if (sender && on)
        FocusRow(focusRow);
}

void TEMSettDialog::AuthClick(QCheckBox *sender)
{
    if (sender && sender->isChecked() && Settings.Param(spSmtpUser).GetStr().isEmpty() && !WarningYesNo(AuthWarning)) {
        // Unchecking runs this handler again, which disables the rows.
        sender->setChecked(false);
        return;
    }
    FollowSwitch(spSmtpAuth, sender, spSmtpUser);
}

void TEMSettDialog::BatchModeClick(QCheckBox *sender)
{
    FollowSwitch(spBatchMode, sender, spBatchQty);
}

void TEMSettDialog::AddressSwitchClick(QCheckBox *sender)
{
    const int box = sender == CheckBoxRow(spBccEmails) ? spBccEmails : spReplyEna;
    // Called with its box at show time too, when the focus must stay where it is.
    FollowSwitch(box, Shown ? sender : nullptr, box == spBccEmails ? spBccTo : spReplyTo);
}

void TEMSettDialog::NameParClick(QCheckBox *sender)
{
    FollowSwitch(spNameParEna, sender, spNameParInd);
}

void TEMSettDialog::MimeClick(QCheckBox *sender)
{
    FollowSwitch(spMimeEna, sender, spCharSet);
    HeadersChange();
}

void TEMSettDialog::ExtraHeadersClick(QCheckBox *sender)
{
    const bool on = CheckBoxRow(spExtraHdrEna)->isChecked();
    if (HeaderEdit) {
        HeaderEdit->setPlainText(on ? Settings.ExtraHeaders.join(u'\n') : QString());
        HeaderEdit->setReadOnly(!on);
        QPalette palette = HeaderEdit->palette();
        palette.setColor(QPalette::Base, on ? ColorFromBGR(clWindow) : ColorFromBGR(Color));
        HeaderEdit->setPalette(palette);
        if (sender && on)
            HeaderEdit->setFocus(Qt::OtherFocusReason);
    }
    HeadersChange();
}

void TEMSettDialog::SendMethodClick(QComboBox *sender)
{
    const bool bcc = ComboRow(spMethodBcc)->currentIndex() == 1;
    EnableDependentRows(spMethodBcc, bcc);
    if (sender && bcc)
        FocusRow(spMethodTo);
}

void TEMSettDialog::HeadersChange()
{
    if (HeaderPreview)
        HeaderPreview->clear();
}

// --- Message file and attachments

void TEMSettDialog::BrowseFileClick(int tag)
{
    TButtonText *field = ValueFieldRow(tag);
    if (!field)
        return;
    const QString current = field->GetText();
    QString folder = current.isEmpty() ? QString() : QFileInfo(current).absolutePath();
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = SpecialFolder(0);
    QString fileName;
    OpenFileDlg(u"Import Message File"_s, MessageFileFilter, folder, fileName);
    if (!fileName.isEmpty())
        field->SetText(fileName);
}

void TEMSettDialog::FillAttachmentList()
{
    QListWidget *list = AttachmentListBox();
    list->clear();
    for (const QString &path : AttachList) {
        auto *item = new QListWidgetItem(JustFileName(path), list);
        item->setToolTip(path);
    }
    AttachmentListClick();
}

void TEMSettDialog::AttachmentListClick()
{
    const QListWidget *list = AttachmentListBox();
    AttachButtons[1]->setEnabled(!list->selectedItems().isEmpty());
    AttachButtons[2]->setEnabled(list->count() > 0);
}

void TEMSettDialog::AttachmentButtonClick(int tag)
{
    QListWidget *list = AttachmentListBox();
    switch (tag) {
    case 0: {
        QString first;
        QStringList files;
        OpenFileDlg(u"Add Attachments"_s, u"All Files (*.*)|*.*"_s, QString(), first, &files);
        if (first.isEmpty())
            return;
        AddAttachments(AttachList, files);
        FillAttachmentList();
        break;
    }
    case 1: {
        QList<int> rows;
        for (const QModelIndex &index : list->selectionModel()->selectedIndexes())
            rows.append(index.row());
        const int select = RemoveAttachments(AttachList, rows);
        // Both refill and selection update the buttons.
        FillAttachmentList();
        if (select >= 0)
            list->setCurrentRow(select);
        break;
    }
    case 2:
        AttachList.clear();
        FillAttachmentList();
        break;
    default:
        break;
    }
}

bool TEMSettDialog::eventFilter(QObject *watched, QEvent *event)
{
    // Delete in the attachment list is "Remove".
    if (watched == Rows[spAttachments] && event->type() == QEvent::KeyPress
        && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Delete) {
        if (AttachButtons[1]->isEnabled())
            AttachmentButtonClick(1);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

// --- Button bar

void TEMSettDialog::ButtonClick(DialogButtonId id)
{
    const bool messagePage = PageSet.Contains(spMessageFile);
    switch (id) {
    case bOK:
        // A write error is shown; the settings in memory stand, and the
        // window writes them again when it closes.
        RunGuarded([this] { SaveSettingsPage(); });
        break;
    case bHelp:
        if (messagePage)
            ClearAll();
        else
            RunGuarded([] { OpenHelpPage(); });
        break;
    case bSetup:
        if (messagePage) {
            // A failed save is shown, and the user stays on this page.
            if (RunGuarded([this] { SaveSettingsPage(); }))
                ExecuteSettingsPage(HeadersPageParams, Settings, mapToGlobal(QPoint(4, 4)), Color);
        } else {
            PreviewHeaders(false);
        }
        break;
    default:
        break;
    }
}

void TEMSettDialog::ClearAll()
{
    for (int i = 0; i < SettingsParamCount; ++i) {
        if (!Rows[size_t(i)])
            continue;
        if (FileNameParams.Contains(i)) {
            ValueFieldRow(i)->SetText(QString());
        } else if (TextParams.Contains(i)) {
            if (QLineEdit *edit = EditRow(i))
                edit->clear();
        } else if (QCheckBox *box = CheckBoxRow(i)) {
            box->setChecked(false);
        }
    }
    if (AttachmentListBox())
        AttachmentButtonClick(2);
}

void TEMSettDialog::SaveSettingsPage()
{
    const QString previousFile = Settings.Param(spMessageFile).GetStr();
    for (int i = 0; i < SettingsParamCount; ++i) {
        QWidget *row = Rows[size_t(i)];
        if (!row)
            continue;
        TIniPar &par = Settings.Param(i);
        switch (RowControlOf(i)) {
        case RowControl::CheckBox:
            par.SetBool(CheckBoxRow(i)->isChecked());
            if (i == spExtraHdrEna && par.GetBool() && HeaderEdit)
                Settings.ExtraHeaders = HeaderEditorLines(HeaderEdit->toPlainText());
            break;
        case RowControl::SpinEdit:
            if (row->isEnabled()) {
                SpinRow(i)->Validate();
                par.SetInt(SpinRow(i)->Value());
            }
            break;
        case RowControl::Attachments:
            Settings.AttachmentPaths = AttachList;
            break;
        case RowControl::ValueField:
            par.SetStr(TrimControls(ValueFieldRow(i)->GetText()));
            break;
        case RowControl::ComboBox:
            par.SetBool(ComboRow(i)->currentIndex() == 1);
            break;
        case RowControl::PasswordEdit:
            // Blanks may belong to a password: it is kept as typed.
            if (row->isEnabled())
                par.SetStr(EditRow(i)->text());
            break;
        case RowControl::Edit:
            if (row->isEnabled())
                par.SetStr(i == spMethodTo ? CleanMethodTo(EditRow(i)->text()) : TrimControls(EditRow(i)->text()));
            break;
        }
    }
    CorrectSettings(Settings);
    // Text changed in the message editor (and kept only in the working copy)
    // is read over only for another file, or when the file changed on disk.
    const QString messageFile = Settings.Param(spMessageFile).GetStr();
    if (PageSet.Contains(spMessageFile) && !messageFile.isEmpty()
        && (messageFile != previousFile || Settings.MessageFileChanged()))
        Settings.ReloadMessage();
    Settings.EnsureDefaults();
    Saved = true;
    Settings.ReadWriteConfig(true, SettingsGroupSet::All());
}

// --- Header preview and account import

void TEMSettDialog::PreviewHeaders(bool silent)
{
    if (!HeaderPreview)
        return;
    HeaderPreview->clear();
    THeaderPageValues values;
    values.MimeEna = CheckBoxRow(spMimeEna) ? CheckBoxRow(spMimeEna)->isChecked() : Settings.Param(spMimeEna).GetBool();
    values.CharSet = EditRow(spCharSet) ? EditRow(spCharSet)->text() : Settings.Param(spCharSet).GetStr();
    values.ExtraHeadersEna = CheckBoxRow(spExtraHdrEna)->isChecked();
    values.HeaderLines = HeaderEditorLines(HeaderEdit->toPlainText());
    try {
        HeaderPreview->setPlainText(PreviewHeaderText(Settings, values));
    } catch (const std::exception &error) {
        if (!silent)
            ErrorBox(QString::fromUtf8(error.what()));
    }
}

void TEMSettDialog::ImportMailClientAccount()
{
    const TMailClientAccount account = ReadMailClientAccount(QDir::homePath());
    // Only what the account holds is filled in; a row it knows nothing of keeps its value.
    const std::pair<int, QString> values[] = {
        {spSmtpServer, account.SmtpServer}, {spYourEmail, account.Email}, {spYourName, account.Name}};
    for (const auto &[index, value] : values)
        if (QLineEdit *edit = EditRow(index); edit && !value.isEmpty())
            edit->setText(value);
}

// --- Painting

void TEMSettDialog::paintEvent(QPaintEvent *event)
{
    QDialog::paintEvent(event);
    QPainter painter(this);
    GradientFill(painter, width(), height(), AdjustLuma(Color, 16), AdjustLuma(Color, -12), true);
    if (ButtonBar)
        painter.fillRect(0, ButtonBar->y() - 1, width(), 1, Qt::white);
    const QColor band = ColorFromBGR(AdjustLuma(Color, -16));
    for (int i = 0; i < SettingsParamCount; ++i)
        if (Rows[size_t(i)] && SeparatorParams.Contains(i))
            painter.fillRect(LabelLeft, m_rowBottom[size_t(i)] + 6, width() - 2 * LabelLeft, 3, band);
}

bool ExecuteSettingsPage(SettingsParamSet page, TESettings &settings, const QPoint &position, TColor color)
{
    TEMSettDialog dialog(page, settings, color, QApplication::activeWindow());
    dialog.FormShow();
    MoveInsideWorkArea(&dialog, position);
    // A Cancel after "&Headers..." undoes nothing: the panels must show what was saved.
    return dialog.exec() == QDialog::Accepted || dialog.Saved;
}
