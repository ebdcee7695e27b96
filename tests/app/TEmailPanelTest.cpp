#include "PnEmail.h"

#include "PnAdList.h"
#include "TCardLabel.h"
#include "TESettings.h"
#include "TRecipient.h"
#include "TVTxtBtnPanel.h"
#include "TempDataFolder.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

TRecipient Recipient(const QString &address, const QStringList &params, const QString &status = u"Not yet sent"_s)
{
    return {RecipientStatus::NotSent, address, params, status};
}

class TEmailPanelTest : public testing::Test {
protected:
    void SetUp() override
    {
        settings.Param(spSmtpServer).SetStr(u"smtp.example.com"_s);
        settings.Param(spYourEmail).SetStr(u"me@example.com"_s);
        settings.Param(spYourName).SetStr(u"Velko Sales"_s);
        settings.Param(spSubject).SetStr(u"Offer for %1"_s);
        SetMessage({u"Dear %1,"_s, QString(), u"Your address: %0"_s});

        list = new TAdListPanel(&window);
        list->SetSettings(&settings);
        list->Build({5, 6, 7, 8, 9, 10}, 0xF8D8B8, 0x584820, 0xD0F7FF, 0x80A8AB);
        list->SetBounds(0, 0, 300, 200);

        panel = new TEmailPanel(&window);
        panel->SetSettings(&settings);
        panel->Build({14, 15, 16, 17, 18, 19, 20, 21, 22, 24, 25, 26}, 0x80C0FF, 0x204070, 0xD0F7FF, 0x80A8AB);
        panel->SetBounds(0, 200, 700, 300);
        window.resize(720, 520);
        window.show();
    }

    void SetMessage(const QStringList &lines)
    {
        settings.MessageText = lines;
        settings.AnalyseMessage();
    }

    // Loads the list with rows of one parameter and the given statuses.
    void LoadList(std::initializer_list<RecipientStatus> statuses)
    {
        QStringList lines;
        int i = 0;
        for (const RecipientStatus s : statuses) {
            lines.append(u"%1|u%2@x.org|P%2|%3"_s.arg(ToInt(s)).arg(i).arg(
                s == RecipientStatus::NotSent ? u"Not yet sent"_s : u"Sent on 1.2.2024"_s));
            ++i;
        }
        list->LoadList(lines);
    }

    QString Value(TEmailMsgPanel::Row row) const { return panel->MessageView()->Value(row)->Caption(); }
    QPlainTextEdit *Body() const { return panel->MessageView()->BodyView(); }
    QColor BodyColour() const { return Body()->palette().color(QPalette::Text); }
    bool LinkEnabled(CommandId id) const { return panel->Buttons()->Link(id)->isEnabled(); }

    CommandSet EnabledLinks() const
    {
        CommandSet set;
        for (int id = 0; id < CommandCount; ++id)
            if (const TCardLabel *link = panel->Buttons()->Link(CommandId(id)); link && link->isEnabled())
                set += {CommandId(id)};
        return set;
    }

    TempDataFolder data;
    TESettings settings;
    QWidget window;
    TAdListPanel *list = nullptr;
    TEmailPanel *panel = nullptr;
    const TRecipient ann = Recipient(u"ann@example.com"_s, {u"Ann"_s});
    const TRecipient bob = Recipient(u"bob@example.com"_s, {u"Bob"_s}, u"Error: refused"_s);
};

} // namespace

TEST_F(TEmailPanelTest, LayoutKeepsViewAndBarInsideTheFrame)
{
    EXPECT_EQ(panel->Title(), u"E-Mail"_s);
    const QRect bar = panel->Buttons()->geometry();
    const QRect view = panel->MessageView()->geometry();
    EXPECT_EQ(bar.right(), 700 - 1 - 6);
    EXPECT_EQ(bar.top(), 25);
    EXPECT_EQ(bar.bottom(), 300 - 1 - 6);
    EXPECT_EQ(view.topLeft(), QPoint(6, 25));
    EXPECT_EQ(view.bottom(), 300 - 1 - 6);
    EXPECT_EQ(bar.left() - view.right() - 1, 8);

    panel->SetBounds(0, 200, 640, 260);
    EXPECT_EQ(panel->Buttons()->geometry().right(), 640 - 1 - 6);
    EXPECT_EQ(panel->MessageView()->height(), 260 - 25 - 6);
    const QRect body = Body()->geometry();
    EXPECT_EQ(body.left(), 4);
    EXPECT_EQ(body.width(), panel->MessageView()->width() - 8);
    EXPECT_EQ(body.bottom(), panel->MessageView()->height() - 1 - 2);
    const QLabel *status = panel->MessageView()->Label(TEmailMsgPanel::rowStatus);
    EXPECT_EQ(body.top(), status->geometry().bottom() + 1 + 7);
    EXPECT_EQ(status->text(), u"Status:"_s);
    for (unsigned row = 0; row < TEmailMsgPanel::RowCount; ++row) {
        const TCardLabel *value = panel->MessageView()->Value(TEmailMsgPanel::Row(row));
        EXPECT_EQ(value->x(), 94);
        EXPECT_EQ(value->MaxWidth(), panel->MessageView()->width() - 94 - 8);
    }
}

TEST_F(TEmailPanelTest, ShowsAndReturnsThePersonalisedMessage)
{
    panel->ShowMessageFor(&ann);
    EXPECT_EQ(Value(TEmailMsgPanel::rowFrom), u"Velko Sales <me@example.com>"_s);
    EXPECT_EQ(Value(TEmailMsgPanel::rowTo), u"ann@example.com"_s);
    EXPECT_EQ(Value(TEmailMsgPanel::rowSubject), u"Offer for Ann"_s);
    EXPECT_EQ(Value(TEmailMsgPanel::rowStatus), u"Not yet sent"_s);
    EXPECT_EQ(panel->GetSubject(), u"Offer for Ann"_s);
    // The e-mail keeps CR LF whatever the widget made of the line ends.
    EXPECT_EQ(panel->GetBody(), u"Dear Ann,\r\n\r\nYour address: ann@example.com\r\n"_s);
    EXPECT_EQ(Body()->toPlainText(), u"Dear Ann,\n\nYour address: ann@example.com\n"_s);
    EXPECT_EQ(BodyColour(), QColor(Qt::black));
    EXPECT_EQ(panel->ToItem(), (TEmailAddressItem{u"ann@example.com"_s, QString()}));

    panel->ShowMessageFor(&bob);
    EXPECT_EQ(panel->GetSubject(), u"Offer for Bob"_s);
    EXPECT_EQ(panel->GetBody(), u"Dear Bob,\r\n\r\nYour address: bob@example.com\r\n"_s);
    EXPECT_EQ(Value(TEmailMsgPanel::rowStatus), u"Error: refused"_s);
    EXPECT_TRUE(panel->BccTo().isEmpty());
    EXPECT_TRUE(panel->ReplyTo().isEmpty());
}

TEST_F(TEmailPanelTest, FromShowsTheSenderInFullEvenWithoutAnAddress)
{
    // Unlike "To", the sender row keeps the angle brackets of a missing address.
    settings.Param(spYourEmail).SetStr(QString());
    panel->ShowMessageFor(&ann);
    EXPECT_EQ(Value(TEmailMsgPanel::rowFrom), u"Velko Sales <>"_s);
    settings.Param(spYourName).SetStr(QString());
    panel->ShowMessageFor(&ann);
    EXPECT_TRUE(Value(TEmailMsgPanel::rowFrom).isEmpty());
    settings.Param(spYourEmail).SetStr(u"me@example.com"_s);
    panel->ShowMessageFor(&ann);
    EXPECT_EQ(Value(TEmailMsgPanel::rowFrom), u"me@example.com"_s);
}

TEST_F(TEmailPanelTest, ASubjectWithLineBreaksShowsAsItIsSent)
{
    settings.Param(spSubject).SetStr(u"Offer\r\nfor %1"_s);
    panel->ShowMessageFor(&ann);
    EXPECT_EQ(panel->GetSubject(), u"Offer for Ann"_s);
    EXPECT_EQ(Value(TEmailMsgPanel::rowSubject), panel->GetSubject());
}

TEST_F(TEmailPanelTest, ALongSubjectIsElidedOnScreenOnly)
{
    const QString tail = QString(u"very "_s).repeated(60) + u"long"_s;
    settings.Param(spSubject).SetStr(u"Offer for %1, "_s + tail);
    panel->ShowMessageFor(&ann);
    const TCardLabel *subject = panel->MessageView()->Value(TEmailMsgPanel::rowSubject);
    EXPECT_LE(subject->x() + subject->width(), panel->MessageView()->width() - 8);
    EXPECT_EQ(panel->GetSubject(), u"Offer for Ann, "_s + tail);
}

TEST_F(TEmailPanelTest, NameParameterAndCopies)
{
    settings.Param(spNameParEna).SetBool(true);
    settings.Param(spNameParInd).SetInt(1);
    settings.Param(spBccEmails).SetBool(true);
    settings.Param(spBccTo).SetStr(u"archive@example.com"_s);
    settings.Param(spReplyTo).SetStr(u"answers@example.com"_s);
    const TRecipient smith = Recipient(u"ann@example.com"_s, {u"Smith, Ann"_s});
    panel->ShowMessageFor(&smith);
    EXPECT_EQ(Value(TEmailMsgPanel::rowTo), u"\"Smith, Ann\" <ann@example.com>"_s);
    EXPECT_EQ(panel->ToItem(), (TEmailAddressItem{u"ann@example.com"_s, u"Smith, Ann"_s}));
    EXPECT_EQ(panel->BccTo(), u"archive@example.com"_s);
    EXPECT_TRUE(panel->ReplyTo().isEmpty()); // stored, but switched off

    settings.Param(spReplyEna).SetBool(true);
    settings.Param(spBccEmails).SetBool(false);
    settings.Param(spNameParInd).SetInt(2); // above the row's one parameter
    panel->ShowMessageFor(&smith);
    EXPECT_EQ(panel->ReplyTo(), u"answers@example.com"_s);
    EXPECT_TRUE(panel->BccTo().isEmpty());
    EXPECT_EQ(Value(TEmailMsgPanel::rowTo), u"ann@example.com"_s);
}

TEST_F(TEmailPanelTest, HtmlBodyIsEscapedAndTheSubjectIsNot)
{
    settings.Param(spSubject).SetStr(u"For %1"_s);
    SetMessage({u"<html><body>"_s, u"<p>Dear %1</p>"_s, u"<p>%2</p>"_s, u"</body></html>"_s});
    const TRecipient smith = Recipient(u"a@b.c"_s, {u"Smith & Sons"_s, QString()});
    panel->ShowMessageFor(&smith);
    EXPECT_EQ(panel->GetSubject(), u"For Smith & Sons"_s);
    EXPECT_EQ(panel->GetBody(), u"<html><body>\r\n<p>Dear Smith &amp; Sons</p>\r\n\r\n</body></html>\r\n"_s);
}

TEST_F(TEmailPanelTest, BccMethodSendsOneTextToTheGroup)
{
    settings.Param(spMethodBcc).SetBool(true);
    settings.Param(spMethodEmail).SetStr(u"list@example.com"_s);
    panel->ClearView();
    panel->ShowMessageFor(&ann);
    EXPECT_EQ(Value(TEmailMsgPanel::rowTo), u"undisclosed recipients <list@example.com>"_s);
    EXPECT_EQ(panel->GetSubject(), u"Offer for %1"_s);
    EXPECT_EQ(panel->GetBody(), settings.MessageBody());
    EXPECT_EQ(BodyColour(), QColor(Qt::black));

    settings.Param(spMethodEmail).SetStr(QString());
    panel->ShowMessageFor(&bob);
    EXPECT_EQ(Value(TEmailMsgPanel::rowTo), u"undisclosed recipients"_s);
    EXPECT_EQ(panel->ToItem().Name, u"undisclosed recipients"_s);
}

TEST_F(TEmailPanelTest, ABodyForEverybodyIsWrittenOnceAfterClearView)
{
    SetMessage({u"Hello all,"_s, u"no placeholders here."_s});
    panel->ClearView();
    panel->ShowMessageFor(&ann);
    EXPECT_EQ(panel->GetBody(), u"Hello all,\r\nno placeholders here.\r\n"_s);
    EXPECT_EQ(BodyColour(), QColor(Qt::black));

    // Moving on leaves the body alone; the rows follow.
    Body()->setPlainText(u"marker"_s);
    panel->ShowMessageFor(&bob);
    EXPECT_EQ(Body()->toPlainText(), u"marker"_s);
    EXPECT_EQ(panel->GetBody(), u"Hello all,\r\nno placeholders here.\r\n"_s);
    EXPECT_EQ(Value(TEmailMsgPanel::rowStatus), u"Error: refused"_s);
    EXPECT_EQ(panel->GetSubject(), u"Offer for Bob"_s);

    // A changed message shows after ClearView.
    SetMessage({u"P.S. see you"_s});
    panel->ClearView();
    panel->ShowMessageFor(&bob);
    EXPECT_EQ(panel->GetBody(), u"P.S. see you\r\n"_s);
    EXPECT_EQ(Body()->toPlainText(), u"P.S. see you\n"_s);
}

TEST_F(TEmailPanelTest, NothingSelectedShowsTheMessageInGrey)
{
    panel->ShowMessageFor(&ann);
    panel->ShowMessageFor(nullptr);
    for (unsigned row = 0; row < TEmailMsgPanel::RowCount; ++row)
        EXPECT_TRUE(Value(TEmailMsgPanel::Row(row)).isEmpty()) << row;
    EXPECT_TRUE(panel->GetSubject().isEmpty());
    EXPECT_EQ(panel->GetBody(), settings.MessageBody());
    EXPECT_EQ(BodyColour(), QColor(0x80, 0x80, 0x80));
}

TEST_F(TEmailPanelTest, ShowStatusChangesOnlyTheStatus)
{
    panel->ShowMessageFor(&ann);
    const QString body = panel->GetBody();
    TRecipient failed = ann;
    failed.StatusText = u"Error: refused"_s;
    panel->ShowStatus(&failed);
    EXPECT_EQ(Value(TEmailMsgPanel::rowStatus), u"Error: refused"_s);
    EXPECT_EQ(Value(TEmailMsgPanel::rowSubject), u"Offer for Ann"_s);
    EXPECT_EQ(panel->GetBody(), body);
    panel->ShowStatus(nullptr);
    EXPECT_EQ(Value(TEmailMsgPanel::rowStatus), u"Error: refused"_s);
}

TEST_F(TEmailPanelTest, CommandStatesFollowSettingsAndList)
{
    const CommandSet always{20, 21, 22, 24, 25, 26};
    LoadList({RecipientStatus::NotSent, RecipientStatus::Sent, RecipientStatus::Failed});
    panel->UpdateCommandStates(*list);
    EXPECT_EQ(EnabledLinks(), CommandSet({14, 16, 19}) + always);
    list->SelectAll();
    panel->UpdateCommandStates(*list);
    EXPECT_EQ(EnabledLinks(), CommandSet({14, 15, 16, 19}) + always);

    settings.Param(spSubject).SetStr(QString());
    panel->UpdateCommandStates(*list);
    EXPECT_EQ(EnabledLinks(), CommandSet({19}) + always);

    // "HTML Preview" needs only an HTML message, even with an empty list.
    SetMessage({u"<html>%1</html>"_s});
    LoadList({});
    panel->UpdateCommandStates(*list);
    EXPECT_EQ(EnabledLinks(), CommandSet({18}) + always);
}

TEST_F(TEmailPanelTest, BatchModeRenamesTheSendCommand)
{
    settings.Param(spBatchMode).SetBool(true);
    panel->UpdateCommandStates(TEmailCommandState{});
    EXPECT_EQ(panel->Buttons()->Link(14)->Caption(), u"Send Next Batch"_s);
    settings.Param(spBatchMode).SetBool(false);
    panel->UpdateCommandStates(TEmailCommandState{});
    EXPECT_EQ(panel->Buttons()->Link(14)->Caption(), u"Send All Remaining"_s);
}

TEST_F(TEmailPanelTest, JobModesLockThePanel)
{
    LoadList({RecipientStatus::NotSent, RecipientStatus::Failed});
    list->SelectAll();
    for (const JobMode mode : {JobMode::SendAll, JobMode::SendSelected, JobMode::ResendFailed}) {
        panel->SetPanelJobMode(mode, *list);
        EXPECT_EQ(EnabledLinks(), CommandSet{17}) << int(mode);
        EXPECT_FALSE(panel->MessageView()->isEnabled());
        EXPECT_EQ(window.focusWidget(), panel->Buttons());
    }
    // The view still follows the job's recipients.
    panel->ShowMessageFor(&bob);
    EXPECT_EQ(panel->GetSubject(), u"Offer for Bob"_s);

    panel->SetPanelJobMode(JobMode::TestConnection, *list);
    EXPECT_TRUE(EnabledLinks().IsEmpty());
    EXPECT_FALSE(panel->MessageView()->isEnabled());

    panel->SetPanelJobMode(JobMode::Idle, *list);
    EXPECT_TRUE(panel->MessageView()->isEnabled());
    EXPECT_EQ(EnabledLinks(), CommandSet({14, 15, 16, 19, 20, 21, 22, 24, 25, 26}));
}

TEST_F(TEmailPanelTest, LinkClicksReachTheOwner)
{
    SetMessage({u"<html>%1</html>"_s});
    panel->UpdateCommandStates(*list);
    QSignalSpy commands(panel, &TEmailPanel::OnCommand);
    QTest::mouseClick(panel->Buttons()->Link(18), Qt::LeftButton);
    ASSERT_EQ(commands.size(), 1);
    EXPECT_EQ(commands[0][0].value<QObject *>(), panel->Buttons());
    EXPECT_EQ(commands[0][1].value<CommandId>(), 18);
    // A disabled link does not react.
    QTest::mouseClick(panel->Buttons()->Link(17), Qt::LeftButton);
    EXPECT_EQ(commands.size(), 1);
}
