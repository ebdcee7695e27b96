#pragma once

#include <QString>
#include <QStringList>

#include <vector>

/**
 * @short An INI profile file held in memory.
 *
 * Sections and keys are found without regard to letter case; of two equal
 * keys in one section the first wins. Comment lines, blank lines and every
 * section and key the program does not know are kept as they were read, so a
 * save changes only what was written. Lines end in CR LF or LF when read and
 * in CR LF when saved. Files are UTF-8; an old Windows-1252 file still reads.
 *
 * Writes change the memory copy only: UpdateFile() saves it, atomically, and
 * throws AppError("Unable to write to <file>") when it cannot.
 */
class IniFile {
public:
    /** Loads the file when it exists; a missing or unreadable file reads as empty. */
    explicit IniFile(QString fileName);

    const QString &FileName() const { return m_fileName; }

    /** The file will be saved with mode 0600 (it holds a password). */
    void SetPrivate(bool privateFile) { m_private = privateFile; }

    QString ReadString(const QString &section, const QString &key, const QString &defaultValue) const;
    /** Decimal, or hexadecimal after "0x"; anything else reads as the default. */
    int ReadInteger(const QString &section, const QString &key, int defaultValue) const;
    /** Read as an integer: non-zero is true. */
    bool ReadBool(const QString &section, const QString &key, bool defaultValue) const;
    /** Either '.' or ',' as decimal separator; empty or unparsable reads as the default. */
    double ReadFloat(const QString &section, const QString &key, double defaultValue) const;

    void WriteString(const QString &section, const QString &key, const QString &value);
    void WriteInteger(const QString &section, const QString &key, int value);
    void WriteBool(const QString &section, const QString &key, bool value);
    void WriteFloat(const QString &section, const QString &key, double value);

    bool SectionExists(const QString &section) const;
    bool ValueExists(const QString &section, const QString &key) const;
    /** The keys of a section, in file order, each once. */
    QStringList ReadSection(const QString &section) const;
    void EraseSection(const QString &section);
    void DeleteKey(const QString &section, const QString &key);

    /** Saves the file atomically; throws AppError("Unable to write to %s"). */
    void UpdateFile() const;

private:
    struct Line {
        QString text; // the line as it is saved: as read until it is written
        QString key;  // empty for a comment or blank line
        QString value;
    };
    struct Section {
        QString name; // empty for lines before the first section header
        std::vector<Line> lines;
    };

    const Section *FindSection(const QString &name) const;
    Section *FindSection(const QString &name);
    const Line *FindKey(const QString &section, const QString &key) const;
    void Parse(const QString &text);

    QString m_fileName;
    std::vector<Section> m_sections;
    bool m_private = false;
};
