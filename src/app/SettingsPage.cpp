#include "SettingsPage.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int WideColumn = 8;
constexpr int NormalColumn = 135;

} // namespace

RowControl RowControlOf(int index)
{
    if (index == spMethodBcc)
        return RowControl::ComboBox;
    switch (SettingsParamTable[size_t(index)].Type) {
    case iptBoolean:
        return RowControl::CheckBox;
    case iptInteger:
        return RowControl::SpinEdit;
    case iptFloat:
    case iptString:
        break;
    }
    if (index == spAttachments)
        return RowControl::Attachments;
    if (FileNameParams.Contains(index))
        return RowControl::ValueField;
    return index == spPassword ? RowControl::PasswordEdit : RowControl::Edit;
}

bool RowHasLabel(int index)
{
    // The send method is a switch too, but shown as a list: it has its label.
    return RowControlOf(index) != RowControl::CheckBox && !ParamLabels[size_t(index)].isEmpty();
}

QString RowLabelText(int index)
{
    return ParamLabels[size_t(index)].toString() + u':';
}

int SwitchRowOf(int index)
{
    switch (index) {
    case spSmtpUser:
    case spPassword:
        return spSmtpAuth;
    case spBatchQty:
        return spBatchMode;
    case spBccTo:
        return spBccEmails;
    case spReplyTo:
        return spReplyEna;
    case spNameParInd:
        return spNameParEna;
    case spCharSet:
        return spMimeEna;
    case spMethodTo:
    case spMethodEmail:
    case spMethodCount:
        return spMethodBcc;
    default:
        return -1;
    }
}

QString PageCaption(SettingsParamSet page)
{
    if (page.Contains(spMimeEna))
        return u"Customize Message Headers"_s;
    if (page.Contains(spSmtpServer))
        return u"Connection Settings"_s;
    if (page.Contains(spMethodBcc))
        return u"Choose the way e-mails will be sent"_s;
    return u"Message Settings"_s;
}

DialogButtonSet PageButtons(SettingsParamSet page)
{
    if (page.Contains(spMessageFile) || page.Contains(spMimeEna))
        return {bOK, bCancel, bHelp, bSetup};
    return {bOK, bCancel, bHelp};
}

QString PageButtonCaption(SettingsParamSet page, DialogButtonId id)
{
    if (page.Contains(spMessageFile) && id == bHelp)
        return u"Clear &All"_s;
    if (page.Contains(spMessageFile) && id == bSetup)
        return u"&Headers..."_s;
    if (page.Contains(spMimeEna) && id == bSetup)
        return u"&Preview"_s;
    return DialogButtonTable[id].Caption;
}

int ControlColumn(SettingsParamSet page)
{
    return page.Contains(spMimeEna) ? WideColumn : NormalColumn;
}
