#include "TIniPar.h"
#include "IniFile.h"
#include "MessageBoxRecorder.h"

#include <QLocale>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

class TIniParTest : public testing::Test {
protected:
    QTemporaryDir dir;
    IniFile ini{dir.filePath(u"test.ini"_s)};
};

} // namespace

TEST_F(TIniParTest, DefaultsParseByType)
{
    for (const QString &text : {u"1"_s, u"true"_s, u"yes"_s})
        EXPECT_TRUE(TIniPar(iptBoolean, u"B"_s, text).GetBool()) << qPrintable(text);
    EXPECT_FALSE(TIniPar(iptBoolean, u"B"_s, u"0"_s).GetBool());
    EXPECT_FALSE(TIniPar(iptBoolean, u"B"_s, QString()).GetBool());

    MessageBoxRecorder boxes;
    TIniPar bad(iptInteger, u"I"_s, u"12abc"_s);
    EXPECT_EQ(bad.GetInt(), 0);
    EXPECT_TRUE(bad.DefaultText.isEmpty());
    ASSERT_EQ(boxes.Boxes().size(), 1);
    EXPECT_EQ(boxes.Boxes()[0].text, u"'12abc' is not a valid integer value"_s);
}

TEST_F(TIniParTest, BoundsClampOnReadButNotOnWrite)
{
    ini.WriteInteger(u"S"_s, u"N"_s, 500);
    TIniPar bounded(iptInteger, u"N"_s, u"10"_s);
    bounded.SetBounds(1, 100);
    bounded.ReadWrite(false, &ini, u"S"_s, QString());
    EXPECT_EQ(bounded.GetInt(), 100);
    TIniPar free(iptInteger, u"N"_s, u"10"_s);
    free.ReadWrite(false, &ini, u"S"_s, QString());
    EXPECT_EQ(free.GetInt(), 500);

    bounded.SetInt(500);
    ini.WriteInteger(u"S"_s, u"N"_s, 0);
    bounded.ReadWrite(true, &ini, QString(), QString());
    EXPECT_EQ(ini.ReadString(u"S"_s, u"N"_s, {}), u"500"_s);

    TIniPar a(iptInteger, u"A"_s, u"5"_s);
    a.SetBounds(10, 20);
    EXPECT_EQ(a.GetInt(), 10);
    TIniPar b(iptInteger, u"B"_s, u"5"_s);
    b.SetBoundsDefault(10, 20, 15);
    EXPECT_EQ(b.GetInt(), 15);
    EXPECT_FALSE(a.Modified || b.Modified);
}

TEST_F(TIniParTest, ReadingAnotherSectionStartsFromTheDefault)
{
    ini.WriteString(u"A"_s, u"Host"_s, u"a.example"_s);
    TIniPar host(iptString, u"Host"_s, u"default.example"_s);
    host.ReadWrite(false, &ini, u"A"_s, QString());
    EXPECT_EQ(host.GetStr(), u"a.example"_s);
    host.ReadWrite(false, &ini, u"B"_s, QString());
    EXPECT_EQ(host.GetStr(), u"default.example"_s);
    EXPECT_EQ(host.Section, u"B"_s);
}

TEST_F(TIniParTest, UnboundParameterIgnoresReadAndWrite)
{
    ini.WriteInteger(u"S"_s, u"N"_s, 9);
    TIniPar n(iptInteger, u"N"_s, u"3"_s);
    n.SetInt(4);
    n.SetInt(4); // the same value again keeps the mark
    n.ReadWrite(false, &ini, QString(), QString());
    n.ReadWrite(true, &ini, QString(), u"Other"_s);
    EXPECT_EQ(n.GetInt(), 4);
    EXPECT_TRUE(n.Modified);
    EXPECT_FALSE(ini.ValueExists(u"S"_s, u"Other"_s));
}

TEST_F(TIniParTest, MultiLineStringsUseOneLine)
{
    TIniPar text(iptString, u"Text"_s, QString());
    text.MultiLine = true;
    text.SetStr(u"a\r\nb\rc\nd"_s);
    text.ReadWrite(true, &ini, u"S"_s, QString());
    EXPECT_EQ(ini.ReadString(u"S"_s, u"Text"_s, {}), u"a\x7F"
                                                     u"b\x7F"
                                                     u"cd"_s);
    text.SetStr(QString());
    text.ReadWrite(false, &ini, QString(), QString());
    EXPECT_EQ(text.GetStr(), u"a\r\nb\r\ncd"_s);
}

TEST_F(TIniParTest, FloatsReadWithEitherSeparatorInAnyLocale)
{
    const QLocale saved;
    for (const QLocale &locale : {QLocale(QLocale::German, QLocale::Germany), QLocale(QLocale::English)}) {
        QLocale::setDefault(locale);
        EXPECT_DOUBLE_EQ(StrToFloatAnySep(u"1,5"_s, -1.0), 1.5) << qPrintable(locale.name());
        EXPECT_DOUBLE_EQ(StrToFloatAnySep(u"1.5"_s, -1.0), 1.5) << qPrintable(locale.name());
        EXPECT_DOUBLE_EQ(StrToFloatAnySep(u"x1"_s, -1.0), -1.0);
    }
    QLocale::setDefault(saved);
}
