#include "PnSett.h"

#include "SettingRows.h"
#include "TESettings.h"
#include "TTxtBtnPanel.h"

#include <QStandardItemModel>
#include <QTableView>

using namespace Qt::StringLiterals;

namespace {

constexpr int LabelWidth = 100;

} // namespace

TSettPanel::TSettPanel(QWidget *parent)
    : TRndLVPanel(parent)
{
}

void TSettPanel::Build(CommandSet commands, TColor bandColor, TColor captionColor, TColor cornerColor,
                       TColor shadowCornerColor)
{
    TRndLVPanel::Build(commands, bandColor, captionColor, cornerColor, shadowCornerColor);
    SetTitle(u"Connection"_s);
    SetBounds(x(), y(), PanelWidth, PanelHeight);
    m_rows = new QStandardItemModel(0, 3, this);
    SetModel(m_rows);
    SetRowColumns(*List(), LabelWidth);
    m_rowSet = {spSmtpServer, spYourEmail, spYourName, spDelay, spReconnect, spRecPause};
    m_editPage = SettingsParamSet::Range(spSmtpServer, spBatchQty);
    RefreshRows();
}

void TSettPanel::SetImages(const QList<QIcon> &images)
{
    m_images = images;
    FillRows();
}

bool TSettPanel::FillRows()
{
    if (!m_rows || !m_settings)
        return false;
    return FillSettingRows(*m_rows, *m_settings, m_rowSet, m_images);
}

void TSettPanel::RefreshRows()
{
    const bool complete = FillRows();
    if (!Buttons())
        return;
    Buttons()->SetCommandEnabled(0, true);
    Buttons()->SetCommandEnabled(1, complete);
}

void TSettPanel::SetJobMode(JobMode mode)
{
    if (mode == jmIdle)
        RefreshRows();
    else
        DisableCommands();
}
