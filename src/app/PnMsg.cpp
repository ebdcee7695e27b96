#include "PnMsg.h"

using namespace Qt::StringLiterals;

TMsgPanel::TMsgPanel(QWidget *parent)
    : TSettingRowsPanel(u"Message"_s, {spSubject, spMessageFile, spAttachments, spBccTo, spReplyTo, spMethodBcc},
                        parent)
{
}

void TMsgPanel::UpdateCommands(bool)
{
    EnableCommands();
}
