#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QStringView>

#include "RecipientStatus.h"
#include "TextHelpers.h"

#include <functional>

// One recipient row of the mailing list and the texts of its result.

/** The start of a row's status text, by status: "Not yet sent", "Sent on ", "Error: ". */
constexpr QStringView StatusTextStart(RecipientStatus status)
{
    switch (status) {
    case RecipientStatus::Sent:
        return u"Sent on ";
    case RecipientStatus::Failed:
        return u"Error: ";
    default:
        return u"Not yet sent";
    }
}

/** Called once per unit of work of a long list operation, to advance a progress display. */
using ProgressStep = std::function<void()>;

/** The most recipients a list holds (and an import takes). */
inline constexpr int MaxRecipients = 20000;
/** The most parameters a recipient has. */
inline constexpr int MaxParams = 9;

/** The only text of the placeholder row that an empty list shows. */
inline constexpr QStringView PlaceholderText = u"[Required]";

/** @short One recipient: status, e-mail address, parameters 1..N and status text. */
struct TRecipient {
    RecipientStatus Status = RecipientStatus::NotSent;
    QString Address;
    QStringList Params;
    QString StatusText;

    /** Value k as placeholders see it: 0 the address, k the parameter k; empty above N. */
    QString Value(int k) const;
    /** The address followed by every parameter (values 0..N). */
    QStringList Values() const;

    bool operator==(const TRecipient &) const = default;
};

/**
 * What a typed or imported field is stored as: every "|" becomes "/" and every
 * line break a blank (either would break the job-list file), then trimmed.
 */
QString CleanField(QStringView text);

/**
 * The status text recorded for a result: "Not yet sent"; "Sent on " and the
 * local date and time; "Error: " and the error text on one line (CR LF
 * becomes ", ", "|" becomes "/", so the job-list file keeps its columns).
 */
QString ResultStatusText(RecipientStatus status, const QString &errorText,
                         const QDateTime &when = QDateTime::currentDateTime());

/**
 * Date and time as the user's short date, a blank and the long time without
 * its time zone; the time is left out at exactly midnight.
 */
QString FormatDateTimeShort(const QDateTime &when);
