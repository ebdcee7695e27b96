#pragma once

#include "TEmailMessage.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>

/** How the message is written: meMIME adds the "MIME-Version" header. */
enum TMEEncoding : std::uint8_t { meDefault = 0, meMIME = 1 };

/** @short One part of a multipart message: a text or an attachment file. */
struct TMEPart {
    enum Kind : std::uint8_t { Text, AttachmentFile };

    Kind PartKind = Text;
    /** Empty for an attachment: "application/octet-stream" is written. */
    QString ContentType;
    /** Text parts: the character set; empty takes the message's. */
    QString CharSet;
    /** Text parts: the text. */
    QString Body;
    /** Attachments: the full path, read when the message is composed. */
    QString FileName;
};

/**
 * @short One outgoing e-mail: addresses, subject, body or parts, extra header
 * lines, and the MIME switch and character set that decide how non-ASCII
 * header text is encoded; composes itself as RFC 5322 / MIME bytes.
 *
 * Bcc addresses go into the envelope only, never into a header. Every header
 * value has its line breaks folded to blanks.
 */
class TMEMessage {
public:
    TMEMessage();

    TEmailAddressItem From;
    TEmailAddressList Recipients;
    TEmailAddressList BccList;
    TEmailAddressList ReplyTo;
    QString Subject;
    /** "text/plain", "text/html" or "multipart/mixed". */
    QString ContentType;
    /** The message's declared character set; empty: none declared. */
    QString CharSet;
    /** The text of a message without parts. */
    QString Body;
    QList<TMEPart> MessageParts;
    TMEEncoding Encoding = meDefault;
    /** "Name: Value" lines written after the message's own headers. */
    QStringList ExtraHeaders;

    /** Copy of the MIME switch of the hand-over message. */
    bool MimeEna = false;
    /** Copy of the character set of the hand-over message (the header encoding's, with MimeEna). */
    QString MimeCharSet;

    /** MimeEna and MimeCharSet from the hand-over message. */
    void AssignMimeOptions(const TEmailMessage &em);

    /**
     * The character set and encoded-word kind ('Q' or 'B') of non-ASCII header
     * text: the declared character set (UTF-8 when none) with its kind; then,
     * with MimeEna and a MimeCharSet, that one instead. Names are taken as
     * MimeCharsetName gives them.
     */
    void InitializeISO(QChar &headerEncoding, QString &charSet) const;

    /**
     * The header block, without the empty line that ends it, as Compose
     * writes it. Reads no file and checks no address.
     */
    QByteArray GenerateHeader() const;
    /**
     * Throws AppError with InvalidAddressText for the first address of From,
     * Reply-To, To and BccList that is no valid e-mail address. A To without
     * an address (the BCC method's empty group) passes; a From without one
     * does not.
     */
    void CheckAddresses() const;
    /**
     * The whole message with CR LF line ends (no dot-stuffing), after
     * CheckAddresses. Throws AppError when an address is not valid or an
     * attachment cannot be read.
     */
    QByteArray Compose() const;

    /** The envelope sender: From's address. */
    QString SenderAddress() const;
    /** The envelope recipients: Recipients, then BccList (items without an address left out). */
    QStringList RecipientAddresses() const;

private:
    QByteArray Header(const QByteArray &contentType, const QByteArray &transferEncoding, bool needsMime) const;

    QByteArray m_boundary;
    QByteArray m_messageId;
};
