#include "HeaderPreview.h"

#include "Personalise.h"
#include "SmtpSetup.h"
#include "TESettings.h"
#include "TMEMessage.h"
#include "TextHelpers.h"

using namespace Qt::StringLiterals;

QStringList HeaderEditorLines(const QString &text)
{
    QStringList lines;
    for (const QString &line : SplitLines(text))
        if (const QString trimmed = TrimControls(line); !trimmed.isEmpty())
            lines.append(trimmed);
    return lines;
}

QString PreviewHeaderText(const TESettings &settings, const THeaderPageValues &page)
{
    // The sample recipient is a row with an address only: the placeholders of
    // parameters stay as written, as for a row without those values.
    const QStringList sample{SampleToAddress.toString()};
    TEmailMessage em;
    em.MimeEna = page.MimeEna;
    em.CharSet = page.CharSet;
    // A BCC e-mail's To is the same for every group: the one a job sends.
    if (settings.IsBccMethod())
        em.To = VisibleRecipient(settings, sample);
    else
        em.To = {SampleToAddress.toString(), SampleToName.toString()};
    // Subject and body as the message view makes them for a job: the body
    // decides the transfer encoding, and so a header line, of a message
    // without attachments.
    em.Subject = PersonalisedSubject(settings, sample);
    em.Body = PersonalisedBody(settings, sample);
    if (settings.Param(spBccEmails).GetBool())
        em.BccTo = settings.Param(spBccTo).GetStr();
    if (settings.Param(spReplyEna).GetBool())
        em.ReplyTo = settings.Param(spReplyTo).GetStr();

    TMEMessage msg;
    msg.AssignMimeOptions(em);
    BuildMessage(msg, em, settings);
    // What a job adds after composing, with the page's values.
    AddSendOptions(msg, page.MimeEna, page.CharSet, page.ExtraHeadersEna, page.HeaderLines);

    QString text = QString::fromUtf8(msg.GenerateHeader());
    text.replace(u"\r\n"_s, u"\n"_s);
    if (text.endsWith(u'\n'))
        text.chop(1);
    return text;
}
