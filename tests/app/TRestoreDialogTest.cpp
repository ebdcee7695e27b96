#include "DlgRestr.h"

#include "IniFile.h"
#include "MessageBoxRecorder.h"
#include "TDialogBtnPanel.h"
#include "TempDataFolder.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

class TRestoreDialogTest : public testing::Test {
protected:
    /** Runs the dialog modally; the action answers it once it is open. */
    bool Execute(const std::function<void(TRestoreDialog &)> &action)
    {
        QTimer::singleShot(0, [&] {
            if (auto *dialog = qobject_cast<TRestoreDialog *>(QApplication::activeModalWidget())) {
                caption = dialog->windowTitle();
                action(*dialog);
            }
        });
        return ExecuteRestoreDialog(u"June backup"_s, options);
    }
    static QString Stored(const QString &key)
    {
        return IniFile(TRestoreSett::FileName()).ReadString(u"RestorePar"_s, key, u"<none>"_s);
    }

    TempDataFolder data;
    TRestoreSett options;
    QString caption;
};

} // namespace

TEST_F(TRestoreDialogTest, FirstRestoreChecksEveryBoxAndProceedStoresTheChoices)
{
    EXPECT_TRUE(Execute([](TRestoreDialog &dialog) {
        for (int i = 0; i < RestoreOptionCount; ++i)
            EXPECT_TRUE(dialog.CheckBox(RestoreOption(i))->isChecked());
        // The warning is read whole, in the font this system has, above the first box.
        const QList<QLabel *> labels = dialog.findChildren<QLabel *>();
        const auto warning = std::find_if(labels.begin(), labels.end(),
                                          [](const QLabel *label) { return label->text().startsWith(u"Warning!"_s); });
        ASSERT_NE(warning, labels.end());
        EXPECT_GE((*warning)->height(), (*warning)->heightForWidth((*warning)->width()));
        EXPECT_LE((*warning)->geometry().bottom(), dialog.CheckBox(rpRestoreCon)->y());
        EXPECT_EQ(dialog.Buttons()->Button(bOK)->text(), u"&Proceed"_s);
        dialog.CheckBox(rpRestoreLst)->setChecked(false);
        dialog.Buttons()->Button(bOK)->click();
    }));
    EXPECT_EQ(caption, u"Restore Workspace - June backup"_s);
    EXPECT_FALSE(options.IsOn(rpRestoreLst));
    EXPECT_EQ(Stored(u"rpRestoreLst"_s), u"0"_s);
    EXPECT_EQ(Stored(u"rpRestoreCon"_s), u"1"_s);

    // The next restore opens with the box unchecked; all boxes off is a choice too.
    EXPECT_TRUE(Execute([](TRestoreDialog &dialog) {
        EXPECT_FALSE(dialog.CheckBox(rpRestoreLst)->isChecked());
        EXPECT_TRUE(dialog.CheckBox(rpRestoreMsg)->isChecked());
        for (int i = 0; i < RestoreOptionCount; ++i)
            dialog.CheckBox(RestoreOption(i))->setChecked(false);
        dialog.Buttons()->Button(bOK)->click();
    }));
    for (int i = 0; i < RestoreOptionCount; ++i)
        EXPECT_FALSE(options.IsOn(RestoreOption(i)));
}

TEST_F(TRestoreDialogTest, CancelEscapeAndTheCloseBoxKeepFileAndOptions)
{
    const QList<std::function<void(TRestoreDialog &)>> ways = {
        [](TRestoreDialog &dialog) { dialog.Buttons()->Button(bCancel)->click(); },
        [](TRestoreDialog &dialog) { QTest::keyClick(&dialog, Qt::Key_Escape); },
        [](TRestoreDialog &dialog) { dialog.close(); },
    };
    for (const auto &leave : ways) {
        EXPECT_FALSE(Execute([&](TRestoreDialog &dialog) {
            dialog.CheckBox(rpRestoreCon)->setChecked(false);
            dialog.CheckBox(rpClearStatus)->setChecked(false);
            leave(dialog);
        }));
        EXPECT_TRUE(options.IsOn(rpRestoreCon));
        EXPECT_TRUE(options.IsOn(rpClearStatus));
        EXPECT_FALSE(QFile::exists(TRestoreSett::FileName()));
    }
}

TEST_F(TRestoreDialogTest, OptionsThatCannotBeSavedKeepTheDialogOpen)
{
    // A folder where the options file goes: it cannot be written.
    ASSERT_TRUE(QDir().mkpath(TRestoreSett::FileName()));
    MessageBoxRecorder boxes;
    EXPECT_FALSE(Execute([](TRestoreDialog &dialog) {
        dialog.CheckBox(rpRestoreMsg)->setChecked(false);
        dialog.Buttons()->Button(bOK)->click();
        EXPECT_TRUE(dialog.isVisible());
        dialog.Buttons()->Button(bCancel)->click();
    }));
    ASSERT_EQ(boxes.Boxes().size(), 1);
    EXPECT_EQ(boxes.Boxes()[0].type, MsgDlgType::Error);
    EXPECT_TRUE(options.IsOn(rpRestoreMsg));
}
