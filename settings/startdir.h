#pragma once
// Start folders of the file dialogs and the last-used folder rule.

#include <QString>
#include <QStringView>

class FileDialog;

// Custom folders in use: a non-empty custom folder becomes the dialog's
// initial folder, an empty one leaves it as it was. Otherwise the last-used
// folder becomes it, even when empty.
void ChooseInitialDir(FileDialog &dialog, const QString &customDir, const QString &lastUsedDir);

// The folder part of a chosen file's full path, as recorded in a last-used
// setting: up to the last separator, without it, except that a root keeps it
// ("/" here, "C:\" on Windows).
QString FolderPart(const QString &path);

// The same rule for a given set of separators: "/" for this system's paths,
// "\\/:" for Windows paths (either slash, or the drive colon, which is kept).
QString FolderPart(const QString &path, QStringView separators);
