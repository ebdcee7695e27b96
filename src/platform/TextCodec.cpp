#include "TextCodec.h"

#include "AppError.h"
#include "AtomicFile.h"

#include <QFile>
#include <QStringDecoder>

#include <array>

namespace {

const QByteArray Utf8Bom("\xEF\xBB\xBF");

// Code points of bytes 0x80..0x9F in Windows-1252; the rest equal Latin-1.
constexpr std::array<char16_t, 32> Cp1252High = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                                 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                                 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                                 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// The one BOM is cut off by hand; the decoder must not drop a second.
constexpr QStringConverter::Flag KeepBom = QStringConverter::Flag::ConvertInitialBom;

QByteArray WithoutBom(const QByteArray &bytes)
{
    return bytes.startsWith(Utf8Bom) ? bytes.mid(Utf8Bom.size()) : bytes;
}

} // namespace

bool IsValidUtf8(const QByteArray &bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(WithoutBom(bytes));
    return !decoder.hasError();
}

QString DecodeWindows1252(const QByteArray &bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        *out++ = (b >= 0x80 && b <= 0x9F) ? QChar(Cp1252High[b - 0x80]) : QChar(char16_t(b));
    }
    return text;
}

QString DecodeText(const QByteArray &bytes)
{
    // Spreadsheets save "Unicode text" as UTF-16 with a byte-order mark.
    if (bytes.startsWith("\xFF\xFE"))
        return QStringDecoder(QStringDecoder::Utf16LE, KeepBom).decode(bytes.mid(2));
    if (bytes.startsWith("\xFE\xFF"))
        return QStringDecoder(QStringDecoder::Utf16BE, KeepBom).decode(bytes.mid(2));
    const QByteArray body = WithoutBom(bytes);
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless | KeepBom);
    QString text = decoder.decode(body);
    return decoder.hasError() ? DecodeWindows1252(body) : text;
}

QString ReadTextFile(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw AppError(QStringLiteral("Cannot open file \"%1\". %2").arg(fileName, file.errorString()));
    return DecodeText(file.readAll());
}

QByteArray EncodeUtf8(const QString &text, bool bom)
{
    const QByteArray bytes = text.toUtf8();
    return bom || text.startsWith(QChar(0xFEFF)) ? Utf8Bom + bytes : bytes;
}

void WriteTextFileAtomic(const QString &fileName, const QString &text, bool privateFile)
{
    WriteFileAtomic(fileName, EncodeUtf8(text), privateFile);
}
