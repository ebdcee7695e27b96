// The HTML preview with the real web engine, offscreen.
#include "DlgHTML.h"

#include "HangGuard.h"
#include "TDialogBtnPanel.h"

#include <QPushButton>
#include <QTcpServer>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

class THTMLDialogTest : public testing::Test {
protected:
    THTMLDialogTest()
    {
        dialog.SetupPreview([this](DialogButtonId button) { steps.append(button); });
    }

    /** Shows HTML and waits until the engine has loaded it. */
    testing::AssertionResult ShowLoaded(const QString &html)
    {
        dialog.SetHtmlText(html);
        if (dialog.isVisible())
            dialog.PostReload();
        else
            dialog.show();
        return WaitLoaded();
    }
    testing::AssertionResult WaitLoaded()
    {
        if (!QTest::qWaitFor([&] { return dialog.Loader().IsLoading(); }, HangGuardMs))
            return testing::AssertionFailure()
                   << "the page had still not begun to load after " << HangGuardMs / 1000 << " s";
        if (!QTest::qWaitFor([&] { return !dialog.Loader().IsLoading(); }, HangGuardMs))
            return testing::AssertionFailure() << "the page was still loading after " << HangGuardMs / 1000 << " s";
        return testing::AssertionSuccess();
    }
    /** The text the page shows. */
    QString ShownText()
    {
        QString text;
        bool done = false;
        dialog.Browser->page()->toPlainText([&](const QString &result) {
            text = result;
            done = true;
        });
        return QTest::qWaitFor([&] { return done; }, HangGuardMs)
                   ? text
                   : u"<the page had not told its text after %1 s>"_s.arg(HangGuardMs / 1000);
    }
    QPushButton *Button(DialogButtonId id) const { return dialog.Buttons->Button(id); }

    THTMLDialog dialog;
    QList<DialogButtonId> steps;
};

} // namespace

TEST_F(THTMLDialogTest, ShowsTheTextFromMemoryWithoutScriptsAndStepsOnlyWhenNoPageLoads)
{
    dialog.SetNavigationEnabled(false, true);

    // A page whose meta tag names another character set: the text arrives as the program holds it.
    ASSERT_TRUE(ShowLoaded(u"<html><head><meta charset=\"iso-8859-1\"><title>Offer</title></head><body>"
                           u"<p>Dear Ann, Grüße für 5 €</p><script>document.title = 'script ran';</script>"
                           u"</body></html>"_s));
    EXPECT_EQ(ShownText().trimmed(), u"Dear Ann, Grüße für 5 €"_s);
    EXPECT_EQ(dialog.Browser->page()->title(), u"Offer"_s);
    EXPECT_EQ(dialog.Browser->url().scheme(), u"vc-preview"_s);

    Button(bBack)->click();
    Button(bNext)->click();
    EXPECT_EQ(steps, QList<DialogButtonId>{bNext});

    // While the next page loads, a step is ignored.
    dialog.SetHtmlText(u"<html><body><p>Dear Bob</p></body></html>"_s);
    dialog.PostReload();
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialog.Loader().IsLoading(); }, HangGuardMs))
        << "the page had still not begun to load after " << HangGuardMs / 1000 << " s";
    Button(bNext)->click();
    EXPECT_EQ(steps.size(), 1);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dialog.Loader().IsLoading(); }, HangGuardMs))
        << "the page was still loading after " << HangGuardMs / 1000 << " s";
    EXPECT_EQ(ShownText().trimmed(), u"Dear Bob"_s);
}

TEST_F(THTMLDialogTest, NoRequestLeavesThePreviewScheme)
{
    QTcpServer tracker;
    ASSERT_TRUE(tracker.listen(QHostAddress::LocalHost));
    int connections = 0;
    QObject::connect(&tracker, &QTcpServer::newConnection, &tracker, [&] {
        while (QTcpSocket *socket = tracker.nextPendingConnection()) {
            ++connections;
            socket->close();
        }
    });
    const QString remote = u"http://127.0.0.1:%1"_s.arg(tracker.serverPort());
    ASSERT_TRUE(ShowLoaded(u"<html><head><link rel=\"stylesheet\" href=\"%1/style.css\">"
                           u"<link rel=\"prefetch\" href=\"%1/next.html\"><link rel=\"dns-prefetch\" href=\"%1\">"
                           u"<meta http-equiv=\"refresh\" content=\"0; url=%1/moved.html\"></head>"
                           u"<body style=\"background: url(%1/background.png)\"><p>Hello</p>"
                           u"<img src=\"%1/pixel.gif\"><iframe src=\"%1/frame.html\"></iframe>"
                           u"<img src=\"local.png\"></body></html>"_s.arg(remote)));
    // Time for any request the page might still make.
    QTest::qWait(1000);
    EXPECT_EQ(connections, 0);
    EXPECT_EQ(dialog.Browser->url().scheme(), u"vc-preview"_s);
    EXPECT_EQ(ShownText().trimmed(), u"Hello"_s);
}

TEST_F(THTMLDialogTest, CloseWhileAPageLoadsStopsItAndCloses)
{
    dialog.SetHtmlText(u"<html><body><table>"_s + u"<tr><td>row</td></tr>"_s.repeated(20000)
                       + u"</table></body></html>"_s);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialog.Loader().IsLoading(); }, HangGuardMs))
        << "the page had still not begun to load after " << HangGuardMs / 1000 << " s";
    Button(bClose)->click();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_FALSE(Button(bClose)->isEnabled());
    EXPECT_TRUE(dialog.Loader().IsClosing());
    EXPECT_FALSE(dialog.Loader().IsLoading());
}
