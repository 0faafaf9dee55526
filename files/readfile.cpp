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
    const int fd = ::open(name.native().constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return SystemReason(errno);
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd);
        return SystemReason(EISDIR);
    }
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
