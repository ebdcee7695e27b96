#include "MessageLines.h"

using namespace Qt::StringLiterals;

namespace {

bool IsBreak(QChar c)
{
    return c == u'\r' || c == u'\n' || c == QChar::LineSeparator || c == QChar::ParagraphSeparator;
}

} // namespace

QString MessageEditorText(const QStringList &lines)
{
    QString text;
    for (const QString &line : lines) {
        text += line;
        text += u'\n';
    }
    return text;
}

QStringList MessageEditorLines(QStringView text)
{
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (!IsBreak(text[i]))
            continue;
        lines.append(text.mid(start, i - start).toString());
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines.append(text.mid(start).toString());
    return lines;
}

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
