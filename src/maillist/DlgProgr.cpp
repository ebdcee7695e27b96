#include "DlgProgr.h"

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>

using namespace Qt::StringLiterals;

namespace {

// A step per character of a large text must not cost a repaint and a round
// of the event loop each: a few dozen a second keep the window alive.
constexpr qint64 EventIntervalMs = 40;

QPointer<TProgress> &Box()
{
    static QPointer<TProgress> box;
    return box;
}

} // namespace

TProgress::TProgress(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint)
    , LblName(new QLabel(this))
    , PBar(new QProgressBar(this))
    , BtnCancel(new QPushButton(u"&Cancel"_s, this))
{
    QFont font(u"MS Sans Serif"_s);
    font.setPixelSize(13);
    setFont(font);
    setFixedSize(333, 111);
    LblName->setGeometry(8, 8, 317, 20);
    PBar->setGeometry(8, 32, 317, 18);
    PBar->setTextVisible(false);
    BtnCancel->setGeometry(112, 68, 100, 28);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->geometry().center() - rect().center());
    m_sinceEvents.start();
}

TProgress::~TProgress() = default;

void TProgress::Restart(int maximum)
{
    m_position = 0;
    PBar->setRange(0, std::max(maximum, 0));
    PBar->setValue(0);
}

void TProgress::ProcessPaintEvents()
{
    PBar->setValue(std::min(m_position, PBar->maximum()));
    // Input waits: a command must not change the list in the middle of an
    // operation on it.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    m_sinceEvents.restart();
}

void TProgress::Step()
{
    ++m_position;
    if (m_sinceEvents.elapsed() >= EventIntervalMs)
        ProcessPaintEvents();
}

void ShowProgress(const QString &caption, const QString &text, int maximum, bool cancelEnabled)
{
    if (!Box())
        Box() = new TProgress;
    TProgress *box = Box();
    box->setWindowTitle(caption);
    box->LblName->setText(text);
    box->Restart(maximum);
    box->BtnCancel->setEnabled(cancelEnabled);
    box->show();
    box->ProcessPaintEvents();
}

void StepProgress()
{
    if (TProgress *box = Box())
        box->Step();
}

void CloseProgress()
{
    delete Box().data();
    Box() = nullptr;
}

TProgress *CurrentProgress()
{
    return Box();
}
