#include "dictionary/linereader.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace dictload {
namespace {

// The first CR or LF in d[i, end), or end. Eight bytes are looked at a time:
// a word with no byte below 0x0E (nearly every word of text; Big5 bytes are
// all above) cannot hold a line break.
std::size_t findBreak(const char *d, std::size_t i, std::size_t end)
{
    constexpr std::uint64_t ones = 0x0101010101010101u;
    constexpr std::uint64_t highs = 0x8080808080808080u;
    for (;;) {
        while (i + 8 <= end) {
            std::uint64_t w;
            std::memcpy(&w, d + i, sizeof w);
            if (((w - ones * 0x0E) & ~w & highs) != 0)
                break;
            i += 8;
        }
        const std::size_t stop = std::min(i + 8, end);
        for (; i < stop; ++i) {
            if (d[i] == '\r' || d[i] == '\n')
                return i;
        }
        if (i == end)
            return end;
    }
}

} // namespace

LineReader::LineReader(QFile &file, std::uint64_t limit)
    : file_(file)
    , firstChunk_(file.isSequential() ? kReadChunk
                                      : std::size_t(std::clamp<qint64>(file.size() + 1, 1, qint64(kReadChunk))))
    , limit_(limit)
{
}

LineReader::Status LineReader::next(std::uint64_t &start, std::size_t &length)
{
    for (;;) {
        const char *const d = buffer_.get();
        const std::size_t i = findBreak(d, scanned_, have_);
        scanned_ = i;
        if (i < have_) {
            // A CR as the last byte read: an LF may follow in the file.
            if (d[i] == '\r' && i + 1 == have_ && !eof_) {
                if (const Status status = refill(); status != Status::Line)
                    return status;
                continue;
            }
            start = bufferStart_ + pos_;
            length = i - pos_;
            pos_ = i + ((d[i] == '\r' && i + 1 < have_ && d[i + 1] == '\n') ? 2 : 1);
            scanned_ = pos_;
            return Status::Line;
        }
        if (eof_) {
            if (pos_ == have_)
                return Status::End;
            start = bufferStart_ + pos_;
            length = have_ - pos_;
            pos_ = scanned_ = have_;
            return Status::Line;
        }
        if (const Status status = refill(); status != Status::Line)
            return status;
    }
}

LineReader::Status LineReader::refill()
{
    const std::size_t drop = std::size_t(keep_ - bufferStart_);
    if (drop != 0) {
        std::memmove(buffer_.get(), buffer_.get() + drop, have_ - drop);
        have_ -= drop;
        pos_ -= drop;
        scanned_ -= drop;
        bufferStart_ += drop;
    }
    if (have_ == capacity_) {
        const std::size_t grown = capacity_ == 0 ? firstChunk_ : capacity_ * 2;
        std::unique_ptr<char[]> bigger(new char[grown]);
        if (have_ != 0)
            std::memcpy(bigger.get(), buffer_.get(), have_);
        buffer_ = std::move(bigger);
        capacity_ = grown;
    }
    // One byte past the limit is read to tell a file of exactly the limit
    // from a larger one.
    const std::uint64_t allowed = limit_ + 1 - (bufferStart_ + have_);
    const qint64 n = file_.read(buffer_.get() + have_, qint64(std::min<std::uint64_t>(capacity_ - have_, allowed)));
    if (n < 0)
        return Status::ReadError;
    if (n == 0)
        eof_ = true;
    have_ += std::size_t(n);
    if (bufferStart_ + have_ > limit_)
        return Status::TooLarge;
    return Status::Line;
}

} // namespace dictload
