#include "SettingsCorrections.h"

#include "TESettings.h"
#include "TextHelpers.h"

using namespace Qt::StringLiterals;

QString CleanMethodTo(const QString &text)
{
    QString name = TrimControls(text);
    name.removeIf([](QChar c) { return c == u'"' || c == u'/' || c == u':' || c == u'@' || c == u'\\'; });
    return name;
}

void CorrectSettings(TESettings &settings)
{
    if (settings.Param(spSmtpUser).GetStr().isEmpty()) {
        settings.Param(spSmtpAuth).SetBool(false);
        settings.Param(spPassword).SetStr(QString());
    }
    if (!settings.Param(spBccTo).GetStr().contains(u'@'))
        settings.Param(spBccEmails).SetBool(false);
    if (!settings.Param(spReplyTo).GetStr().contains(u'@'))
        settings.Param(spReplyEna).SetBool(false);
}
