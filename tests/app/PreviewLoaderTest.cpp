// The preview's pages and loads, without the web engine.
#include "PreviewLoader.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(PreviewLoaderTest, ALoadStartsWhenTheOneBeforeHasEndedWithTheNewestText)
{
    QList<QUrl> started;
    int stops = 0;
    TPreviewLoader loader([&](const QUrl &url) { started.append(url); }, [&] { ++stops; });
    EXPECT_FALSE(loader.Serve(QUrl(u"vc-preview:page-1"_s)));

    loader.Load(u"<p>Dear Ann</p>"_s);
    ASSERT_EQ(started.size(), 1);
    EXPECT_TRUE(loader.IsLoading());
    EXPECT_EQ(started[0].scheme(), u"vc-preview"_s);
    EXPECT_EQ(loader.Serve(started[0]), u"<p>Dear Ann</p>"_s.toUtf8());

    // Two texts while the first loads: only the newer one follows.
    loader.Load(u"<p>Dear Bob</p>"_s);
    loader.Load(u"<p>Dear Cécile</p>"_s);
    EXPECT_EQ(started.size(), 1);
    EXPECT_FALSE(loader.LoadEnded(QUrl(u"vc-preview:page-99"_s)));
    EXPECT_TRUE(loader.IsLoading());
    EXPECT_TRUE(loader.LoadEnded(started[0]));
    ASSERT_EQ(started.size(), 2);
    EXPECT_NE(started[1], started[0]);
    EXPECT_EQ(loader.CurrentUrl(), started[1]);
    EXPECT_EQ(loader.Serve(started[1]), u"<p>Dear Cécile</p>"_s.toUtf8());
    // The earlier page is gone, and so is anything not on the scheme.
    EXPECT_FALSE(loader.Serve(started[0]));
    EXPECT_FALSE(loader.Serve(QUrl(u"http://x.example/"_s + started[1].path())));

    EXPECT_TRUE(loader.LoadEnded(started[1]));
    EXPECT_FALSE(loader.IsLoading());
    EXPECT_EQ(stops, 0);
}

TEST(PreviewLoaderTest, ClosingStopsTheLoadAndNothingLoadsAfterwards)
{
    QList<QUrl> started;
    int stops = 0;
    TPreviewLoader loader([&](const QUrl &url) { started.append(url); }, [&] { ++stops; });
    loader.Load(u"<p>big</p>"_s);
    loader.Load(u"<p>waiting</p>"_s);
    loader.Close();
    EXPECT_EQ(stops, 1);
    EXPECT_TRUE(loader.IsClosing());
    EXPECT_FALSE(loader.IsLoading());
    // The engine's report of the stopped load starts nothing.
    EXPECT_FALSE(loader.LoadEnded(started[0]));
    loader.Load(u"<p>late</p>"_s);
    EXPECT_EQ(started.size(), 1);

    // Closing while idle stops nothing.
    TPreviewLoader idle([](const QUrl &) {}, [&] { ++stops; });
    idle.Close();
    EXPECT_EQ(stops, 1);
}
