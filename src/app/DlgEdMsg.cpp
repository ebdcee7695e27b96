#include "DlgEdMsg.h"

#include "ErrorGuard.h"
#include "HelpKey.h"
#include "MessageEditorLines.h"
#include "StartupEnv.h"
#include "TDialogBtnPanel.h"
#include "TESettings.h"
#include "UI.h"
#include "WebEmail.h"

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>

using namespace Qt::StringLiterals;

namespace {

const QSize DesignSize(600, 480);
const QSize MinimumSize(560, 360);
const QSize WideScreenSize(700, 520);
constexpr int WideScreenWidth = 640;
constexpr int CheckBoxLeft = 9;
constexpr int CheckBoxWidth = 240;

} // namespace

TEditDialog::TEditDialog(TESettings &settings, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
    , Settings(settings)
{
    SetDialogFont(this);
    setWindowTitle(u"Message Text"_s);
    setMinimumSize(MinimumSize);
    resize(DesignSize);
    InstallHelpKey(this);
}

TEditDialog::~TEditDialog() = default;

void TEditDialog::showEvent(QShowEvent *event)
{
    if (!ButtonBar)
        FormShow();
    QDialog::showEvent(event);
}

void TEditDialog::FormShow()
{
    if (ButtonBar)
        return;
    ButtonBar = CreateDialogBtnPanel(this, {bOK, bCancel, bHelp}, false, 8);
    connect(ButtonBar, &TDialogBtnPanel::ButtonClicked, this, &TEditDialog::ButtonClick);

    CheckBox = new QCheckBox(u"&Save changes to the original file"_s, ButtonBar);
    const int height = CheckBox->sizeHint().height();
    // Level with the buttons, left of them.
    CheckBox->setGeometry(CheckBoxLeft, TDialogBtnPanel::BarHeight - 38 + (TDialogBtnPanel::ButtonHeight - height) / 2,
                          std::max(CheckBoxWidth, CheckBox->sizeHint().width()), height);

    Memo = new QPlainTextEdit(this);
    Memo->setAccessibleName(u"Message Text"_s);
    if (Settings.IsHtml) {
        Memo->setLineWrapMode(QPlainTextEdit::NoWrap);
        Memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    } else {
        Memo->setLineWrapMode(QPlainTextEdit::WidgetWidth);
        Memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    }
    Memo->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    SetEditorLines(*Memo->document(), Settings.MessageText);
    Memo->moveCursor(QTextCursor::Start);
    Memo->installEventFilter(this);
    setTabOrder(Memo, CheckBox);
    Memo->setFocus(Qt::OtherFocusReason);

    // Controls made while the dialog is being shown would stay hidden.
    for (QWidget *child : findChildren<QWidget *>(Qt::FindDirectChildrenOnly))
        if (!child->testAttribute(Qt::WA_WState_ExplicitShowHide))
            child->show();
    const QScreen *screen = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    if (screen && screen->geometry().width() > WideScreenWidth)
        resize(WideScreenSize);
    PlaceMemo();
}

void TEditDialog::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    PlaceMemo();
}

void TEditDialog::PlaceMemo()
{
    if (Memo)
        Memo->setGeometry(0, 0, width(), std::max(0, height() - TDialogBtnPanel::BarHeight));
}

bool TEditDialog::eventFilter(QObject *watched, QEvent *event)
{
    // Shift+Enter breaks the line as Enter does. Typed as a line separator it
    // would take on the format of the character before it, and so right after
    // a separator that the line holds it would be kept as one too.
    if (watched == Memo && event->type() == QEvent::KeyPress
        && static_cast<QKeyEvent *>(event)->matches(QKeySequence::InsertLineSeparator)) {
        const auto *key = static_cast<QKeyEvent *>(event);
        QKeyEvent enter(QEvent::KeyPress, key->key(), key->modifiers() & ~Qt::ShiftModifier, key->text());
        QApplication::sendEvent(Memo, &enter);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

bool TEditDialog::SaveToOriginal() const
{
    return CheckBox && CheckBox->isChecked();
}

void TEditDialog::ButtonClick(DialogButtonId id)
{
    if (id == bOK) {
        Settings.MessageText = EditorLines(*Memo->document());
    } else if (id == bHelp) {
        RunGuarded([] { OpenHelpPage(); });
    }
}

bool ExecuteEditDialog(TESettings &settings, bool &saveToOriginal)
{
    saveToOriginal = false;
    TEditDialog dialog(settings, QApplication::activeWindow());
    dialog.FormShow();
    if (dialog.exec() != QDialog::Accepted)
        return false;
    saveToOriginal = dialog.SaveToOriginal();
    return true;
}
