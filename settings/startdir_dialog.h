#pragma once
// The start-folder rule of settings/startdir.h applied to a file dialog,
// just before the dialog is shown.

#include "settings/startdir.h"

class FileDialog;

void ChooseInitialDir(FileDialog &dialog, const QString &customDir, const QString &lastUsedDir);
