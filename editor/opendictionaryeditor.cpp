#include "editor/opendictionaryeditor.h"

#include "convert/script.h"
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
    // The load's progress window and questions belong to the window the
    // user came from; without a window manager nothing else puts the editor
    // back on top of it once they are gone.
    editor.raise();
    editor.activateWindow();
    return true;
}

AddedTexts AddTextsToDictionary(TDict2 &editor, const QString &fileName, const std::vector<std::string> &texts,
                                const SuggestedTranslations &suggested)
{
    DictionaryDocument &document = editor.Document;
    AddedTexts refused;
    refused.Refused = true;
    if (!document.Available() || document.Ending())
        return refused;

    const auto bringUp = [&editor] {
        editor.show();
        editor.raise();
        editor.activateWindow();
    };
    const bool open = !document.DictionaryFileName.isEmpty()
                      && NameTheSameFile(PathBytes(document.DictionaryFileName), PathBytes(fileName));
    if (open) {
        AddedTexts added = document.AddUntranslated(texts, suggested);
        if (added.Refused)
            return added;
        bringUp();
        editor.GoToEntry(added.FirstEntry);
        return added;
    }

    // The open dictionary is about to be replaced: asked about first, so
    // that a cancel leaves the file as it was too.
    if (editor.isVisible() && !editor.AskToSave())
        return refused;
    // An extraction still writing the dictionary finishes first: the
    // rewrite must start from the whole file.
    if (!document.WaitUntilWritten(fileName))
        return refused;
    AddedTexts added = AppendUntranslatedPairs(FileName(fileName), texts, suggested);
    if (added.Refused) {
        ReportError(added.Error);
        return added;
    }
    bringUp();
    // A load that fails has said why; the pairs are in the file all the same.
    if (!document.Open(fileName, true))
        return added;
    added.FirstEntry = FirstEntryOf(document.Tables, texts);
    editor.GoToEntry(added.FirstEntry);
    return added;
}
