#pragma once
// The line reader of a dictionary load.
//
// Why it exists: a load never holds the whole file. Reading the text into
// one buffer first and grouping afterwards would add the file's size again
// to the peak of every load; the reader keeps one piece of 64 KiB (a
// small file whole) and lets the grouping copy each pair out of it at once.
// Peaks of a load of 1,000,000 pairs above the empty process, as multiples
// of the file (bench/dictionary: raw, saved and all-distinct dictionaries):
// 1.6, 2.2 and 2.3 with the reader; 2.6, 3.2 and 3.2 with the file read
// whole.

#include <QFile>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

namespace dictload {

// Reads a file a piece at a time and hands out its lines. CR LF, a lone LF
// and a lone CR each end a line; a break at the very end starts no further
// line. Lines are named by their offset in the file; the text from the
// marked pair start on stays in memory, so a pair's source line can still be
// viewed after its translation line was read.
class LineReader {
public:
    enum class Status { Line, End, ReadError, TooLarge };

    // A file is read in pieces of this size.
    static constexpr std::size_t kReadChunk = std::size_t(1) << 16;

    // More than `limit` bytes in the file (an endless device, a pipe that
    // never ends) stop the reading with TooLarge.
    LineReader(QFile &file, std::uint64_t limit);

    void markPairStart() { keep_ = bufferStart_ + pos_; }

    Status next(std::uint64_t &start, std::size_t &length);

    std::string_view view(std::uint64_t start, std::size_t length) const
    {
        return std::string_view(buffer_.get() + (start - bufferStart_), length);
    }

private:
    // Drops the text before the kept pair, then reads what fits behind the
    // rest; the buffer grows only for a pair longer than itself.
    Status refill();

    QFile &file_;
    const std::size_t firstChunk_; // the whole of a small file
    const std::uint64_t limit_;
    std::unique_ptr<char[]> buffer_;
    std::size_t capacity_ = 0;
    std::size_t have_ = 0;          // bytes of buffer_ holding file text
    std::uint64_t bufferStart_ = 0; // file offset of buffer_[0]
    std::size_t pos_ = 0;           // the next line starts here
    std::size_t scanned_ = 0;       // no line break in [pos_, scanned_)
    std::uint64_t keep_ = 0;        // file offset of the kept pair
    bool eof_ = false;
};

} // namespace dictload
