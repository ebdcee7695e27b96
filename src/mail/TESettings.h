#pragma once

#include "SettingsParam.h"
#include "TFileStamp.h"
#include "TIniPar.h"
#include "TMimeTable.h"
#include "TParameter.h"

#include <QString>
#include <QStringList>

#include <mutex>
#include <vector>

class QWidget;

/**
 * @short The settings of a job, the message with its placeholders, the attachments,
 * the extra header lines and the MIME table, kept in "bry_cnfg.ini".
 *
 * Used by the user-interface thread; the sending threads only read it while a
 * job runs (nothing changes it then).
 */
class TESettings {
public:
    TESettings();
    TESettings(const TESettings &) = delete;
    TESettings &operator=(const TESettings &) = delete;

    /** ProgramDir() + "bry_cnfg.ini". */
    static QString ConfigFileName();
    /** ProgramDir() + "bry_msg.bxq", the message's working copy. */
    static QString MessageCopyFileName();

    // --- Settings and configuration file

    TIniPar &Param(int index);
    const TIniPar &Param(int index) const;

    /**
     * Reads the settings of the chosen groups (write false), or writes all of
     * them (write true; groups are not looked at), in the configuration file;
     * with a form also its placement (section "FormSizePos"). Then reloads the
     * message from its working copy. Writing throws AppError("Unable to write to %s").
     */
    void ReadWriteConfig(bool write, SettingsGroupSet groups, QWidget *form = nullptr);
    /** An empty CharSet becomes "utf-8"; an empty header list gets the two default lines. */
    void EnsureDefaults();
    /** Sets the bounds of the integer settings, bringing their values within. */
    void ApplyBounds();
    /**
     * True when every attachment exists and can be read; at the first that
     * does not, shows "Attachment file "<path>" was not found!" and returns false.
     */
    bool CheckAttachments() const;
    /**
     * True when every address the settings add to each e-mail of a job can be
     * sent to: the sender, and when in use the BCC copy, the Reply-To and the
     * visible address of the BCC method. At the first that cannot, shows why
     * and returns false: one bad setting would otherwise fail every row.
     */
    bool CheckAddresses() const;
    /** The value of a setting as the panels and the job summary show it. */
    QString DisplayText(int index) const;
    bool IsBccMethod() const;
    int BccPerMessage() const;
    /** Every setting of RequiredParams is non-empty. */
    bool AllRequiredSet() const;

    /** The stored form of the password: scrambled bytes as upper-case hexadecimal (at most 64 bytes). */
    QString EncodePassword() const;
    /** Sets the password from its stored form; a text that is not hexadecimal gives an empty password. */
    void DecodePassword(const QString &text);

    // --- The message

    /** Fills MessageText from a file and analyses it; a missing, unreadable or blank file empties Message_File. */
    void LoadMessageFile(const QString &path);
    /** Loads the file of Message_File, then SaveMessage(false). */
    void ReloadMessage();
    /**
     * Writes the message to its working copy and, when asked and the file of
     * Message_File exists, into that file (in the line breaks it has); then
     * analyses. Failures show an error box and change nothing else.
     */
    void SaveMessage(bool alsoToSource);
    /**
     * The file of Message_File has changed on disk since the program last read
     * or saved it (size or modification time); when it has not done so since
     * its start: the file is newer than the working copy, which every read and
     * save of the file rewrites.
     */
    bool MessageFileChanged() const;
    /** Sets IsHtml, HtmlCharset, Placeholders and HasParams from MessageText. */
    void AnalyseMessage();
    /** T: every line of MessageText followed by CR LF; placeholder positions index it. */
    QString MessageBody() const;
    /** Placeholders found and the send method is not BCC (a BCC group gets one text). */
    bool CanPersonalise() const;
    int ParameterCount() const;
    /** Placeholder i (0-based); placeholders are in descending order of Pos. */
    const TParameter &Parameter(int i) const;

    /**
     * The content types of attachments by extension: the fixed rows, then the
     * system's MIME database. Filled when first asked for, from whichever
     * thread asks first, so that a start without attachments never reads the
     * database.
     */
    const TMimeTable &MimeTable() const;

    /** The message body, one entry per line (no line contains CR or LF). */
    QStringList MessageText;
    /** The placeholders of MessageBody(), in strictly descending order of Pos. */
    std::vector<TParameter> Placeholders;
    bool IsHtml = false;
    /** The character set the message names (charset=), or empty. */
    QString HtmlCharset;
    /** Full paths, in the order the user added them. */
    QStringList AttachmentPaths;
    /** Extra header lines "Name: Value". */
    QStringList ExtraHeaders;
    bool HasParams = false;
    /** The main window's maximised state as last read from "FormSizePos". */
    bool Maximized = false;
    /** The message file as it was when last read or saved. */
    TFileStamp MessageFileStamp;

private:
    void ReadConfig(SettingsGroupSet groups, QWidget *form);
    void WriteConfig(QWidget *form);

    std::vector<TIniPar> m_params;
    mutable TMimeTable m_mimeTable;
    mutable std::once_flag m_mimeTableFilled;
};
