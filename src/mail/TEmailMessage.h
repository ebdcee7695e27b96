#pragma once

#include <QList>
#include <QString>

/** @short An e-mail address with its display name. */
struct TEmailAddressItem {
    QString Address;
    /** Display name; empty when there is none. */
    QString Name;

    bool operator==(const TEmailAddressItem &) const = default;
};

using TEmailAddressList = QList<TEmailAddressItem>;

/**
 * @short What changes from one e-mail of a job to the next.
 *
 * A plain value: the job fills it before each send and hands the sending
 * thread its own copy.
 */
struct TEmailMessage {
    /** The visible recipient. */
    TEmailAddressItem To;
    /** The recipients of one BCC group in the BCC send method; empty otherwise. */
    TEmailAddressList Bcc;
    /** The BCC copy address (BCC_To when BCC_Emails is on), or empty. */
    QString BccTo;
    /** The Reply-To address (ReplyTo when ReplyEna is on), or empty. */
    QString ReplyTo;
    /** Personalised for the recipient. */
    QString Subject;
    /** Personalised for the recipient: the text the message view shows. */
    QString Body;
    /** Copy of the setting MimeEna. */
    bool MimeEna = false;
    /** Copy of the setting CharSet. */
    QString CharSet;

    /** The recipients this e-mail stands for: the size of Bcc when it is not empty, else 1. */
    int RecipientCount() const;
    /**
     * The addresses of Bcc that are no valid e-mail address: left out of the
     * e-mail, each fails on its own row whatever becomes of the group's.
     */
    int InvalidBccCount() const;
};
