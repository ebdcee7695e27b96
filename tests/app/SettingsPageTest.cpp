// The settings editor's pages and the control and switch of each setting, without the dialog.
#include "SettingsPage.h"

#include <gtest/gtest.h>

#include <map>

using namespace Qt::StringLiterals;

TEST(SettingsPageTest, EachSettingGetsTheControlItsTypeAndRulesGive)
{
    const std::map<int, RowControl> expected = {
        {spSmtpServer, RowControl::Edit},        {spSmtpPort, RowControl::SpinEdit},
        {spSmtpAuth, RowControl::CheckBox},      {spPassword, RowControl::PasswordEdit},
        {spMessageFile, RowControl::ValueField}, {spAttachments, RowControl::Attachments},
        {spNameParInd, RowControl::SpinEdit},    {spCharSet, RowControl::Edit},
        {spMethodBcc, RowControl::ComboBox},     {spMethodTo, RowControl::Edit},
        {spMethodCount, RowControl::SpinEdit},   {spExtraHdrEna, RowControl::CheckBox}};
    for (const auto &[index, control] : expected)
        EXPECT_EQ(RowControlOf(index), control) << index;

    // Labels for every non-check-box row with a long label, and for the send method.
    EXPECT_TRUE(RowHasLabel(spSmtpServer));
    EXPECT_TRUE(RowHasLabel(spMethodBcc));
    EXPECT_FALSE(RowHasLabel(spSmtpAuth));
    EXPECT_FALSE(RowHasLabel(spNameParInd));
    EXPECT_EQ(RowLabelText(spCharSet), u"  Character Set:"_s);
    EXPECT_EQ(RowLabelText(spMethodCount), u"BCC (per e-mail):"_s);

    for (const int row : {spSmtpUser, spPassword})
        EXPECT_EQ(SwitchRowOf(row), spSmtpAuth);
    for (const int row : {spMethodTo, spMethodEmail, spMethodCount})
        EXPECT_EQ(SwitchRowOf(row), spMethodBcc);
    EXPECT_EQ(SwitchRowOf(spBatchQty), spBatchMode);
    EXPECT_EQ(SwitchRowOf(spReplyTo), spReplyEna);
    EXPECT_EQ(SwitchRowOf(spCharSet), spMimeEna);
    EXPECT_EQ(SwitchRowOf(spSmtpServer), -1);
}

TEST(SettingsPageTest, PagesHaveTheirCaptionsButtonsAndColumn)
{
    EXPECT_EQ(PageCaption(ConnectionPageParams), u"Connection Settings"_s);
    EXPECT_EQ(PageCaption(MessagePageParams), u"Message Settings"_s);
    EXPECT_EQ(PageCaption(MethodPageParams), u"Choose the way e-mails will be sent"_s);
    EXPECT_EQ(PageCaption(HeadersPageParams), u"Customize Message Headers"_s);

    const DialogButtonSet plain{bOK, bCancel, bHelp};
    const DialogButtonSet extra{bOK, bCancel, bHelp, bSetup};
    EXPECT_EQ(PageButtons(ConnectionPageParams).Bits(), plain.Bits());
    EXPECT_EQ(PageButtons(MethodPageParams).Bits(), plain.Bits());
    EXPECT_EQ(PageButtons(MessagePageParams).Bits(), extra.Bits());
    EXPECT_EQ(PageButtons(HeadersPageParams).Bits(), extra.Bits());
    EXPECT_EQ(PageButtonCaption(MessagePageParams, bHelp), u"Clear &All"_s);
    EXPECT_EQ(PageButtonCaption(MessagePageParams, bSetup), u"&Headers..."_s);
    EXPECT_EQ(PageButtonCaption(HeadersPageParams, bSetup), u"&Preview"_s);
    EXPECT_EQ(PageButtonCaption(HeadersPageParams, bHelp), u"&Help"_s);
    EXPECT_EQ(PageButtonCaption(ConnectionPageParams, bOK), u"&OK"_s);

    EXPECT_LT(ControlColumn(HeadersPageParams), ControlColumn(ConnectionPageParams));
    EXPECT_EQ(ControlColumn(MessagePageParams), ControlColumn(MethodPageParams));
}
