#include "CommandTable.h"

#include <QStringList>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(CommandTableTest, CaptionsInIdOrder)
{
    const QStringList expected = {u"Settings"_s,
                                  u"Test Connection"_s,
                                  u"Settings"_s,
                                  u"Text"_s,
                                  u"Method"_s,
                                  u"Import"_s,
                                  u"Export"_s,
                                  u"Clear"_s,
                                  u"Add"_s,
                                  u"Edit"_s,
                                  u"Delete"_s,
                                  u"Select All"_s,
                                  u"Reset Status to \"Not Sent\""_s,
                                  u"Export Selected"_s,
                                  u"Send All Remaining"_s,
                                  u"Send Selected"_s,
                                  u"Resend Failed"_s,
                                  u"Stop Sending"_s,
                                  u"HTML Preview"_s,
                                  u"Export Log"_s,
                                  u"Backup Workspace"_s,
                                  u"Restore Workspace"_s,
                                  u"Help"_s,
                                  QString(),
                                  u"Velko Online"_s,
                                  u"About"_s,
                                  u"Exit"_s,
                                  u"Show Help"_s,
                                  u"Close"_s};
    ASSERT_EQ(expected.size(), CommandCount);
    for (int id = 0; id < CommandCount; ++id)
        EXPECT_EQ(CommandCaptions[id], expected[id]) << "command " << id;
}

TEST(CommandTableTest, HintsOfNotableRows)
{
    EXPECT_EQ(CommandHints[0], u"Edits connection settings and job parameters"_s);
    EXPECT_EQ(CommandHints[12], u"Changes status of selected items to \"Not Sent\""_s);
    EXPECT_EQ(CommandHints[15], u"Sends e-mail to currently selected destination(s)"_s);
    EXPECT_EQ(CommandHints[18], u"Shows HTML - formatted message"_s);
    EXPECT_EQ(CommandHints[22], u"Read help file"_s);
    EXPECT_EQ(CommandHints[26], u"Exit the program"_s);
    EXPECT_EQ(CommandHints[6], CommandHints[13]);
    EXPECT_EQ(CommandCaptions[0], CommandCaptions[2]);
}

TEST(CommandTableTest, UnusedAndEmptyRows)
{
    EXPECT_TRUE(CommandCaptions[23].isEmpty());
    EXPECT_TRUE(CommandHints[23].isEmpty());
    EXPECT_TRUE(CommandHints[27].isEmpty());
    EXPECT_TRUE(CommandHints[28].isEmpty());
    for (int id = 0; id < CommandCount; ++id) {
        if (id != 23) {
            EXPECT_FALSE(CommandCaptions[id].isEmpty()) << "command " << id;
        }
    }
}

TEST(CommandTableTest, WebSiteHintNamesTheAddress)
{
    EXPECT_FALSE(MakerWebAddress.isEmpty());
    EXPECT_EQ(CommandHints[24], u"Visit our web site at "_s + MakerWebAddress);
}

TEST(CommandSetTest, BitsAndMembership)
{
    const CommandSet email = CommandSet::Range(14, 22) + CommandSet{25};
    for (int id = 0; id < CommandCount; ++id)
        EXPECT_EQ(email.Contains(static_cast<CommandId>(id)), (id >= 14 && id <= 22) || id == 25) << id;
    EXPECT_EQ((CommandSet{0, 1}.Bits()), 0b11u);
    EXPECT_EQ(CommandSet{28}.Bits(), 1u << 28);
    EXPECT_TRUE(CommandSet().IsEmpty());
    CommandSet grown = {24};
    grown += CommandSet{26};
    EXPECT_EQ(grown, (CommandSet{24, 26}));
}

TEST(CommandSetTest, SeparatorCommands)
{
    EXPECT_EQ(SeparatorCommands, (CommandSet{18, 22, 26}));
}

TEST(CommandSetTest, RangePastBit31StopsThere)
{
    const CommandSet upper = CommandSet::Range(20, 40);
    EXPECT_EQ(upper.Bits(), 0xFFF00000u);
    EXPECT_FALSE(upper.Contains(0));
    EXPECT_TRUE(CommandSet::Range(32, 255).IsEmpty());
}
