// The settings editor's working list of attachment paths, without the list box.
#include "AttachmentList.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(AttachmentListTest, AddComparesPathsExactlyAndShowsTheBareName)
{
    QStringList list{u"/home/me/a.pdf"_s};
    EXPECT_EQ(AddAttachments(list, {u"/home/me/a.PDF"_s, u"/home/me/a.pdf"_s, u"/tmp/b c.txt"_s, u"/tmp/b c.txt"_s}),
              2);
    EXPECT_EQ(list, (QStringList{u"/home/me/a.pdf"_s, u"/home/me/a.PDF"_s, u"/tmp/b c.txt"_s}));
    EXPECT_EQ(AttachmentDisplayName(list[2]), u"b c.txt"_s);
    EXPECT_EQ(AttachmentDisplayName(u"C:\\old\\x.doc"_s), u"C:\\old\\x.doc"_s);
}

TEST(AttachmentListTest, RemovingSelectsTheLowestRemovedOrTheNewLast)
{
    QStringList list{u"/1"_s, u"/2"_s, u"/3"_s, u"/4"_s, u"/5"_s};
    // Items 2 and 4 (counting from 1): three stay, the one now second is selected.
    EXPECT_EQ(RemoveAttachments(list, {3, 1}), 1);
    EXPECT_EQ(list, (QStringList{u"/1"_s, u"/3"_s, u"/5"_s}));
    // The last one: the new last is selected.
    EXPECT_EQ(RemoveAttachments(list, {2}), 1);
    EXPECT_EQ(list, (QStringList{u"/1"_s, u"/3"_s}));
    EXPECT_EQ(RemoveAttachments(list, {7}), -1);
    EXPECT_EQ(RemoveAttachments(list, {0, 1, 1}), -1);
    EXPECT_TRUE(list.isEmpty());
}
