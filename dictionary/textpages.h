#pragma once
// Where the dictionary's longer texts live.
//
// Why it exists: a text of 16 bytes or more needs storage outside its
// DictText, and most dictionary texts are that long. A heap block per text
// costs its allocator header and rounding (a 20-byte text takes a 32-byte
// block); the texts of a load are instead laid one after another into
// 64 KiB pages, so they cost their bytes and nothing more, and freeing a
// whole dictionary gives back a page at a time instead of a block per text.
// Peaks of a load of 1,000,000 pairs above the empty process, as multiples
// of the file (bench/dictionary: raw, saved and all-distinct dictionaries):
// 1.6, 2.2 and 2.3 with the pages; 2.3, 3.2 and 3.3 with a heap block per
// text.
//
// A page is given back when the last text in it dies. Each page counts its
// living texts; the page that new texts are being copied into (one per
// thread) also holds a reference of its own. A text longer than a sixteenth
// of a page gets a block of its own with the same count in front of it.

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace textpages {

enum class Kind : unsigned char { Pooled, Owned };

struct Stored {
    const char *data;
    Kind kind;
};

// A copy of `bytes` (at least one byte) that lives until released.
// Throws std::bad_alloc.
Stored store(std::string_view bytes);
// One more holder of the stored text at `data`.
void retain(const char *data, Kind kind) noexcept;
// One holder fewer; the storage goes when the last one has gone.
void release(const char *data, Kind kind) noexcept;

// Pages and own blocks alive in the process, the page being filled included.
std::size_t blocksInUse() noexcept;

} // namespace textpages
