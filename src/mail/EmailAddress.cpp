#include "EmailAddress.h"

#include <QList>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

constexpr qsizetype MaxAddress = 254;  // RFC 5321 4.5.3.1.3: a path of 256 with its angle brackets
constexpr qsizetype MaxLocalPart = 64; // RFC 5321 4.5.3.1.1
constexpr qsizetype MaxLabel = 63;     // RFC 1035 2.3.4
constexpr qsizetype ShownLength = 80;  // of an address in a row's error text

bool IsAlnum(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') || (u >= u'0' && u <= u'9');
}

QString UnquotedCharacterProblem(QChar c)
{
    if (c == u' ')
        return u"a blank outside quotes"_s;
    return u"a \"%1\" outside quotes"_s.arg(c);
}

// RFC 5321 Dot-string: atoms joined by single dots.
QString DotStringProblem(QStringView local)
{
    for (const QChar c : local)
        if (!IsAtext(c) && c != u'.')
            return UnquotedCharacterProblem(c);
    if (local.startsWith(u'.') || local.endsWith(u'.') || local.contains(u".."))
        return u"a dot at the start or end of the name, or two in a row"_s;
    return {};
}

// RFC 5321 Quoted-string: printable ASCII between double quotes, a quote or
// backslash inside only after a backslash.
bool IsQuotedString(QStringView local)
{
    if (local.size() < 2 || !local.startsWith(u'"') || !local.endsWith(u'"'))
        return false;
    const qsizetype end = local.size() - 1; // the closing quote
    qsizetype i = 1;
    while (i < end) {
        if (local[i] == u'"')
            return false;
        i += local[i] == u'\\' ? 2 : 1;
    }
    return i == end; // not when a backslash took the closing quote
}

bool IsSnum(QStringView part)
{
    return !part.isEmpty() && part.size() <= 3
           && std::all_of(part.begin(), part.end(), [](QChar c) { return c >= u'0' && c <= u'9'; })
           && part.toInt() <= 255;
}

bool IsIPv4(QStringView text)
{
    const QList<QStringView> parts = text.split(u'.');
    return parts.size() == 4 && std::all_of(parts.begin(), parts.end(), IsSnum);
}

// RFC 5321 IPv6-addr: eight groups of 1 to 4 hexadecimal digits, the last two
// possibly as an IPv4 address, or at most six with "::" standing for the rest.
bool IsIPv6(QStringView text)
{
    const qsizetype gap = text.indexOf(u"::");
    if (gap >= 0 && text.indexOf(u"::", gap + 1) >= 0)
        return false;
    int groups = 0;
    const auto countGroups = [&groups](QStringView run, bool last) {
        if (run.isEmpty())
            return true;
        const QList<QStringView> parts = run.split(u':');
        for (qsizetype i = 0; i < parts.size(); ++i) {
            const QStringView part = parts[i];
            if (last && i == parts.size() - 1 && part.contains(u'.')) {
                groups += 2;
                return IsIPv4(part);
            }
            const bool hex = std::all_of(part.begin(), part.end(), [](QChar c) {
                return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
            });
            if (part.isEmpty() || part.size() > 4 || !hex)
                return false;
            ++groups;
        }
        return true;
    };
    if (gap < 0)
        return countGroups(text, true) && groups == 8;
    return countGroups(text.left(gap), false) && countGroups(text.mid(gap + 2), true) && groups <= 6;
}

QString DomainProblem(QStringView domain)
{
    if (domain.isEmpty())
        return u"nothing after the \"@\""_s;
    if (domain.startsWith(u'[')) {
        const bool literal = domain.endsWith(u']')
                             && (IsIPv4(domain.mid(1, domain.size() - 2))
                                 || (domain.mid(1, 5).compare(u"IPv6:", Qt::CaseInsensitive) == 0
                                     && IsIPv6(domain.mid(6, domain.size() - 7))));
        return literal ? QString() : u"an invalid address literal"_s;
    }
    for (const QChar c : domain)
        if (!IsAlnum(c) && c != u'-' && c != u'.')
            return u"a \"%1\" in the domain"_s.arg(c);
    // RFC 5321 sub-domain: letters, digits and inner hyphens.
    for (const QStringView label : domain.split(u'.'))
        if (label.isEmpty() || label.size() > MaxLabel || label.startsWith(u'-') || label.endsWith(u'-'))
            return u"an empty, over-long or hyphen-edged part of the domain"_s;
    return {};
}

} // namespace

bool IsAtext(QChar c)
{
    return IsAlnum(c) || QStringView(u"!#$%&'*+-/=?^_`{|}~").contains(c);
}

QString EmailAddressProblem(const QString &address)
{
    const QString a = address.trimmed();
    if (a.isEmpty())
        return u"empty"_s;
    for (const QChar c : a) {
        if (c.unicode() > 0x7F)
            return u"a character outside ASCII"_s;
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            return u"a control character"_s;
    }
    if (a.size() > MaxAddress)
        return u"longer than %1 characters"_s.arg(MaxAddress);
    const qsizetype at = a.lastIndexOf(u'@');
    if (at < 0)
        return u"no \"@\""_s;
    const QStringView local = QStringView(a).left(at);
    if (local.isEmpty())
        return u"nothing before the \"@\""_s;
    if (local.size() > MaxLocalPart)
        return u"more than %1 characters before the \"@\""_s.arg(MaxLocalPart);
    if (local.startsWith(u'"')) {
        if (!IsQuotedString(local))
            return u"a quoted name that is not closed properly"_s;
    } else if (const QString problem = DotStringProblem(local); !problem.isEmpty()) {
        return problem;
    }
    return DomainProblem(QStringView(a).mid(at + 1));
}

QString InvalidAddressText(const QString &address)
{
    QString shown = address.trimmed();
    for (QChar &c : shown)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            c = QChar::ReplacementCharacter;
    if (shown.size() > ShownLength) {
        shown.truncate(shown[ShownLength - 1].isHighSurrogate() ? ShownLength - 1 : ShownLength);
        shown += u'\u2026';
    }
    if (!shown.isEmpty())
        shown += u' ';
    return u"Invalid e-mail address: %1(%2)"_s.arg(shown, EmailAddressProblem(address));
}
