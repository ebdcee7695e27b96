#include "JobListJournal.h"

#include "AppError.h"
#include "AtomicFile.h"
#include "StartupEnv.h"
#include "TRecipientModel.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdint>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

constexpr char Bar = '|';
constexpr qsizetype ChecksumDigits = 8;

constexpr std::array<std::uint32_t, 256> MakeCrcTable()
{
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t n = 0; n < 256; ++n) {
        std::uint32_t c = n;
        for (int k = 0; k < 8; ++k)
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        table[n] = c;
    }
    return table;
}

constexpr std::array<std::uint32_t, 256> CrcTable = MakeCrcTable();

// CRC-32 as zip and PNG use it.
std::uint32_t Crc32(QByteArrayView bytes)
{
    std::uint32_t c = 0xFFFFFFFFu;
    for (const char b : bytes)
        c = CrcTable[(c ^ std::uint8_t(b)) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

QByteArray ChecksumText(QByteArrayView bytes)
{
    return QByteArray::number(Crc32(bytes), 16).rightJustified(ChecksumDigits, '0');
}

// A field may hold neither the separator nor a line end; the list never
// stores either, so this only guards the line's shape.
QByteArray FieldBytes(const QString &text)
{
    QByteArray bytes = text.toUtf8();
    bytes.replace(Bar, '/').replace('\n', ' ').replace('\r', ' ');
    return bytes;
}

std::optional<int> ParseNumber(QByteArrayView field)
{
    if (field.isEmpty() || field.size() > 9)
        return std::nullopt;
    int value = 0;
    for (const char c : field) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

// Whether the file ends inside a line: a crash cut its last write short.
bool EndsMidLine(int fd, off_t size)
{
    char last = '\n';
    return size > 0 && ::pread(fd, &last, 1, size - 1) == 1 && last != '\n';
}

} // namespace

QString JobListJournalPath()
{
    return ProgramDir() + u"bry_jlst.jnl"_s;
}

QByteArray FormatJournalLine(const TJournalEntry &entry)
{
    QByteArray line = QByteArray::number(entry.Row);
    line += Bar;
    line += QByteArray::number(int(std::clamp(entry.Status, RecipientStatus::NotSent, RecipientStatus::Failed)));
    line += Bar;
    line += FieldBytes(entry.Address);
    line += Bar;
    line += FieldBytes(entry.StatusText);
    line += Bar + ChecksumText(line) + '\n';
    return line;
}

std::optional<TJournalEntry> ParseJournalLine(QByteArrayView line)
{
    const qsizetype lastBar = line.lastIndexOf(Bar);
    if (lastBar < 0 || line.size() - lastBar - 1 != ChecksumDigits)
        return std::nullopt;
    const QByteArrayView body = line.first(lastBar);
    if (line.sliced(lastBar + 1) != ChecksumText(body))
        return std::nullopt;

    std::array<QByteArrayView, 4> fields;
    qsizetype start = 0;
    for (size_t i = 0; i < fields.size(); ++i) {
        const qsizetype bar = i + 1 < fields.size() ? body.indexOf(Bar, start) : body.size();
        if (bar < 0)
            return std::nullopt;
        fields[i] = body.sliced(start, bar - start);
        start = bar + 1;
    }
    const std::optional<int> row = ParseNumber(fields[0]);
    const std::optional<int> status = ParseNumber(fields[1]);
    if (!row || !status || *status > int(RecipientStatus::Failed) || fields[3].contains(Bar))
        return std::nullopt;
    return TJournalEntry{*row, RowStatusFromInt(*status), QString::fromUtf8(fields[2]), QString::fromUtf8(fields[3])};
}

void AppendJournal(const QString &fileName, const std::vector<TJournalEntry> &entries)
{
    if (entries.empty())
        return;
    QByteArray bytes;
    for (const TJournalEntry &entry : entries)
        bytes += FormatJournalLine(entry);

    const auto failed = [&fileName] { return AppError(u"Unable to write to %1"_s.arg(fileName)); };
    const QByteArray path = QFile::encodeName(fileName);
    const FileDescriptor fd(::open(path.constData(), O_RDWR | O_CREAT | O_APPEND | O_CLOEXEC, 0644));
    struct stat status {};
    if (fd.Get() < 0 || ::fstat(fd.Get(), &status) != 0)
        throw failed();
    // A line cut short by a crash must not swallow the first line written now.
    if (EndsMidLine(fd.Get(), status.st_size))
        bytes.prepend('\n');
    const bool ok = WriteAll(fd.Get(), bytes.constData(), bytes.size()) && SyncToDisk(fd.Get())
                    && (status.st_size > 0 || SyncFolderOf(fileName));
    if (!ok) {
        // Leave the file as it was, so that a later line starts on a line of its own.
        [[maybe_unused]] const int ignored = ::ftruncate(fd.Get(), status.st_size);
        throw failed();
    }
}

std::vector<TJournalEntry> ReadJournal(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    std::vector<TJournalEntry> entries;
    qsizetype start = 0;
    // Only lines ended by LF count: a last line without one was cut short.
    for (qsizetype end = bytes.indexOf('\n'); end >= 0; end = bytes.indexOf('\n', start)) {
        if (std::optional<TJournalEntry> entry = ParseJournalLine(QByteArrayView(bytes).sliced(start, end - start)))
            entries.push_back(std::move(*entry));
        start = end + 1;
    }
    return entries;
}

int ApplyJournal(TRecipientModel &model, const std::vector<TJournalEntry> &entries)
{
    int applied = 0;
    for (const TJournalEntry &entry : entries) {
        if (!model.IsValidItem(entry.Row) || model.Recipient(entry.Row).Address != entry.Address)
            continue;
        model.SetResult(entry.Row, entry.Status, entry.StatusText);
        ++applied;
    }
    return applied;
}

void RemoveJournal(const QString &fileName)
{
    const QByteArray path = QFile::encodeName(fileName);
    if (::unlink(path.constData()) != 0 && errno != ENOENT)
        throw AppError(u"Unable to delete %1"_s.arg(fileName));
}
