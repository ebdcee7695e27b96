#include "JobListFile.h"

#include "StartupEnv.h"
#include "TextCodec.h"

#include <QFile>

#include <algorithm>
#include <array>

using namespace Qt::StringLiterals;

namespace {

const QChar Bar(u'|');

TRecipient ParseLine(QStringView line, int paramColumns)
{
    // The fields as views into the line: the status, the address and the
    // parameters that can be used, and the last field.
    std::array<QStringView, MaxParams + 2> head;
    QStringView last;
    qsizetype count = 0;
    for (qsizetype start = 0;; ++count) {
        const qsizetype bar = line.indexOf(Bar, start);
        last = bar < 0 ? line.sliced(start) : line.sliced(start, bar - start);
        if (size_t(count) < head.size())
            head[size_t(count)] = last;
        if (bar < 0)
            break;
        start = bar + 1;
    }
    ++count;

    bool isNumber = false;
    const int status = TrimControlsView(head[0]).toInt(&isNumber, 10);
    TRecipient r;
    r.Status = isNumber ? RowStatusFromInt(status) : RecipientStatus::NotSent;
    if (count > 1)
        r.Address = TrimControls(head[1]);
    else if (!isNumber) // outside the format: a bare address (a bare number is a status alone)
        r.Address = TrimControls(head[0]);
    r.Params.reserve(paramColumns);
    // Parameters stand between the address and the last field.
    for (int k = 0; k < paramColumns; ++k)
        r.Params.append(2 + k < count - 1 ? TrimControls(head[size_t(2 + k)]) : QString());
    r.StatusText = TrimControls(count >= 3 ? last : StatusTextStart(r.Status));
    return r;
}

} // namespace

QString JobListPath()
{
    return ProgramDir() + u"bry_jlst.bxq"_s;
}

TJobList ParseJobList(const QStringList &lines, const ProgressStep &step)
{
    TJobList list;
    bool first = true;
    for (const QString &line : lines) {
        if (list.Rows.size() >= size_t(MaxRecipients))
            break;
        if (TrimControlsView(line).isEmpty())
            continue;
        if (first) {
            list.ParamColumns = int(std::clamp<qsizetype>(line.count(Bar) - 2, 0, MaxParams));
            list.Rows.reserve(size_t(std::min<qsizetype>(lines.size(), MaxRecipients)));
            first = false;
        }
        list.Rows.push_back(ParseLine(line, list.ParamColumns));
        if (step)
            step();
    }
    return list;
}

QString FormatJobList(const std::vector<TRecipient> &rows)
{
    qsizetype size = 0;
    for (const TRecipient &r : rows) {
        size += r.Address.size() + r.StatusText.size() + 5;
        for (const QString &p : r.Params)
            size += p.size() + 1;
    }
    QString text;
    text.reserve(size);
    for (const TRecipient &r : rows) {
        text += QChar(u'0' + ToInt(std::clamp(r.Status, RecipientStatus::NotSent, RecipientStatus::Failed)));
        text += Bar;
        text += r.Address;
        for (const QString &p : r.Params) {
            text += Bar;
            text += p;
        }
        text += Bar;
        text += r.StatusText;
        text += "\r\n"_L1;
    }
    return text;
}

QStringList ReadJobListLines(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return {};
    return SplitLines(DecodeText(bytes));
}

void WriteJobList(const QString &fileName, const std::vector<TRecipient> &rows)
{
    WriteTextFileAtomic(fileName, FormatJobList(rows));
}
