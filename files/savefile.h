#pragma once
// The one way the program replaces a file: dictionaries, script files and
// the settings store all go through SaveFile.
//
// The new contents go to a temporary file beside the target; every write is
// checked, the file is flushed to the disk (fsync) and closed, and only then
// renamed over the target. On any failure the temporary file is removed and
// the old file stays byte for byte; the reason is the system's, in words.
//
// Targets that are not plain files:
// - a symbolic link is written through: the file it points to is replaced
//   and the link stays a link;
// - a stream (a named pipe, a terminal, /dev/null, /dev/stdout and the other
//   descriptors of /dev/fd) is written straight into, as a shell redirection
//   would: there is nothing to replace;
// - a folder, a block device or a socket is refused.
// A save also removes the temporary files that earlier saves of the same
// target left when they were killed (see StaleTemporaryAge); the temporary
// file of a save still running is never touched.
// A replaced file keeps its permissions and, where the user may set it, its
// owner and group. A save makes a new file, so other hard links to the old
// one keep the old contents.

#include "files/filename.h"

#include <QString>

#include <string_view>

struct FileResult {
    bool ok = true;
    QString error; // the failed file operation's message when !ok
};

class SaveFile {
public:
    explicit SaveFile(FileName target);
    ~SaveFile(); // an unfinished save is abandoned, the old file kept
    SaveFile(const SaveFile &) = delete;
    SaveFile &operator=(const SaveFile &) = delete;

    bool open();
    bool write(std::string_view bytes);
    // Flushes, closes and puts the new file in place.
    bool commit();
    // Drops what was written; the old file stays.
    void cancel();

    // Why the last step failed, e.g. "磁碟空間不足".
    QString reason() const { return reason_; }
    // "無法儲存檔案 <name>：<reason>。"
    QString failureText() const;
    const FileName &target() const { return target_; }

private:
    bool fail(int error);
    bool fail(const QString &reason);

    FileName target_;
    QByteArray final_;     // the file replaced (the target, links followed)
    QByteArray temporary_; // the new file until it is renamed
    int fd_ = -1;
    int lock_ = -1; // holds the temporary file as this save's own
    bool stream_ = false;
    bool failed_ = false;
    QString reason_;
#ifdef Q_OS_WIN
    void *handle_ = nullptr;
#endif
};

// A temporary file of a save is taken for stale only when no running save
// holds it and it is at least this many seconds old.
constexpr int StaleTemporaryAge = 60;

// Writes bytes as the whole new contents of target.
FileResult SaveBytes(const FileName &target, std::string_view bytes);

// Writes a file that lives only for a moment in a folder of the program's
// own (the copies a conversion hands the interpreter): written and closed,
// each failure with its reason as SaveBytes gives it, but neither synced
// to the disk nor put in place beside an old one, as there is none to keep.
FileResult WriteScratchFile(const FileName &target, std::string_view bytes);

// The words for a failed file operation's error number, in Traditional
// Chinese: "磁碟空間不足" for ENOSPC, and so on; the system's own text for
// the rare rest.
QString SystemReason(int error);

// A write past the file size limit or into a pipe nobody reads would end the
// process by a signal; the programs call this at start so that such writes
// fail with a reason instead.
void IgnoreWriteSignals();
