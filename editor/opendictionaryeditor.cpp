#include "editor/opendictionaryeditor.h"

#include "editor/tdict2.h"
#include "platform/messages.h"
#include "settings/settings.h"
#include "settings/startdir_dialog.h"

bool OpenDictionaryEditor(TDict2 &editor, const QString &fileName)
{
    DictionaryDocument &document = editor.Document;
    if (!document.Available() || document.Ending())
        return false;
    if (editor.isVisible() && !editor.AskToSave())
        return false;

    if (!fileName.isEmpty()) {
        editor.show();
        editor.raise();
        editor.activateWindow();
        document.Open(fileName, false);
        return true;
    }

    FileDialog &dialog = editor.BOD;
    dialog.Title = QStringLiteral("開啟字典檔");
    ChooseInitialDir(dialog, RegDat.DictDefPath, RegDat.DictLUPath);
    dialog.Filter = DictionaryFilter;
    dialog.DefaultExt = QStringLiteral("*.") + RegDat.DicExt;
    if (!dialog.Execute(activeWindow())) {
        messageBoxes().message(activeWindow(), QStringLiteral("使用者取消。"), QStringLiteral("開啟字典檔"));
        return false;
    }
    editor.show();
    editor.raise();
    editor.activateWindow();
    document.Open(dialog.FileName, true);
    return true;
}
