#include "SmtpSetup.h"

#include "AppError.h"
#include "EmailAddress.h"
#include "TESettings.h"

using namespace Qt::StringLiterals;

namespace {

constexpr int StartTlsPort = 587;
constexpr int TimeoutUnitMs = 500; // the setting counts half-seconds in effect

} // namespace

SmtpOptions ConfigureSmtp(const TESettings &Settings)
{
    SmtpOptions options;
    if (Settings.Param(spSmtpAuth).GetBool()) {
        options.AuthType = SmtpAuth::Login;
        options.Username = Settings.Param(spSmtpUser).GetStr();
        options.Password = Settings.Param(spPassword).GetStr();
    }
    options.Host = Settings.Param(spSmtpServer).GetStr().trimmed();
    options.Port = static_cast<quint16>(Settings.Param(spSmtpPort).GetInt());
    options.ConnectTimeoutMs = Settings.Param(spSmtpTimeout).GetInt() * TimeoutUnitMs;
    options.ReadTimeoutMs = options.ConnectTimeoutMs;
    if (Settings.Param(spSmtpSsl).GetBool())
        options.UseTLS = options.Port == StartTlsPort ? SmtpTls::StartTls : SmtpTls::Implicit;
    return options;
}

void BuildMessage(TMEMessage &Msg, const TEmailMessage &Em, const TESettings &Settings)
{
    Msg.From = {Settings.Param(spYourEmail).GetStr(), Settings.Param(spYourName).GetStr()};
    Msg.Subject = Em.Subject;
    Msg.Recipients.append(Em.To);
    // A group address that is no valid e-mail address stays out of the
    // envelope (its row records that on its own); a group with none left
    // is not sent at all.
    for (const TEmailAddressItem &item : Em.Bcc)
        if (IsValidEmailAddress(item.Address))
            Msg.BccList.append(item);
    if (!Em.Bcc.isEmpty() && Msg.BccList.isEmpty())
        throw AppError(InvalidAddressText(Em.Bcc.first().Address));
    if (!Em.BccTo.isEmpty())
        Msg.BccList.append({Em.BccTo, QString()});
    if (!Em.ReplyTo.isEmpty())
        Msg.ReplyTo.append({Em.ReplyTo, QString()});

    const QString contentType = Settings.IsHtml ? u"text/html"_s : u"text/plain"_s;
    const QString charSet = Settings.IsHtml ? Settings.HtmlCharset : (Em.MimeEna ? Em.CharSet : QString());

    if (Settings.AttachmentPaths.isEmpty()) {
        Msg.ContentType = contentType;
        if (!charSet.isEmpty())
            Msg.CharSet = charSet;
        Msg.Body = Em.Body;
        return;
    }
    Msg.ContentType = u"multipart/mixed"_s;
    TMEPart text;
    text.ContentType = contentType;
    text.CharSet = charSet;
    text.Body = Em.Body;
    Msg.MessageParts.append(text);
    for (const QString &path : Settings.AttachmentPaths) {
        TMEPart file;
        file.PartKind = TMEPart::AttachmentFile;
        file.FileName = path;
        file.ContentType = Settings.MimeTable().Lookup(path);
        Msg.MessageParts.append(file);
    }
}

void AddSendOptions(TMEMessage &Msg, const TESettings &Settings)
{
    AddSendOptions(Msg, Settings.Param(spMimeEna).GetBool(), Settings.Param(spCharSet).GetStr(),
                   Settings.Param(spExtraHdrEna).GetBool(), Settings.ExtraHeaders);
}

void AddSendOptions(TMEMessage &Msg, bool MimeEna, const QString &CharSet, bool ExtraHdrEna,
                    const QStringList &ExtraHeaders)
{
    if (MimeEna) {
        Msg.Encoding = meMIME;
        Msg.CharSet = CharSet;
    }
    if (ExtraHdrEna)
        Msg.ExtraHeaders += ExtraHeaders;
}
