#include "TESettings.h"

#include "AppError.h"
#include "AtomicFile.h"
#include "BusyCursor.h"
#include "EmailAddress.h"
#include "Encryptn.h"
#include "FormPlacement.h"
#include "IniFile.h"
#include "MessageAnalysis.h"
#include "MsgDlgs.h"
#include "StartupEnv.h"
#include "TextCodec.h"
#include "TextHelpers.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cassert>

using namespace Qt::StringLiterals;

namespace {

const QString SettingsSection = u"Settings"_s;
const QString AttachmentsSection = u"Attachments"_s;
const QString HeadersSection = u"Headers"_s;
const QString FormSection = u"FormSizePos"_s;
const QString PasswordKey = u"Password"_s;
const QByteArray PasswordKeyBytes("wqv_tnzk.hdm");
constexpr int PasswordMaxBytes = 64;
// Reading stops at the first missing position, and after this many.
constexpr int MaxListEntries = 100;

QString ListKey(const char *format, int position)
{
    return QString::asprintf(format, position);
}

QStringList ReadList(const IniFile &ini, const QString &section, const char *keyFormat)
{
    QStringList list;
    for (int pos = 0; pos < MaxListEntries; ++pos) {
        const QString value = ini.ReadString(section, ListKey(keyFormat, pos), QString());
        if (value.isEmpty())
            break;
        list.append(value);
    }
    return list;
}

void WriteList(IniFile &ini, const QString &section, const char *keyFormat, const QStringList &list)
{
    ini.EraseSection(section);
    // Reading stops at the first empty value (values are read trimmed), so an
    // empty entry would hide every entry after it: such entries are left out.
    int pos = 0;
    for (const QString &value : list)
        if (!value.trimmed().isEmpty())
            ini.WriteString(section, ListKey(keyFormat, pos++), value);
}

bool IsHexDigit(QChar c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F') || (c >= u'a' && c <= u'f');
}

} // namespace

TESettings::TESettings()
{
    m_params.reserve(SettingsParamCount);
    for (const SettingsParamDef &def : SettingsParamTable)
        m_params.emplace_back(def.Type, def.Key.toString(), def.DefaultText.toString());
}

QString TESettings::ConfigFileName()
{
    return ProgramDir() + u"bry_cnfg.ini"_s;
}

QString TESettings::MessageCopyFileName()
{
    return ProgramDir() + u"bry_msg.bxq"_s;
}

TIniPar &TESettings::Param(int index)
{
    assert(index >= 0 && index < SettingsParamCount);
    return m_params[static_cast<std::size_t>(index)];
}

const TIniPar &TESettings::Param(int index) const
{
    assert(index >= 0 && index < SettingsParamCount);
    return m_params[static_cast<std::size_t>(index)];
}

void TESettings::ReadWriteConfig(bool write, SettingsGroupSet groups, QWidget *form)
{
    if (write)
        WriteConfig(form);
    else
        ReadConfig(groups, form);
    LoadMessageFile(MessageCopyFileName());
}

void TESettings::ReadConfig(SettingsGroupSet groups, QWidget *form)
{
    IniFile ini(ConfigFileName());
    // A parameter clamps what it reads to its bounds. Read unbounded instead:
    // ApplyBounds below then replaces an out-of-range port by its default, as
    // on the first read, rather than by the nearer bound.
    for (TIniPar &par : m_params)
        par.Min = par.Max = 0;

    for (int g = 0; g < SettingsGroupCount; ++g) {
        if (!groups.Contains(static_cast<SettingsGroup>(g)))
            continue;
        for (int i = 0; i < SettingsParamCount; ++i) {
            if (!GroupParams[static_cast<std::size_t>(g)].Contains(i))
                continue;
            if (i == spPassword) {
                DecodePassword(ini.ReadString(SettingsSection, PasswordKey, QString()));
                Param(i).Modified = false;
            } else if (!Param(i).Key.isEmpty()) {
                Param(i).ReadWrite(false, &ini, SettingsSection, QString());
            }
        }
    }
    if (groups.Contains(sgMessage)) {
        AttachmentPaths = ReadList(ini, AttachmentsSection, "ATT_%.2d");
        ExtraHeaders = ReadList(ini, HeadersSection, "HDR_%.2d");
    }
    EnsureDefaults();
    ApplyBounds();
    if (form)
        LoadFormPos(form, ini, FormSection, Maximized);
}

void TESettings::WriteConfig(QWidget *form)
{
    IniFile ini(ConfigFileName());
    ini.SetPrivate(true); // it holds the password
    for (int i = 0; i < SettingsParamCount; ++i) {
        if (i == spPassword)
            ini.WriteString(SettingsSection, PasswordKey, EncodePassword());
        else if (!Param(i).Key.isEmpty())
            Param(i).ReadWrite(true, &ini, SettingsSection, QString());
    }
    WriteList(ini, AttachmentsSection, "ATT_%.2d", AttachmentPaths);
    WriteList(ini, HeadersSection, "HDR_%.2d", ExtraHeaders);
    if (form)
        SaveFormPos(form, ini, FormSection);
    ini.UpdateFile();
}

void TESettings::EnsureDefaults()
{
    // Messages are Unicode and files UTF-8: "utf-8" shows every character as written.
    if (Param(spCharSet).GetStr().isEmpty())
        Param(spCharSet).SetStr(u"utf-8"_s);
    if (ExtraHeaders.isEmpty())
        ExtraHeaders = {u"X-Priority: 3 (Normal)"_s, u"Importance: Normal"_s};
}

void TESettings::ApplyBounds()
{
    for (int i = 0; i < SettingsParamCount; ++i) {
        const SettingsParamDef &def = SettingsParamTable[static_cast<std::size_t>(i)];
        switch (def.Bounds) {
        case BoundsKind::None:
            break;
        case BoundsKind::Clamp:
            Param(i).SetBounds(def.Min, def.Max);
            break;
        case BoundsKind::Default:
            Param(i).SetBoundsDefault(def.Min, def.Max, def.BoundsDefault);
            break;
        }
    }
}

bool TESettings::CheckAttachments() const
{
    for (const QString &path : AttachmentPaths) {
        QFile file(path);
        if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) {
            InfoBox(u"Attachment file \"%1\" was not found!"_s.arg(path));
            return false;
        }
    }
    return true;
}

bool TESettings::CheckAddresses() const
{
    struct Use {
        int Index;
        QStringView Name;
        bool Used;
    };
    // An empty optional address is no address: nothing is added for it.
    const Use uses[] = {
        {spYourEmail, u"Your E-Mail", true},
        {spBccTo, u"BCC to", Param(spBccEmails).GetBool()},
        {spReplyTo, u"Reply to", Param(spReplyEna).GetBool()},
        {spMethodEmail, u"Send To (BCC method)", IsBccMethod()},
    };
    for (const Use &use : uses) {
        const QString address = Param(use.Index).GetStr();
        if (!use.Used || (use.Index != spYourEmail && address.trimmed().isEmpty()) || IsValidEmailAddress(address))
            continue;
        InfoBox(
            u"The setting \"%1\" is not a valid e-mail address.\r\n\r\n%2\r\n\r\nPlease correct it; no e-mail was sent."_s
                .arg(use.Name, InvalidAddressText(address)));
        return false;
    }
    return true;
}

QString TESettings::DisplayText(int index) const
{
    const TIniPar &par = Param(index);
    switch (par.ParType) {
    case iptInteger: {
        const int value = par.GetInt();
        if (index == spDelay || index == spRecPause)
            return u"%1 second%2"_s.arg(value).arg(value == 1 ? QString() : u"s"_s);
        if (index == spReconnect)
            return u"Every %1 messages"_s.arg(value);
        return QString::number(value);
    }
    case iptBoolean:
        if (index == spMethodBcc)
            return par.GetBool() ? u"BCC (%1 per E-mail)"_s.arg(BccPerMessage()) : u"Individual E-mails"_s;
        return {};
    case iptFloat:
        return {};
    case iptString:
        break;
    }

    QString value;
    if (FileNameParams.Contains(index)) {
        value = JustFileName(par.GetStr());
    } else if (index == spAttachments) {
        for (const QString &path : AttachmentPaths)
            AppendWithSeparator(value, JustFileName(path), u";"_s);
    } else {
        value = par.GetStr();
    }
    if (index == spPassword)
        return QString(value.size(), u'*');
    if (RequiredParams.Contains(index) && value.isEmpty())
        return u"[Required]"_s;
    if (index == spMessageFile && value.isEmpty())
        return u"None"_s;
    if ((index == spBccTo && !Param(spBccEmails).GetBool()) || (index == spReplyTo && !Param(spReplyEna).GetBool()))
        return {};
    return value;
}

bool TESettings::IsBccMethod() const
{
    return Param(spMethodBcc).GetBool();
}

int TESettings::BccPerMessage() const
{
    return Param(spMethodCount).GetInt();
}

bool TESettings::AllRequiredSet() const
{
    for (int i = 0; i < SettingsParamCount; ++i)
        if (RequiredParams.Contains(i) && Param(i).GetStr().isEmpty())
            return false;
    return true;
}

QString TESettings::EncodePassword() const
{
    // The stored form holds at most 64 bytes: a longer password is cut, at a
    // character boundary so that what is stored still reads back as text.
    QByteArray bytes;
    for (const char32_t c : Param(spPassword).GetStr().toUcs4()) {
        const QByteArray one = QString::fromUcs4(&c, 1).toUtf8();
        if (bytes.size() + one.size() > PasswordMaxBytes)
            break;
        bytes += one;
    }
    EncryptBuffer(bytes, PasswordKeyBytes);
    return QString::fromLatin1(bytes.toHex().toUpper());
}

void TESettings::DecodePassword(const QString &text)
{
    // An odd last digit is ignored; a value longer than the 64-byte buffer is
    // read up to its end.
    const qsizetype n = std::min<qsizetype>(text.size() / 2, PasswordMaxBytes);
    QByteArray bytes;
    bytes.reserve(n);
    for (qsizetype k = 0; k < n; ++k) {
        const QChar hi = text[2 * k];
        const QChar lo = text[2 * k + 1];
        if (!IsHexDigit(hi) || !IsHexDigit(lo)) {
            bytes.clear();
            break;
        }
        bytes.append(static_cast<char>(text.mid(2 * k, 2).toUInt(nullptr, 16)));
    }
    QString password;
    if (!bytes.isEmpty()) {
        DecryptBuffer(bytes, PasswordKeyBytes);
        // Passwords stored by the Windows program are Windows-1252 bytes.
        password = IsValidUtf8(bytes) ? QString::fromUtf8(bytes) : DecodeWindows1252(bytes);
    }
    Param(spPassword).SetStr(password);
}

void TESettings::LoadMessageFile(const QString &path)
{
    MessageText.clear();
    bool loaded = false;
    if (!path.isEmpty() && QFileInfo(path).isFile()) {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly)) {
            const QByteArray bytes = file.readAll();
            if (file.error() == QFileDevice::NoError) {
                const QString text = DecodeMessageBytes(bytes).Text;
                if (!TrimControlsView(text).isEmpty()) {
                    MessageText = SplitLines(text);
                    loaded = true;
                }
            }
        }
    }
    if (!loaded)
        Param(spMessageFile).SetStr(QString());
    AnalyseMessage();
}

void TESettings::ReloadMessage()
{
    LoadMessageFile(Param(spMessageFile).GetStr());
    MessageFileStamp = TFileStamp::Of(Param(spMessageFile).GetStr());
    SaveMessage(false);
}

void TESettings::SaveMessage(bool alsoToSource)
{
    const QString t = MessageBody();
    try {
        WriteTextFileAtomic(MessageCopyFileName(), t);
    } catch (const AppError &e) {
        ErrorBox(e.Message());
    }
    const QString source = Param(spMessageFile).GetStr();
    if (alsoToSource && !source.isEmpty() && QFileInfo(source).isFile()) {
        // Written in the character set the file already has, and atomically,
        // so that a failed save leaves the user's file as it was.
        QFile existing(source);
        const QByteArray oldBytes = existing.open(QIODevice::ReadOnly) ? existing.readAll() : QByteArray();
        try {
            WriteFileAtomic(source, EncodeMessageLike(t, oldBytes));
            MessageFileStamp = TFileStamp::Of(source);
        } catch (const AppError &) {
            ErrorBox(u"Error saving file \"%1\".\r\nIt may be opened by another application."_s.arg(source));
        }
    }
    AnalyseMessage();
}

bool TESettings::MessageFileChanged() const
{
    const QString path = Param(spMessageFile).GetStr();
    if (path.isEmpty())
        return false;
    const TFileStamp now = TFileStamp::Of(path);
    if (MessageFileStamp.Path == path)
        return now != MessageFileStamp;
    const TFileStamp copy = TFileStamp::Of(MessageCopyFileName());
    return !copy.Modified.isValid() || now.Modified > copy.Modified;
}

void TESettings::AnalyseMessage()
{
    const BusyCursor busy;
    const QString t = MessageBody();
    IsHtml = IsHtmlMessage(t);
    HtmlCharset = FindHtmlCharset(t);
    Placeholders = FindPlaceholders(t, IsHtml);
    HasParams = !Placeholders.empty();
}

QString TESettings::MessageBody() const
{
    return MessageLinesToText(MessageText);
}

bool TESettings::CanPersonalise() const
{
    return HasParams && !IsBccMethod();
}

int TESettings::ParameterCount() const
{
    return static_cast<int>(Placeholders.size());
}

const TParameter &TESettings::Parameter(int i) const
{
    assert(i >= 0 && i < ParameterCount());
    return Placeholders[static_cast<std::size_t>(i)];
}

const TMimeTable &TESettings::MimeTable() const
{
    // Reading the database takes most of a start-up; few jobs have attachments.
    std::call_once(m_mimeTableFilled, [this] { m_mimeTable.Fill(); });
    return m_mimeTable;
}
