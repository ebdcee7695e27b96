#include "PnMsg.h"
#include "PnSett.h"

#include "StatusIcons.h"
#include "TCardLabel.h"
#include "TESettings.h"
#include "TTxtBtnPanel.h"
#include "TempDataFolder.h"

#include <QAbstractItemModel>
#include <QIcon>
#include <QTableView>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

class SettingsPanelsTest : public testing::Test {
protected:
    void SetUp() override
    {
        settings.Param(spSmtpServer).SetStr(u"mail.example.com"_s);
        settings.Param(spYourEmail).SetStr(u"me@example.com"_s);
        settings.Param(spYourName).SetStr(u"Me"_s);
        settings.Param(spSubject).SetStr(u"News"_s);

        sett = new TSettPanel(&window);
        sett->SetSettings(&settings);
        sett->Build({0, 1}, 0xB8D8C0, 0x204020, 0xD0F7FF, 0x80A8AB);
        sett->SetImages(icons);
        sett->SetBounds(5, 5, sett->width(), sett->height());

        msg = new TMsgPanel(&window);
        msg->SetSettings(&settings);
        msg->Build({2, 3, 4}, 0xB8D8C0, 0x204020, 0xD0F7FF, 0x80A8AB);
        msg->SetImages(icons);
        msg->SetBounds(5, sett->y() + sett->height() + 4, msg->width(), msg->height());
        window.resize(330, 360);
        window.show();
    }

    static QStringList Row(const TRndLVPanel *panel, int row)
    {
        const QAbstractItemModel *model = panel->Model();
        return {model->index(row, 0).data().toString(), model->index(row, 1).data().toString(),
                model->index(row, 2).data().toString()};
    }

    static QStringList Column(const TRndLVPanel *panel, int column)
    {
        QStringList texts;
        for (int row = 0; row < panel->Model()->rowCount(); ++row)
            texts.append(panel->Model()->index(row, column).data().toString());
        return texts;
    }

    // The missing-value mark on the display text of a row, or no icon at all.
    bool Marked(const TRndLVPanel *panel, int row) const
    {
        const auto icon = panel->Model()->index(row, 2).data(Qt::DecorationRole).value<QIcon>();
        if (icon.isNull())
            return false;
        EXPECT_EQ(icon.cacheKey(), icons[3].cacheKey());
        return true;
    }

    static bool LinkEnabled(const TRndLVPanel *panel, CommandId id) { return panel->Buttons()->Link(id)->isEnabled(); }

    TempDataFolder data;
    TESettings settings;
    QWidget window;
    const QList<QIcon> icons = StatusIcons();
    TSettPanel *sett = nullptr;
    TMsgPanel *msg = nullptr;
};

} // namespace

TEST_F(SettingsPanelsTest, BuildGivesTitleSizeAndColumns)
{
    EXPECT_EQ(sett->Title(), u"Connection"_s);
    EXPECT_EQ(msg->Title(), u"Message"_s);
    for (const TRndLVPanel *panel : {static_cast<TRndLVPanel *>(sett), static_cast<TRndLVPanel *>(msg)}) {
        EXPECT_EQ(panel->size(), QSize(310, 167));
        EXPECT_EQ(panel->List()->columnWidth(0), 0);
        EXPECT_EQ(panel->List()->columnWidth(1), 100);
        EXPECT_EQ(panel->List()->columnWidth(2), panel->List()->width() - 100);
        EXPECT_FALSE(panel->Active());
    }
    EXPECT_EQ(sett->List()->columnWidth(2), 208);
    EXPECT_EQ(sett->RowSet(), SettingsParamSet({0, 7, 8, 9, 10, 11}));
    EXPECT_EQ(sett->EditPage(), SettingsParamSet::Range(0, 13));
    EXPECT_EQ(msg->RowSet(), SettingsParamSet({14, 15, 16, 18, 20, 26}));
}

TEST_F(SettingsPanelsTest, RowsShowShortLabelsAndDisplayTexts)
{
    settings.Param(spDelay).SetInt(1);
    settings.Param(spRecPause).SetInt(0);
    settings.Param(spBccTo).SetStr(u"copy@example.com"_s); // the switch is off
    sett->RefreshRows();
    msg->RefreshRows();
    EXPECT_EQ(Column(sett, 1), QStringList({u"SMTP Server"_s, u"Your E-Mail"_s, u"Your Name"_s, u"Delay"_s,
                                            u"Reconnect"_s, u"Pause for"_s}));
    EXPECT_EQ(Column(sett, 2), QStringList({u"mail.example.com"_s, u"me@example.com"_s, u"Me"_s, u"1 second"_s,
                                            u"Every 25 messages"_s, u"0 seconds"_s}));
    EXPECT_EQ(Column(msg, 1), QStringList({u"Subject"_s, u"Source File"_s, u"Attachments"_s, u"BCC to"_s, u"Reply to"_s,
                                           u"Send Method"_s}));
    EXPECT_EQ(Column(msg, 2),
              QStringList({u"News"_s, u"None"_s, QString(), QString(), QString(), u"Individual E-mails"_s}));
    EXPECT_EQ(Column(sett, 0), QStringList(6));

    settings.Param(spDelay).SetInt(2);
    settings.Param(spBccEmails).SetBool(true);
    sett->RefreshRows();
    msg->RefreshRows();
    EXPECT_EQ(Row(sett, 3), QStringList({QString(), u"Delay"_s, u"2 seconds"_s}));
    EXPECT_EQ(Row(msg, 3), QStringList({QString(), u"BCC to"_s, u"copy@example.com"_s}));
    for (int row = 0; row < 6; ++row)
        EXPECT_FALSE(Marked(sett, row) || Marked(msg, row)) << row;
}

TEST_F(SettingsPanelsTest, EmptyServerIsMarkedAndBlocksTheConnectionTest)
{
    EXPECT_TRUE(LinkEnabled(sett, 1));
    settings.Param(spSmtpServer).SetStr(QString());
    sett->RefreshRows();
    EXPECT_EQ(Row(sett, 0), QStringList({QString(), u"SMTP Server"_s, u"[Required]"_s}));
    EXPECT_TRUE(Marked(sett, 0));
    EXPECT_FALSE(Marked(sett, 1));
    EXPECT_TRUE(LinkEnabled(sett, 0));
    EXPECT_FALSE(LinkEnabled(sett, 1));

    settings.Param(spSmtpServer).SetStr(u"smtp.example.com"_s);
    sett->RefreshRows();
    EXPECT_FALSE(Marked(sett, 0));
    EXPECT_TRUE(LinkEnabled(sett, 1));
}

TEST_F(SettingsPanelsTest, EmptySubjectIsMarkedButTheMessageCommandsStay)
{
    settings.Param(spSubject).SetStr(QString());
    msg->RefreshRows();
    EXPECT_EQ(Row(msg, 0), QStringList({QString(), u"Subject"_s, u"[Required]"_s}));
    EXPECT_TRUE(Marked(msg, 0));
    for (const CommandId id : {2, 3, 4})
        EXPECT_TRUE(LinkEnabled(msg, id)) << int(id);
    // Images given after the rows mark them too.
    msg->SetImages({});
    EXPECT_FALSE(Marked(msg, 0));
    msg->SetImages(icons);
    EXPECT_TRUE(Marked(msg, 0));
}

TEST_F(SettingsPanelsTest, JobModeDisablesAndIdleRestoresByCompleteness)
{
    for (const JobMode mode : {JobMode::SendAll, JobMode::TestConnection}) {
        sett->SetJobMode(mode);
        msg->SetJobMode(mode);
        for (const CommandId id : {0, 1})
            EXPECT_FALSE(LinkEnabled(sett, id)) << int(id);
        for (const CommandId id : {2, 3, 4})
            EXPECT_FALSE(LinkEnabled(msg, id)) << int(id);
    }
    // A setting emptied meanwhile shows when the job ends.
    settings.Param(spYourName).SetStr(QString());
    sett->SetJobMode(JobMode::Idle);
    msg->SetJobMode(JobMode::Idle);
    EXPECT_TRUE(LinkEnabled(sett, 0));
    EXPECT_FALSE(LinkEnabled(sett, 1));
    EXPECT_TRUE(Marked(sett, 2));
    for (const CommandId id : {2, 3, 4})
        EXPECT_TRUE(LinkEnabled(msg, id)) << int(id);
}
