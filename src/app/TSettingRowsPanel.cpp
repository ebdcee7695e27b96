#include "TSettingRowsPanel.h"

#include "DlgSett.h"
#include "SettingRows.h"
#include "TESettings.h"

#include <QStandardItemModel>
#include <QTableView>

namespace {

constexpr int LabelWidth = 100;
// The editor opens at the top-left corner of the list's frame.
const QPoint EditorCorner(5, 24);

} // namespace

TSettingRowsPanel::TSettingRowsPanel(const QString &title, SettingsParamSet rowSet, QWidget *parent)
    : TRndLVPanel(parent)
    , m_title(title)
    , m_rowSet(rowSet)
{
}

void TSettingRowsPanel::Build(CommandSet commands, TColor bandColor, TColor captionColor, TColor cornerColor,
                              TColor shadowCornerColor)
{
    TRndLVPanel::Build(commands, bandColor, captionColor, cornerColor, shadowCornerColor);
    SetTitle(m_title);
    SetBounds(x(), y(), PanelWidth, PanelHeight);
    m_rows = new QStandardItemModel(0, 3, this);
    SetModel(m_rows);
    SetRowColumns(*List(), LabelWidth);
    RefreshRows();
}

void TSettingRowsPanel::SetImages(const QList<QIcon> &images)
{
    m_images = images;
    FillRows();
}

bool TSettingRowsPanel::FillRows()
{
    if (!m_rows || !m_settings)
        return false;
    return FillSettingRows(*m_rows, *m_settings, m_rowSet, m_images);
}

void TSettingRowsPanel::RefreshRows()
{
    UpdateCommands(FillRows());
}

void TSettingRowsPanel::SetJobMode(JobMode mode)
{
    if (mode == JobMode::Idle)
        RefreshRows();
    else
        DisableCommands();
}

bool TSettingRowsPanel::EditSettingsPage(SettingsParamSet page)
{
    if (!m_settings || !ExecuteSettingsPage(page, *m_settings, mapToGlobal(EditorCorner), AdjustLuma(BandColor(), 6)))
        return false;
    RefreshRows();
    return true;
}
