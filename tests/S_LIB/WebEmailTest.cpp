#include "WebEmail.h"
#include "MessageBoxRecorder.h"
#include "StartupEnv.h"
#include "TempDataFolder.h"

#include <QFile>
#include <QUrl>

#include <gtest/gtest.h>

#include <cstring>

using namespace Qt::StringLiterals;

namespace {

class WebEmailTest : public testing::Test {
protected:
    void SetUp() override
    {
        SetUrlOpenHook([this](const QUrl &url) {
            opened.append(url);
            return desktopWorks;
        });
    }
    void TearDown() override { SetUrlOpenHook(nullptr); }

    TempDataFolder data;
    MessageBoxRecorder boxes;
    QList<QUrl> opened;
    bool desktopWorks = true;
};

} // namespace

TEST_F(WebEmailTest, AddressesAndLocalFilesBecomeUrls)
{
    // Characters that mean something in a URL stay part of the file's name.
    const QString name = data.Path(u"R&D #1 100%:ü.htm"_s);
    QFile file(name);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();

    EXPECT_TRUE(OpenURL(HomePageHost()));
    EXPECT_TRUE(OpenURL(u"mailto:someone@velko-courierline.example?subject=Hi"_s));
    EXPECT_TRUE(OpenURL(name));
    ASSERT_EQ(opened.size(), 3);
    EXPECT_EQ(opened[0], QUrl(u"http://www.velko-courierline.example"_s));
    EXPECT_EQ(opened[1].toString(), u"mailto:someone@velko-courierline.example?subject=Hi"_s);
    EXPECT_EQ(opened[2].toLocalFile(), name);
    EXPECT_TRUE(boxes.Boxes().isEmpty());
}

TEST_F(WebEmailTest, MissingHelpPageShowsTheSystemsFileNotFoundText)
{
    EXPECT_FALSE(OpenHelpPage());
    EXPECT_TRUE(opened.isEmpty());
    ASSERT_EQ(boxes.Boxes().size(), 1);
    EXPECT_EQ(boxes.Boxes()[0].type, MsgDlgType::Error);
    EXPECT_EQ(boxes.Boxes()[0].text, QString::fromLocal8Bit(std::strerror(ENOENT)));

    QFile help(ProgramDir() + u"bry_help.htm"_s);
    ASSERT_TRUE(help.open(QIODevice::WriteOnly));
    help.close();
    EXPECT_TRUE(OpenHelpPage());
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened[0].toLocalFile(), help.fileName());
}

TEST_F(WebEmailTest, DesktopFailuresAreReported)
{
    desktopWorks = false;
    EXPECT_FALSE(OpenURL(u"www.velko-courierline.example"_s));
    EXPECT_FALSE(OpenHomePage());
    EXPECT_FALSE(OpenSupportMail());
    ASSERT_EQ(opened.size(), 3);
    EXPECT_EQ(opened[2], QUrl(u"mailto:support@velko-courierline.example"_s));
    ASSERT_EQ(boxes.Boxes().size(), 3);
    EXPECT_TRUE(boxes.Boxes()[0].text.contains(u"www.velko-courierline.example"_s));
    EXPECT_EQ(boxes.Boxes()[1].text,
              u"Unable to start web browser. Make sure you have it properly setup on your system."_s);
    EXPECT_EQ(boxes.Boxes()[2].text,
              u"Unable to start Internet mail client. Make sure you have it properly setup on your system."_s);
}
