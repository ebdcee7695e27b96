#include "RtfReader.h"

#include "TextCodec.h"

#include <QColor>
#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QTextBlockFormat>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

// Groups whose content is not text to show.
const QSet<QByteArray> SkippedDestinations = {"fonttbl",   "stylesheet",   "info",
                                              "pict",      "object",       "header",
                                              "headerl",   "headerr",      "headerf",
                                              "footer",    "footerl",      "footerr",
                                              "footerf",   "listtable",    "listoverridetable",
                                              "generator", "themedata",    "colorschememapping",
                                              "datastore", "latentstyles", "rsidtbl",
                                              "xmlnstbl",  "fldinst",      "filetbl",
                                              "revtbl",    "pgdsctbl"};

constexpr int DefaultHalfPoints = 24;
constexpr double TwipsPerPixel = 15.0;
// Numbers far outside what a text box shows are cut to these bounds: a
// paragraph spacing of millions of pixels would keep the layout busy for ever.
constexpr int MinHalfPoints = 2;      // 1 pt
constexpr int MaxHalfPoints = 288;    // 144 pt
constexpr int MaxSpacingTwips = 1440; // an inch
constexpr int MaxUnicodeSkip = 16;

int Clamped(std::optional<int> param, int low, int high)
{
    return std::clamp(param.value_or(0), low, high);
}

/** @short What a group carries: the character state and whether its text is shown. */
struct GroupState {
    bool Bold = false;
    bool Italic = false;
    bool Underline = false;
    int HalfPoints = DefaultHalfPoints;
    int Colour = 0;
    int UnicodeSkip = 1;
    bool Skip = false;
    bool ColourTable = false;
};

class RtfParser {
public:
    RtfParser(const QByteArray &rtf, QTextDocument &document)
        : m_rtf(rtf)
        , m_document(document)
        , m_cursor(&document)
    {
    }

    void Run();

private:
    void Parse();
    void ControlWord(const QByteArray &word, std::optional<int> param);
    void Text(char byte);
    void Char(QChar c);
    void Flush();
    QTextCharFormat CharFormat() const;

    const QByteArray &m_rtf;
    QTextDocument &m_document;
    QTextCursor m_cursor;
    QList<GroupState> m_stack{GroupState()};
    QTextBlockFormat m_block;
    QList<std::optional<QColor>> m_colours;
    QColor m_colour; // the colour entry being read
    bool m_colourSet = false;
    QByteArray m_bytes; // text bytes not yet decoded
    QString m_text;     // decoded text not yet inserted
    int m_skipChars = 0;
    bool m_endsInParagraphMark = false;
    bool m_groupStart = false;
};

void RtfParser::Run()
{
    m_document.clear();
    m_cursor = QTextCursor(&m_document);
    // One edit block: the layout takes the text in once, at its end, instead
    // of laying the paragraph out again for every run of formatting. Reading
    // is no step to undo.
    const bool undo = m_document.isUndoRedoEnabled();
    m_document.setUndoRedoEnabled(false);
    m_cursor.beginEditBlock();
    Parse();
    m_cursor.endEditBlock();
    m_document.setUndoRedoEnabled(undo);
}

void RtfParser::Parse()
{
    qsizetype i = 0;
    const qsizetype n = m_rtf.size();
    while (i < n) {
        const char c = m_rtf[i];
        if (c == '{') {
            Flush();
            m_stack.append(m_stack.last());
            m_stack.last().ColourTable = false;
            m_groupStart = true;
            ++i;
            continue;
        }
        if (c == '}') {
            Flush();
            if (m_stack.size() > 1)
                m_stack.removeLast();
            m_groupStart = false;
            ++i;
            continue;
        }
        if (c == '\r' || c == '\n') {
            ++i;
            continue;
        }
        if (c != '\\') {
            m_groupStart = false;
            Text(c);
            ++i;
            continue;
        }
        // A control: a word, a hexadecimal byte or an escaped symbol.
        ++i;
        if (i >= n)
            break;
        const char s = m_rtf[i];
        if (s == '\'') {
            bool ok = false;
            const int byte = m_rtf.mid(i + 1, 2).toInt(&ok, 16);
            if (ok)
                Text(char(byte));
            i += 3;
            m_groupStart = false;
            continue;
        }
        if ((s >= 'a' && s <= 'z') || (s >= 'A' && s <= 'Z')) {
            const qsizetype start = i;
            while (i < n && ((m_rtf[i] >= 'a' && m_rtf[i] <= 'z') || (m_rtf[i] >= 'A' && m_rtf[i] <= 'Z')))
                ++i;
            const QByteArray word = m_rtf.mid(start, i - start);
            std::optional<int> param;
            const qsizetype numberStart = i;
            if (i < n && m_rtf[i] == '-')
                ++i;
            while (i < n && m_rtf[i] >= '0' && m_rtf[i] <= '9')
                ++i;
            if (i > numberStart)
                param = m_rtf.mid(numberStart, i - numberStart).toInt();
            // One blank ends a control word and belongs to it.
            if (i < n && m_rtf[i] == ' ')
                ++i;
            ControlWord(word, param);
            m_groupStart = false;
            continue;
        }
        ++i;
        m_groupStart = false;
        switch (s) {
        case '\\':
        case '{':
        case '}':
            Text(s);
            break;
        case '~':
            Char(QChar(0x00A0));
            break;
        case '_':
            Char(QChar(0x2011));
            break;
        case '*':
            m_stack.last().Skip = true;
            break;
        case '\r':
        case '\n':
            ControlWord("par", std::nullopt);
            break;
        default: // \- (optional hyphen) and anything unknown
            break;
        }
    }
    Flush();
    // The last paragraph mark ends the last paragraph; it starts no empty one.
    if (m_endsInParagraphMark)
        m_cursor.deletePreviousChar();
}

void RtfParser::ControlWord(const QByteArray &word, std::optional<int> param)
{
    GroupState &state = m_stack.last();
    if (m_groupStart && SkippedDestinations.contains(word)) {
        state.Skip = true;
        return;
    }
    if (word == "colortbl") {
        state.ColourTable = true;
        state.Skip = true;
        m_colourSet = false;
        m_colour = QColor(0, 0, 0);
        return;
    }
    if (state.ColourTable) {
        const int value = std::clamp(param.value_or(0), 0, 255);
        if (word == "red")
            m_colour.setRed(value);
        else if (word == "green")
            m_colour.setGreen(value);
        else if (word == "blue")
            m_colour.setBlue(value);
        else
            return;
        m_colourSet = true;
        return;
    }
    if (state.Skip)
        return;

    if (word == "u") {
        // Negative numbers stand for the upper half of the 16-bit range.
        const int code = param.value_or(0);
        Char(code < -32768 || code > 65535 ? QChar(QChar::ReplacementCharacter)
                                           : QChar(char16_t(code < 0 ? code + 65536 : code)));
        m_skipChars = state.UnicodeSkip;
        return;
    }
    if (word == "uc") {
        state.UnicodeSkip = Clamped(param.value_or(1), 0, MaxUnicodeSkip);
        return;
    }
    if (word == "par") {
        Flush();
        m_cursor.setBlockFormat(m_block);
        m_cursor.insertBlock(m_block);
        m_endsInParagraphMark = true;
        return;
    }
    if (word == "line") {
        Char(QChar::LineSeparator);
        return;
    }
    if (word == "tab") {
        Char(u'\t');
        return;
    }
    static const QHash<QByteArray, char16_t> Symbols = {
        {"emdash", u'\u2014'}, {"endash", u'\u2013'},    {"bullet", u'\u2022'},    {"lquote", u'\u2018'},
        {"rquote", u'\u2019'}, {"ldblquote", u'\u201C'}, {"rdblquote", u'\u201D'},
    };
    if (const auto symbol = Symbols.constFind(word); symbol != Symbols.constEnd()) {
        Char(QChar(*symbol));
        return;
    }

    // Formatting: the text so far keeps the format it was written in.
    Flush();
    const bool on = param.value_or(1) != 0;
    if (word == "b")
        state.Bold = on;
    else if (word == "i")
        state.Italic = on;
    else if (word == "ul")
        state.Underline = on;
    else if (word == "ulnone")
        state.Underline = false;
    else if (word == "fs")
        state.HalfPoints = param.value_or(0) > 0 ? Clamped(param, MinHalfPoints, MaxHalfPoints) : DefaultHalfPoints;
    else if (word == "cf")
        state.Colour = param.value_or(0);
    else if (word == "plain") {
        const GroupState plain;
        state.Bold = plain.Bold;
        state.Italic = plain.Italic;
        state.Underline = plain.Underline;
        state.HalfPoints = plain.HalfPoints;
        state.Colour = plain.Colour;
    } else if (word == "pard")
        m_block = QTextBlockFormat();
    else if (word == "ql")
        m_block.setAlignment(Qt::AlignLeft);
    else if (word == "qc")
        m_block.setAlignment(Qt::AlignHCenter);
    else if (word == "qr")
        m_block.setAlignment(Qt::AlignRight);
    else if (word == "qj")
        m_block.setAlignment(Qt::AlignJustify);
    else if (word == "sb")
        m_block.setTopMargin(Clamped(param, 0, MaxSpacingTwips) / TwipsPerPixel);
    else if (word == "sa")
        m_block.setBottomMargin(Clamped(param, 0, MaxSpacingTwips) / TwipsPerPixel);
}

void RtfParser::Text(char byte)
{
    const GroupState &state = m_stack.last();
    if (state.ColourTable) {
        if (byte == ';') {
            m_colours.append(m_colourSet ? std::optional<QColor>(m_colour) : std::nullopt);
            m_colour = QColor(0, 0, 0);
            m_colourSet = false;
        }
        return;
    }
    if (state.Skip)
        return;
    if (m_skipChars > 0) {
        --m_skipChars;
        return;
    }
    m_bytes.append(byte);
}

void RtfParser::Char(QChar c)
{
    if (m_stack.last().Skip)
        return;
    m_text += DecodeWindows1252(m_bytes);
    m_bytes.clear();
    m_text += c;
}

void RtfParser::Flush()
{
    m_text += DecodeWindows1252(m_bytes);
    m_bytes.clear();
    if (m_text.isEmpty())
        return;
    m_cursor.setBlockFormat(m_block);
    m_cursor.insertText(m_text, CharFormat());
    m_text.clear();
    m_endsInParagraphMark = false;
}

QTextCharFormat RtfParser::CharFormat() const
{
    const GroupState &state = m_stack.last();
    QTextCharFormat format;
    format.setFontWeight(state.Bold ? QFont::Bold : QFont::Normal);
    format.setFontItalic(state.Italic);
    format.setFontUnderline(state.Underline);
    format.setFontPointSize(state.HalfPoints / 2.0);
    if (state.Colour > 0 && state.Colour < m_colours.size() && m_colours[state.Colour])
        format.setForeground(*m_colours[state.Colour]);
    return format;
}

} // namespace

void ReadRtf(const QByteArray &rtf, QTextDocument &document)
{
    RtfParser(rtf, document).Run();
}
