#include "EmailCommands.h"

using namespace Qt::StringLiterals;

CommandSet EnabledEmailCommands(const TEmailCommandState &state)
{
    CommandSet set{cmBackup, cmRestore, cmHelp, cmOnline, cmAbout, cmExit};
    if (state.RequiredSet && state.NotSent > 0)
        set += {cmSendAll};
    if (state.RequiredSet && state.HasCurrentItem)
        set += {cmSendSelected};
    if (state.RequiredSet && state.Failed > 0)
        set += {cmResendFailed};
    if (state.IsHtml)
        set += {cmHtmlPreview};
    if (state.Sent > 0 || state.Failed > 0)
        set += {cmExportLog};
    return set;
}

CommandSet JobModeEmailCommands(JobMode mode)
{
    if (mode == JobMode::SendAll || mode == JobMode::SendSelected || mode == JobMode::ResendFailed)
        return {cmStopSending};
    return {};
}

QString SendCommandCaption(bool batchMode)
{
    return batchMode ? u"Send Next Batch"_s : u"Send All Remaining"_s;
}
