#include "IniFile.h"

#include "TextCodec.h"

#include <QFile>

#include <algorithm>

namespace {

bool SameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

IniFile::IniFile(QString fileName)
    : m_fileName(std::move(fileName))
{
    QFile file(m_fileName);
    if (file.open(QIODevice::ReadOnly))
        Parse(DecodeText(file.readAll()));
}

void IniFile::Parse(const QString &text)
{
    m_sections.push_back(Section{});
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString line = lines[i];
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        // A final newline does not make one more (blank) line.
        if (i == lines.size() - 1 && line.isEmpty())
            break;
        const QString trimmed = line.trimmed();
        if (trimmed.startsWith(QLatin1Char('[')) && trimmed.endsWith(QLatin1Char(']'))) {
            m_sections.push_back(Section{trimmed.mid(1, trimmed.size() - 2).trimmed(), {}});
            continue;
        }
        Line entry{line, {}, {}};
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (!trimmed.startsWith(QLatin1Char(';')) && eq > 0) {
            entry.key = line.left(eq).trimmed();
            entry.value = line.mid(eq + 1).trimmed();
        }
        m_sections.back().lines.push_back(std::move(entry));
    }
}

const IniFile::Section *IniFile::FindSection(const QString &name) const
{
    // The unnamed block before the first header is not a section of its own.
    for (const Section &s : m_sections)
        if (!s.name.isEmpty() && SameName(s.name, name))
            return &s;
    return nullptr;
}

IniFile::Section *IniFile::FindSection(const QString &name)
{
    return const_cast<Section *>(std::as_const(*this).FindSection(name));
}

const IniFile::Line *IniFile::FindKey(const QString &section, const QString &key) const
{
    const Section *s = FindSection(section);
    if (!s)
        return nullptr;
    for (const Line &l : s->lines)
        if (!l.key.isEmpty() && SameName(l.key, key))
            return &l;
    return nullptr;
}

QString IniFile::ReadString(const QString &section, const QString &key, const QString &defaultValue) const
{
    const Line *l = FindKey(section, key);
    return l ? l->value : defaultValue;
}

int IniFile::ReadInteger(const QString &section, const QString &key, int defaultValue) const
{
    const Line *l = FindKey(section, key);
    if (!l)
        return defaultValue;
    const QString text = l->value;
    bool ok = false;
    int value = 0;
    if (text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
        // Hexadecimal values may use all 32 bits, as "0xFFFFFFFF" for -1.
        const uint u = text.mid(2).toUInt(&ok, 16);
        value = static_cast<int>(u);
    } else {
        value = text.toInt(&ok, 10);
    }
    return ok ? value : defaultValue;
}

bool IniFile::ReadBool(const QString &section, const QString &key, bool defaultValue) const
{
    return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

double IniFile::ReadFloat(const QString &section, const QString &key, double defaultValue) const
{
    const Line *l = FindKey(section, key);
    if (!l)
        return defaultValue;
    QString text = l->value;
    // Windows programs write the user's decimal separator; accept either.
    text.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double value = text.toDouble(&ok);
    return ok ? value : defaultValue;
}

void IniFile::WriteString(const QString &section, const QString &key, const QString &value)
{
    // A line break in a value would start a new line of the file.
    QString flat = value;
    flat.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    Section *s = FindSection(section);
    if (!s) {
        m_sections.push_back(Section{section, {}});
        s = &m_sections.back();
    }
    for (Line &l : s->lines) {
        if (!l.key.isEmpty() && SameName(l.key, key)) {
            l.value = flat;
            l.text = l.key + QLatin1Char('=') + flat;
            return;
        }
    }
    // New keys go after the section's last key, before any trailing blank lines.
    auto pos = s->lines.end();
    while (pos != s->lines.begin() && std::prev(pos)->key.isEmpty() && std::prev(pos)->text.trimmed().isEmpty())
        --pos;
    s->lines.insert(pos, Line{key + QLatin1Char('=') + flat, key, flat});
}

void IniFile::WriteInteger(const QString &section, const QString &key, int value)
{
    WriteString(section, key, QString::number(value));
}

void IniFile::WriteBool(const QString &section, const QString &key, bool value)
{
    WriteString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void IniFile::WriteFloat(const QString &section, const QString &key, double value)
{
    WriteString(section, key, QString::number(value, 'g', 17));
}

bool IniFile::SectionExists(const QString &section) const
{
    return FindSection(section) != nullptr;
}

bool IniFile::ValueExists(const QString &section, const QString &key) const
{
    return FindKey(section, key) != nullptr;
}

QStringList IniFile::ReadSection(const QString &section) const
{
    QStringList keys;
    if (const Section *s = FindSection(section)) {
        for (const Line &l : s->lines)
            if (!l.key.isEmpty() && !keys.contains(l.key, Qt::CaseInsensitive))
                keys.append(l.key);
    }
    return keys;
}

void IniFile::EraseSection(const QString &section)
{
    std::erase_if(m_sections, [&](const Section &s) { return !s.name.isEmpty() && SameName(s.name, section); });
}

void IniFile::DeleteKey(const QString &section, const QString &key)
{
    if (Section *s = FindSection(section))
        std::erase_if(s->lines, [&](const Line &l) { return !l.key.isEmpty() && SameName(l.key, key); });
}

void IniFile::UpdateFile() const
{
    QString out;
    const QLatin1String crlf("\r\n");
    for (const Section &s : m_sections) {
        if (!s.name.isEmpty())
            out += QLatin1Char('[') + s.name + QLatin1Char(']') + crlf;
        for (const Line &l : s.lines)
            out += l.text + crlf;
    }
    WriteTextFileAtomic(m_fileName, out, m_private);
}
