#include "TRestoreSett.h"

#include "IniFile.h"
#include "TempDataFolder.h"

#include <QFile>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(TRestoreSettTest, EveryOptionIsOnWithoutAFile)
{
    TempDataFolder data;
    TRestoreSett options;
    options.Option(rpRestoreLst).SetBool(false);
    options.LoadSaveRestoreOptions(false);
    for (int i = 0; i < RestoreOptionCount; ++i)
        EXPECT_TRUE(options.IsOn(RestoreOption(i)));
    EXPECT_FALSE(QFile::exists(TRestoreSett::FileName()));
}

TEST(TRestoreSettTest, WrittenOptionsReadBack)
{
    TempDataFolder data;
    {
        TRestoreSett options;
        options.Option(rpRestoreLst).SetBool(false);
        options.Option(rpClearStatus).SetBool(false);
        options.LoadSaveRestoreOptions(true);
    }
    const IniFile ini(TRestoreSett::FileName());
    EXPECT_EQ(ini.ReadString(u"RestorePar"_s, u"rpRestoreLst"_s, {}), u"0"_s);
    EXPECT_EQ(ini.ReadString(u"RestorePar"_s, u"rpRestoreCon"_s, {}), u"1"_s);

    TRestoreSett again;
    again.LoadSaveRestoreOptions(false);
    EXPECT_TRUE(again.IsOn(rpRestoreCon));
    EXPECT_TRUE(again.IsOn(rpRestoreMsg));
    EXPECT_FALSE(again.IsOn(rpRestoreLst));
    EXPECT_FALSE(again.IsOn(rpClearStatus));
}

TEST(TRestoreSettTest, MissingKeyReadsAsOn)
{
    TempDataFolder data;
    IniFile ini(TRestoreSett::FileName());
    ini.WriteString(u"RestorePar"_s, u"rpRestoreMsg"_s, u"0"_s);
    ini.UpdateFile();
    TRestoreSett options;
    options.Option(rpRestoreCon).SetBool(false);
    options.LoadSaveRestoreOptions(false);
    EXPECT_TRUE(options.IsOn(rpRestoreCon));
    EXPECT_FALSE(options.IsOn(rpRestoreMsg));
}
