#pragma once

#include <QString>
#include <QStringView>

#include <cstdint>

// What the program takes as given from start-up on: its data folder, the
// screen's work area and the well-known folders. Computed by InitStartup()
// once the application object exists, and not refreshed afterwards.

/** The application title: the idle main window's caption, and the program's name in messages. */
inline constexpr QStringView AppTitle = u"Velko Courierline";

/** The folder of every data file: $XDG_DATA_HOME/velko-courierline, with a trailing '/'. */
QString ProgramDir();
/** The same folder without the trailing '/'. */
QString ProgramDirNoBackslash();

/** The primary screen's available area (the screen less panels and docks). */
struct TWorkArea {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
};
extern TWorkArea WorkArea;

/**
 * Well-known folders: 0 documents, 1 application data, 2 shared documents,
 * 3 shared data, 4 own settings; those the system does not name (2 to 4) are
 * the data folder.
 */
using SpecialFolderId = std::uint8_t;
QString SpecialFolder(SpecialFolderId id);

// There are no font character sets or Windows versions on this platform. The
// two queries stay so that callers keep working; they answer as a current
// system with the default character set would.
/** Always 1, the default character set. */
std::uint8_t DefaultCharset();
/** Always 6, a current system. */
std::uint8_t GetWindowsVersion();

/**
 * The start-up: fixes the data folder (creating it), then InitEnvironment,
 * then points both file dialogs at the documents folder.
 * Tests call it again after pointing XDG_DATA_HOME at a temporary folder.
 */
void InitStartup();
/** Reads the work area and resolves (and creates) the special folders. */
void InitEnvironment();
