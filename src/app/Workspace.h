#pragma once

#include "SettingsParam.h"

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <array>

class TRestoreSett;

// The workspace: the three files that hold the user's whole working state,
// packed into one ZIP archive by a backup and brought back by a restore.

/** The workspace files, by their names in the data folder and at the archive's root. */
inline constexpr QStringView WorkspaceConfigFile = u"bry_cnfg.ini";
inline constexpr QStringView WorkspaceListFile = u"bry_jlst.bxq";
inline constexpr QStringView WorkspaceMessageFile = u"bry_msg.bxq";
inline constexpr std::array<QStringView, 3> WorkspaceFiles{WorkspaceConfigFile, WorkspaceListFile,
                                                           WorkspaceMessageFile};

/** The workspace files' names, in the order of WorkspaceFiles. */
QStringList WorkspaceFileNames();

/** The extension of a workspace archive, and the filter of its file dialogs. */
inline constexpr QStringView WorkspaceExtension = u"bxk";
QString WorkspaceFilter();

/** The largest entry a restore takes (counted while reading, whatever the archive claims). */
inline constexpr qint64 MaxWorkspaceEntrySize = qint64(256) * 1024 * 1024;

/**
 * Packs the workspace files of dataDir that exist (a missing one is skipped)
 * into a new archive and puts it in place of archivePath at once, through a
 * temporary file: a failed backup leaves the file that was there. The archive
 * is readable by its owner only (it holds the scrambled password).
 * Throws AppError with the reason.
 */
void WriteWorkspaceArchive(const QString &archivePath, const QString &dataDir);

/**
 * Reads the entries named (exact names at the archive's root) whole, checking
 * each one's size against maxEntrySize and its checksum. Entries the archive
 * lacks are missing from the result. Throws AppError for an archive that
 * holds none of the workspace files at its root, and with the library's text
 * for a file that is not a ZIP archive, a damaged archive or entry, a link
 * stored under one of the names, or an entry that is too large.
 */
QMap<QString, QByteArray> ReadWorkspaceArchive(const QString &archivePath, const QStringList &entries,
                                               qint64 maxEntrySize = MaxWorkspaceEntrySize);

/**
 * Puts the entries named that contents holds (as ReadWorkspaceArchive gives
 * them) into dataDir, all or none: each is written and synced beside its
 * file, and only when all are there do they take their places together.
 * Throws AppError ending in "Nothing was restored." when a file cannot be
 * written or put in place: no file has changed then. Should one already in
 * place not go back either (a failing disk), throws PartialCommitError ending
 * in "Nothing else was restored." instead, with a line for each file not as
 * it was: whether it holds the backup's content or, stopped half-way, is
 * gone, and the temporary file that keeps its previous content, if it had
 * one. Throws
 * UnsyncedFolderError, naming the files, when all are in place but the
 * folder could not be synced: the files then hold the backup's content.
 */
void RestoreWorkspaceFiles(const QMap<QString, QByteArray> &contents, const QString &dataDir,
                           const QStringList &entries);

/** @short What a restore brings back: the entries to extract and the settings groups to read again. */
struct TRestorePlan {
    QStringList Entries;
    SettingsGroupSet Groups;
};

/**
 * The plan for the options: the configuration for the connection (group 0)
 * or the message settings (group 1), the message copy with the message
 * settings, the job list (group 2) with the list. Resetting the statuses
 * extracts nothing.
 */
TRestorePlan PlanRestore(const TRestoreSett &options);
