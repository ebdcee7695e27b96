#include "EmailCommands.h"

#include "JobMode.h"

using namespace Qt::StringLiterals;

CommandSet EnabledEmailCommands(const TEmailCommandState &state)
{
    CommandSet set{20, 21, 22, 24, 25, 26};
    if (state.RequiredSet && state.NotSent > 0)
        set += {14};
    if (state.RequiredSet && state.HasCurrentItem)
        set += {15};
    if (state.RequiredSet && state.Failed > 0)
        set += {16};
    if (state.IsHtml)
        set += {18};
    if (state.Sent > 0 || state.Failed > 0)
        set += {19};
    return set;
}

CommandSet JobModeEmailCommands(std::uint8_t mode)
{
    if (mode == jmSendAll || mode == jmSendSelected || mode == jmResendFailed)
        return {17};
    return {};
}

QString SendCommandCaption(bool batchMode)
{
    return batchMode ? u"Send Next Batch"_s : u"Send All Remaining"_s;
}
