#include "settings/startdir_dialog.h"

#include "platform/filedialog.h"

void ChooseInitialDir(FileDialog &dialog, const QString &customDir, const QString &lastUsedDir)
{
    ChooseInitialDir(dialog.InitialDir, customDir, lastUsedDir);
}
