#include "TRecipientModel.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// Rows with the given statuses, as the job-list file numbers them.
std::vector<TRecipient> Rows(std::initializer_list<int> statuses, int params = 1)
{
    std::vector<TRecipient> rows;
    int i = 0;
    for (const int s : statuses) {
        TRecipient r{RecipientStatus(s), u"user%1@example.com"_s.arg(i++), {}, u"text"_s};
        for (int k = 0; k < params; ++k)
            r.Params.append(u"p%1"_s.arg(k + 1));
        rows.push_back(r);
    }
    return rows;
}

class TRecipientModelTest : public testing::Test {
protected:
    TRecipientModel model;
    QAbstractItemModelTester tester{&model, QAbstractItemModelTester::FailureReportingMode::Fatal};
};

} // namespace

TEST_F(TRecipientModelTest, EmptyListShowsOnePlaceholderRowThatCannotBeSelected)
{
    EXPECT_EQ(model.rowCount(), 1);
    EXPECT_EQ(model.ItemCount(), 1);
    EXPECT_EQ(model.RecipientCount(), 0);
    EXPECT_EQ(model.columnCount(), 2);
    EXPECT_FALSE(model.IsValidItem(0));
    EXPECT_EQ(model.Status(0), RecipientStatus::Placeholder);
    EXPECT_EQ(model.data(model.index(0, 1)).toString(), u"[Required]"_s);
    EXPECT_EQ(model.data(model.index(0, 0), TRecipientModel::StatusRole).toInt(), ToInt(RecipientStatus::Placeholder));
    EXPECT_FALSE(model.flags(model.index(0, 1)) & Qt::ItemIsSelectable);
    for (const auto s : {RecipientStatus::NotSent, RecipientStatus::Sent, RecipientStatus::Failed})
        EXPECT_EQ(model.StatusCount(s), 0);
}

TEST_F(TRecipientModelTest, ColumnsAreIconAddressAndParameters)
{
    model.ResetList(Rows({0, 1, 2}, 3), 3);
    EXPECT_EQ(model.columnCount(), 5);
    EXPECT_EQ(model.data(model.index(1, 1)).toString(), u"user1@example.com"_s);
    EXPECT_EQ(model.data(model.index(1, 4)).toString(), u"p3"_s);
    EXPECT_FALSE(model.data(model.index(1, 0)).isValid());
    EXPECT_EQ(model.data(model.index(2, 3), TRecipientModel::StatusRole).toInt(), ToInt(RecipientStatus::Failed));
    EXPECT_EQ(model.data(model.index(2, 0), TRecipientModel::StatusTextRole).toString(), u"text"_s);
    EXPECT_TRUE(model.flags(model.index(0, 1)) & Qt::ItemIsSelectable);
}

TEST_F(TRecipientModelTest, StatusIconsFollowTheStatus)
{
    QPixmap red(4, 4);
    red.fill(Qt::red);
    QPixmap blue(4, 4);
    blue.fill(Qt::blue);
    model.SetImages({QIcon(red), QIcon(blue), QIcon(red), QIcon(blue)});
    EXPECT_FALSE(model.data(model.index(0, 1), Qt::DecorationRole).isNull()); // placeholder mark
    model.ResetList(Rows({1}), 1);
    const QIcon icon = model.data(model.index(0, 0), Qt::DecorationRole).value<QIcon>();
    EXPECT_EQ(icon.pixmap(4, 4).toImage().pixelColor(0, 0), QColor(Qt::blue));
}

TEST_F(TRecipientModelTest, LoadIsOneResetAndCountsStatuses)
{
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
    model.ResetList(Rows({0, 0, 1, 2, 2, 2}), 1);
    EXPECT_EQ(resets.count(), 1);
    EXPECT_EQ(model.StatusCount(RecipientStatus::NotSent), 2);
    EXPECT_EQ(model.StatusCount(RecipientStatus::Sent), 1);
    EXPECT_EQ(model.StatusCount(RecipientStatus::Failed), 3);
}

TEST_F(TRecipientModelTest, CountsFollowEveryChange)
{
    model.ResetList(Rows({0, 1, 2}), 1);
    model.SetResult(0, RecipientStatus::Sent, u"Sent on x"_s);
    model.SetResult(2, RecipientStatus::NotSent, u"Not yet sent"_s);
    EXPECT_EQ(model.StatusCount(RecipientStatus::NotSent), 1);
    EXPECT_EQ(model.StatusCount(RecipientStatus::Sent), 2);
    EXPECT_EQ(model.StatusCount(RecipientStatus::Failed), 0);

    model.Append(u"new@example.com"_s, {});
    EXPECT_EQ(model.StatusCount(RecipientStatus::NotSent), 2);
    model.RemoveRows({0, 1});
    EXPECT_EQ(model.StatusCount(RecipientStatus::Sent), 0);
    EXPECT_EQ(model.StatusCount(RecipientStatus::NotSent), 2);

    const auto counts = [&] {
        return std::array<int, 3>{model.StatusCount(RecipientStatus::NotSent), model.StatusCount(RecipientStatus::Sent),
                                  model.StatusCount(RecipientStatus::Failed)};
    };
    const std::array<int, 3> kept = counts();
    model.RecountStatuses();
    EXPECT_EQ(kept, counts());
}

TEST_F(TRecipientModelTest, AppendCleansFieldsAndFitsParameters)
{
    model.ResetList(Rows({0}, 2), 2);
    const int row = model.Append(u"  x|y@example.com "_s, {u" a "_s, u"b"_s, u"dropped"_s});
    EXPECT_EQ(row, 1);
    const TRecipient &r = model.Recipient(row);
    EXPECT_EQ(r.Address, u"x/y@example.com"_s);
    EXPECT_EQ(r.Params, QStringList({u"a"_s, u"b"_s}));
    EXPECT_EQ(r.StatusText, u"Not yet sent"_s);

    model.Append(u"short@example.com"_s, {u"only"_s});
    EXPECT_EQ(model.Recipient(2).Params, QStringList({u"only"_s, QString()}));
}

TEST_F(TRecipientModelTest, AppendToEmptyListReplacesThePlaceholder)
{
    model.Append(u"first@example.com"_s, {});
    EXPECT_EQ(model.rowCount(), 1);
    EXPECT_TRUE(model.IsValidItem(0));
    EXPECT_EQ(model.data(model.index(0, 1)).toString(), u"first@example.com"_s);
}

TEST_F(TRecipientModelTest, RemovalGoesByRuns)
{
    model.ResetList(Rows({0, 0, 0, 0, 0, 0, 0, 0}), 1);
    QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
    model.RemoveRows({6, 1, 2, 3, 6, 42, -1});
    EXPECT_EQ(removed.count(), 2);
    ASSERT_EQ(model.RecipientCount(), 4);
    EXPECT_EQ(model.Recipient(0).Address, u"user0@example.com"_s);
    EXPECT_EQ(model.Recipient(1).Address, u"user4@example.com"_s);
    EXPECT_EQ(model.Recipient(2).Address, u"user5@example.com"_s);
    EXPECT_EQ(model.Recipient(3).Address, u"user7@example.com"_s);
}

TEST_F(TRecipientModelTest, ScatteredRemovalIsOneReset)
{
    std::vector<TRecipient> rows;
    for (int i = 0; i < 200; ++i)
        rows.push_back({RecipientStatus(i % 3), u"u%1@x.org"_s.arg(i), {}, u"t"_s});
    model.ResetList(rows, 0);
    std::vector<int> odd;
    for (int i = 1; i < 200; i += 2)
        odd.push_back(i);
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
    model.RemoveRows(odd);
    EXPECT_EQ(resets.count(), 1);
    ASSERT_EQ(model.RecipientCount(), 100);
    EXPECT_EQ(model.Recipient(99).Address, u"u198@x.org"_s);
    int notSent = 0;
    for (int i = 0; i < 200; i += 2)
        notSent += i % 3 == 0;
    EXPECT_EQ(model.StatusCount(RecipientStatus::NotSent), notSent);
}

TEST_F(TRecipientModelTest, RemovingEveryRowShowsThePlaceholder)
{
    model.ResetList(Rows({0, 1}), 1);
    model.RemoveRows({0, 1});
    EXPECT_TRUE(model.IsEmpty());
    EXPECT_EQ(model.rowCount(), 1);
    EXPECT_EQ(model.StatusCount(RecipientStatus::Sent), 0);
}

TEST_F(TRecipientModelTest, VerbsIgnoreThePlaceholderRow)
{
    model.SetResult(0, RecipientStatus::Sent, u"Sent on x"_s);
    model.SetValues(0, u"x@y.z"_s, {});
    model.RemoveRows({0});
    EXPECT_TRUE(model.IsEmpty());
    EXPECT_EQ(model.StatusCount(RecipientStatus::Sent), 0);
    EXPECT_EQ(model.data(model.index(0, 1)).toString(), u"[Required]"_s);
}

TEST_F(TRecipientModelTest, ResultsForManyRowsAreOneChange)
{
    model.ResetList(Rows({0, 0, 1, 2, 0}), 1);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    model.SetResults({1, 3, 4, 99}, RecipientStatus::Sent, u"Sent on x"_s);
    EXPECT_EQ(changed.count(), 1);
    EXPECT_EQ(model.StatusCount(RecipientStatus::Sent), 4);
    EXPECT_EQ(model.StatusCount(RecipientStatus::Failed), 0);
    EXPECT_EQ(model.Recipient(3).StatusText, u"Sent on x"_s);
}

TEST_F(TRecipientModelTest, RemoveRowsOfTheItemModel)
{
    model.ResetList(Rows({0, 1, 2, 0}), 1);
    EXPECT_TRUE(model.removeRows(1, 2));
    EXPECT_EQ(model.RecipientCount(), 2);
    EXPECT_EQ(model.Recipient(1).Address, u"user3@example.com"_s);
    EXPECT_FALSE(model.removeRows(1, 5));
    EXPECT_TRUE(model.removeRows(0, 2));
    EXPECT_FALSE(model.removeRows(0, 1)); // the placeholder stays
    EXPECT_EQ(model.rowCount(), 1);
}
