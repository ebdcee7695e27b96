#include "FileDialogs.h"

#include "MsgDlgs.h"
#include "StartupEnv.h"
#include "TextHelpers.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QRegularExpression>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

QString g_lastOpenFolder;
QString g_lastSaveFolder;

FileDialogHook &Hook()
{
    static FileDialogHook hook;
    return hook;
}

QString FolderOf(const QString &fileName)
{
    return IncludeTrailingBackslash(QFileInfo(fileName).absolutePath());
}

// "*.txt;*.CSV" -> {"*.txt", "*.CSV"}; "*.*" matches every name on Windows, "*" does here.
QStringList PatternList(const QStringList &parts)
{
    QStringList out;
    for (QString p : parts) {
        p = p.trimmed();
        if (p == "*.*"_L1)
            p = u"*"_s;
        if (!p.isEmpty() && !out.contains(p))
            out.append(p);
    }
    return out;
}

// The description without a closing "(...)" that lists the same patterns, in
// any order and separated by ';', ',' or blanks: the dialog adds its own list.
QString DescriptionWithoutPatterns(const QString &description, const QStringList &patterns)
{
    const qsizetype open = description.lastIndexOf(u'(');
    if (open < 0 || !description.endsWith(u')'))
        return description;
    static const QRegularExpression separators(u"[;,\\s]+"_s);
    QStringList listed = PatternList(description.mid(open + 1).chopped(1).split(separators, Qt::SkipEmptyParts));
    QStringList wanted = patterns;
    for (QStringList *list : {&listed, &wanted}) {
        for (QString &p : *list)
            p = p.toLower();
        list->sort();
    }
    return listed == wanted ? description.left(open).trimmed() : description;
}

// Shows the dialog (or asks the hook); returns the chosen files, empty on Cancel.
QStringList RunDialog(FileDialogRequest &request)
{
    if (Hook())
        return Hook()(request);

    QFileDialog dialog(QApplication::activeWindow(), request.title, request.folder);
    if (request.save) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setDefaultSuffix(request.defaultExt);
        dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.overwritePrompt);
        if (!request.fileName.isEmpty())
            dialog.selectFile(request.fileName);
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(request.multiSelect ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
    }
    if (!request.nameFilters.isEmpty()) {
        dialog.setNameFilters(request.nameFilters);
        const qsizetype index = std::clamp<qsizetype>(request.filterIndex, 1, request.nameFilters.size()) - 1;
        dialog.selectNameFilter(request.nameFilters[index]);
    }
    if (dialog.exec() != QDialog::Accepted)
        return {};
    const qsizetype chosen = request.nameFilters.indexOf(dialog.selectedNameFilter());
    if (chosen >= 0)
        request.filterIndex = int(chosen) + 1;
    return dialog.selectedFiles();
}

} // namespace

QStringList DialogNameFilters(const QString &filter)
{
    QStringList out;
    const QStringList parts = filter.split(u'|');
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QStringList patternList = PatternList(parts[i + 1].split(u';'));
        if (patternList.isEmpty())
            continue;
        // The dialog shows the patterns itself: a description that already
        // ends in them, as "All Files (*.*)", would show them twice.
        const QString description = DescriptionWithoutPatterns(parts[i].trimmed(), patternList);
        const QString patterns = patternList.join(u' ');
        out.append(description.isEmpty() ? patterns : description + u" ("_s + patterns + u")"_s);
    }
    return out;
}

void ResetFileDialogFolders()
{
    g_lastOpenFolder = SpecialFolder(0);
    g_lastSaveFolder = SpecialFolder(0);
}

void SetFileDialogHook(FileDialogHook hook)
{
    Hook() = std::move(hook);
}

void OpenFileDlg(const QString &title, const QString &filter, const QString &initialFolder, QString &fileName,
                 QStringList *files)
{
    int filterIndex = 1;
    OpenFileDlgEx(title, filter, initialFolder, fileName, files, filterIndex);
}

void OpenFileDlgEx(const QString &title, const QString &filter, const QString &initialFolder, QString &fileName,
                   QStringList *files, int &filterIndex)
{
    fileName.clear();
    if (files)
        files->clear();

    FileDialogRequest request;
    request.title = title;
    request.nameFilters = DialogNameFilters(filter);
    request.filterIndex = filterIndex;
    request.folder = initialFolder.isEmpty() ? g_lastOpenFolder : initialFolder;
    request.multiSelect = files != nullptr;
    const QStringList chosen = RunDialog(request);
    if (chosen.isEmpty())
        return;

    if (files)
        *files = chosen;
    fileName = chosen.front();
    g_lastOpenFolder = FolderOf(fileName);
    filterIndex = request.filterIndex;

    // The file may have gone between the dialog's check and now.
    if (!QFileInfo(fileName).isFile()) {
        InfoBox(u"File \"%1\" was not found!"_s.arg(fileName));
        fileName.clear();
    }
}

void SaveFileDlg(const QString &title, const QString &filter, const QString &initialFolder, const QString &fileName,
                 const QString &defaultExt, bool overwritePrompt, QString &result)
{
    result.clear();

    FileDialogRequest request;
    request.save = true;
    request.title = title;
    request.nameFilters = DialogNameFilters(filter);
    request.folder = initialFolder.isEmpty() ? g_lastSaveFolder : initialFolder;
    request.fileName = fileName;
    request.defaultExt = defaultExt;
    request.overwritePrompt = overwritePrompt;
    const QStringList chosen = RunDialog(request);
    if (chosen.isEmpty())
        return;

    // Names stay Unicode: the file system takes any name.
    result = chosen.front();
    g_lastSaveFolder = FolderOf(result);
}
