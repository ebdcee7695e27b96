#include "ListImport.h"

#include "AppError.h"
#include "MessageAnalysis.h"
#include "TRecipient.h"
#include "TextHelpers.h"

#include <QSet>

#include <algorithm>
#include <numeric>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

constexpr qsizetype MaxPlainLineLength = 250;
constexpr int FirstLinesChecked = 5;
constexpr qsizetype MaxAtsInFirstLines = 3;

const QChar Bar(u'|');
const QChar Quote(u'"');

bool IsDelimiterChar(QChar c)
{
    return c == u'\t' || c == u',' || c == u';';
}

// The line with "|" as the only field separator: "|" in the text becomes "/",
// delimiters outside double quotes become "|".
QString MarkFields(const QString &line, QChar delimiter)
{
    QString marked = line;
    bool quoted = false;
    for (QChar &c : marked) {
        if (c == Bar)
            c = u'/';
        else if (c == delimiter && !quoted)
            c = Bar;
        else if (c == Quote)
            quoted = !quoted;
    }
    return marked;
}

QString JobLine(const QString &marked, int paramColumns)
{
    QString line;
    line.reserve(marked.size() + paramColumns + 20);
    line += u'0';
    qsizetype start = 0;
    for (int k = 0; k <= paramColumns; ++k) {
        line += Bar;
        if (start > marked.size())
            continue;
        qsizetype end = marked.indexOf(Bar, start);
        if (end < 0)
            end = marked.size();
        const QStringView field = TrimControlsView(QStringView(marked).mid(start, end - start));
        if (field.contains(Quote))
            line += TrimControlsView(UnquoteCsvField(field.toString()));
        else
            line += field;
        start = end + 1;
    }
    line += Bar;
    line += StatusTextStart(RecipientStatus::NotSent);
    return line;
}

// Lines compare ignoring letter case; most lists are plain ASCII, which folds
// far faster by hand than through the Unicode tables.
QString CaseKey(const QString &line)
{
    QString key = line;
    for (QChar &c : key) {
        const char16_t u = c.unicode();
        if (u >= 128)
            return line.toCaseFolded();
        if (u >= u'A' && u <= u'Z')
            c = QChar(char16_t(u + 32));
    }
    return key;
}

} // namespace

QString NoAddressesMessage()
{
    return u"Invalid file format.\r\nNo E-Mail addresses found.\r\nPlease see Help to learn about compatible file formats."_s;
}

TImportCheck CheckImportLines(QStringList &lines)
{
    TImportCheck check;
    QStringList kept;
    kept.reserve(lines.size());
    for (const QString &line : lines) {
        if (!line.contains(u'@')) {
            ++check.Dropped;
            continue;
        }
        if (line.size() > MaxPlainLineLength)
            check.Suspicious = true;
        kept.append(line);
    }
    lines = std::move(kept);
    if (lines.isEmpty())
        throw AppError(NoAddressesMessage());

    if (check.Dropped > lines.size() / 2)
        check.Suspicious = true;
    const qsizetype first = std::min<qsizetype>(FirstLinesChecked, lines.size());
    for (qsizetype i = 0; i < first; ++i) {
        if (lines[i].count(u'@') > MaxAtsInFirstLines)
            check.Suspicious = true;
    }
    return check;
}

bool IsEmailChar(QChar c)
{
    const char16_t u = c.unicode();
    if ((u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') || (u >= u'0' && u <= u'9'))
        return true;
    return QStringView(u"`!#$%&'*+,-.=?^_{|}~").contains(c);
}

QStringList ExtractAddresses(const QStringList &lines, const ProgressStep &step)
{
    const QString text = MessageLinesToText(lines);

    QStringList found;
    QSet<QString> seen;
    // The first and the last character can never be the "@" of an address.
    for (qsizetype p = 1; p + 1 < text.size(); ++p) {
        if (step)
            step();
        if (text[p] != u'@')
            continue;
        qsizetype left = p;
        while (left > 0 && IsEmailChar(text[left - 1]))
            --left;
        qsizetype right = p + 1;
        while (right < text.size() && IsEmailChar(text[right]))
            ++right;
        while (left < right && text[left] == u'.')
            ++left;
        while (right > left && text[right - 1] == u'.')
            --right;
        const QStringView candidate = QStringView(text).mid(left, right - left);
        const qsizetype at = p - left;
        if (at == 0 || at == candidate.size() - 1)
            continue;
        // The domain needs a dot, and does not begin with one.
        if (candidate[at + 1] == u'.' || candidate.lastIndexOf(u'.') <= at + 1)
            continue;
        const QString address = candidate.toString();
        const QString key = address.toCaseFolded();
        if (!seen.contains(key)) {
            seen.insert(key);
            found.append(address);
        }
    }
    return found;
}

int TruncateImport(QStringList &lines)
{
    const qsizetype count = lines.size();
    if (count <= MaxRecipients)
        return 0;
    lines.resize(MaxRecipients);
    return int(count);
}

QChar DetectDelimiter(QStringView firstLine)
{
    for (qsizetype i = 1; i < firstLine.size(); ++i) {
        if (IsDelimiterChar(firstLine[i]))
            return firstLine[i];
    }
    return u',';
}

int BuildJobLines(QStringList &lines, const ProgressStep &step)
{
    const qsizetype count = lines.size();
    if (count == 0)
        return 0;
    const QChar delimiter = DetectDelimiter(lines.front());

    // A stable sort of the positions by the case-folded lines: equal lines
    // end up next to each other with the file's first one leading.
    std::vector<QString> keys;
    keys.reserve(size_t(count));
    for (const QString &line : lines)
        keys.push_back(CaseKey(line));
    std::vector<qsizetype> order(static_cast<size_t>(count));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&keys](qsizetype a, qsizetype b) { return keys[size_t(a)] < keys[size_t(b)]; });

    std::vector<bool> duplicate(size_t(count), false);
    int duplicates = 0;
    int paramColumns = -1;
    for (size_t i = 0; i < order.size();) {
        const qsizetype position = order[i];
        size_t j = i + 1;
        while (j < order.size() && keys[size_t(order[j])] == keys[size_t(position)]) {
            duplicate[size_t(order[j])] = true;
            ++duplicates;
            ++j;
        }
        const QString marked = MarkFields(lines[position], delimiter);
        if (paramColumns < 0)
            paramColumns = int(std::min<qsizetype>(MaxParams, marked.count(Bar)));
        lines[position] = JobLine(marked, paramColumns);
        i = j;
        if (step)
            step();
    }

    if (duplicates > 0) {
        QStringList kept;
        kept.reserve(count - duplicates);
        for (qsizetype i = 0; i < count; ++i) {
            if (!duplicate[size_t(i)])
                kept.append(std::move(lines[i]));
        }
        lines = std::move(kept);
    }
    return duplicates;
}
