#pragma once

#include "TEmailMessage.h"

#include <QByteArray>
#include <QByteArrayList>
#include <QChar>
#include <QString>

// Header values of outgoing mail: non-ASCII text as RFC 2047 encoded words in a
// chosen character set, display names as RFC 5322 phrases, lines folded.

/**
 * Every run of CR and LF characters becomes one blank, so that a value taken
 * from a list or a setting can never start a new header line or SMTP command.
 */
QString FoldLineBreaks(const QString &text);

/**
 * The text with every UTF-16 surrogate that lacks its partner replaced by
 * U+FFFD, so that every encoder sees valid Unicode (a restored configuration
 * or a list may hold such halves).
 */
QString ValidUnicode(const QString &text);

/**
 * The name of a character set as it may stand in a header (an encoded word or
 * a charset parameter): the name trimmed; empty when that is empty; "utf-8"
 * when it is no RFC 2978 token or the system knows no such set; else the
 * system's standard name for the set, or the name as written when it differs
 * from that in letter case only.
 */
QString MimeCharsetName(const QString &name);

/** The encoded-word kind for a character set: 'Q' for "iso-8859-1" (any letter case), else 'B'. */
QChar HeaderEncodingFor(const QString &charSet);

/**
 * The text as bytes of charSet, which becomes its MimeCharsetName. When the
 * system does not know charSet, or charSet cannot hold every character, the
 * bytes are UTF-8 and charSet is "utf-8", so that no character is lost.
 */
QByteArray EncodeInCharSet(const QString &text, QString &charSet);

/**
 * The text, made ValidUnicode, as a run of encoded words ("=?charset?Q?...?="
 * or "=?charset?B?...?="), none longer than MaxEncodedWord characters and none
 * splitting a character; at least one word for a text that is not empty.
 * Q words use the restricted set of RFC 2047 section 5 (3), valid in phrases too.
 */
QByteArrayList EncodeWords(const QString &text, const QString &charSet, QChar encoding);
inline constexpr int MaxEncodedWord = 66; // leaves room for "Subject: " within 76 characters

/**
 * The tokens of an unstructured value (Subject, extra headers): plain ASCII
 * words as they are (an empty token for each further blank of a run), or
 * encoded words when the value holds anything else, or a word or a run of
 * blanks wider than an encoded word.
 */
QByteArrayList UnstructuredTokens(const QString &text, const QString &charSet, QChar encoding);

/**
 * The tokens of one mailbox: the display name (as atoms, a quoted string cut
 * at its blanks, or encoded words when it is not plain ASCII or a piece would
 * be wider than an encoded word) followed by "<address>", or the bare address
 * without a name.
 * An item without an address gives the group form "Name:;" (an empty group),
 * an item with neither nothing.
 */
QByteArrayList MailboxTokens(const TEmailAddressItem &item, const QString &charSet, QChar encoding);

/**
 * One header field: "Name: " and the tokens joined by blanks (an empty token
 * adds a blank), folded wherever a line would pass 78 characters: before a
 * token, or before the run of blanks that leads to it, but never before the
 * first token or blanks that end the value. Ends with CR LF.
 */
QByteArray FoldHeader(const QByteArray &name, const QByteArrayList &tokens);
