#include "files/readfile.h"

#include "files/savefile.h"

#include <cerrno>

#include <QFile>
#include <QFileInfo>

#ifndef Q_OS_WIN
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

QString tooLarge(qint64 limit)
{
    return QStringLiteral("檔案超過 %1 MB").arg(limit >> 20);
}

#ifndef Q_OS_WIN
// Whether the pipe open for reading at `fd` has a writer or holds text.
// Where the system cannot tell without reading, true.
bool PipeHasWriter(int fd)
{
#ifdef __linux__
    // tee() copies without taking anything out of the pipe; on an empty
    // pipe it ends at once with 0 when nobody writes, with EAGAIN when a
    // writer is there.
    int probe[2];
    if (::pipe2(probe, O_CLOEXEC) != 0)
        return true;
    const ssize_t n = ::tee(fd, probe[1], 1, SPLICE_F_NONBLOCK);
    ::close(probe[0]);
    ::close(probe[1]);
    // Any other failure: the system cannot tell; the read will.
    return n != 0;
#else
    (void)fd;
    return true;
#endif
}
#endif

} // namespace

QString OpenForReading(const FileName &name, QFile &file)
{
#ifdef Q_OS_WIN
    file.setFileName(name.toQString());
    if (QFileInfo(file.fileName()).isDir())
        return SystemReason(EISDIR);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return file.errorString();
    return {};
#else
    // Opening a named pipe waits until someone writes into it: opened
    // without waiting, a pipe nobody writes is refused instead.
    const int fd = ::open(name.native().constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return SystemReason(errno);
    const auto refuse = [fd](const QString &reason) {
        ::close(fd);
        return reason;
    };
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode))
        return refuse(SystemReason(EISDIR));
    if (S_ISFIFO(st.st_mode) && !PipeHasWriter(fd))
        return refuse(QStringLiteral("沒有程式寫入這個管道"));
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0)
        return refuse(SystemReason(errno));
    if (!file.open(fd, QIODevice::ReadOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return file.errorString();
    }
    return {};
#endif
}

QString ReadWholeFile(const FileName &name, std::string &out, qint64 limit)
{
    out.clear();
    QFile file;
    if (const QString reason = OpenForReading(name, file); !reason.isEmpty())
        return reason;
    if (!file.isSequential() && file.size() > limit)
        return tooLarge(limit);
    // A file of known size is read straight into place; what it may have
    // grown by since, and a stream, in pieces after it.
    if (!file.isSequential() && file.size() > 0) {
        out.resize(std::size_t(file.size()));
        std::size_t got = 0;
        while (got < out.size()) {
            const qint64 n = file.read(out.data() + got, qint64(out.size() - got));
            if (n < 0)
                return file.errorString();
            if (n == 0)
                break;
            got += std::size_t(n);
        }
        out.resize(got);
    }
    char buffer[1 << 16];
    for (;;) {
        const qint64 n = file.read(buffer, sizeof buffer);
        if (n == 0)
            break;
        if (n < 0)
            return file.errorString();
        out.append(buffer, std::size_t(n));
        if (qint64(out.size()) > limit)
            return tooLarge(limit);
    }
    return {};
}

MappedFile::MappedFile() = default;

MappedFile::~MappedFile() = default;

QString MappedFile::open(const FileName &name, qint64 limit)
{
    bytes_ = {};
    read_.clear();
    file_ = std::make_unique<QFile>();
    if (const QString reason = OpenForReading(name, *file_); !reason.isEmpty())
        return reason;
    if (!file_->isSequential() && file_->size() > limit)
        return tooLarge(limit);
    if (!file_->isSequential() && file_->size() > 0) {
        if (const uchar *map = file_->map(0, file_->size())) {
            bytes_ = std::string_view(reinterpret_cast<const char *>(map), std::size_t(file_->size()));
            return {};
        }
    }
    file_.reset();
    if (const QString reason = ReadWholeFile(name, read_, limit); !reason.isEmpty())
        return reason;
    bytes_ = read_;
    return {};
}

