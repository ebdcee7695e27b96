#include "PnSett.h"

#include "SettingsPage.h"
#include "TTxtBtnPanel.h"

using namespace Qt::StringLiterals;

TSettPanel::TSettPanel(QWidget *parent)
    : TSettingRowsPanel(u"Connection"_s, {spSmtpServer, spYourEmail, spYourName, spDelay, spReconnect, spRecPause},
                        parent)
    , m_editPage(ConnectionPageParams)
{
}

bool TSettPanel::EditSettings()
{
    return EditSettingsPage(m_editPage);
}

void TSettPanel::UpdateCommands(bool complete)
{
    if (!Buttons())
        return;
    Buttons()->SetCommandEnabled(cmConnSettings, true);
    Buttons()->SetCommandEnabled(cmTestConnection, complete);
}
