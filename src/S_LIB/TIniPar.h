#pragma once

#include <QString>

#include <cstdint>

class IniFile;

/** Type of a typed INI parameter. */
enum IniParType : std::uint8_t { iptInteger = 0, iptBoolean = 1, iptFloat = 2, iptString = 3 };

/**
 * @short One named, typed configuration value that reads and writes itself in an INI section.
 *
 * Fields are public where callers read them directly (the settings editor
 * takes ParType, Min and Max to build its input rows); values go through the
 * typed getters and setters, which assert the type.
 */
class TIniPar {
public:
    TIniPar(IniParType type, const QString &key, const QString &defaultText);

    void SetDefault(const QString &text);
    /** Value := parsed default; unbinds the section; clears Modified. */
    void Reset();

    int GetInt() const;
    void SetInt(int value);
    bool GetBool() const;
    void SetBool(bool value);
    QString GetStr() const;
    void SetStr(const QString &value);

    /**
     * Reads the value from, or writes it to, ini. An empty section keeps the
     * bound one, an empty key the stored one; without ini the value is reset.
     * Writing changes the memory copy of ini; IniFile::UpdateFile saves it.
     */
    void ReadWrite(bool write, IniFile *ini, const QString &section, const QString &key);

    /** Integer only: clamps the value into [min, max]. */
    void SetBounds(int min, int max);
    /** Integer only: a value outside [min, max] becomes defaultValue. */
    void SetBoundsDefault(int min, int max, int defaultValue);

    const IniParType ParType;
    int IntValue = 0;
    bool BoolValue = false;
    double FloatValue = 0.0;
    QString StrValue;
    QString DefaultText;
    QString Section;
    QString Key;
    int Min = 0;
    int Max = 0; // Min == Max: no bounds
    bool Modified = false;
    bool MultiLine = false;
};

/** Removes every LF and turns every CR into byte 0x7F, so a text fits on one INI line. */
QString EncodeLineBreaks(const QString &text);
/** Turns every 0x7F back into CR LF. */
QString DecodeLineBreaks(const QString &text);
/** Converts a decimal number written with either ',' or '.' as separator; fallback when it is none. */
double StrToFloatAnySep(const QString &text, double fallback);
