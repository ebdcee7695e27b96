#include "TRecipient.h"

#include <QLocale>

using namespace Qt::StringLiterals;

QString TRecipient::Value(int k) const
{
    if (k == 0)
        return Address;
    return k > 0 && k <= Params.size() ? Params[k - 1] : QString();
}

QStringList TRecipient::Values() const
{
    QStringList values;
    values.reserve(Params.size() + 1);
    values.append(Address);
    values.append(Params);
    return values;
}

QString CleanField(QStringView text)
{
    QString s = text.toString();
    s.replace(u'|', u'/').replace(u'\r', u' ').replace(u'\n', u' ');
    return TrimControls(s);
}

QString FormatDateTimeShort(const QDateTime &when)
{
    const QLocale locale;
    QString text = locale.toString(when.date(), QLocale::ShortFormat);
    if (when.time() != QTime(0, 0))
        text += u' ' + locale.toString(when.time(), LongTimeFormatWithoutZone(locale));
    return text;
}

QString ResultStatusText(RecipientStatus status, const QString &errorText, const QDateTime &when)
{
    switch (status) {
    case RecipientStatus::Sent:
        return StatusTextStart(RecipientStatus::Sent).toString() + FormatDateTimeShort(when);
    case RecipientStatus::Failed: {
        QString text = TrimControls(errorText);
        text.replace(u'\r', u',').replace(u'\n', u' ').replace(u'|', u'/');
        return StatusTextStart(RecipientStatus::Failed).toString() + text;
    }
    default:
        return StatusTextStart(RecipientStatus::NotSent).toString();
    }
}
