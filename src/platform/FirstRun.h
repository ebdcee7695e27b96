#pragma once

#include <QString>

// What an installer would have done, and the take-over of the data files of an
// earlier copy of the program.

/**
 * The installer's part: when the data folder holds no configuration file yet
 * (the first start), creates it empty, which marks the first run. True when
 * this call created it.
 */
bool InstallDataFolder(const QString &dataDir);

/**
 * First-run take-over: when dataDir's configuration file exists and is empty,
 * and olderDir holds a configuration file, copies it and, when present, the
 * message copy from olderDir into dataDir, overwriting. Each file is written
 * through a temporary file, so a failed copy leaves the file that was there.
 * Errors are swallowed: the start goes on. True when the configuration was copied.
 */
bool TakeOverOlderInstallation(const QString &dataDir, const QString &olderDir);
