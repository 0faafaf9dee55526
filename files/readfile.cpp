#include "files/readfile.h"

#include "files/savefile.h"

#include <cerrno>

#ifdef Q_OS_WIN
#include <QFile>
#include <QFileInfo>
#else
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

QString ReadWholeFile(const FileName &name, std::string &out, qint64 limit)
{
    out.clear();
#ifdef Q_OS_WIN
    QFile file(name.toQString());
    if (QFileInfo(file.fileName()).isDir())
        return SystemReason(EISDIR);
    if (!file.open(QIODevice::ReadOnly))
        return file.errorString();
    if (file.size() > limit)
        return tooLarge(limit);
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return file.errorString();
    out.assign(data.constData(), std::size_t(data.size()));
    return {};
#else
    const int fd = ::open(name.native().constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return SystemReason(errno);
    struct stat st {};
    if (::fstat(fd, &st) == 0 && (S_ISDIR(st.st_mode) || st.st_size > limit)) {
        ::close(fd);
        return S_ISDIR(st.st_mode) ? SystemReason(EISDIR) : tooLarge(limit);
    }
    char buffer[1 << 16];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n == 0)
            break;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            const int error = errno;
            ::close(fd);
            return SystemReason(error);
        }
        out.append(buffer, std::size_t(n));
        if (qint64(out.size()) > limit) {
            ::close(fd);
            return tooLarge(limit);
        }
    }
    ::close(fd);
    return {};
#endif
}
