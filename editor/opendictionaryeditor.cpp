#include "editor/opendictionaryeditor.h"

#include "editor/tdict2.h"
#include "platform/messages.h"
#include "platform/progress.h"
#include "settings/settings.h"
#include "settings/startdir.h"

bool OpenDictionaryEditor(const QString &fileName)
{
    TDict2 *window = Dict2;
    if (!window)
        return false;
    if (window->isVisible() && window->Modified && !window->AskToSave())
        return false;

    if (!fileName.isEmpty()) {
        window->show();
        window->raise();
        window->activateWindow();
        window->LoadIntoGrid(fileName);
        return true;
    }

    FileDialog &dialog = window->BOD;
    dialog.Title = QStringLiteral("開啟字典檔");
    ChooseInitialDir(dialog, RegDat.DictDefPath, RegDat.DictLUPath);
    dialog.Filter = DictionaryFilter;
    dialog.DefaultExt = QStringLiteral("*.") + RegDat.DicExt;
    if (!dialog.Execute(activeWindow())) {
        messageBoxes().message(activeWindow(), QStringLiteral("使用者取消。"), QStringLiteral("開啟字典檔"));
        return false;
    }
    window->show();
    window->raise();
    window->activateWindow();
    progress().ShowProgress();
    window->SetInputEnabled(false);
    window->LoadIntoGrid(dialog.FileName);
    return true;
}
