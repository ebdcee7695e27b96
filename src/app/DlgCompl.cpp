#include "DlgCompl.h"

#include "PnAdList.h"
#include "PnComplt.h"
#include "StartupEnv.h"
#include "StatusIcons.h"
#include "TRndPnlContainer.h"

#include <QLabel>
#include <QShowEvent>

namespace {

constexpr int TopHeight = 49;
constexpr TColor TopColor = 0xD0F7FF;
// Room for the container's shadow left of, right of and below the panel.
constexpr int PanelMargin = 8;

} // namespace

TSummaryDialog::TSummaryDialog(const TAdListPanel &listPanel, const TJobInfo &jobInfo, QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
    , m_listPanel(listPanel)
    , m_jobInfo(jobInfo)
{
    setWindowTitle(AppTitle.toString());
    resize(410, 251);

    m_top = new QWidget(this);
    m_top->setAutoFillBackground(true);
    m_top->setGeometry(0, 0, width(), TopHeight);
    auto *topImage = new QLabel(m_top);
    const QPixmap banner = ProductBanner();
    topImage->setPixmap(banner);
    topImage->setGeometry(3, 4, banner.width(), banner.height());
}

void TSummaryDialog::showEvent(QShowEvent *event)
{
    if (!m_summaryPanel)
        FormShow();
    QDialog::showEvent(event);
}

void TSummaryDialog::FormShow()
{
    QPalette topPalette = m_top->palette();
    topPalette.setColor(QPalette::Window, ColorFromBGR(TopColor));
    m_top->setPalette(topPalette);

    m_container = new TRndPnlContainer(this);
    m_summaryPanel = new TSummaryPanel(m_container);
    m_summaryPanel->SetListPanel(&m_listPanel);
    m_summaryPanel->SetJobInfo(&m_jobInfo);
    m_summaryPanel->Build({cmExportLog, cmClose}, 0xFFC0C8, 0x702040, 0xD0F7FF, 0x80A8AB);
    m_summaryPanel->SetBounds(PanelMargin, 0, m_summaryPanel->width(), m_summaryPanel->height());
    m_summaryPanel->SetImages(StatusIcons());
    connect(m_summaryPanel, &TSummaryPanel::OnCommand, this,
            [this](QObject *sender, CommandId command) { ExecuteCommand(sender, command); });

    const int clientWidth = m_summaryPanel->width() + 2 * PanelMargin;
    const int clientHeight = TopHeight + m_summaryPanel->height() + PanelMargin;
    m_top->setGeometry(0, 0, clientWidth, TopHeight);
    // The container fills the client area below the top band.
    m_container->setGeometry(0, TopHeight, clientWidth, clientHeight - TopHeight);
    setFixedSize(clientWidth, clientHeight);
    m_container->show();
}

void TSummaryDialog::ExecuteCommand(QObject *, CommandId Command)
{
    if (Command == cmExportLog)
        done(ExportLogResult);
    else if (Command == cmClose)
        done(CloseResult);
}

bool ExecuteSummaryDialog(const TAdListPanel &listPanel, const TJobInfo &jobInfo, QWidget *parent)
{
    TSummaryDialog dialog(listPanel, jobInfo, parent ? parent : listPanel.window());
    return dialog.exec() == TSummaryDialog::ExportLogResult;
}
