#pragma once

#include <QString>

class TESettings;

// What the settings editor corrects on OK instead of asking: it shows no
// message about invalid input.

/**
 * The visible To name of a BCC e-mail: trimmed of blanks and control
 * characters, then every double quote,
 * slash, colon, at sign and backslash removed (they would break the To
 * header's display name). Blanks inside stay.
 */
QString CleanMethodTo(const QString &text);

/**
 * Corrections made before the settings are written: no user name switches
 * authentication off and empties the password; a BCC copy or Reply-To
 * address without "@" switches its copy off, since every RCPT would fail.
 */
void CorrectSettings(TESettings &settings);
