#include "PnMsg.h"

#include "SettingRows.h"
#include "TESettings.h"

#include <QStandardItemModel>
#include <QTableView>

using namespace Qt::StringLiterals;

namespace {

constexpr int LabelWidth = 100;

} // namespace

TMsgPanel::TMsgPanel(QWidget *parent)
    : TRndLVPanel(parent)
{
}

void TMsgPanel::Build(CommandSet commands, TColor bandColor, TColor captionColor, TColor cornerColor,
                      TColor shadowCornerColor)
{
    TRndLVPanel::Build(commands, bandColor, captionColor, cornerColor, shadowCornerColor);
    SetTitle(u"Message"_s);
    SetBounds(x(), y(), PanelWidth, PanelHeight);
    m_rows = new QStandardItemModel(0, 3, this);
    SetModel(m_rows);
    SetRowColumns(*List(), LabelWidth);
    m_rowSet = {spSubject, spMessageFile, spAttachments, spBccTo, spReplyTo, spMethodBcc};
    RefreshRows();
}

void TMsgPanel::SetImages(const QList<QIcon> &images)
{
    m_images = images;
    FillRows();
}

bool TMsgPanel::FillRows()
{
    if (!m_rows || !m_settings)
        return false;
    return FillSettingRows(*m_rows, *m_settings, m_rowSet, m_images);
}

void TMsgPanel::RefreshRows()
{
    FillRows();
    EnableCommands();
}

void TMsgPanel::SetJobMode(JobMode mode)
{
    if (mode == jmIdle)
        RefreshRows();
    else
        DisableCommands();
}
