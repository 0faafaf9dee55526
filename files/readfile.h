#pragma once
// Reading a whole file by its name as the system spells it.

#include "files/filename.h"

#include <QString>

class QFile;

#include <string>

// Reads the file into `out`. Empty on success, else why not, in words: the
// system's reason, a folder, or a file larger than `limit` bytes.
QString ReadWholeFile(const FileName &name, std::string &out, qint64 limit);

// Opens the file for reading into `file`, unbuffered (the caller reads in
// pieces of its own). A folder is refused, and so is a named pipe that
// nobody writes into (opening it would wait for ever). Empty on success,
// else why not.
QString OpenForReading(const FileName &name, QFile &file);

