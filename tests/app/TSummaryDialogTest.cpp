#include "DlgCompl.h"

#include "PnAdList.h"
#include "PnComplt.h"
#include "TCardLabel.h"
#include "TESettings.h"
#include "TJobInfo.h"
#include "TTxtBtnPanel.h"
#include "TempDataFolder.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QIcon>
#include <QLabel>
#include <QTableView>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

using namespace Qt::StringLiterals;

namespace {

// Handles the next modal dialog once the event loop runs it.
void OnNextModal(std::function<void(TSummaryDialog *)> handle)
{
    QTimer::singleShot(0, [handle = std::move(handle)] {
        auto *dialog = qobject_cast<TSummaryDialog *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        handle(dialog);
    });
}

class TSummaryDialogTest : public testing::Test {
protected:
    void SetUp() override
    {
        list = new TAdListPanel(&window);
        list->SetSettings(&settings);
        list->Build({5, 6, 7, 8, 9, 10}, 0xF8D8B8, 0x584820, 0xD0F7FF, 0x80A8AB);
        list->SetBounds(0, 0, 300, 200);
        window.resize(320, 220);
        window.show();
        jobInfo.StartTime = QDateTime::currentDateTime().addSecs(-90);
    }

    void LoadList(std::initializer_list<RecipientStatus> statuses)
    {
        QStringList lines;
        int i = 0;
        for (const RecipientStatus s : statuses)
            lines.append(u"%1|r%2@x.org|St"_s.arg(ToInt(s)).arg(i++));
        list->LoadList(lines);
    }

    static QStringList Row(const TSummaryPanel *panel, int row)
    {
        const QAbstractItemModel *model = panel->Model();
        return {model->index(row, 1).data().toString(), model->index(row, 2).data().toString()};
    }

    static bool HasIcon(const TSummaryPanel *panel, int row)
    {
        return !panel->Model()->index(row, 1).data(Qt::DecorationRole).value<QIcon>().isNull();
    }

    TempDataFolder data;
    TESettings settings;
    QWidget window;
    TAdListPanel *list = nullptr;
    TJobInfo jobInfo;
};

} // namespace

TEST_F(TSummaryDialogTest, ShowsTheJobAndTheListTotals)
{
    // This job sent to two; a failure of an earlier job is still in the list.
    LoadList({RecipientStatus::Sent, RecipientStatus::Sent, RecipientStatus::Failed, RecipientStatus::NotSent,
              RecipientStatus::NotSent, RecipientStatus::NotSent});
    jobInfo.Add(RecipientStatus::Sent, 2);
    bool seen = false;
    OnNextModal([&](TSummaryDialog *dialog) {
        seen = true;
        EXPECT_EQ(dialog->windowTitle(), u"Velko Courierline"_s);
        const TSummaryPanel *panel = dialog->SummaryPanel();
        ASSERT_NE(panel, nullptr);
        EXPECT_EQ(panel->Title(), u"Summary"_s);
        EXPECT_EQ(panel->size(), QSize(350, 345));
        EXPECT_EQ(panel->pos(), QPoint(8, 0));
        EXPECT_TRUE(panel->ShowSeparator());
        EXPECT_EQ(dialog->size(), QSize(350 + 16, 49 + 345 + 8));
        EXPECT_EQ(dialog->TopPanel()->height(), 49);
        const auto *banner = dialog->TopPanel()->findChild<QLabel *>();
        ASSERT_NE(banner, nullptr);
        EXPECT_EQ(banner->geometry(), QRect(3, 4, 300, 40));

        EXPECT_EQ(panel->Outcome(), joNeedsResend);
        ASSERT_EQ(panel->Model()->rowCount(), 14);
        EXPECT_EQ(Row(panel, 0)[0], u"Start Time"_s);
        EXPECT_FALSE(Row(panel, 0)[1].isEmpty());
        EXPECT_EQ(Row(panel, 3), QStringList({u"Current Session:"_s, QString()}));
        EXPECT_EQ(Row(panel, 4), QStringList({u"Sent"_s, u"2"_s}));
        EXPECT_EQ(Row(panel, 5), QStringList({u"Failures"_s, u"0"_s}));
        EXPECT_EQ(Row(panel, 8), QStringList({u"Sent"_s, u"2"_s}));
        EXPECT_EQ(Row(panel, 9), QStringList({u"Failures"_s, u"1"_s}));
        EXPECT_EQ(Row(panel, 10), QStringList({u"Remaining"_s, u"3"_s}));
        EXPECT_EQ(Row(panel, 12), QStringList({u"Status:"_s, u"Message needs to be resent"_s}));
        EXPECT_EQ(Row(panel, 13), QStringList({QString(), u"to some destinations."_s}));
        for (const int row : {4, 5, 8, 9, 10, 12})
            EXPECT_TRUE(HasIcon(panel, row)) << row;
        for (const int row : {0, 1, 2, 3, 13})
            EXPECT_FALSE(HasIcon(panel, row)) << row;
        EXPECT_EQ(panel->List()->columnWidth(1), 130);
        EXPECT_FALSE(panel->List()->showGrid());
        dialog->ExecuteCommand(panel->Buttons(), 28);
    });
    EXPECT_FALSE(ExecuteSummaryDialog(*list, jobInfo));
    EXPECT_TRUE(seen);
}

TEST_F(TSummaryDialogTest, ExportLogAnswersTrue)
{
    LoadList({RecipientStatus::Sent});
    jobInfo.Add(RecipientStatus::Sent, 1);
    OnNextModal([](TSummaryDialog *dialog) {
        EXPECT_EQ(dialog->SummaryPanel()->Outcome(), joAllSent);
        QTest::mouseClick(dialog->SummaryPanel()->Buttons()->Link(19), Qt::LeftButton);
    });
    EXPECT_TRUE(ExecuteSummaryDialog(*list, jobInfo, &window));
}

TEST_F(TSummaryDialogTest, CloseAndTheCloseBoxAnswerFalse)
{
    LoadList({RecipientStatus::Failed});
    jobInfo.Add(RecipientStatus::Failed, 1);
    OnNextModal([](TSummaryDialog *dialog) {
        EXPECT_EQ(dialog->SummaryPanel()->Outcome(), joNotSent);
        QTest::mouseClick(dialog->SummaryPanel()->Buttons()->Link(28), Qt::LeftButton);
    });
    EXPECT_FALSE(ExecuteSummaryDialog(*list, jobInfo));

    OnNextModal([](TSummaryDialog *dialog) { dialog->close(); });
    EXPECT_FALSE(ExecuteSummaryDialog(*list, jobInfo));

    TSummaryDialog dialog(*list, jobInfo);
    OnNextModal([](TSummaryDialog *modal) { modal->close(); });
    EXPECT_EQ(dialog.exec(), 0);
}

TEST_F(TSummaryDialogTest, OtherCommandsDoNotClose)
{
    TSummaryDialog dialog(*list, jobInfo, &window);
    dialog.show();
    ASSERT_NE(dialog.SummaryPanel(), nullptr);
    for (const CommandId id : {0, 5, 14, 27})
        dialog.ExecuteCommand(nullptr, id);
    EXPECT_TRUE(dialog.isVisible());
    dialog.ExecuteCommand(nullptr, 19);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), TSummaryDialog::ExportLogResult);
}
