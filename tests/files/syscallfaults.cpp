// The interposing library of the save tests (see syscallfaults.h). Each
// function finds the C library's own through dlsym(RTLD_NEXT) and only looks
// at a descriptor's path while a watch is on, so that the rest of the
// process runs as without it.

#include "syscallfaults.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <set>
#include <string>

namespace {

// Plain data, so that closes made while the process ends find it intact.
std::mutex lock;
char watched[4096];
std::size_t watchedSize = 0;
bool failFsync = false;
bool failClose = false;
std::set<std::string> synced; // watched paths flushed successfully
std::set<std::string> closed; // watched paths whose descriptor was closed
int syncCalls = 0;
bool renamed = false;
bool renamedSynced = false;
bool renamedClosed = false;

template <typename F>
F next(const char *name)
{
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}

// The path of an open descriptor when a watch is on and the path is watched.
bool watchedPath(int fd, std::string &path)
{
    if (watchedSize == 0)
        return false;
    char link[64];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    char buffer[4096];
    const ssize_t n = ::readlink(link, buffer, sizeof buffer);
    if (n <= 0)
        return false;
    path.assign(buffer, std::size_t(n));
    return path.compare(0, watchedSize, watched, watchedSize) == 0;
}

int sync(int fd, int (*real)(int))
{
    std::string path;
    {
        std::lock_guard<std::mutex> guard(lock);
        if (watchedPath(fd, path)) {
            ++syncCalls;
            if (failFsync) {
                errno = EIO;
                return -1;
            }
        } else {
            path.clear();
        }
    }
    const int result = real(fd);
    if (result == 0 && !path.empty()) {
        std::lock_guard<std::mutex> guard(lock);
        synced.insert(path);
    }
    return result;
}

} // namespace

extern "C" {

void SyscallFaultsWatch(const char *prefix)
{
    std::lock_guard<std::mutex> guard(lock);
    watchedSize = prefix ? std::min(std::strlen(prefix), sizeof watched) : 0;
    std::memcpy(watched, prefix ? prefix : "", watchedSize);
    failFsync = failClose = false;
    synced.clear();
    closed.clear();
    syncCalls = 0;
    renamed = renamedSynced = renamedClosed = false;
}

void SyscallFaultsFailFsync(int fail)
{
    std::lock_guard<std::mutex> guard(lock);
    failFsync = fail != 0;
}

void SyscallFaultsFailClose(int fail)
{
    std::lock_guard<std::mutex> guard(lock);
    failClose = fail != 0;
}

int SyscallFaultsRenamed(int *wasSynced, int *wasClosed)
{
    std::lock_guard<std::mutex> guard(lock);
    *wasSynced = renamedSynced;
    *wasClosed = renamedClosed;
    return renamed;
}

int SyscallFaultsSyncCalls(void)
{
    std::lock_guard<std::mutex> guard(lock);
    return syncCalls;
}

int fsync(int fd)
{
    static const auto real = next<int (*)(int)>("fsync");
    return sync(fd, real);
}

int fdatasync(int fd)
{
    static const auto real = next<int (*)(int)>("fdatasync");
    return sync(fd, real);
}

int close(int fd)
{
    static const auto real = next<int (*)(int)>("close");
    std::string path;
    bool fail = false;
    {
        std::lock_guard<std::mutex> guard(lock);
        if (watchedPath(fd, path)) {
            closed.insert(path);
            fail = failClose;
        }
    }
    const int result = real(fd);
    if (fail && result == 0) {
        // The descriptor is gone all the same, as after a real failed close.
        errno = EIO;
        return -1;
    }
    return result;
}

int rename(const char *from, const char *to)
{
    static const auto real = next<int (*)(const char *, const char *)>("rename");
    {
        std::lock_guard<std::mutex> guard(lock);
        char *resolved = watchedSize != 0 ? ::realpath(from, nullptr) : nullptr;
        if (resolved) {
            const std::string path(resolved);
            if (path.compare(0, watchedSize, watched, watchedSize) == 0) {
                renamed = true;
                renamedSynced = synced.count(path) != 0;
                renamedClosed = closed.count(path) != 0;
            }
        }
        std::free(resolved);
    }
    return real(from, to);
}
}
