#pragma once

#include "TEmailMessage.h"
#include "TParameter.h"

#include <QString>
#include <QStringList>

#include <span>

class TESettings;

// Personalisation of one e-mail: the placeholders of the subject and of the
// message text replaced by a recipient's values, and the sender and visible
// recipient as the message view shows them. No widgets: the E-Mail panel shows
// what these give, and the job sends exactly that.
//
// "values" are a recipient row's values 0..N (TRecipient::Values()): value 0
// the e-mail address, value k the parameter k. A digit above N has no value;
// its placeholder stays as written.

/**
 * The HTML escaping of a value, in place: "&" "&amp;", ">" "&gt;", "<" "&lt;",
 * '"' "&quot;". Nothing else changes (the apostrophe neither); an ampersand of
 * an inserted entity is never escaped again.
 */
void HtmlEscape(QString &value);

/**
 * The subject with "%0".."%N" replaced, in passes k = 0..N: pass k replaces
 * every "%k" found in one scan of the subject as the earlier passes left it.
 * A value holding its own tag is thus inserted once and not searched again by
 * its own pass. No HTML escaping; no bracketed form, no drop spans.
 */
QString PersonaliseSubject(const QString &subject, const QStringList &values);

/**
 * The message text T with its placeholders (in descending order of Pos, as
 * the message analysis gives them) replaced. An empty value with a drop span
 * removes that span (the whole line of a text message, the whole paragraph
 * of an HTML message); otherwise the placeholder is replaced by the value,
 * HTML-escaped when isHtml. Every record is taken against the original text
 * and the result is built in one pass: a record inside text already removed
 * is skipped, a span removes the whole of its text even where a value was put
 * into it, and a record that does not fit the text is ignored.
 */
QString PersonaliseBody(const QString &text, std::span<const TParameter> placeholders, const QStringList &values,
                        bool isHtml);

/**
 * The subject of the e-mail to a row: the setting Subject, personalised
 * unless in the BCC method (a group gets one text), line breaks folded to
 * blanks as the header folds them.
 */
QString PersonalisedSubject(const TESettings &settings, const QStringList &values);

/** The body of the e-mail to a row: the message text, personalised when the settings allow it. */
QString PersonalisedBody(const TESettings &settings, const QStringList &values);

/**
 * The display form of an address item: the address alone without a name,
 * else the name, a blank and "<address>". A name holding any character other
 * than ASCII letters, digits, the blank and !#$%&'*+-/=?_{}|~` is put in
 * double quotes, with a backslash before each double quote and backslash.
 */
QString AddressDisplayText(const QString &name, const QString &address);

/** The item as the view's "To" row shows it: AddressDisplayText, or the name alone without an address. */
QString AddressItemText(const TEmailAddressItem &item);

/** The sender: Your_EMail with the name Your_Name. */
TEmailAddressItem SenderItem(const TESettings &settings);

/**
 * The visible recipient of the e-mail for a row: MethodEmail named MethodTo
 * in the BCC send method; else value 0 named by value NameParInd when
 * NameParEna is on and the row has that value. Line breaks in either become
 * blanks, so that no value can start a header line of its own.
 */
TEmailAddressItem VisibleRecipient(const TESettings &settings, const QStringList &values);
