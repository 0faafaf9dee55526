#pragma once
#include <QString>

#include <string>
#include <utility>
#include <vector>

class TDict2;

// The maintenance window on the entry of `source` (Big5) in the dictionary
// `fileName`: at once when that dictionary is open, else after it has been
// opened as OpenDictionaryEditor opens it (its questions first). False when
// the dictionary could not be opened or holds no such entry; the window
// then stays on the dictionary as it is.
bool ShowDictionaryEntry(TDict2 &editor, const QString &fileName, const std::string &source);

// Commits each fix (a source, Big5, and the translation that mends it) as
// the choice of that source's entry of the dictionary `fileName`, opened as
// ShowDictionaryEntry opens it, each an ordinary commit that Ctrl+Z takes
// back; the window then stands on the first entry mended. Returns how many
// were committed (sources the dictionary lacks are passed over).
int ApplyDictionaryFixes(TDict2 &editor, const QString &fileName,
                         const std::vector<std::pair<std::string, QString>> &fixes);
