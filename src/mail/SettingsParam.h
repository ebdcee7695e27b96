#pragma once

#include "TIniPar.h"

#include <QStringView>

#include <array>
#include <cstdint>
#include <initializer_list>

/** Index of one of the 33 settings of a job; the order is the order of the configuration file. */
enum SettingsParam : std::uint8_t {
    spSmtpServer = 0,
    spSmtpPort = 1,
    spSmtpTimeout = 2,
    spSmtpAuth = 3,
    spSmtpUser = 4,
    spPassword = 5,
    spSmtpSsl = 6,
    spYourEmail = 7,
    spYourName = 8,
    spDelay = 9,
    spReconnect = 10,
    spRecPause = 11,
    spBatchMode = 12,
    spBatchQty = 13,
    spSubject = 14,
    spMessageFile = 15,
    spAttachments = 16, // the paths live in TESettings::AttachmentPaths, not in the parameter
    spBccEmails = 17,
    spBccTo = 18,
    spReplyEna = 19,
    spReplyTo = 20,
    spNameParEna = 21,
    spNameParInd = 22,
    spMimeEna = 23,
    spCharSet = 24,
    spExtraHdrEna = 25,
    spMethodBcc = 26,
    spMethodTo = 27,
    spMethodEmail = 28,
    spMethodCount = 29,
    spListFile = 30,
    spListPath = 31,
    spExportFile = 32,
};
inline constexpr int SettingsParamCount = 33;

/** @short A set of setting indices (0..32). */
class SettingsParamSet {
public:
    constexpr SettingsParamSet() = default;
    constexpr SettingsParamSet(std::initializer_list<int> indices)
    {
        for (const int i : indices)
            m_bits |= Bit(i);
    }
    /** The indices first..last, both included. */
    static constexpr SettingsParamSet Range(int first, int last)
    {
        SettingsParamSet set;
        for (int i = first; i <= last; ++i)
            set.m_bits |= Bit(i);
        return set;
    }

    constexpr bool Contains(int index) const { return index >= 0 && index < 64 && (m_bits & Bit(index)) != 0; }
    constexpr bool IsEmpty() const { return m_bits == 0; }
    constexpr SettingsParamSet operator|(SettingsParamSet other) const { return FromBits(m_bits | other.m_bits); }
    constexpr SettingsParamSet operator&(SettingsParamSet other) const { return FromBits(m_bits & other.m_bits); }
    constexpr bool operator==(const SettingsParamSet &) const = default;

private:
    static constexpr std::uint64_t Bit(int index) { return std::uint64_t{1} << index; }
    static constexpr SettingsParamSet FromBits(std::uint64_t bits)
    {
        SettingsParamSet set;
        set.m_bits = bits;
        return set;
    }

    std::uint64_t m_bits = 0;
};

/** The groups the configuration file is read in. */
enum SettingsGroup : std::uint8_t {
    sgConnection = 0, // connection and pacing
    sgMessage = 1,    // message and send method, with the attachments and the header lines
    sgListFiles = 2,  // the list files
};
inline constexpr int SettingsGroupCount = 3;

/** @short A set of settings groups, as passed to TESettings::ReadWriteConfig. */
class SettingsGroupSet {
public:
    constexpr SettingsGroupSet() = default;
    constexpr SettingsGroupSet(std::initializer_list<SettingsGroup> groups)
    {
        for (const SettingsGroup g : groups)
            m_bits = static_cast<std::uint8_t>(m_bits | (1u << g));
    }
    static constexpr SettingsGroupSet All() { return {sgConnection, sgMessage, sgListFiles}; }

    constexpr bool Contains(SettingsGroup group) const { return (m_bits & (1u << group)) != 0; }
    constexpr SettingsGroupSet &operator+=(SettingsGroup group)
    {
        m_bits = static_cast<std::uint8_t>(m_bits | (1u << group));
        return *this;
    }
    constexpr bool operator==(const SettingsGroupSet &) const = default;

private:
    std::uint8_t m_bits = 0;
};

/** Settings a job needs non-empty; shown as "[Required]" while empty. */
inline constexpr SettingsParamSet RequiredParams{spSmtpServer, spYourEmail, spYourName, spSubject};
/** Paths shown as the bare file name. */
inline constexpr SettingsParamSet FileNameParams{spMessageFile, spListFile, spExportFile};
/** Settings edited as text rows, emptied by the settings editor's clearing command. */
inline constexpr SettingsParamSet TextParams{spSmtpServer, spSmtpUser, spPassword,    spYourEmail,
                                             spYourName,   spSubject,  spMessageFile, spAttachments,
                                             spBccTo,      spReplyTo,  spCharSet};
/** The settings of each SettingsGroup. */
inline constexpr std::array<SettingsParamSet, SettingsGroupCount> GroupParams = {
    SettingsParamSet::Range(spSmtpServer, spBatchQty),
    SettingsParamSet::Range(spSubject, spMethodCount),
    SettingsParamSet::Range(spListFile, spExportFile),
};

/** How ApplyBounds limits an integer setting. */
enum class BoundsKind : std::uint8_t {
    None,    // not an integer, or unbounded
    Clamp,   // a value outside becomes the nearer bound
    Default, // a value outside becomes BoundsDefault
};

/** One row of the parameter table. */
struct SettingsParamDef {
    IniParType Type;
    QStringView Key; // empty: the setting is not stored under a key of its own
    QStringView DefaultText;
    BoundsKind Bounds;
    int Min;
    int Max;
    int BoundsDefault;
};

/** Type, INI key, default and bounds of every setting, indexed by SettingsParam. */
inline constexpr std::array<SettingsParamDef, SettingsParamCount> SettingsParamTable = {{
    {iptString, u"SMTP_Server", u"", BoundsKind::None, 0, 0, 0},
    {iptInteger, u"SMTP_Port", u"25", BoundsKind::Default, 1, 9999, 25},
    {iptInteger, u"SMTP_Timeout", u"60", BoundsKind::Clamp, 1, 300, 0},
    {iptBoolean, u"SMTP_Auth", u"", BoundsKind::None, 0, 0, 0},
    {iptString, u"SMTP_User", u"", BoundsKind::None, 0, 0, 0},
    {iptString, u"Password", u"", BoundsKind::None, 0, 0, 0},
    {iptBoolean, u"SMTP_SSL", u"", BoundsKind::None, 0, 0, 0},
    {iptString, u"Your_EMail", u"", BoundsKind::None, 0, 0, 0},
    {iptString, u"Your_Name", u"", BoundsKind::None, 0, 0, 0},
    {iptInteger, u"Delay", u"0", BoundsKind::Clamp, 0, 99, 0},
    {iptInteger, u"Reconnect", u"25", BoundsKind::Clamp, 1, 20000, 0},
    {iptInteger, u"RecPause", u"5", BoundsKind::Clamp, 0, 9999, 0},
    {iptBoolean, u"BatchMode", u"", BoundsKind::None, 0, 0, 0},
    {iptInteger, u"BatchQty", u"50", BoundsKind::Clamp, 1, 20000, 0},
    {iptString, u"Subject", u"", BoundsKind::None, 0, 0, 0},
    {iptString, u"Message_File", u"", BoundsKind::None, 0, 0, 0},
    {iptString, u"", u"", BoundsKind::None, 0, 0, 0},
    {iptBoolean, u"BCC_Emails", u"", BoundsKind::None, 0, 0, 0},
    {iptString, u"BCC_To", u"", BoundsKind::None, 0, 0, 0},
    {iptBoolean, u"ReplyEna", u"", BoundsKind::None, 0, 0, 0},
    {iptString, u"ReplyTo", u"", BoundsKind::None, 0, 0, 0},
    {iptBoolean, u"NameParEna", u"", BoundsKind::None, 0, 0, 0},
    {iptInteger, u"NameParInd", u"1", BoundsKind::Clamp, 1, 9, 0},
    {iptBoolean, u"MimeEna", u"1", BoundsKind::None, 0, 0, 0},
    {iptString, u"CharSet", u"", BoundsKind::None, 0, 0, 0},
    {iptBoolean, u"ExtraHdrEna", u"", BoundsKind::None, 0, 0, 0},
    {iptBoolean, u"MethodBcc", u"", BoundsKind::None, 0, 0, 0},
    {iptString, u"MethodTo", u"undisclosed recipients", BoundsKind::None, 0, 0, 0},
    {iptString, u"MethodEmail", u"", BoundsKind::None, 0, 0, 0},
    {iptInteger, u"MethodCount", u"5", BoundsKind::Clamp, 1, 100, 0},
    {iptString, u"ListFile", u"", BoundsKind::None, 0, 0, 0},
    {iptString, u"ListPath", u"", BoundsKind::None, 0, 0, 0},
    {iptString, u"ExportFile", u"", BoundsKind::None, 0, 0, 0},
}};

/** Long labels, shown in the settings editor. */
inline constexpr std::array<QStringView, SettingsParamCount> ParamLabels = {
    u"SMTP Server",
    u"Port Number",
    u"Timeout (s)",
    u"SMTP server requires authentication",
    u"SMTP User",
    u"Password",
    u"SMTP server requires SSL connection",
    u"Your E-Mail",
    u"Your Name",
    u"Delay (s)",
    u"Reconnect (msg)",
    u"Pause (s)",
    u"One batch of e-mails per session",
    u"Batch (msg)",
    u"Subject",
    u"Message File",
    u"Attachments",
    u"\"BCC\" every e-mail to",
    u"E-mail Address",
    u"\"Reply to\" is different from sender",
    u"E-mail Address",
    u"The following parameter is a person's name:",
    u"",
    u"Include MIME version and Character Set",
    u"  Character Set",
    u"Additional headers (Name: Value)",
    u"Send Method",
    u"Send To",
    u"E-mail Address",
    u"BCC (per e-mail)",
    u"",
    u"",
    u"",
};

/** Short labels, shown in the panels and the job summary. */
inline constexpr std::array<QStringView, SettingsParamCount> ParamShortLabels = {
    u"SMTP Server",
    u"Port Number",
    u"",
    u"Authentication",
    u"SMTP User",
    u"Password",
    u"",
    u"Your E-Mail",
    u"Your Name",
    u"Delay",
    u"Reconnect",
    u"Pause for",
    u"Batch mode",
    u"Each batch",
    u"Subject",
    u"Source File",
    u"Attachments",
    u"",
    u"BCC to",
    u"",
    u"Reply to",
    u"",
    u"",
    u"",
    u"",
    u"",
    u"Send Method",
    u"",
    u"",
    u"",
    u"",
    u"",
    u"",
};
