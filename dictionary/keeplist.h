#pragma once
// The user's list of texts kept in English for a dictionary: the file
// beside it named as the dictionary with ".keep" added (en.txt →
// en.txt.keep), one text a line, Big5. A dictionary without one has an
// empty list.

#include "dictionary/checks.h"
#include "files/filename.h"

#include <QString>

FileName KeepListFor(const FileName &dictionary);

// Reads the list beside the dictionary into keep. Empty on success or
// when there is no list, else why it could not be read.
QString ReadKeepList(const FileName &dictionary, KeepEnglish &keep);
