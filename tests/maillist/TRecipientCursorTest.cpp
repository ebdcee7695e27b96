#include "TRecipientCursor.h"

#include "TRecipientModel.h"

#include <QItemSelectionModel>
#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

class TRecipientCursorTest : public testing::Test {
protected:
    void Load(std::initializer_list<RecipientStatus> statuses, int params = 0)
    {
        std::vector<TRecipient> rows;
        int i = 0;
        for (const RecipientStatus s : statuses) {
            TRecipient r{s, u"u%1@x.org"_s.arg(i), {}, u"t"_s};
            for (int k = 0; k < params; ++k)
                r.Params.append(u"name%1-%2"_s.arg(i).arg(k + 1));
            rows.push_back(r);
            ++i;
        }
        model.ResetList(rows, params);
    }

    // Every recipient or group a job of this mode visits, as lists of rows.
    std::vector<std::vector<int>> Walk(JobMode mode, const TJobOptions &options)
    {
        std::vector<std::vector<int>> visited;
        cursor.SetJobMode(mode);
        cursor.BeginRecipients(mode, options);
        do {
            const std::vector<int> rows = cursor.SelectedRows();
            if (rows.empty())
                break;
            visited.push_back(rows);
            cursor.RecordResult(rsSent, {});
        } while (cursor.AdvanceRecipients(mode, options));
        cursor.SetJobMode(jmIdle);
        return visited;
    }

    TRecipientModel model;
    QItemSelectionModel selection{&model};
    TRecipientCursor cursor{model, selection};
    TJobOptions individual;
    TJobOptions bcc{true, 2, false, 1};
};

using Groups = std::vector<std::vector<int>>;

} // namespace

TEST_F(TRecipientCursorTest, SendAllVisitsTheUnsentRows)
{
    Load({1, 0, 2, 0});
    EXPECT_EQ(Walk(jmSendAll, individual), (Groups{{1}, {3}}));
}

TEST_F(TRecipientCursorTest, ResendFailedVisitsTheFailedRows)
{
    Load({1, 0, 2, 0});
    EXPECT_EQ(Walk(jmResendFailed, individual), (Groups{{2}}));
}

TEST_F(TRecipientCursorTest, BccGroupsSkipSentRows)
{
    Load({0, 0, 1, 0, 0, 0});
    EXPECT_EQ(Walk(jmSendAll, bcc), (Groups{{0, 1}, {3, 4}, {5}}));
    EXPECT_EQ(model.StatusCount(rsSent), 6);
}

TEST_F(TRecipientCursorTest, SendSelectedVisitsTheSelectionInListOrder)
{
    Load({1, 0, 2, 0, 1, 2, 0, 1});
    cursor.SelectRows({7}, 7);
    selection.select(model.index(5, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    selection.select(model.index(2, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
    EXPECT_EQ(Walk(jmSendSelected, individual), (Groups{{2}, {5}, {7}}));
}

TEST_F(TRecipientCursorTest, SendSelectedInBccGroups)
{
    Load({0, 1, 0, 0, 2});
    cursor.SelectRows({0, 1, 2, 3, 4}, 0);
    EXPECT_EQ(Walk(jmSendSelected, bcc), (Groups{{0, 1}, {2, 3}, {4}}));
}

TEST_F(TRecipientCursorTest, OneSelectedRecipientStaysSelected)
{
    Load({1, 1, 1});
    cursor.SelectRows({1}, 1);
    cursor.SetJobMode(jmSendSelected);
    QSignalSpy changes(&selection, &QItemSelectionModel::selectionChanged);
    cursor.BeginRecipients(jmSendSelected, bcc);
    EXPECT_EQ(changes.count(), 0);
    EXPECT_EQ(cursor.CurrentItem(), 1);
    EXPECT_EQ(cursor.BccGroup(), std::vector<int>{1});
    EXPECT_EQ(cursor.FindNextRecipient(jmSendSelected, true), -1);
    EXPECT_FALSE(cursor.AdvanceRecipients(jmSendSelected, bcc));
    EXPECT_EQ(cursor.SelectedRows(), std::vector<int>{1});
}

TEST_F(TRecipientCursorTest, PeekConsumesNothing)
{
    Load({0, 0, 0, 0});
    cursor.SelectRows({1, 3}, 1);
    cursor.SetJobMode(jmSendSelected);
    EXPECT_EQ(cursor.FindNextRecipient(jmSendSelected, true), 1);
    EXPECT_EQ(cursor.FindNextRecipient(jmSendSelected, true), 1);
    EXPECT_EQ(cursor.FindNextRecipient(jmSendSelected, false), 1);
    EXPECT_EQ(cursor.FindNextRecipient(jmSendSelected, true), 3);
}

TEST_F(TRecipientCursorTest, EachGroupIsOneSelectionChange)
{
    Load({0, 0, 0, 0, 0, 0, 0});
    const TJobOptions three{true, 3, false, 1};
    QSignalSpy changes(&selection, &QItemSelectionModel::selectionChanged);
    cursor.SetJobMode(jmSendAll);
    cursor.BeginRecipients(jmSendAll, three);
    EXPECT_EQ(changes.count(), 1);
    EXPECT_EQ(cursor.CurrentItem(), 2); // the last of the group
    cursor.RecordResult(rsSent, {});
    ASSERT_TRUE(cursor.AdvanceRecipients(jmSendAll, three));
    EXPECT_EQ(changes.count(), 2);
    EXPECT_EQ(cursor.SelectedRows(), (std::vector<int>{3, 4, 5}));
}

TEST_F(TRecipientCursorTest, NothingToSendLeavesNothingSelected)
{
    Load({1, 1});
    cursor.SelectRows({0}, 0);
    cursor.SetJobMode(jmResendFailed);
    cursor.BeginRecipients(jmResendFailed, individual);
    EXPECT_EQ(cursor.CurrentItem(), -1);
    EXPECT_EQ(cursor.FindNextRecipient(jmResendFailed, true), -1);
    EXPECT_FALSE(cursor.AdvanceRecipients(jmResendFailed, individual));
    EXPECT_FALSE(cursor.RecordResult(rsSent, {}));
}

TEST_F(TRecipientCursorTest, SearchStartsAtTheTopWhateverTheUserSelected)
{
    Load({0, 0, 0});
    cursor.SelectRows({2}, 2);
    EXPECT_EQ(Walk(jmSendAll, individual), (Groups{{0}, {1}, {2}}));
}

TEST_F(TRecipientCursorTest, RecordResultGoesToTheGroupOrTheSelection)
{
    Load({0, 0, 0, 0});
    cursor.SetJobMode(jmSendAll);
    cursor.BeginRecipients(jmSendAll, bcc);
    cursor.RecordResult(rsFailed, u"550 refused\r\n"_s);
    EXPECT_EQ(model.Recipient(0).StatusText, u"Error: 550 refused"_s);
    EXPECT_EQ(model.Recipient(1).Status, rsFailed);
    EXPECT_EQ(model.Recipient(2).Status, rsNotSent);
    EXPECT_EQ(model.StatusCount(rsFailed), 2);

    cursor.SetJobMode(jmIdle);
    cursor.SelectRows({3}, 3);
    cursor.RecordResult(rsSent, {});
    EXPECT_EQ(model.Recipient(3).Status, rsSent);
    EXPECT_TRUE(model.Recipient(3).StatusText.startsWith(u"Sent on "_s));
    cursor.RecordResult(rsNotSent, {}, 0);
    EXPECT_EQ(model.Recipient(0).StatusText, u"Not yet sent"_s);
}

TEST_F(TRecipientCursorTest, BccAddressesCarryTheNameParameter)
{
    Load({0, 0}, 1);
    cursor.SetJobMode(jmSendAll);
    cursor.BeginRecipients(jmSendAll, bcc);
    const TEmailAddressList named = cursor.BccAddresses({true, 2, true, 1});
    ASSERT_EQ(named.size(), 2);
    EXPECT_EQ(named[1], (TEmailAddressItem{u"u1@x.org"_s, u"name1-1"_s}));
    // Parameter 2 does not exist in a list with one parameter.
    for (const TEmailAddressItem &item : cursor.BccAddresses({true, 2, true, 2}))
        EXPECT_TRUE(item.Name.isEmpty());
    for (const TEmailAddressItem &item : cursor.BccAddresses({true, 2, false, 1}))
        EXPECT_TRUE(item.Name.isEmpty());
}

TEST_F(TRecipientCursorTest, IndividualMethodHasNoBccAddresses)
{
    Load({0, 0});
    cursor.SetJobMode(jmSendAll);
    cursor.BeginRecipients(jmSendAll, individual);
    EXPECT_TRUE(cursor.BccAddresses(individual).isEmpty());
}

TEST_F(TRecipientCursorTest, PreviewNavigation)
{
    Load({0, 1, 2});
    EXPECT_TRUE(cursor.IsFirst());
    EXPECT_FALSE(cursor.IsLast()); // nothing selected
    EXPECT_FALSE(cursor.SelectPrevious());
    ASSERT_TRUE(cursor.SelectNext());
    EXPECT_EQ(cursor.CurrentItem(), 0);
    EXPECT_FALSE(cursor.SelectPrevious());
    EXPECT_EQ(cursor.CurrentItem(), 0);
    ASSERT_TRUE(cursor.SelectNext());
    ASSERT_TRUE(cursor.SelectNext());
    EXPECT_TRUE(cursor.IsLast());
    EXPECT_FALSE(cursor.SelectNext());
    EXPECT_EQ(cursor.CurrentItem(), 2);
    ASSERT_TRUE(cursor.SelectPrevious());
    EXPECT_EQ(cursor.CurrentItem(), 1);
    EXPECT_FALSE(cursor.IsFirst());
}

TEST_F(TRecipientCursorTest, ThePlaceholderRowIsNeverReached)
{
    ASSERT_TRUE(model.IsEmpty());
    EXPECT_TRUE(cursor.IsFirst());
    EXPECT_TRUE(cursor.IsLast());
    EXPECT_FALSE(cursor.SelectNext());
    cursor.SelectRows({0}, 0);
    EXPECT_EQ(cursor.CurrentItem(), -1);
    EXPECT_FALSE(selection.hasSelection());
    for (const JobMode mode : {jmSendAll, jmSendSelected, jmResendFailed}) {
        cursor.SetJobMode(mode);
        cursor.BeginRecipients(mode, bcc);
        EXPECT_EQ(cursor.CurrentItem(), -1);
        EXPECT_FALSE(cursor.RecordResult(rsSent, {}));
    }
    EXPECT_EQ(model.data(model.index(0, 1)).toString(), u"[Required]"_s);
}

TEST_F(TRecipientCursorTest, CurrentItemPrefersTheFocusedRow)
{
    Load({0, 0, 0, 0});
    cursor.SelectRows({1, 2, 3}, 2);
    EXPECT_EQ(cursor.CurrentItem(), 2);
    EXPECT_EQ(cursor.FirstSelectedRow(), 1);
    cursor.SelectRows({1, 3}, 2); // focus on a row that is not selected
    EXPECT_EQ(cursor.CurrentItem(), 1);
    cursor.AddToSelection(0);
    EXPECT_EQ(cursor.SelectedRows(), (std::vector<int>{0, 1, 3}));
    EXPECT_EQ(cursor.CurrentItem(), 0);
}
