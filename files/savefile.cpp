#include "files/savefile.h"

#include <QFile>
#include <QRegularExpression>

#include <algorithm>
#include <utility>

#include <cerrno>
#include <csignal>
#include <cstring>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ctime>
#endif

QString SystemReason(int error)
{
    switch (error) {
    case ENOSPC:
        return QStringLiteral("磁碟空間不足");
#ifdef EDQUOT
    case EDQUOT:
        return QStringLiteral("已超過磁碟配額");
#endif
    case EFBIG:
        return QStringLiteral("檔案超過系統允許的大小");
    case EACCES:
    case EPERM:
        return QStringLiteral("沒有寫入的權限");
    case EROFS:
        return QStringLiteral("磁碟是唯讀的");
    case ENOENT:
        return QStringLiteral("資料夾不存在");
    case ENOTDIR:
        return QStringLiteral("路徑中有一段不是資料夾");
    case EISDIR:
        return QStringLiteral("這是一個資料夾");
    case ENAMETOOLONG:
        return QStringLiteral("檔案名稱太長");
    case EIO:
        return QStringLiteral("磁碟讀寫錯誤");
    case ELOOP:
        return QStringLiteral("符號連結太多層");
    case EPIPE:
        return QStringLiteral("讀取的一方已經關閉");
    case ENXIO:
        return QStringLiteral("沒有程式在讀取這個管道");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("開啟的檔案太多");
    default:
        return QStringLiteral("系統錯誤 %1（%2）").arg(error).arg(QString::fromLocal8Bit(std::strerror(error)));
    }
}

void IgnoreWriteSignals()
{
#ifndef Q_OS_WIN
    std::signal(SIGXFSZ, SIG_IGN);
    std::signal(SIGPIPE, SIG_IGN);
#endif
}

SaveFile::SaveFile(FileName target) : target_(std::move(target)) {}

SaveFile::~SaveFile()
{
    cancel();
}

namespace {

QString saveFailure(const FileName &target, const QString &reason)
{
    return QStringLiteral("無法儲存檔案 %1：%2。").arg(target.shown(), reason);
}

} // namespace

QString SaveFile::failureText() const
{
    return saveFailure(target_, reason_);
}

bool SaveFile::fail(const QString &reason)
{
    if (!failed_)
        reason_ = reason;
    failed_ = true;
    cancel();
    return false;
}

#ifndef Q_OS_WIN

namespace {

QByteArray folderOf(const QByteArray &path)
{
    const qsizetype slash = path.lastIndexOf('/');
    if (slash < 0)
        return QByteArrayLiteral(".");
    if (slash == 0)
        return QByteArrayLiteral("/");
    return path.left(slash);
}

QByteArray baseOf(const QByteArray &path)
{
    return path.mid(path.lastIndexOf('/') + 1);
}

// The descriptors of a process (/proc/<pid>/fd, which /dev/fd and
// /dev/stdout lead to) are links to open files, pipes and terminals that
// cannot be replaced by a rename.
bool isDescriptorFolder(const QByteArray &folder)
{
    char *real = ::realpath(folder.constData(), nullptr);
    if (!real)
        return false;
    static const QRegularExpression descriptors(QStringLiteral("^/proc/[^/]+/fd$"));
    const bool match = descriptors.match(QString::fromLocal8Bit(real)).hasMatch();
    std::free(real);
    return match;
}

mode_t currentUmask()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}

// The hidden temporary name of a save of `base`: "." + base + "." and six
// letters or digits (as mkostemp makes them).
bool isTemporaryOf(const char *entry, const QByteArray &base)
{
    const std::size_t length = std::strlen(entry);
    if (length != std::size_t(base.size()) + 8 || entry[0] != '.'
        || std::memcmp(entry + 1, base.constData(), std::size_t(base.size())) != 0 || entry[base.size() + 1] != '.')
        return false;
    bool lowercaseOnly = true;
    for (std::size_t i = length - 6; i < length; ++i) {
        const char c = entry[i];
        if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')))
            return false;
        lowercaseOnly = lowercaseOnly && c >= 'a' && c <= 'z';
    }
    // Six small letters are more likely a word of the user's (".dict.backup")
    // than ours; such a leftover of a save stays.
    return !lowercaseOnly;
}

// Removes what saves of the same target left behind when they were killed.
// A save holds a lock on its temporary file from just after making it until
// it is renamed or removed, and locks end with the process: a temporary
// file of ours that nobody holds is stale. One younger than a minute is
// left alone all the same, as the save that made it may not have locked it
// yet. Only plain files of this user with exactly our pattern are touched.
void removeStaleTemporaries(const QByteArray &folder, const QByteArray &base)
{
    DIR *d = ::opendir(folder.constData());
    if (!d)
        return;
    const int folderFd = ::dirfd(d);
    const std::time_t now = std::time(nullptr);
    while (const dirent *e = ::readdir(d)) {
        if (!isTemporaryOf(e->d_name, base))
            continue;
        const int fd = ::openat(folderFd, e->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat held {}, named {};
        if (::fstat(fd, &held) == 0 && S_ISREG(held.st_mode) && held.st_uid == ::geteuid()
            && held.st_mtime < now - StaleTemporaryAge && ::flock(fd, LOCK_EX | LOCK_NB) == 0
            && ::fstatat(folderFd, e->d_name, &named, AT_SYMLINK_NOFOLLOW) == 0 && named.st_dev == held.st_dev
            && named.st_ino == held.st_ino)
            (void)::unlinkat(folderFd, e->d_name, 0);
        ::close(fd);
    }
    ::closedir(d);
}

bool folderExists(const QByteArray &folder)
{
    struct stat st {};
    return ::stat(folder.constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool writeAll(int fd, const char *data, std::size_t size, int &error)
{
    while (size > 0) {
        const ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            error = errno;
            return false;
        }
        if (n == 0) {
            error = ENOSPC;
            return false;
        }
        data += n;
        size -= std::size_t(n);
    }
    return true;
}

} // namespace

bool SaveFile::fail(int error)
{
    return fail(SystemReason(error));
}

bool SaveFile::open()
{
    cancel();
    failed_ = false;
    stream_ = false;
    reason_.clear();
    if (target_.isEmpty())
        return fail(ENOENT);

    // Follow symbolic links to the file they name; a chain through the
    // process's descriptors is a stream.
    QByteArray path = target_.native();
    struct stat st {};
    bool exists = false;
    for (int depth = 0;; ++depth) {
        if (::lstat(path.constData(), &st) != 0) {
            if (errno != ENOENT)
                return fail(errno);
            break;
        }
        if (!S_ISLNK(st.st_mode)) {
            exists = true;
            break;
        }
        if (depth == 40)
            return fail(ELOOP);
        if (isDescriptorFolder(folderOf(path))) {
            stream_ = true;
            break;
        }
        QByteArray link(PATH_MAX, Qt::Uninitialized);
        const ssize_t n = ::readlink(path.constData(), link.data(), std::size_t(link.size()));
        if (n < 0)
            return fail(errno);
        link.truncate(n);
        path = link.startsWith('/') ? link : folderOf(path) + '/' + link;
    }

    if (!stream_ && exists && !S_ISREG(st.st_mode)) {
        if (S_ISDIR(st.st_mode))
            return fail(EISDIR);
        if (!S_ISFIFO(st.st_mode) && !S_ISCHR(st.st_mode))
            return fail(QStringLiteral("這不是一般檔案，不能取代"));
        stream_ = true;
    }

    if (stream_) {
        // Opening a pipe that nobody reads would wait for ever: it fails
        // instead, and the writes block only while the reader is slow.
        fd_ = ::open(path.constData(), O_WRONLY | O_TRUNC | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (fd_ < 0)
            return fail(errno);
        const int flags = ::fcntl(fd_, F_GETFL);
        if (flags < 0 || ::fcntl(fd_, F_SETFL, flags & ~O_NONBLOCK) != 0)
            return fail(errno);
        final_ = path;
        return true;
    }

    // A short hidden name beside the target, so that the rename stays on
    // one file system and the name never grows past the system's limit.
    QByteArray base = baseOf(path);
    if (base.size() > 120)
        base.truncate(120);
    const QByteArray folder = folderOf(path);
    removeStaleTemporaries(folder, base);
    QByteArray pattern = folder + "/." + base + ".XXXXXX";
    fd_ = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd_ < 0) {
        // A folder that exists and still "has no such file" takes no new
        // files at all (/proc, /sys).
        if (errno == ENOENT && folderExists(folder))
            return fail(QStringLiteral("這個資料夾不能建立新檔案"));
        return fail(errno);
    }
    temporary_ = pattern;
    final_ = path;
    // The lock marks the temporary file as taken while this save lives; a
    // descriptor of its own keeps it beyond the close before the rename.
    // Where the file system has no locks, no save takes any file for stale.
    lock_ = ::open(temporary_.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (lock_ >= 0)
        (void)::flock(lock_, LOCK_EX | LOCK_NB);

    if (exists) {
        if (::fchmod(fd_, st.st_mode & 07777) != 0)
            return fail(errno);
        if (st.st_uid != ::geteuid() || st.st_gid != ::getegid()) {
            // Only the administrator may give a file away; anyone may keep
            // a group they belong to.
            if (::fchown(fd_, st.st_uid, st.st_gid) != 0)
                (void)::fchown(fd_, uid_t(-1), st.st_gid);
        }
    } else if (::fchmod(fd_, 0666 & ~currentUmask()) != 0) {
        return fail(errno);
    }
    return true;
}

bool SaveFile::write(std::string_view bytes)
{
    if (failed_ || fd_ < 0)
        return fail(EBADF);
    int error = 0;
    if (!writeAll(fd_, bytes.data(), bytes.size(), error))
        return fail(error);
    return true;
}

bool SaveFile::commit()
{
    if (failed_ || fd_ < 0)
        return fail(EBADF);
    // A stream has nothing to flush to a disk.
    if (!stream_ && ::fsync(fd_) != 0)
        return fail(errno);
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0 && errno != EINTR)
        return fail(errno);
    if (stream_)
        return true;
    if (::rename(temporary_.constData(), final_.constData()) != 0)
        return fail(errno);
    temporary_.clear();
    ::close(std::exchange(lock_, -1));
    // The rename itself reaches the disk with the folder.
    const int folder = ::open(folderOf(final_).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        (void)::fsync(folder);
        ::close(folder);
    }
    return true;
}

void SaveFile::cancel()
{
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!temporary_.isEmpty()) {
        ::unlink(temporary_.constData());
        temporary_.clear();
    }
    if (lock_ >= 0)
        ::close(std::exchange(lock_, -1));
}

#else // Q_OS_WIN

namespace {

std::wstring wide(const QByteArray &utf8)
{
    return QString::fromUtf8(utf8).toStdWString();
}

QString windowsReason(DWORD error)
{
    switch (error) {
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return QStringLiteral("磁碟空間不足");
    case ERROR_ACCESS_DENIED:
        return QStringLiteral("沒有寫入的權限");
    case ERROR_PATH_NOT_FOUND:
        return QStringLiteral("資料夾不存在");
    case ERROR_WRITE_PROTECT:
        return QStringLiteral("磁碟是唯讀的");
    default:
        return QStringLiteral("系統錯誤 %1").arg(error);
    }
}

} // namespace

bool SaveFile::fail(int error)
{
    return fail(windowsReason(DWORD(error)));
}

bool SaveFile::open()
{
    cancel();
    failed_ = false;
    reason_.clear();
    final_ = target_.native();
    const DWORD attributes = GetFileAttributesW(wide(final_).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return fail(QStringLiteral("這是一個資料夾"));
    for (int n = 0; n < 100 && !handle_; ++n) {
        temporary_ = final_ + ".tavisorn-" + QByteArray::number(GetCurrentProcessId()) + '-' + QByteArray::number(n);
        HANDLE h = CreateFileW(wide(temporary_).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE)
            handle_ = h;
        else if (GetLastError() != ERROR_FILE_EXISTS) {
            temporary_.clear();
            return fail(int(GetLastError()));
        }
    }
    if (!handle_) {
        temporary_.clear();
        return fail(int(ERROR_FILE_EXISTS));
    }
    return true;
}

bool SaveFile::write(std::string_view bytes)
{
    if (failed_ || !handle_)
        return fail(int(ERROR_INVALID_HANDLE));
    while (!bytes.empty()) {
        const DWORD piece = DWORD(std::min<std::size_t>(bytes.size(), 1u << 30));
        DWORD written = 0;
        if (!WriteFile(HANDLE(handle_), bytes.data(), piece, &written, nullptr) || written == 0)
            return fail(int(GetLastError()));
        bytes.remove_prefix(written);
    }
    return true;
}

bool SaveFile::commit()
{
    if (failed_ || !handle_)
        return fail(int(ERROR_INVALID_HANDLE));
    if (!FlushFileBuffers(HANDLE(handle_)))
        return fail(int(GetLastError()));
    CloseHandle(HANDLE(handle_));
    handle_ = nullptr;
    if (!MoveFileExW(wide(temporary_).c_str(), wide(final_).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return fail(int(GetLastError()));
    temporary_.clear();
    return true;
}

void SaveFile::cancel()
{
    if (handle_) {
        CloseHandle(HANDLE(handle_));
        handle_ = nullptr;
    }
    if (!temporary_.isEmpty()) {
        DeleteFileW(wide(temporary_).c_str());
        temporary_.clear();
    }
}

#endif

FileResult SaveBytes(const FileName &target, std::string_view bytes)
{
    SaveFile file(target);
    if (file.open() && file.write(bytes) && file.commit())
        return {};
    return {false, file.failureText()};
}

FileResult WriteScratchFile(const FileName &target, std::string_view bytes)
{
    const auto failed = [&](const QString &reason) {
        return FileResult{false, saveFailure(target, reason)};
    };
#ifdef Q_OS_WIN
    QFile file(target.toQString());
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return failed(file.errorString());
    if (file.write(bytes.data(), qint64(bytes.size())) != qint64(bytes.size()) || !file.flush())
        return failed(file.errorString());
    file.close();
    return {};
#else
    const int fd = ::open(target.native().constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return failed(SystemReason(errno));
    for (std::size_t done = 0; done < bytes.size();) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            const int error = n < 0 ? errno : EIO;
            ::close(fd);
            return failed(SystemReason(error));
        }
        done += std::size_t(n);
    }
    // A failed close is a failed write (a full disk on a network file system).
    if (::close(fd) != 0 && errno != EINTR)
        return failed(SystemReason(errno));
    return {};
#endif
}
