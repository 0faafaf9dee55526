#pragma once
#include <QString>

class TDict2;

// Brings up the maintenance window `editor` with a dictionary: the given
// file, or the one the user picks in its open dialog. True when a load was
// started. Refused while the dictionary is busy; unsaved edits in the
// visible window (the choice box's text included) are asked about first.
bool OpenDictionaryEditor(TDict2 &editor, const QString &fileName);
