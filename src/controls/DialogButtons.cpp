#include "DialogButtons.h"

using namespace Qt::StringLiterals;

const std::array<TDialogButtonInfo, DialogButtonCount> DialogButtonTable = {{
    {u"bAdd"_s, u"&New"_s, mrNone},
    {u"bEdit"_s, u"&Edit"_s, mrNone},
    {u"bDelete"_s, u"&Delete"_s, mrNone},
    {u"bDefault"_s, u"&Default"_s, mrNone},
    {u"bOK"_s, u"&OK"_s, mrOk},
    {u"bSave"_s, u"&Save"_s, mrOk},
    {u"bProceed"_s, u"&Proceed"_s, mrOk},
    {u"bCommit"_s, u"&Commit"_s, mrOk},
    {u"bBack"_s, u"<< &Back"_s, mrNone},
    {u"bNext"_s, u"&Next >>"_s, mrNone},
    {u"bRetry"_s, u"&Retry"_s, mrNone},
    {u"bAbort"_s, u"&Abort"_s, mrNone},
    {u"bViewLog"_s, u"&View Log"_s, mrNone},
    {u"bClose"_s, u"&Close"_s, mrCancel},
    {u"bRollback"_s, u"&Rollback"_s, mrCancel},
    {u"bCancel"_s, u"&Cancel"_s, mrCancel},
    {u"bFinish"_s, u"&Finish"_s, mrNone},
    {u"bStop"_s, u"&Stop"_s, mrNone},
    {u"bPrint"_s, u"&Print"_s, mrNone},
    {u"bHelp"_s, u"&Help"_s, mrNone},
    {u"bNew"_s, u"&New"_s, mrNone},
    {u"bSetup"_s, u"&Setup"_s, mrNone},
}};
