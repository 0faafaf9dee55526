#pragma once
// A full disk for the length of a scope: files may not grow beyond the given
// size. Unlike permission bits, the limit binds the administrator too.
// Writes past it fail with EFBIG instead of ending the process by a signal.

#include <csignal>
#include <sys/resource.h>

class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        oldHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        if (getrlimit(RLIMIT_FSIZE, &before_) != 0)
            return;
        rlimit small = before_;
        small.rlim_cur = bytes;
        ok_ = setrlimit(RLIMIT_FSIZE, &small) == 0;
    }
    ~FileSizeLimit()
    {
        if (ok_)
            setrlimit(RLIMIT_FSIZE, &before_);
        std::signal(SIGXFSZ, oldHandler_);
    }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;
    bool ok() const { return ok_; }

private:
    rlimit before_{};
    void (*oldHandler_)(int) = SIG_DFL;
    bool ok_ = false;
};
