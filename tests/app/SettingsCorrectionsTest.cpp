// What the settings editor corrects on OK instead of asking.
#include "SettingsCorrections.h"

#include "TESettings.h"
#include "TempDataFolder.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(SettingsCorrectionsTest, BccToNameLosesFiveCharactersOnly)
{
    EXPECT_EQ(CleanMethodTo(u"  \"My: list\" <a@b>/\\  "_s), u"My list <ab>"_s);
    EXPECT_EQ(CleanMethodTo(u"undisclosed recipients"_s), u"undisclosed recipients"_s);
}

TEST(SettingsCorrectionsTest, NoUserOrNoAtSwitchesOffBeforeTheWrite)
{
    TempDataFolder data;
    TESettings s;
    s.Param(spSmtpAuth).SetBool(true);
    s.Param(spPassword).SetStr(u"secret"_s);
    s.Param(spBccEmails).SetBool(true);
    s.Param(spBccTo).SetStr(u"copy.example.org"_s);
    s.Param(spReplyEna).SetBool(true);
    s.Param(spReplyTo).SetStr(u"reply@example.org"_s);
    CorrectSettings(s);
    EXPECT_FALSE(s.Param(spSmtpAuth).GetBool());
    EXPECT_TRUE(s.Param(spPassword).GetStr().isEmpty());
    EXPECT_FALSE(s.Param(spBccEmails).GetBool());
    EXPECT_TRUE(s.Param(spReplyEna).GetBool());

    s.Param(spSmtpUser).SetStr(u"user"_s);
    s.Param(spSmtpAuth).SetBool(true);
    s.Param(spPassword).SetStr(u"secret"_s);
    CorrectSettings(s);
    EXPECT_TRUE(s.Param(spSmtpAuth).GetBool());
    EXPECT_EQ(s.Param(spPassword).GetStr(), u"secret"_s);
}
