#pragma once
#include "dictionary/untranslated.h"

#include <QString>

#include <string>
#include <vector>

class TDict2;

// Brings up the maintenance window `editor` with a dictionary: the given
// file, or the one the user picks in its open dialog. True when a load was
// started. Refused while the dictionary is busy; unsaved edits in the
// visible window (the choice box's text included) are asked about first.
bool OpenDictionaryEditor(TDict2 &editor, const QString &fileName);

// The new-version loop: `texts` (Big5) become untranslated pairs of the
// dictionary `fileName`, and the maintenance window comes up on it with the
// grid on the first of them. When that dictionary is the one open, they
// become entries of it (unsaved edits stay; the dictionary is then
// modified); else the file is rewritten with the pairs appended and opened,
// after the same questions as OpenDictionaryEditor asks. Refused while the
// dictionary is busy; a file that cannot be rewritten is reported and left
// as it was. Each new entry offers its suggested translations, none chosen.
AddedTexts AddTextsToDictionary(TDict2 &editor, const QString &fileName, const std::vector<std::string> &texts,
                                const SuggestedTranslations &suggested = {});
