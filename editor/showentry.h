#pragma once
#include <QString>

#include <string>

class TDict2;

// The maintenance window on the entry of `source` (Big5) in the dictionary
// `fileName`: at once when that dictionary is open, else after it has been
// opened as OpenDictionaryEditor opens it (its questions first). False when
// the dictionary could not be opened or holds no such entry; the window
// then stays on the dictionary as it is.
bool ShowDictionaryEntry(TDict2 &editor, const QString &fileName, const std::string &source);
