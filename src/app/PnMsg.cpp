#include "PnMsg.h"

#include "DlgEdMsg.h"
#include "SettingsPage.h"
#include "TESettings.h"

using namespace Qt::StringLiterals;

TMsgPanel::TMsgPanel(QWidget *parent)
    : TSettingRowsPanel(u"Message"_s, {spSubject, spMessageFile, spAttachments, spBccTo, spReplyTo, spMethodBcc},
                        parent)
{
}

bool TMsgPanel::EditMessageSettings()
{
    return EditSettingsPage(MessagePageParams);
}

bool TMsgPanel::EditMessageText()
{
    bool saveToOriginal = false;
    if (!Settings() || !ExecuteEditDialog(*Settings(), saveToOriginal))
        return false;
    Settings()->SaveMessage(saveToOriginal);
    return true;
}

bool TMsgPanel::EditSendMethod()
{
    return EditSettingsPage(MethodPageParams);
}

void TMsgPanel::UpdateCommands(bool)
{
    EnableCommands();
}
