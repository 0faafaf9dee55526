#pragma once
// Reading a whole file by its name as the system spells it.

#include "files/filename.h"

#include <QString>

#include <string>

// Reads the file into `out`. Empty on success, else why not, in words: the
// system's reason, a folder, or a file larger than `limit` bytes.
QString ReadWholeFile(const FileName &name, std::string &out, qint64 limit);
