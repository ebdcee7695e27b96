#include "MessageLines.h"

using namespace Qt::StringLiterals;

QString LineBreakOf(QStringView text)
{
    const qsizetype at = text.indexOf(u'\n');
    const qsizetype cr = text.indexOf(u'\r');
    if (cr >= 0 && (at < 0 || cr < at))
        return cr + 1 < text.size() && text[cr + 1] == u'\n' ? u"\r\n"_s : u"\r"_s;
    return at >= 0 ? u"\n"_s : u"\r\n"_s;
}

QString WithLineBreak(const QString &t, const QString &lineBreak)
{
    if (lineBreak == u"\r\n")
        return t;
    QString out = t;
    out.replace(u"\r\n"_s, lineBreak);
    return out;
}
