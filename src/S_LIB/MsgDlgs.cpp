#include "MsgDlgs.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>

#include <algorithm>
#include <optional>

namespace {

QPointer<QWidget> &MainForm()
{
    static QPointer<QWidget> form;
    return form;
}

MessageBoxHook &Hook()
{
    static MessageBoxHook hook;
    return hook;
}

// Errors and warnings beep; information and confirmations are silent.
bool Beeps(MsgDlgType type)
{
    return type == MsgDlgType::Error || type == MsgDlgType::Warning;
}

QString TypeCaption(MsgDlgType type)
{
    switch (type) {
    case MsgDlgType::Warning:
        return QStringLiteral("Warning");
    case MsgDlgType::Error:
        return QStringLiteral("Error");
    case MsgDlgType::Information:
        return QStringLiteral("Information");
    case MsgDlgType::Confirmation:
        return QStringLiteral("Confirm");
    }
    return {};
}

QMessageBox::Icon TypeIcon(MsgDlgType type)
{
    switch (type) {
    case MsgDlgType::Warning:
        return QMessageBox::Warning;
    case MsgDlgType::Error:
        return QMessageBox::Critical;
    case MsgDlgType::Information:
        return QMessageBox::Information;
    case MsgDlgType::Confirmation:
        return QMessageBox::Question;
    }
    return QMessageBox::NoIcon;
}

} // namespace

void SetMsgDlgMainForm(QWidget *mainForm)
{
    MainForm() = mainForm;
}

void SetMessageBoxHook(MessageBoxHook hook)
{
    Hook() = std::move(hook);
}

int CentredBoxPos(int mainPos, int mainSize, int boxSize)
{
    return std::max(0, mainPos + (mainSize - boxSize) / 2);
}

bool MsgDlgPos(const QString &text, const QString &caption, MsgDlgType type, bool yesNo, int left, int top)
{
    if (Hook())
        return Hook()(type, text);

    // A hidden main form is no parent: the platform would centre the box
    // over the stale bounds of the hidden window instead of the screen.
    QWidget *main = MainForm() && MainForm()->isVisible() ? MainForm().data() : nullptr;
    // The program's texts break lines with CR LF; a label wants LF alone.
    QString shown = text;
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QMessageBox box(TypeIcon(type), caption.isEmpty() ? TypeCaption(type) : caption, shown,
                    yesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok, main);
    // Server replies such as "<a@b>" must show as they are, never as markup.
    box.setTextFormat(Qt::PlainText);
    // No close button in the title bar: the box is answered with its buttons.
    box.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    box.adjustSize();
    // Without a position of ours the box is never moved, so the platform's
    // own placement of a dialog (centred) still applies.
    std::optional<QPoint> pos;
    if ((left == -1 || top == -1) && main) {
        const QRect frame = main->frameGeometry();
        pos = QPoint(CentredBoxPos(frame.left(), frame.width(), box.width()),
                     CentredBoxPos(frame.top(), frame.height(), box.height()));
    }
    if (left > -1 || top > -1) {
        if (!pos)
            pos = box.geometry().topLeft();
        if (left > -1)
            pos->setX(left);
        if (top > -1)
            pos->setY(top);
    }
    if (pos)
        box.move(*pos);
    if (Beeps(type))
        QApplication::beep();
    return box.exec() == QMessageBox::Yes;
}

void ErrorBox(const QString &text)
{
    MsgDlgPos(text, {}, MsgDlgType::Error, false);
}

void InfoBox(const QString &text)
{
    MsgDlgPos(text, {}, MsgDlgType::Information, false);
}

bool WarningYesNo(const QString &text)
{
    return MsgDlgPos(text, {}, MsgDlgType::Warning, true);
}

bool ConfirmYesNo(const QString &text)
{
    return MsgDlgPos(text, {}, MsgDlgType::Confirmation, true);
}
