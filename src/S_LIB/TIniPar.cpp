#include "TIniPar.h"

#include "IniFile.h"
#include "MsgDlgs.h"

#include <QLocale>

#include <algorithm>
#include <cassert>

namespace {

const QChar LineBreakMark(0x7F);

} // namespace

TIniPar::TIniPar(IniParType type, const QString &key, const QString &defaultText)
    : ParType(type)
    , Key(key)
{
    SetDefault(defaultText);
}

void TIniPar::SetDefault(const QString &text)
{
    DefaultText = text;
    Reset();
}

void TIniPar::Reset()
{
    IntValue = 0;
    BoolValue = false;
    FloatValue = 0.0;
    StrValue.clear();
    if (!DefaultText.isEmpty()) {
        switch (ParType) {
        case iptInteger: {
            bool ok = false;
            const int v = DefaultText.toInt(&ok);
            if (!ok) {
                ErrorBox(QStringLiteral("'%1' is not a valid integer value").arg(DefaultText));
                DefaultText.clear();
            } else {
                IntValue = v;
            }
            break;
        }
        case iptBoolean:
            BoolValue = DefaultText != QStringLiteral("0");
            break;
        case iptFloat:
            FloatValue = StrToFloatAnySep(DefaultText, 0.0);
            break;
        case iptString:
            StrValue = MultiLine ? DecodeLineBreaks(DefaultText) : DefaultText;
            break;
        }
    }
    Section.clear();
    Modified = false;
}

int TIniPar::GetInt() const
{
    assert(ParType == iptInteger);
    return IntValue;
}

void TIniPar::SetInt(int value)
{
    assert(ParType == iptInteger);
    if (value != IntValue) {
        IntValue = value;
        Modified = true;
    }
}

bool TIniPar::GetBool() const
{
    assert(ParType == iptBoolean);
    return BoolValue;
}

void TIniPar::SetBool(bool value)
{
    assert(ParType == iptBoolean);
    if (value != BoolValue) {
        BoolValue = value;
        Modified = true;
    }
}

QString TIniPar::GetStr() const
{
    assert(ParType == iptString);
    return StrValue;
}

void TIniPar::SetStr(const QString &value)
{
    assert(ParType == iptString);
    if (value != StrValue) {
        StrValue = value;
        Modified = true;
    }
}

void TIniPar::ReadWrite(bool write, IniFile *ini, const QString &section, const QString &key)
{
    if (!ini) {
        Reset();
        return;
    }
    if (!section.isEmpty()) {
        // A key missing from the new section must read as the default, not
        // as the value that came from the old one.
        if (!write && !Section.isEmpty() && Section != section)
            Reset();
        Section = section;
    }
    if (Section.isEmpty())
        return;
    if (!key.isEmpty())
        Key = key;
    if (Key.isEmpty())
        return;

    switch (ParType) {
    case iptInteger:
        if (write) {
            ini->WriteInteger(Section, Key, IntValue);
        } else {
            IntValue = ini->ReadInteger(Section, Key, IntValue);
            if (Min != Max)
                IntValue = std::min(std::max(IntValue, Min), Max);
        }
        break;
    case iptBoolean:
        if (write)
            ini->WriteBool(Section, Key, BoolValue);
        else
            BoolValue = ini->ReadBool(Section, Key, BoolValue);
        break;
    case iptFloat:
        if (write)
            ini->WriteFloat(Section, Key, FloatValue);
        else
            FloatValue = ini->ReadFloat(Section, Key, FloatValue);
        break;
    case iptString:
        if (write) {
            ini->WriteString(Section, Key, MultiLine ? EncodeLineBreaks(StrValue) : StrValue);
        } else {
            StrValue = ini->ReadString(Section, Key, StrValue);
            if (MultiLine)
                StrValue = DecodeLineBreaks(StrValue);
        }
        break;
    }
    Modified = false;
}

void TIniPar::SetBounds(int min, int max)
{
    int value = GetInt();
    Min = min;
    Max = max;
    if (value < min)
        value = min;
    if (value > max)
        value = max;
    IntValue = value;
}

void TIniPar::SetBoundsDefault(int min, int max, int defaultValue)
{
    const int value = GetInt();
    Min = min;
    Max = max;
    if (value < min || value > max)
        IntValue = defaultValue;
}

QString EncodeLineBreaks(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text) {
        if (c == u'\r')
            out += LineBreakMark;
        else if (c != u'\n')
            out += c;
    }
    return out;
}

QString DecodeLineBreaks(const QString &text)
{
    QString out = text;
    return out.replace(LineBreakMark, QStringLiteral("\r\n"));
}

double StrToFloatAnySep(const QString &text, double fallback)
{
    // The user's locale decides the separator it writes; accept the other one
    // too, without touching any process-wide setting.
    const QLocale locale;
    const QChar sep = locale.decimalPoint().front();
    QString t = text.trimmed();
    if (sep == u',' && !t.contains(u',') && t.contains(u'.'))
        t.replace(u'.', u',');
    else if (sep == u'.' && !t.contains(u'.') && t.contains(u','))
        t.replace(u',', u'.');
    bool ok = false;
    double value = locale.toDouble(t, &ok);
    if (!ok)
        value = QLocale::c().toDouble(t, &ok);
    return ok ? value : fallback;
}
