#pragma once
#include <QString>

// Brings up the maintenance window with a dictionary: the given file, or the
// one the user picks in its open dialog. True when a load was started.
// Unsaved edits in the visible window are asked about first.
bool OpenDictionaryEditor(const QString &fileName);
