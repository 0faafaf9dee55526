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

std::int32_t entryOf(const DictionaryTables &t, const std::string &source)
{
    for (std::int32_t k = 0; k <= t.LastEntry; ++k)
        if (t.EntryTable[std::size_t(k)].Source == source)
            return k;
    return -1;
}

bool openIn(TDict2 &editor, const QString &fileName)
{
    DictionaryDocument &document = editor.Document;
    if (!holds(document, fileName)) {
        if (fileName.isEmpty() || !OpenDictionaryEditor(editor, fileName) || !holds(document, fileName))
            return false;
    }
    editor.show();
    editor.raise();
    editor.activateWindow();
    return true;
}

} // namespace

int ApplyDictionaryFixes(TDict2 &editor, const QString &fileName,
                         const std::vector<std::pair<std::string, QString>> &fixes)
{
    if (!openIn(editor, fileName))
        return 0;
    DictionaryDocument &document = editor.Document;
    int committed = 0;
    std::int32_t first = -1;
    for (const auto &[source, text] : fixes) {
        const std::int32_t k = entryOf(document.Tables, source);
        if (k < 0 || !document.CommitChoice(k, text).Committed)
            continue;
        ++committed;
        if (first < 0)
            first = k;
    }
    if (first >= 0)
        editor.GoToEntry(first);
    return committed;
}

bool ShowDictionaryEntry(TDict2 &editor, const QString &fileName, const std::string &source)
{
    if (!openIn(editor, fileName))
        return false;
    const std::int32_t k = entryOf(editor.Document.Tables, source);
    if (k < 0)
        return false;
    editor.GoToEntry(k);
    return true;
}
