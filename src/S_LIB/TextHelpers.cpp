#include "TextHelpers.h"

#include <QFileInfo>
#include <QLocale>

namespace {

const QChar Quote(u'"');
const QChar Slash(u'/');

} // namespace

QStringView TrimControlsView(QStringView text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text[first].unicode() <= 32)
        ++first;
    while (last > first && text[last - 1].unicode() <= 32)
        --last;
    return text.mid(first, last - first);
}

QString TrimControls(QStringView text)
{
    return TrimControlsView(text).toString();
}

QStringList SplitLines(const QString &text)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = text[i];
        if (c != u'\r' && c != u'\n')
            continue;
        lines.append(text.mid(start, i - start));
        if (c == u'\r' && i + 1 < size && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < size)
        lines.append(text.mid(start));
    return lines;
}

int CompareInt(int a, int b)
{
    return a < b ? -1 : (a > b ? 1 : 0);
}

QString ExtractField(const QString &text, int n, QChar separator)
{
    const int target = n - 1;
    int count = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (count >= target) {
            qsizetype end = text.indexOf(separator, i);
            if (end < 0)
                end = text.size();
            return TrimControls(text.mid(i, end - i));
        }
        if (text[i] == separator)
            ++count;
    }
    return {};
}

void AppendWithSeparator(QString &text, const QString &item, const QString &separator)
{
    if (item.isEmpty())
        return;
    if (text.isEmpty())
        text = item;
    else
        text += separator + item;
}

void QuoteCsvField(QString &field, QChar separator)
{
    if (field.contains(Quote))
        field.replace(Quote, QStringLiteral("\"\""));
    if (field.contains(separator) || field.contains(Quote) || field.contains(u'\n') || field.contains(u'\r'))
        field = Quote + field + Quote;
}

QString UnquoteCsvField(const QString &field)
{
    QString s = field;
    if (s.size() >= 2) {
        if (s.front() == Quote)
            s.remove(0, 1);
        if (!s.isEmpty() && s.back() == Quote)
            s.chop(1);
    }
    return s.replace(QStringLiteral("\"\""), Quote);
}

// Zone names are ambiguous and add nothing to the times the program shows.
QString LongTimeFormatWithoutZone(const QLocale &locale)
{
    const QString format = locale.timeFormat(QLocale::LongFormat);
    QString out;
    bool quoted = false;
    for (const QChar c : format) {
        if (c == u'\'')
            quoted = !quoted;
        if (!quoted && c == u't')
            continue;
        out += c;
    }
    // A zone some locales put in brackets leaves the empty brackets behind.
    out.remove(QStringLiteral("()"));
    return out.simplified();
}

QString IncludeTrailingBackslash(const QString &path)
{
    if (path.isEmpty() || path.endsWith(Slash))
        return path;
    return path + Slash;
}

QString ExcludeTrailingBackslash(const QString &path)
{
    if (path.size() > 1 && path.endsWith(Slash))
        return path.chopped(1);
    return path;
}

QString JoinPath(const QString &folder, const QString &name)
{
    const QString tail = name.startsWith(Slash) ? name.mid(1) : name;
    return IncludeTrailingBackslash(folder) + tail;
}

QString ForceExtension(const QString &path, const QString &ext)
{
    const qsizetype nameStart = path.lastIndexOf(Slash) + 1;
    const qsizetype dot = path.lastIndexOf(u'.');
    const QString stem = dot >= nameStart ? path.left(dot) : path;
    return stem + u'.' + ext;
}

QString JustFileName(const QString &path)
{
    return path.mid(path.lastIndexOf(Slash) + 1);
}

QString JustName(const QString &path)
{
    const QString name = JustFileName(path);
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot >= 0 ? name.left(dot) : name;
}

std::int64_t GetFileSize64(const QString &fileName)
{
    const QFileInfo info(fileName);
    return info.exists() ? info.size() : 0;
}
