#include "JobListJournal.h"

#include "AppError.h"
#include "TRecipientModel.h"
#include "TempDataFolder.h"

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

void PrintTo(const TJournalEntry &entry, std::ostream *os)
{
    *os << entry.Row << '|' << ToString(entry.Status).toStdString() << '|' << entry.Address.toStdString() << '|'
        << entry.StatusText.toStdString();
}

namespace {

void WriteBytes(const QString &fileName, const QByteArray &bytes)
{
    QFile file(fileName);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

const TJournalEntry Sent{3, RecipientStatus::Sent, u"ann@example.com"_s, u"Sent on 01/03/2024 09:00:00"_s};
const TJournalEntry Failed{7, RecipientStatus::Failed, u"jörg@bücher.example"_s,
                           u"Error: 550 mailbox unavailable, user unknown"_s};

class JobListJournalTest : public testing::Test {
protected:
    QString Journal() const { return JobListJournalPath(); }

    TempDataFolder data;
};

} // namespace

TEST_F(JobListJournalTest, OnlyCompleteIntactLinesCount)
{
    const QByteArray first = FormatJournalLine(Sent);
    const QByteArray second = FormatJournalLine(Failed);
    // A crash may cut the last line anywhere: it never counts, the earlier line always does.
    for (qsizetype cut = 0; cut < second.size(); ++cut) {
        WriteBytes(Journal(), first + second.left(cut));
        EXPECT_EQ(ReadJournal(Journal()), std::vector<TJournalEntry>{Sent}) << cut;
    }
    WriteBytes(Journal(), first + second);
    EXPECT_EQ(ReadJournal(Journal()), (std::vector<TJournalEntry>{Sent, Failed}));

    // A damaged line in the middle is skipped, the lines around it count.
    QByteArray changed = first;
    changed[0] = '4';
    QByteArray badChecksum = first;
    badChecksum[badChecksum.size() - 2] = badChecksum[badChecksum.size() - 2] == '0' ? '1' : '0';
    for (const QByteArray &bad : {changed, badChecksum, QByteArray("3|1|a@x.org\n"), QByteArray("\n"),
                                  FormatJournalLine({1, RecipientStatus::Sent, {}, {}}).replace("1|1|", "1|9|")}) {
        WriteBytes(Journal(), second + bad + first);
        EXPECT_EQ(ReadJournal(Journal()), (std::vector<TJournalEntry>{Failed, Sent})) << bad.toStdString();
    }
    EXPECT_TRUE(ReadJournal(data.Path(u"missing.jnl"_s)).empty());
}

TEST_F(JobListJournalTest, AppendAddsWholeLinesEvenAfterALineCutShort)
{
    // Separators and line breaks in a field cannot break a line.
    const TJournalEntry odd{0, RecipientStatus::Failed, u"a|b@x.org"_s, u"Error: one\r\ntwo|three"_s};
    AppendJournal(Journal(), {Sent});
    AppendJournal(Journal(), {});
    AppendJournal(Journal(), {Failed, odd});
    const TJournalEntry oddRead{0, RecipientStatus::Failed, u"a/b@x.org"_s, u"Error: one  two/three"_s};
    EXPECT_EQ(ReadJournal(Journal()), (std::vector<TJournalEntry>{Sent, Failed, oddRead}));

    // The crash cut the last write short: the next append starts a line of its own.
    WriteBytes(Journal(), FormatJournalLine(Sent) + FormatJournalLine(Failed).left(12));
    AppendJournal(Journal(), {Failed});
    EXPECT_EQ(ReadJournal(Journal()), (std::vector<TJournalEntry>{Sent, Failed}));
}

TEST_F(JobListJournalTest, FailuresThrowAndLeaveNothingBehind)
{
    const QString nowhere = data.Path(u"no/such/folder/bry_jlst.jnl"_s);
    try {
        AppendJournal(nowhere, {Sent});
        ADD_FAILURE() << "no error";
    } catch (const AppError &error) {
        EXPECT_EQ(error.Message(), u"Unable to write to "_s + nowhere);
    }
    EXPECT_FALSE(QFile::exists(nowhere));
    EXPECT_THROW(AppendJournal(u"/dev/full"_s, {Sent}), AppError);

    // Something else stands where the journal goes: it cannot be deleted.
    ASSERT_TRUE(QDir().mkpath(Journal()));
    EXPECT_THROW(RemoveJournal(Journal()), AppError);
    ASSERT_TRUE(QDir().rmdir(Journal()));
    RemoveJournal(Journal()); // a missing journal is fine
}

TEST_F(JobListJournalTest, EntriesGoOnlyIntoRowsThatStillHoldTheirAddress)
{
    TRecipientModel model;
    std::vector<TRecipient> rows;
    for (int i = 0; i < 4; ++i)
        rows.push_back({RecipientStatus::NotSent, u"r%1@x.org"_s.arg(i), {}, u"Not yet sent"_s});
    model.ResetList(std::move(rows), 0);

    const std::vector<TJournalEntry> entries{
        {1, RecipientStatus::Failed, u"r1@x.org"_s, u"Error: 451 try later"_s},
        {2, RecipientStatus::Sent, u"someone@else.org"_s, u"Sent on 1.3.2024"_s}, // the list changed under the journal
        {9, RecipientStatus::Sent, u"r9@x.org"_s, u"Sent on 1.3.2024"_s},         // beyond the list
        {3, RecipientStatus::Sent, u"r3@x.org"_s, u"Sent on 1.3.2024"_s},
        {1, RecipientStatus::Sent, u"r1@x.org"_s, u"Sent on 2.3.2024"_s}, // a later result wins
    };
    EXPECT_EQ(ApplyJournal(model, entries), 3);
    EXPECT_EQ(model.Recipient(0).Status, RecipientStatus::NotSent);
    EXPECT_EQ(model.Recipient(1).Status, RecipientStatus::Sent);
    EXPECT_EQ(model.Recipient(1).StatusText, u"Sent on 2.3.2024"_s);
    EXPECT_EQ(model.Recipient(2).Status, RecipientStatus::NotSent);
    EXPECT_EQ(model.Recipient(3).StatusText, u"Sent on 1.3.2024"_s);
    EXPECT_EQ(model.StatusCount(RecipientStatus::Sent), 2);
    EXPECT_EQ(model.StatusCount(RecipientStatus::NotSent), 2);
}
