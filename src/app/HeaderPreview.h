#pragma once

#include <QString>
#include <QStringList>

class TESettings;

// The header lines of a sample e-mail, made by the same composition a job
// uses: what the headers page of the settings editor shows before sending.

/** The headers page's values, not yet confirmed. */
struct THeaderPageValues {
    bool MimeEna = false;
    QString CharSet;
    bool ExtraHeadersEna = false;
    /** The header editor's lines, as HeaderEditorLines gives them. */
    QStringList HeaderLines;
};

/** The lines of the header editor as they are stored and sent: trimmed, blank ones left out. */
QStringList HeaderEditorLines(const QString &text);

/** The To address of the sample e-mail of individual sending; it never reaches a server. */
inline constexpr QStringView SampleToAddress = u"some.name@example.com";
inline constexpr QStringView SampleToName = u"Some Name";

/**
 * The header block of a sample e-mail, lines separated by "\n": composed as
 * the first e-mail of a job is, for a row holding the sample address alone
 * (subject and body personalised as the message view does it), with the
 * page's MIME switch, character set and header lines. The To is the BCC
 * e-mail's visible To in the BCC method, else the sample address with the
 * sample name. No attachment file is read.
 */
QString PreviewHeaderText(const TESettings &settings, const THeaderPageValues &page);
