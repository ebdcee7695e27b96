#include "Personalise.h"

#include "MessageAnalysis.h"
#include "TESettings.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// The body as the job sends it: the message analysed as the settings do, then personalised.
QString Body(const QStringList &lines, const QStringList &values)
{
    const QString t = MessageLinesToText(lines);
    const bool html = IsHtmlMessage(t);
    const std::vector<TParameter> placeholders = FindPlaceholders(t, html);
    return PersonaliseBody(t, placeholders, values, html);
}

QString Escaped(QString value)
{
    HtmlEscape(value);
    return value;
}

const QStringList Ann{u"ann@example.com"_s, u"Ann"_s};

} // namespace

// --- Subject

TEST(PersonaliseTest, SubjectTakesAddressAndParameters)
{
    EXPECT_EQ(PersonaliseSubject(u"Offer for %1"_s, Ann), u"Offer for Ann"_s);
    EXPECT_EQ(PersonaliseSubject(u"%0: %1, %1"_s, Ann), u"ann@example.com: Ann, Ann"_s);
    EXPECT_EQ(PersonaliseSubject(u"%0%0"_s, Ann), u"ann@example.comann@example.com"_s);
    // Only the second percent sign starts a tag; a digit above N has no value.
    EXPECT_EQ(PersonaliseSubject(u"%%1"_s, Ann), u"%Ann"_s);
    EXPECT_EQ(PersonaliseSubject(u"100% %5 %1"_s, Ann), u"100% %5 Ann"_s);
    EXPECT_EQ(PersonaliseSubject(u"from %0 to %5."_s, {u"a@b"_s}), u"from a@b to %5."_s);
    // A tag at the very end, and an empty value that simply removes it.
    EXPECT_EQ(PersonaliseSubject(u"Hi %1"_s, {u"a@b"_s, QString()}), u"Hi "_s);
    // No HTML escaping in the subject.
    EXPECT_EQ(PersonaliseSubject(u"For %2"_s, {u"a@b"_s, u"x"_s, u"Smith & <Sons>"_s}), u"For Smith & <Sons>"_s);
    EXPECT_EQ(PersonaliseSubject(u"%1"_s, {}), u"%1"_s);
}

TEST(PersonaliseTest, SubjectPassesRunInOrderAndEachScansOnce)
{
    // Text put in by pass 1 is searched by pass 2.
    EXPECT_EQ(PersonaliseSubject(u"%1 %2"_s, {u"a@b"_s, u"x%2"_s, u"Y"_s}), u"xY Y"_s);
    // ... but never by its own pass or an earlier one.
    EXPECT_EQ(PersonaliseSubject(u"%1 and %1"_s, {u"a@b"_s, u"%10 off"_s}), u"%10 off and %10 off"_s);
    EXPECT_EQ(PersonaliseSubject(u"%1"_s, {u"a@b"_s, u"%0"_s}), u"%0"_s);
    EXPECT_EQ(PersonaliseSubject(u"%0"_s, {u"%0%0"_s}), u"%0%0"_s);
}

// --- Escaping

TEST(PersonaliseTest, HtmlEscapeTouchesOnlyFourCharacters)
{
    EXPECT_EQ(Escaped(u"<a href=\"x\">O'Neil</a>"_s), u"&lt;a href=&quot;x&quot;&gt;O'Neil&lt;/a&gt;"_s);
    // The ampersands of entities already there, or put in, are escaped once.
    EXPECT_EQ(Escaped(u"&amp;&"_s), u"&amp;amp;&amp;"_s);
    EXPECT_EQ(Escaped(u"Zoë – plain"_s), u"Zoë – plain"_s);
    EXPECT_EQ(Escaped(QString()), QString());
}

// --- Text bodies

TEST(PersonaliseTest, TextBodyReplacesWithoutEscaping)
{
    EXPECT_EQ(Body({u"Dear %1,"_s, u"mid"_s}, {u"a@b"_s, u"Smith & <Sons>"_s}), u"Dear Smith & <Sons>,\r\nmid\r\n"_s);
    EXPECT_EQ(Body({u"Dear %1,"_s}, {u"a@b"_s, QString()}), u"Dear ,\r\n"_s);
    EXPECT_EQ(Body({u"To %0 from %5 and [%1]"_s}, {u"a@b"_s, u"x"_s}), u"To a@b from %5 and [x]\r\n"_s);
    // A value holding a tag goes in as it is: the body is built in one pass.
    EXPECT_EQ(Body({u"%1 %2"_s}, {u"a@b"_s, u"%2"_s, u"Y"_s}), u"%2 Y\r\n"_s);
}

TEST(PersonaliseTest, TextBodyDropsALineThatHeldOnlyAnEmptyPlaceholder)
{
    const QStringList lines{u"Hello"_s, u"%2  "_s, u" %2"_s, u"Bye"_s, u"%2"_s};
    EXPECT_EQ(Body(lines, {u"a@b"_s, u"x"_s, QString()}), u"Hello\r\n \r\nBye\r\n"_s);
    EXPECT_EQ(Body(lines, {u"a@b"_s, u"x"_s, u"Two"_s}), u"Hello\r\nTwo  \r\n Two\r\nBye\r\nTwo\r\n"_s);
    // Without parameter 2 the placeholders stay.
    EXPECT_EQ(Body(lines, {u"a@b"_s, u"x"_s}), MessageLinesToText(lines));
}

// --- HTML bodies

TEST(PersonaliseTest, HtmlBodyDropsParagraphsAndEscapesValues)
{
    const QStringList lines{u"<html><body><p>%3</p><p><b>%3</b></p><p>Name: %3</p><P>%3</P></body></html>"_s};
    EXPECT_EQ(Body(lines, {u"a@b"_s, u"1"_s, u"2"_s, QString()}),
              u"<html><body><p>Name: </p><P></P></body></html>\r\n"_s);
    EXPECT_EQ(Body(lines, {u"a@b"_s, u"1"_s, u"2"_s, u"Smith & Sons"_s}),
              u"<html><body><p>Smith &amp; Sons</p><p><b>Smith &amp; Sons</b></p><p>Name: Smith &amp; Sons</p>"
              u"<P>Smith &amp; Sons</P></body></html>\r\n"_s);
}

TEST(PersonaliseTest, HtmlBracketedPlaceholderInATag)
{
    const QStringList lines{u"<html><a href=\"http://x/?u=[%0]&amp;n=[%1]\" title=\"%1\">[%1]</a></html>"_s};
    // In a tag only the bracketed form counts; outside, the brackets stay as text.
    EXPECT_EQ(Body(lines, {u"a@b"_s, u"A\"B"_s}),
              u"<html><a href=\"http://x/?u=a@b&amp;n=A&quot;B\" title=\"%1\">[A&quot;B]</a></html>\r\n"_s);
    EXPECT_EQ(Body(lines, {u"a@b"_s}),
              u"<html><a href=\"http://x/?u=a@b&amp;n=[%1]\" title=\"%1\">[%1]</a></html>\r\n"_s);
}

TEST(PersonaliseTest, PlaceholderInsideADroppedParagraphIsSkipped)
{
    const QStringList lines{u"<html><p>Intro</p><p><a href=\"mailto:[%1]\">%1</a></p><p>End %1</p></html>"_s};
    EXPECT_EQ(Body(lines, {u"a@b"_s, QString()}), u"<html><p>Intro</p><p>End </p></html>\r\n"_s);
    EXPECT_EQ(Body(lines, {u"a@b"_s, u"x&y"_s}),
              u"<html><p>Intro</p><p><a href=\"mailto:x&amp;y\">x&amp;y</a></p><p>End x&amp;y</p></html>\r\n"_s);
}

TEST(PersonaliseTest, DroppedParagraphGoesWholeAfterAValueWasPutIntoIt)
{
    // [%2] is replaced first (it stands further back); the empty %1 then drops its whole paragraph.
    const QStringList lines{u"<html><p>A</p><p>%1<img src=\"[%2].png\"></p><p>Z</p></html>"_s};
    EXPECT_EQ(Body(lines, {u"a@b"_s, QString(), u"a-much-longer-picture-name"_s}),
              u"<html><p>A</p><p>Z</p></html>\r\n"_s);
    EXPECT_EQ(Body(lines, {u"a@b"_s, u"Hi"_s, u"p"_s}),
              u"<html><p>A</p><p>Hi<img src=\"p.png\"></p><p>Z</p></html>\r\n"_s);
}

TEST(PersonaliseTest, RecordsThatDoNotFitTheTextAreIgnored)
{
    const QString t = u"No tags %1\r\n"_s;
    const QStringList values{u"a@b"_s, u"X"_s};
    const std::vector<TParameter> records{
        {.Pos = 40, .Size = 2, .Index = 1},                                  // past the end
        {.Pos = 11, .Size = 2, .Index = 1},                                  // runs over the end
        {.Pos = 8, .Size = 2, .Index = 1},                                   // the real one
        {.Pos = 9, .Size = 2, .Index = 1},                                   // astride the real one
        {.Pos = -1, .Size = 2, .Index = 1},                                  // before the start
        {.Pos = 3, .Size = 2, .Index = -1},                                  // no such value
        {.Pos = 0, .Size = 2, .Index = 0, .DropStart = 0, .DropLength = 99}, // unused span (value given)
    };
    EXPECT_EQ(PersonaliseBody(t, records, values, false), u"a@b tags X\r\n"_s);
    EXPECT_EQ(PersonaliseBody(t, {}, values, false), t);
}

// --- Addresses

TEST(PersonaliseTest, AddressDisplayForms)
{
    EXPECT_EQ(AddressDisplayText(QString(), u"only@address"_s), u"only@address"_s);
    EXPECT_EQ(AddressDisplayText(u"Ann Smith"_s, u"a@b.c"_s), u"Ann Smith <a@b.c>"_s);
    EXPECT_EQ(AddressDisplayText(u"O'Neil-{x}|~`#$%&*+/=?_!"_s, u"a@b"_s), u"O'Neil-{x}|~`#$%&*+/=?_! <a@b>"_s);
    EXPECT_EQ(AddressDisplayText(u"J. Smith"_s, u"a@b"_s), u"\"J. Smith\" <a@b>"_s);
    EXPECT_EQ(AddressDisplayText(u"Smith, Ann"_s, u"a@b"_s), u"\"Smith, Ann\" <a@b>"_s);
    EXPECT_EQ(AddressDisplayText(u"Zoë"_s, u"a@b"_s), u"\"Zoë\" <a@b>"_s);
    EXPECT_EQ(AddressDisplayText(u"Ann \"The\" \\Boss"_s, u"a@b"_s), u"\"Ann \\\"The\\\" \\\\Boss\" <a@b>"_s);
    EXPECT_EQ(AddressItemText({u"a@b"_s, u"Ann"_s}), u"Ann <a@b>"_s);
    EXPECT_EQ(AddressItemText({QString(), u"undisclosed recipients"_s}), u"undisclosed recipients"_s);
    EXPECT_EQ(AddressItemText({}), QString());
}

TEST(PersonaliseTest, VisibleRecipientOfIndividualAndBccMessages)
{
    TESettings settings;
    const QStringList values{u"ann@example.com"_s, u"Smith, Ann"_s, u"Ann\r\nBcc: evil@x"_s};
    EXPECT_EQ(VisibleRecipient(settings, values), (TEmailAddressItem{u"ann@example.com"_s, QString()}));

    settings.Param(spNameParEna).SetBool(true);
    settings.Param(spNameParInd).SetInt(1);
    EXPECT_EQ(AddressItemText(VisibleRecipient(settings, values)), u"\"Smith, Ann\" <ann@example.com>"_s);
    // A line break in a row's value can never start a header line of its own.
    settings.Param(spNameParInd).SetInt(2);
    EXPECT_EQ(AddressItemText(VisibleRecipient(settings, values)), u"\"Ann Bcc: evil@x\" <ann@example.com>"_s);
    EXPECT_EQ(VisibleRecipient(settings, {u"a@b\nc"_s}).Address, u"a@b c"_s);
    // The name column is above the list's parameter count: the address alone.
    settings.Param(spNameParInd).SetInt(3);
    EXPECT_EQ(AddressItemText(VisibleRecipient(settings, values)), u"ann@example.com"_s);

    settings.Param(spMethodBcc).SetBool(true);
    EXPECT_EQ(AddressItemText(VisibleRecipient(settings, values)), u"undisclosed recipients"_s);
    settings.Param(spMethodEmail).SetStr(u"list@example.com"_s);
    EXPECT_EQ(AddressItemText(VisibleRecipient(settings, values)), u"undisclosed recipients <list@example.com>"_s);

    settings.Param(spYourEmail).SetStr(u"me@example.com"_s);
    settings.Param(spYourName).SetStr(u"Velko Sales"_s);
    EXPECT_EQ(AddressItemText(SenderItem(settings)), u"Velko Sales <me@example.com>"_s);
}
