#include "TMimeTable.h"

#include <QMimeDatabase>
#include <QSet>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

TMimeTable FixedOnly()
{
    TMimeTable table;
    table.AddFixedRows();
    return table;
}

} // namespace

TEST(TMimeTableTest, FixedRowsInOrder)
{
    const QStringList &rows = TMimeTable::FixedRows();
    ASSERT_EQ(rows.size(), 136);
    EXPECT_EQ(rows.first(), u".aiff=audio/x-aiff"_s);
    EXPECT_EQ(rows.last(), u".sgml=text/sgml"_s);
    EXPECT_EQ(rows.indexOf(u".xbm=image/xbm"_s), 30);
    EXPECT_EQ(rows.indexOf(u".xbm=image/x-xbitmap"_s), 37);
    EXPECT_EQ(rows.count(u".xml=text/xml"_s), 2);
    EXPECT_EQ(FixedOnly().Rows(), rows);
}

TEST(TMimeTableTest, LookupWithoutSystemData)
{
    const TMimeTable table = FixedOnly();
    EXPECT_EQ(table.Lookup(u"/home/ann/photo.jpg"_s), u"image/jpeg"_s);
    EXPECT_EQ(table.Lookup(u"PHOTO.JPG"_s), u"image/jpeg"_s);
    EXPECT_EQ(table.Lookup(u"icons.xbm"_s), u"image/xbm"_s);
    EXPECT_EQ(table.Lookup(u"letter.doc"_s), u"application/msword"_s);
    EXPECT_EQ(table.Lookup(u"archive.tar.gz"_s), u"application/x-gzip"_s);
    EXPECT_EQ(table.Lookup(u"data.nosuchext"_s), QString());
    EXPECT_EQ(table.Lookup(u"README"_s), QString());
    // A dot in a folder name is no extension.
    EXPECT_EQ(table.Lookup(u"/home/a.jpg/README"_s), QString());
    EXPECT_EQ(table.Value(u".PDF"_s), u"application/pdf"_s);
}

TEST(TMimeTableTest, SetReplacesTheFirstRowOrAppends)
{
    TMimeTable table = FixedOnly();
    table.Set(u".XBM"_s, u"image/other"_s);
    EXPECT_EQ(table.Count(), 136);
    EXPECT_EQ(table.Rows()[30], u".xbm=image/other"_s);
    EXPECT_EQ(table.Rows()[37], u".xbm=image/x-xbitmap"_s);
    table.Set(u".new"_s, u"a/b"_s);
    EXPECT_EQ(table.Count(), 137);
    EXPECT_EQ(table.Rows().last(), u".new=a/b"_s);
}

TEST(TMimeTableTest, SystemPassesReplaceAndAdd)
{
    TMimeTable table = FixedOnly();
    table.AddSystemTypes(
        {{u".abc"_s, u"text/abc"_s}, {u".jpg"_s, u"image/from-key"_s}, {u".pdf"_s, u"application/x-other"_s}}, {});
    EXPECT_EQ(table.Lookup(u"a.pdf"_s), u"application/x-other"_s);
    EXPECT_EQ(table.Lookup(u"a.abc"_s), u"text/abc"_s);
    EXPECT_EQ(table.Lookup(u"a.jpg"_s), u"image/from-key"_s);

    // The database's answer replaces the extension key's; of two types naming
    // one extension the one listed first wins.
    table.AddSystemTypes(
        {}, {{u"image/first"_s, u".gif"_s}, {u"image/pjpeg"_s, u".jpg"_s}, {u"image/second"_s, u".gif"_s}});
    EXPECT_EQ(table.Lookup(u"a.jpg"_s), u"image/pjpeg"_s);
    EXPECT_EQ(table.Lookup(u"a.gif"_s), u"image/first"_s);
    // Entries without an extension set nothing.
    const int count = table.Count();
    table.AddSystemTypes({{QString(), u"x/y"_s}}, {{u"x/z"_s, QString()}});
    EXPECT_EQ(table.Count(), count);
    EXPECT_EQ(table.Lookup(u"README"_s), QString());
}

TEST(TMimeTableTest, FillTakesTheSystemDatabase)
{
    const QMimeDatabase db;
    const TMimeTable::Pairs extensionTypes = TMimeTable::SystemExtensionTypes(db);
    const TMimeTable::Pairs typeExtensions = TMimeTable::SystemTypeExtensions(db);
    if (extensionTypes.isEmpty())
        GTEST_SKIP() << "no MIME database on this system";

    for (const auto &[ext, type] : extensionTypes) {
        EXPECT_TRUE(ext.startsWith(u'.'));
        EXPECT_EQ(ext, ext.toLower());
        EXPECT_EQ(ext.count(u'.'), 1);
        EXPECT_FALSE(type.isEmpty());
    }

    TMimeTable table;
    table.Fill();
    // Every extension the database knows is there, as the first type that names
    // it as its main extension gives it, else as the extension's own type.
    QSet<QString> named;
    for (const auto &[type, ext] : typeExtensions) {
        if (named.contains(ext))
            continue;
        named.insert(ext);
        EXPECT_EQ(table.Value(ext), type) << ext.toStdString();
    }
    for (const auto &[ext, type] : extensionTypes) {
        if (!named.contains(ext)) {
            EXPECT_EQ(table.Value(ext), type) << ext.toStdString();
        }
        named.insert(ext);
    }
    // Fixed rows the system does not name keep their type.
    const TMimeTable fixed = FixedOnly();
    for (const QString &row : TMimeTable::FixedRows()) {
        const QString ext = row.section(u'=', 0, 0);
        if (!named.contains(ext)) {
            EXPECT_EQ(table.Value(ext), fixed.Value(ext)) << ext.toStdString();
        }
    }
}
