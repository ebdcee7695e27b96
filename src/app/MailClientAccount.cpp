#include "MailClientAccount.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QList>

#include <optional>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// Where the mail program keeps its profiles: its own package, Flatpak, Snap.
const QStringList ProfileRoots = {u".thunderbird"_s, u".var/app/org.mozilla.Thunderbird/.thunderbird"_s,
                                  u"snap/thunderbird/common/.thunderbird"_s};
// Preference files are small; anything far larger is not one.
constexpr qint64 MaxFileSize = 64 * 1024 * 1024;

// A regular file only: a device would never end, a named pipe would block the
// opening until a writer comes. Opened without waiting, then checked on what
// was opened, so that nothing swapped in between is read.
std::optional<QString> ReadSmallTextFile(const QString &fileName)
{
    const int fd = ::open(QFile::encodeName(fileName).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    QFile file;
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return std::nullopt;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size > MaxFileSize)
        return std::nullopt;
    // As large as it was when opened: what is added meanwhile is not read.
    const QByteArray bytes = file.read(info.st_size);
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return QString::fromUtf8(bytes);
}

struct IniSection {
    QString Name;
    QHash<QString, QString> Values;
};

QList<IniSection> ParseIni(const QString &text)
{
    QList<IniSection> sections;
    for (const QString &raw : text.split(u'\n')) {
        const QString line = raw.trimmed();
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            sections.append({line.mid(1, line.size() - 2), {}});
        } else if (const qsizetype eq = line.indexOf(u'='); eq > 0 && !sections.isEmpty()) {
            sections.last().Values.insert(line.left(eq).trimmed(), line.mid(eq + 1).trimmed());
        }
    }
    return sections;
}

QString ProfileFolder(const QString &root, const QString &path, bool relative)
{
    return relative || !QDir::isAbsolutePath(path) ? QDir(root).filePath(path) : path;
}

// The profile the mail program starts with: the installation's default,
// else the one marked default, else the only one.
QString DefaultProfile(const QString &root)
{
    const std::optional<QString> text = ReadSmallTextFile(QDir(root).filePath(u"profiles.ini"_s));
    if (!text)
        return {};
    const QList<IniSection> sections = ParseIni(*text);
    QList<const IniSection *> profiles;
    for (const IniSection &s : sections) {
        if (s.Name.startsWith(u"Install"_s) && !s.Values.value(u"Default"_s).isEmpty())
            return ProfileFolder(root, s.Values.value(u"Default"_s), false);
        if (s.Name.startsWith(u"Profile"_s) && !s.Values.value(u"Path"_s).isEmpty())
            profiles.append(&s);
    }
    for (const IniSection *s : profiles) {
        if (s->Values.value(u"Default"_s) == u"1"_s || profiles.size() == 1)
            return ProfileFolder(root, s->Values.value(u"Path"_s), s->Values.value(u"IsRelative"_s) == u"1"_s);
    }
    return {};
}

QString FirstOfList(const QString &list)
{
    return list.section(u',', 0, 0).trimmed();
}

TMailClientAccount AccountOfPrefs(const QHash<QString, QString> &prefs)
{
    // The default account, or the first account that has an identity (the
    // default may be the local folders, which have none).
    QStringList accounts{prefs.value(u"mail.accountmanager.defaultaccount"_s)};
    for (const QString &a : prefs.value(u"mail.accountmanager.accounts"_s).split(u','))
        accounts.append(a.trimmed());
    QString identity;
    for (const QString &account : accounts) {
        if (!account.isEmpty())
            identity = FirstOfList(prefs.value(u"mail.account.%1.identities"_s.arg(account)));
        if (!identity.isEmpty())
            break;
    }
    TMailClientAccount result;
    QString server = prefs.value(u"mail.smtp.defaultserver"_s);
    if (!identity.isEmpty()) {
        result.Email = prefs.value(u"mail.identity.%1.useremail"_s.arg(identity)).trimmed();
        result.Name = prefs.value(u"mail.identity.%1.fullName"_s.arg(identity)).trimmed();
        if (const QString own = prefs.value(u"mail.identity.%1.smtpServer"_s.arg(identity)); !own.isEmpty())
            server = own;
    }
    if (!server.isEmpty())
        result.SmtpServer = prefs.value(u"mail.smtpserver.%1.hostname"_s.arg(server)).trimmed();
    return result;
}

// A JavaScript string literal starting at text[pos] (a quote); pos ends after it.
std::optional<QString> ReadJsString(QStringView text, qsizetype &pos)
{
    if (pos >= text.size() || (text[pos] != u'"' && text[pos] != u'\''))
        return std::nullopt;
    const QChar quote = text[pos++];
    QString value;
    while (pos < text.size()) {
        QChar c = text[pos++];
        if (c == quote)
            return value;
        if (c != u'\\' || pos >= text.size()) {
            value += c;
            continue;
        }
        c = text[pos++];
        const auto hex = [&](int digits) {
            bool ok = false;
            const uint code = text.mid(pos, digits).toString().toUInt(&ok, 16);
            if (!ok || pos + digits > text.size())
                return QChar(u'?');
            pos += digits;
            return QChar(char16_t(code));
        };
        switch (c.unicode()) {
        case u'n':
            value += u'\n';
            break;
        case u'r':
            value += u'\r';
            break;
        case u't':
            value += u'\t';
            break;
        case u'u':
            value += hex(4);
            break;
        case u'x':
            value += hex(2);
            break;
        default:
            value += c;
        }
    }
    return std::nullopt;
}

void SkipBlanks(QStringView text, qsizetype &pos)
{
    while (pos < text.size() && text[pos].isSpace())
        ++pos;
}

// The string preferences of a prefs.js text (user_pref("name", "value") lines), escapes undone.
QHash<QString, QString> ParseStringPrefs(const QString &text)
{
    QHash<QString, QString> prefs;
    static constexpr QStringView Call = u"user_pref(";
    for (const QString &raw : text.split(u'\n')) {
        const QStringView line = QStringView(raw).trimmed();
        if (!line.startsWith(Call))
            continue;
        qsizetype pos = Call.size();
        SkipBlanks(line, pos);
        const std::optional<QString> name = ReadJsString(line, pos);
        SkipBlanks(line, pos);
        if (!name || pos >= line.size() || line[pos] != u',')
            continue;
        ++pos;
        SkipBlanks(line, pos);
        // Numbers and booleans are of no use here.
        if (const std::optional<QString> value = ReadJsString(line, pos))
            prefs.insert(*name, *value);
    }
    return prefs;
}

} // namespace

TMailClientAccount ReadMailClientAccount(const QString &home)
{
    if (home.isEmpty())
        return {};
    for (const QString &root : ProfileRoots) {
        const QString profile = DefaultProfile(QDir(home).filePath(root));
        if (profile.isEmpty())
            continue;
        const std::optional<QString> prefs = ReadSmallTextFile(QDir(profile).filePath(u"prefs.js"_s));
        if (!prefs)
            continue;
        const TMailClientAccount account = AccountOfPrefs(ParseStringPrefs(*prefs));
        if (!account.IsEmpty())
            return account;
    }
    return {};
}
