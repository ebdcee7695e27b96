// The header preview against what a job really sends to the test server.
#include "HeaderPreview.h"

#include "HangGuard.h"
#include "PnEmail.h"
#include "SMTP.h"
#include "TESettings.h"
#include "TRecipient.h"
#include "TestSmtpServer.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// The header block without what differs from one e-mail to the next (Date,
// Message-ID, the boundary) and the To.
QString Comparable(QString block)
{
    static const QRegularExpression apart(u"^(Date|Message-ID|To): .*\\n|(?<=boundary=\")[^\"]*"_s,
                                          QRegularExpression::MultilineOption);
    return block.replace(u"\r\n"_s, u"\n"_s).remove(apart).trimmed();
}

} // namespace

// Text and HTML, ASCII and not, with and without an attachment, individual
// and BCC: the preview shows the lines of the first e-mail of the job, in order.
TEST(HeaderPreviewTest, ShowsTheHeaderLinesAJobSends)
{
    TestSmtpServer server;
    QTemporaryDir dir;
    QFile attachment(dir.filePath(u"report.pdf"_s));
    ASSERT_TRUE(attachment.open(QIODevice::WriteOnly) && attachment.write("%PDF") == 4);
    TESettings s;
    s.ApplyBounds();
    s.EnsureDefaults(); // two extra header lines
    s.Param(spSmtpServer).SetStr(TestSmtpServer::Host());
    s.Param(spYourEmail).SetStr(u"me@example.org"_s);
    s.Param(spReplyTo).SetStr(u"reply@example.org"_s);
    s.Param(spMethodTo).SetStr(u"Our list"_s);
    s.Param(spMethodEmail).SetStr(u"list@example.org"_s);
    for (const int index : {spMimeEna, spReplyEna, spExtraHdrEna})
        s.Param(index).SetBool(true);
    s.Param(spSmtpPort).SetInt(server.PlainPort());
    QWidget window;
    auto *panel = new TEmailPanel(&window);
    panel->SetSettings(&s);
    panel->Build({}, 0x80C0FF, 0x204070, 0xD0F7FF, 0x80A8AB);
    // The job's first row is the sample recipient: "%0" becomes the same address in both.
    const TRecipient first{RecipientStatus::NotSent, SampleToAddress.toString(), {}, u"Not yet sent"_s};
    TSMTPThread thread;
    thread.Setup(s);
    thread.Start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return thread.State == SmtpThreadState::Idle; }, HangGuardMs))
        << "the thread was still not connected and idle after " << HangGuardMs / 1000
        << " s; its state: " << testing::PrintToString(thread.State.load());

    for (int kind = 0; kind < 16; ++kind) {
        const bool html = kind & 1, zoe = kind & 2, attached = kind & 4, bcc = kind & 8;
        const QString name = zoe ? u"Zo\u00EB"_s : u"Zoe"_s;
        SCOPED_TRACE(kind);
        s.Param(spYourName).SetStr(name);
        s.Param(spSubject).SetStr(name + u", news for %0"_s);
        s.MessageText = html ? QStringList{u"<html><body>Dear %0, "_s + name + u"</body></html>"_s}
                             : QStringList{u"Dear %0,"_s, name};
        s.AnalyseMessage();
        s.AttachmentPaths = attached ? QStringList{attachment.fileName()} : QStringList{};
        s.Param(spMethodBcc).SetBool(bcc);
        const QString preview = PreviewHeaderText(
            s, {true, s.Param(spCharSet).GetStr(), true, HeaderEditorLines(s.ExtraHeaders.join(u'\n'))});
        // The line the body decides is among those compared.
        EXPECT_EQ(preview.contains(u"Content-Transfer-Encoding: quoted-printable"_s), zoe && !attached);

        // The job's e-mail: what the message view shows for the row after a
        // change of the settings, then the group and the MIME options.
        panel->ClearView();
        panel->ShowMessageFor(&first);
        const TEmailAddressList group{{u"b1@example.org"_s, {}}};
        const TEmailMessage em{panel->ToItem(),
                               bcc ? group : TEmailAddressList{},
                               panel->BccTo(),
                               panel->ReplyTo(),
                               panel->GetSubject(),
                               panel->GetBody(),
                               true,
                               s.Param(spCharSet).GetStr()};
        thread.Hand(em);
        ASSERT_TRUE(QTest::qWaitFor([&] { return !thread.IsBusy(); }, HangGuardMs))
            << "the thread was still busy with the e-mail after " << HangGuardMs / 1000 << " s";
        ASSERT_EQ(thread.State, SmtpThreadState::Sent) << thread.ErrorText().toStdString();
        ASSERT_TRUE(server.WaitForMessages(kind + 1));
        EXPECT_EQ(Comparable(preview), Comparable(QString::fromLatin1(server.Messages()[kind].HeaderBlock())));
    }
    thread.RequestStop();
}
