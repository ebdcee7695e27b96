#include "DlgWelcm.h"

#include "BannerDialog.h"
#include "RtfReader.h"
#include "StartupEnv.h"
#include "TTxtBtnPanel.h"
#include "WebEmail.h"
#include "dcOutCommon.h"

#include <QFile>
#include <QScopeGuard>
#include <QShowEvent>
#include <QTextEdit>

using namespace Qt::StringLiterals;

namespace {

constexpr int ClientWidth = 413;
constexpr int ClientHeight = 320;
constexpr TColor LineColor = 0xE8B080; // RGB (128, 176, 232)

} // namespace

QString WelcomeFileName()
{
    return ProgramDir() + u"bry_intr.rtf"_s;
}

TWelcomeDialog::TWelcomeDialog(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint)
{
    setWindowTitle(u"Welcome!"_s);
    QFont font = this->font();
    font.setPixelSize(13);
    setFont(font);
    SetupBannerDialog(*this, QSize(ClientWidth, ClientHeight), QPoint(9, 5));

    // Shown, not edited: no caret, no selection, no focus.
    RichEdit = new QTextEdit(this);
    RichEdit->setReadOnly(true);
    RichEdit->setTextInteractionFlags(Qt::NoTextInteraction);
    RichEdit->setFocusPolicy(Qt::NoFocus);
    RichEdit->setFrameShape(QFrame::NoFrame);
    RichEdit->setGeometry(56, 52, 345, 229);

    P_Line = CreateBannerRule(*this, QRect(56, 280, 345, 5), LineColor);
}

void TWelcomeDialog::showEvent(QShowEvent *event)
{
    if (!Buttons)
        FormShow();
    QDialog::showEvent(event);
}

void TWelcomeDialog::FormShow()
{
    QFile file(WelcomeFileName());
    if (file.open(QIODevice::ReadOnly))
        ReadRtf(file.readAll(), *RichEdit->document());

    Buttons = new TTxtBtnPanel(this);
    Buttons->Setup({cmShowHelp, cmClose});
    connect(Buttons, &TTxtBtnPanel::OnCommand, this, &TWelcomeDialog::ExecuteCommand);
    // Centred under the rule, 7 px above the bottom.
    Buttons->move(P_Line->x() + (P_Line->width() - Buttons->width()) / 2, height() - Buttons->height() - 7);
    Buttons->show();
}

void TWelcomeDialog::ExecuteCommand(QObject *, CommandId Command)
{
    if (Command == cmShowHelp)
        OpenHelpPage();
    else if (Command == cmClose)
        accept();
}

void ShowWelcome(QWidget *parent)
{
    // A welcome that cannot be shown must not come back at every start.
    const auto removeFile = qScopeGuard([] { QFile::remove(WelcomeFileName()); });
    TWelcomeDialog dialog(parent);
    dialog.exec();
}
