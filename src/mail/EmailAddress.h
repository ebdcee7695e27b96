#pragma once

#include <QString>

// Whether an address may go into an SMTP envelope and a header: the Mailbox
// syntax of RFC 5321 4.1.2 with the lengths of 4.5.3.1, checked before an
// e-mail is sent (a list import stays lenient).

/**
 * Why the address cannot be sent to, as a short phrase such as "a blank
 * outside quotes"; empty when it can. Blanks and line breaks at either end
 * are ignored. Accepted: a dot-atom or quoted-string local part of at most 64
 * characters, "@", a domain name or an IPv4 or IPv6 address literal; 254
 * characters in all; ASCII only (international addresses need an extension
 * the program does not use).
 */
QString EmailAddressProblem(const QString &address);

/** RFC 5322 atext: the characters of a dot-atom, and of a display name that needs no quotes. */
bool IsAtext(QChar c);

inline bool IsValidEmailAddress(const QString &address)
{
    return EmailAddressProblem(address).isEmpty();
}

/**
 * "Invalid e-mail address: " with the address (control characters shown as
 * U+FFFD, a long one shortened) and its problem in parentheses; the text a
 * refused recipient's row records.
 */
QString InvalidAddressText(const QString &address);
