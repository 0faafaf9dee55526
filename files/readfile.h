#pragma once
// Reading a whole file by its name as the system spells it.

#include "files/filename.h"

#include <QString>

class QFile;

#include <memory>
#include <string>
#include <string_view>

// Reads the file into `out`. Empty on success, else why not, in words: the
// system's reason, a folder, or a file larger than `limit` bytes.
QString ReadWholeFile(const FileName &name, std::string &out, qint64 limit);

// Opens the file for reading into `file`, unbuffered (the caller reads in
// pieces of its own). A folder is refused, and so is a named pipe that
// nobody writes into (opening it would wait for ever). Empty on success,
// else why not.
QString OpenForReading(const FileName &name, QFile &file);

// A file's bytes as the system holds them, mapped into memory where it
// can be (they are not copied, and their pages come from the system's
// cache as they are read), else read. For a file no other program writes
// while it is held, such as one in a run's own folder.
class MappedFile {
public:
    MappedFile();
    ~MappedFile();
    MappedFile(const MappedFile &) = delete;
    MappedFile &operator=(const MappedFile &) = delete;
    // Empty on success, else why not, as ReadWholeFile says it.
    QString open(const FileName &name, qint64 limit);
    std::string_view bytes() const { return bytes_; }

private:
    std::unique_ptr<QFile> file_;
    std::string read_; // when the file could not be mapped
    std::string_view bytes_;
};
