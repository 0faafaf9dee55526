#include "editor/showentry.h"

#include "convert/script.h"
#include "editor/opendictionaryeditor.h"
#include "editor/tdict2.h"

namespace {

bool holds(const DictionaryDocument &document, const QString &fileName)
{
    return !document.DictionaryFileName.isEmpty()
        && NameTheSameFile(PathBytes(document.DictionaryFileName), PathBytes(fileName));
}

} // namespace

bool ShowDictionaryEntry(TDict2 &editor, const QString &fileName, const std::string &source)
{
    DictionaryDocument &document = editor.Document;
    if (!holds(document, fileName)) {
        if (fileName.isEmpty() || !OpenDictionaryEditor(editor, fileName) || !holds(document, fileName))
            return false;
    }
    editor.show();
    editor.raise();
    editor.activateWindow();
    const DictionaryTables &t = document.Tables;
    for (std::int32_t k = 0; k <= t.LastEntry; ++k) {
        if (t.EntryTable[std::size_t(k)].Source == source) {
            editor.GoToEntry(k);
            return true;
        }
    }
    return false;
}
