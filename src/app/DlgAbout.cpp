#include "DlgAbout.h"

#include "BannerDialog.h"
#include "StartupEnv.h"
#include "SystemMemory.h"
#include "TCardLabel.h"
#include "UI.h"
#include "WebEmail.h"
#include "dcOutCommon.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QShowEvent>

#include <cmath>

using namespace Qt::StringLiterals;

namespace {

constexpr int ClientWidth = 437;
constexpr int ClientHeight = 361;
constexpr int TextLeft = 56;
constexpr int LinkLeft = 152;
constexpr TColor LineColor = 0xC08040; // RGB (64, 128, 192)
constexpr TColor LinkColor = 0x800000; // navy, RGB (0, 0, 128)

const QString CopyText = u"Copyright \u00A9 the Velko Courierline developers.\nAll rights reserved."_s;
const QString OtherText = u"Send messages only to people who asked for them. Most providers limit how many "
                          u"messages an account may send per hour: set the delays to match."_s;

// An empty label of a fixed size whose text, set later, wraps at word boundaries.
QLabel *CreateTextBlock(QWidget *parent, int left, int top, int width, int height)
{
    QLabel *label = CreateWrapLabel(parent, QString(), left, top, width, 1, true);
    label->resize(width, height);
    return label;
}

} // namespace

QString ProgramVersion()
{
    return QStringLiteral(VC_PROGRAM_VERSION);
}

int MemoryMegabytes(std::uint64_t bytes)
{
    // The default rounding mode takes a tie to the even neighbour.
    return int(std::nearbyint(double(bytes) / 1048576.0));
}

QString MemoryText(std::uint64_t bytes)
{
    return u"Memory available to the system: %1 MB"_s.arg(MemoryMegabytes(bytes));
}

QString BuildText(const QDateTime &built, const QLocale &locale)
{
    QString text = locale.toString(built.date(), QLocale::ShortFormat);
    if (built.time() != QTime(0, 0))
        text += u' ' + locale.toString(built.time(), QLocale::ShortFormat);
    return u"  (Build  "_s + text + u")"_s;
}

TAboutDialog::TAboutDialog(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
{
    SetDialogFont(this);
    SetupBannerDialog(*this, QSize(ClientWidth, ClientHeight), QPoint(10, 9));

    L_Version = CreateLabel(this, QString(), TextLeft, 76);
    L_Copy = CreateTextBlock(this, TextLeft, 104, 369, 41);
    L_Internet = CreateLabel(this, u"Home Page:"_s, TextLeft, 152);
    L_Email = CreateLabel(this, u"Support:"_s, TextLeft, 168);
    L_COther = CreateTextBlock(this, TextLeft, 200, 369, 57);
    L_Memory = CreateLabel(this, QString(), TextLeft, 268);
    P_Line = CreateBannerRule(*this, QRect(TextLeft, 296, 369, 5), LineColor);

    BtnOK = new QPushButton(u"&OK"_s, this);
    BtnOK->setGeometry(188, 316, 100, 30);
    BtnOK->setDefault(true);
    connect(BtnOK, &QPushButton::clicked, this, &QDialog::accept);
}

void TAboutDialog::showEvent(QShowEvent *event)
{
    if (!HomeLink)
        FormShow();
    QDialog::showEvent(event);
}

void TAboutDialog::FormShow()
{
    setWindowTitle(u"About "_s + AppTitle.toString());

    QString version = u"Version %1"_s.arg(ProgramVersion());
    const QFileInfo program(QCoreApplication::applicationFilePath());
    if (program.exists())
        version += BuildText(program.lastModified(), QLocale());
    L_Version->setText(version);
    L_Version->adjustSize();
    L_Copy->setText(CopyText);
    L_COther->setText(OtherText);

    HomeLink = CreateLink(HomePageURL(), 0, L_Internet);
    SupportLink = CreateLink(SupportEmail(), 1, L_Email);

    L_Memory->setText(MemoryText(TotalPhysicalMemory()));
    L_Memory->adjustSize();
}

TCardLabel *TAboutDialog::CreateLink(const QString &caption, int tag, const QLabel *row)
{
    auto *link = new TCardLabel(this);
    link->SetCaption(caption);
    link->SetSingleLine(true);
    link->SetIsLink(true);
    QFont underlined = link->font();
    underlined.setUnderline(true);
    link->setFont(underlined);
    QPalette navy = link->palette();
    navy.setColor(QPalette::WindowText, ColorFromBGR(LinkColor));
    link->setPalette(navy);
    link->SetTag(tag);
    link->FitToText();
    link->move(LinkLeft, row->y());
    link->show();
    connect(link, &TCardLabel::clicked, this, [this, tag] { LinkClick(tag); });
    return link;
}

void TAboutDialog::LinkClick(int tag)
{
    if (tag == 0)
        OpenHomePage();
    else if (tag == 1)
        OpenSupportMail();
}

void ShowAbout(QWidget *parent)
{
    TAboutDialog dialog(parent);
    dialog.exec();
}
