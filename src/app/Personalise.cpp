#include "Personalise.h"

#include "Rfc2047.h"
#include "TESettings.h"

#include <QStringView>

#include <algorithm>
#include <iterator>
#include <map>

using namespace Qt::StringLiterals;

namespace {

/** One change of the original text: the characters Start..End-1 become Text. */
struct TEdit {
    qsizetype Start = 0;
    qsizetype End = 0;
    QString Text;
};

bool IsTagAt(QStringView s, qsizetype i, QChar digit)
{
    return s[i] == u'%' && i + 1 < s.size() && s[i + 1] == digit;
}

// The characters a display name may hold without quotes.
bool IsAtomChar(QChar c)
{
    if ((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u' ')
        return true;
    return u"!#$%&'*+-/=?_{}|~`"_s.contains(c);
}

} // namespace

void HtmlEscape(QString &value)
{
    qsizetype i = 0;
    while (i < value.size() && value[i] != u'&' && value[i] != u'>' && value[i] != u'<' && value[i] != u'"')
        ++i;
    if (i == value.size())
        return;
    // One walk gives what the four passes give: '&' goes first, so no entity is escaped twice.
    QString out;
    out.reserve(value.size() + 16);
    out.append(QStringView(value).left(i));
    for (; i < value.size(); ++i) {
        const QChar c = value[i];
        if (c == u'&')
            out += u"&amp;";
        else if (c == u'>')
            out += u"&gt;";
        else if (c == u'<')
            out += u"&lt;";
        else if (c == u'"')
            out += u"&quot;";
        else
            out += c;
    }
    value = out;
}

QString PersonaliseSubject(const QString &subject, const QStringList &values)
{
    QString s = subject;
    if (!s.contains(u'%'))
        return s;
    const qsizetype passes = std::min<qsizetype>(values.size(), 10);
    for (qsizetype k = 0; k < passes; ++k) {
        const QChar digit(u'0' + char16_t(k));
        const QString &value = values[k];
        QString out;
        qsizetype copied = 0;
        for (qsizetype i = 0; i + 1 < s.size(); ++i) {
            if (!IsTagAt(s, i, digit))
                continue;
            if (out.isNull())
                out.reserve(s.size() + value.size());
            out.append(QStringView(s).mid(copied, i - copied));
            out.append(value);
            copied = i + 2;
            ++i;
        }
        if (copied > 0) {
            out.append(QStringView(s).mid(copied));
            s = out;
        }
    }
    return s;
}

QString PersonaliseBody(const QString &text, std::span<const TParameter> placeholders, const QStringList &values,
                        bool isHtml)
{
    // Keyed by Start; the edits never overlap.
    std::map<qsizetype, TEdit> edits;
    const qsizetype size = text.size();
    for (const TParameter &p : placeholders) {
        if (p.Index < 0 || p.Index >= values.size())
            continue; // no value: the placeholder stays as written
        const QString &value = values[p.Index];
        TEdit edit;
        if (value.isEmpty() && p.HasDropSpan()) {
            edit.Start = p.DropStart;
            edit.End = p.DropStart + p.DropLength;
        } else {
            edit.Start = p.Pos;
            edit.End = p.Pos + p.Size;
            edit.Text = value;
            if (isHtml)
                HtmlEscape(edit.Text);
        }
        if (edit.Start < 0 || edit.End <= edit.Start || edit.End > size)
            continue;

        // The edits this one touches: those starting before its end and ending after its start.
        auto first = edits.lower_bound(edit.End);
        bool skip = false;
        while (first != edits.begin()) {
            const auto prev = std::prev(first);
            if (prev->second.End <= edit.Start)
                break;
            if (prev->second.Start < edit.Start || prev->second.End > edit.End) {
                // Inside text already removed or replaced, or astride it.
                skip = true;
                break;
            }
            first = prev;
        }
        if (skip)
            continue;
        // What is left lies wholly inside this span, which removes it.
        edits.erase(first, edits.lower_bound(edit.End));
        edits.emplace(edit.Start, std::move(edit));
    }

    if (edits.empty())
        return text;
    qsizetype length = size;
    for (const auto &[start, edit] : edits)
        length += edit.Text.size() - (edit.End - edit.Start);
    QString out;
    out.reserve(length);
    qsizetype at = 0;
    for (const auto &[start, edit] : edits) {
        out.append(QStringView(text).mid(at, start - at));
        out.append(edit.Text);
        at = edit.End;
    }
    out.append(QStringView(text).mid(at));
    return out;
}

QString PersonalisedSubject(const TESettings &settings, const QStringList &values)
{
    const QString subject = settings.Param(spSubject).GetStr();
    return FoldLineBreaks(settings.IsBccMethod() ? subject : PersonaliseSubject(subject, values));
}

QString PersonalisedBody(const TESettings &settings, const QStringList &values)
{
    const QString text = settings.MessageBody();
    return settings.CanPersonalise() ? PersonaliseBody(text, settings.Placeholders, values, settings.IsHtml) : text;
}

QString AddressDisplayText(const QString &name, const QString &address)
{
    if (name.isEmpty())
        return address;
    QString shown;
    if (std::all_of(name.begin(), name.end(), IsAtomChar)) {
        shown = name;
    } else {
        shown.reserve(name.size() + 4);
        shown += u'"';
        for (const QChar c : name) {
            if (c == u'"' || c == u'\\')
                shown += u'\\';
            shown += c;
        }
        shown += u'"';
    }
    return shown + u" <"_s + address + u'>';
}

QString AddressItemText(const TEmailAddressItem &item)
{
    return item.Address.isEmpty() ? item.Name : AddressDisplayText(item.Name, item.Address);
}

TEmailAddressItem SenderItem(const TESettings &settings)
{
    return {FoldLineBreaks(settings.Param(spYourEmail).GetStr()), FoldLineBreaks(settings.Param(spYourName).GetStr())};
}

TEmailAddressItem VisibleRecipient(const TESettings &settings, const QStringList &values)
{
    TEmailAddressItem item;
    if (settings.IsBccMethod()) {
        item.Address = settings.Param(spMethodEmail).GetStr();
        item.Name = settings.Param(spMethodTo).GetStr();
    } else {
        item.Address = values.value(0);
        const int k = settings.Param(spNameParInd).GetInt();
        if (settings.Param(spNameParEna).GetBool() && k >= 0 && k < values.size())
            item.Name = values[k];
    }
    item.Address = FoldLineBreaks(item.Address);
    item.Name = FoldLineBreaks(item.Name);
    return item;
}
