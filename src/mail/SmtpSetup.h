#pragma once

#include "SmtpSession.h"
#include "TEmailMessage.h"
#include "TMEMessage.h"

class TESettings;

// Turning the settings into what one connection and one e-mail need.

/**
 * The options of one SMTP connection: server and port; connect and read
 * time-outs of SMTP_Timeout x 500 ms each; AUTH LOGIN with user and password
 * when SMTP_Auth is on; with SMTP_SSL on, STARTTLS on port 587 and TLS from
 * the first byte on every other port (no TLS otherwise, whatever the port).
 */
SmtpOptions ConfigureSmtp(const TESettings &Settings);

/**
 * Fills a fresh message from the hand-over message and the settings: sender,
 * the one To recipient, the BCC group and the BCC copy address, Reply-To,
 * subject, and the body as text or HTML, with one part per attachment after
 * the text when there are attachments. Expects the message's lists empty.
 * Group addresses that are no valid e-mail address are left out; when that
 * leaves none of a group, throws AppError with the first one's reason.
 */
void BuildMessage(TMEMessage &Msg, const TEmailMessage &Em, const TESettings &Settings);

/**
 * What the sending thread adds for every e-mail after BuildMessage: with
 * MimeEna the MIME encoding and the setting CharSet as the message's
 * character set; with ExtraHdrEna every extra header line, in order.
 */
void AddSendOptions(TMEMessage &Msg, const TESettings &Settings);
/** The same with the values given: the header preview's, before they are saved. */
void AddSendOptions(TMEMessage &Msg, bool MimeEna, const QString &CharSet, bool ExtraHdrEna,
                    const QStringList &ExtraHeaders);
