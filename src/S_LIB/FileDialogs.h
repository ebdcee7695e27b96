#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// The open and save dialogs of the program. Each kind starts, when its caller
// names no folder, where it was last confirmed (at first the documents
// folder). Filters are written as "description|pattern|description|pattern",
// patterns separated by ';', as in "All Files (*.*)|*.*".

/**
 * Open dialog with the first filter selected. With @p files, several files
 * may be chosen: they fill the list (full paths, in the dialog's order) and
 * @p fileName is the first. Cancelling, or a chosen file that does not exist
 * (an information box says so), leaves @p fileName empty.
 */
void OpenFileDlg(const QString &title, const QString &filter, const QString &initialFolder, QString &fileName,
                 QStringList *files = nullptr);

/** OpenFileDlg with the filter to select (1-based); it returns the one last selected. */
void OpenFileDlgEx(const QString &title, const QString &filter, const QString &initialFolder, QString &fileName,
                   QStringList *files, int &filterIndex);

/**
 * Save dialog; @p fileName is offered as the name, @p defaultExt (without the
 * dot, may be empty) is added to a name typed without one, and
 * @p overwritePrompt asks before an existing file is chosen. @p result is the
 * chosen full path, empty when cancelled.
 */
void SaveFileDlg(const QString &title, const QString &filter, const QString &initialFolder, const QString &fileName,
                 const QString &defaultExt, bool overwritePrompt, QString &result);

/** The dialog filters of a "description|pattern|..." filter text ("*.*" becomes "*"). */
QStringList DialogNameFilters(const QString &filter);

/** Both remembered folders go back to the documents folder (the start-up does this). */
void ResetFileDialogFolders();

/** What a file dialog was asked to show. */
struct FileDialogRequest {
    bool save = false;
    QString title;
    QStringList nameFilters;
    int filterIndex = 1; // 1-based; a hook may change it to report the filter chosen
    QString folder;      // the folder the dialog starts in
    QString fileName;    // the name offered (save dialog)
    QString defaultExt;
    bool multiSelect = false;
    bool overwritePrompt = false;
};

/**
 * Test hook: while set, the hook answers every file dialog instead of a modal
 * window, with the chosen files (full paths) or an empty list for Cancel.
 * Pass nullptr to restore the real dialogs.
 */
using FileDialogHook = std::function<QStringList(FileDialogRequest &request)>;
void SetFileDialogHook(FileDialogHook hook);
