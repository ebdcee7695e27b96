#include "DlgEdRcp.h"

#include "MessageBoxRecorder.h"
#include "TDialogBtnPanel.h"
#include "TRecipientCursor.h"
#include "TRecipientModel.h"

#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

class TEditRcpDialogTest : public testing::Test {
protected:
    void Load(int params)
    {
        std::vector<TRecipient> rows{{RecipientStatus::Sent, u"ann@x.org"_s, {}, u"Sent on 1"_s}};
        for (int k = 0; k < params; ++k)
            rows[0].Params.append(u"p%1"_s.arg(k + 1));
        model.ResetList(rows, params);
    }

    std::unique_ptr<TEditRcpDialog> Dialog(bool add, int item = 0)
    {
        auto dialog = std::make_unique<TEditRcpDialog>(model, cursor);
        dialog->IsAdd = add;
        dialog->EditItem = item;
        dialog->BuildRows();
        return dialog;
    }

    MessageBoxRecorder boxes;
    TRecipientModel model;
    QItemSelectionModel selection{&model};
    TRecipientCursor cursor{model, selection};
};

} // namespace

TEST_F(TEditRcpDialogTest, OneRowPerParameter)
{
    Load(3);
    const auto three = Dialog(false);
    EXPECT_EQ(three->windowTitle(), u"Edit Destination"_s);
    EXPECT_NE(three->Edits[3], nullptr);
    EXPECT_EQ(three->Edits[4], nullptr);
    EXPECT_EQ(three->Edits[3]->text(), u"p3"_s);
    EXPECT_EQ(three->findChildren<QLabel *>().first()->text(), u"E-Mail Address:"_s);

    Load(0);
    const auto none = Dialog(true);
    EXPECT_EQ(none->windowTitle(), u"Add Recipient"_s);
    EXPECT_EQ(none->Edits[1], nullptr);
    EXPECT_TRUE(none->Edits[0]->text().isEmpty());
    EXPECT_GT(three->height(), none->height());
    EXPECT_EQ(none->height(), TDialogBtnPanel::BarHeight + 10 + none->Edits[0]->height() + 4 + 8);
}

TEST_F(TEditRcpDialogTest, EmptyAddressKeepsTheDialogOpen)
{
    Load(1);
    const auto dialog = Dialog(true);
    dialog->Edits[0]->setText(u" \t "_s);
    dialog->ButtonBar->Button(bOK)->click();
    EXPECT_EQ(dialog->result(), 0);
    EXPECT_EQ(model.RecipientCount(), 1);
}

TEST_F(TEditRcpDialogTest, DuplicateQuestionOnceAndYesAdds)
{
    Load(1);
    model.Append(u"ANN@x.org"_s, {});
    const auto dialog = Dialog(true);
    dialog->Edits[0]->setText(u"Ann@X.org"_s);
    dialog->Edits[1]->setText(u" Ann | Lee "_s);
    dialog->ButtonBar->Button(bOK)->click();
    EXPECT_EQ(boxes.Boxes().size(), 2); // one question per matching row
    EXPECT_EQ(dialog->result(), QDialog::Accepted);
    ASSERT_EQ(model.RecipientCount(), 3);
    EXPECT_EQ(model.Recipient(2).Params, QStringList{u"Ann / Lee"_s});
    EXPECT_EQ(cursor.CurrentItem(), 2);
}

TEST_F(TEditRcpDialogTest, NonAsciiLettersAreNotFolded)
{
    Load(0);
    model.Append(u"ÄNN@x.org"_s, {});
    const auto dialog = Dialog(true);
    dialog->Edits[0]->setText(u"änn@x.org"_s);
    dialog->ButtonBar->Button(bOK)->click();
    EXPECT_TRUE(boxes.Boxes().isEmpty());
    EXPECT_EQ(model.RecipientCount(), 3);
}

TEST_F(TEditRcpDialogTest, CancelChangesNothing)
{
    Load(1);
    const auto dialog = Dialog(false);
    dialog->Edits[0]->setText(u"changed@x.org"_s);
    dialog->ButtonBar->Button(bCancel)->click();
    EXPECT_EQ(dialog->result(), QDialog::Rejected);
    EXPECT_EQ(model.Recipient(0).Address, u"ann@x.org"_s);
}

TEST_F(TEditRcpDialogTest, DuplicateQuestionComparesTheAddressAsStored)
{
    Load(0);
    model.Append(u"a/b@x.org"_s, {});
    const auto dialog = Dialog(true);
    dialog->Edits[0]->setText(u" A|B@x.org "_s);
    boxes.QueueAnswer(false);
    dialog->ButtonBar->Button(bOK)->click();
    ASSERT_EQ(boxes.Boxes().size(), 1);
    EXPECT_TRUE(boxes.Boxes().front().text.contains(u"\"A/B@x.org\""_s));
    EXPECT_EQ(dialog->result(), 0);
    EXPECT_EQ(model.RecipientCount(), 2);
}
