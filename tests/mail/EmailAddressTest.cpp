#include "EmailAddress.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(EmailAddressTest, AcceptsWhatSmtpAllows)
{
    const QString local64(64, u'l');
    const QString domain = QString(63, u'd') + u'.' + QString(63, u'e') + u'.' + QString(57, u'f') + u".org"_s;
    for (const QString &address : {
             u"ann@example.org"_s,
             u" ann.lee+news@mail.example.co.uk\r\n"_s, // blanks and a line break at the ends are no part of it
             u"!#$%&'*+-/=?^_`{|}~@x-1.example"_s, u"\"john doe\"@example.org"_s,
             u"\"a@b <c> \\\"q\\\" \\\\\"@example.org"_s, u"\"\"@example.org"_s, u"postmaster@localhost"_s,
             u"a@[192.0.2.1]"_s, u"a@[IPv6:2001:db8::1]"_s, u"a@[IPv6:::ffff:192.0.2.1]"_s,
             local64 + u'@' + domain, // 254 in all
         })
        EXPECT_TRUE(IsValidEmailAddress(address))
            << address.toStdString() << ": " << EmailAddressProblem(address).toStdString();
}

// Everything that could smuggle text into an SMTP command or a header, or
// that a server cannot take without extensions, is refused with its reason.
TEST(EmailAddressTest, RefusesWithAReason)
{
    const std::pair<QString, QString> cases[] = {
        {u""_s, u"empty"_s},
        {u"c@example.org>\tNOTIFY=SUCCESS"_s, u"a control character"_s},
        {u"c@example.org> NOTIFY=SUCCESS"_s, u"a \">\" in the domain"_s},
        {u"a\u0000b@example.org"_s, u"a control character"_s},
        {u"j\u00FCrgen@example.org"_s, u"a character outside ASCII"_s},
        {u"Bcc: evil@x.org"_s, u"a \":\" outside quotes"_s},
        {u"ann lee@example.org"_s, u"a blank outside quotes"_s},
        {u"ann.example.org"_s, u"no \"@\""_s},
        {u"@example.org"_s, u"nothing before the \"@\""_s},
        {u"ann@"_s, u"nothing after the \"@\""_s},
        {u"ann..lee@example.org"_s, u"a dot at the start or end of the name, or two in a row"_s},
        {u"\"ann@example.org"_s, u"a quoted name that is not closed properly"_s},
        {u"\"a\\\"@example.org"_s, u"a quoted name that is not closed properly"_s},
        {u"ann@exa_mple.org"_s, u"a \"_\" in the domain"_s},
        {u"ann@example..org"_s, u"an empty, over-long or hyphen-edged part of the domain"_s},
        {u"ann@-example.org"_s, u"an empty, over-long or hyphen-edged part of the domain"_s},
        {u"ann@"_s + QString(64, u'd') + u".org"_s, u"an empty, over-long or hyphen-edged part of the domain"_s},
        {u"ann@[192.0.2.256]"_s, u"an invalid address literal"_s},
        {u"ann@[IPv6:1::2::3]"_s, u"an invalid address literal"_s},
        {u"ann@[IPv6:1:2:3:4:5:6:7]"_s, u"an invalid address literal"_s},
        {QString(65, u'l') + u"@example.org"_s, u"more than 64 characters before the \"@\""_s},
        {u"ann@"_s + QString(60, u'd') + u'.' + QString(190, u'e'), u"longer than 254 characters"_s},
    };
    for (const auto &[address, problem] : cases)
        EXPECT_EQ(EmailAddressProblem(address), problem) << address.toStdString();
}

// The row's text names the address as far as it can be shown, and why.
TEST(EmailAddressTest, RowTextShowsTheAddressAndTheReason)
{
    EXPECT_EQ(InvalidAddressText(u"ann lee@example.org"_s),
              u"Invalid e-mail address: ann lee@example.org (a blank outside quotes)"_s);
    EXPECT_EQ(InvalidAddressText(u"a\r\nRCPT@x"_s),
              u"Invalid e-mail address: a\uFFFD\uFFFDRCPT@x (a control character)"_s);
    EXPECT_EQ(InvalidAddressText(QString(1200, u'a') + u"@x.org"_s),
              u"Invalid e-mail address: "_s + QString(80, u'a') + u"\u2026 (longer than 254 characters)"_s);
}
