#pragma once

#include <QString>

// The files an installer would have put beside the program, shipped inside it
// and put into the data folder at start-up.

/**
 * Writes the help page "bry_help.htm" into dataDir when it is missing or not
 * this version's, and on the first run (firstRun) the welcome text
 * "bry_intr.rtf". Each file is written atomically. A file that cannot be
 * written is left out: the program starts all the same, and opening the help
 * then says the page is missing.
 */
void InstallProgramFiles(const QString &dataDir, bool firstRun);

/** The help page as this version ships it. */
QByteArray ShippedHelpPage();
/** The welcome text as this version ships it. */
QByteArray ShippedWelcomeText();
