#pragma once

#include <QString>

// The mail account the user already set up in the desktop's mail program
// (Thunderbird), read to fill an empty connection page. Only read: nothing
// is ever written into the mail program's profile.

/** @short The outgoing server and the sender of a mail account; empty texts where nothing was found. */
struct TMailClientAccount {
    QString SmtpServer;
    QString Email;
    QString Name;

    bool IsEmpty() const { return SmtpServer.isEmpty() && Email.isEmpty() && Name.isEmpty(); }
};

/**
 * The default identity of the default Thunderbird profile below home: the
 * profiles of ~/.thunderbird, then of the Flatpak and the Snap installation.
 * In the profile's prefs.js: the default account's first identity, its
 * "useremail" and "fullName", and the "hostname" of its SMTP server (or of
 * the default SMTP server). An empty account when there is no profile or
 * nothing can be read.
 */
TMailClientAccount ReadMailClientAccount(const QString &home);
