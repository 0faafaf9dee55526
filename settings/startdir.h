#pragma once
// Start folders of the file dialogs and the last-used folder rule, on plain
// values: the dialogs themselves apply it in settings/startdir_dialog.h.

#include <QString>
#include <QStringView>

// Custom folders in use: a non-empty custom folder becomes a dialog's
// initial folder `initialDir`, an empty one leaves it as it was. Otherwise
// the last-used folder becomes it, even when empty.
void ChooseInitialDir(QString &initialDir, const QString &customDir, const QString &lastUsedDir);

// The folder part of a chosen file's full path, as recorded in a last-used
// setting: up to the last separator, without it, except that a root keeps it
// ("/" here, "C:\" on Windows).
QString FolderPart(const QString &path);

// The same rule for a given set of separators: "/" for this system's paths,
// "\\/:" for Windows paths (either slash, or the drive colon, which is kept).
QString FolderPart(const QString &path, QStringView separators);
