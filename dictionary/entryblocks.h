#pragma once
// Where a dictionary load gathers its entries before they are sorted.
//
// Why it exists: the number of entries is known only at the end of the
// file. A table that grows by doubling holds its old and its new copy at
// once, up to three times the entries for a moment; these blocks never
// move, and each is given back to the system as soon as its entries have
// moved into the final table, so that the move costs one block more than
// the entries and not the entries twice.

#include "dictionary/dictionary.h"

#include <cstddef>
#include <vector>

namespace dictload {

class EntryBlocks {
public:
    // Entries are gathered in blocks of this many.
    static constexpr std::size_t kEntriesPerBlock = 1024;

    EntryBlocks() = default;
    EntryBlocks(const EntryBlocks &) = delete;
    EntryBlocks &operator=(const EntryBlocks &) = delete;
    ~EntryBlocks() { release(); }

    std::size_t size() const { return count_; }

    DS &operator[](std::size_t i) { return blocks_[i / kEntriesPerBlock][i % kEntriesPerBlock]; }

    DS &append();

    // Moves every entry into `out` (sized exactly once), freeing blocks as
    // they empty.
    void moveInto(std::vector<DS> &out);

private:
    static constexpr std::size_t kBlockBytes = kEntriesPerBlock * sizeof(DS);

    void release();

    std::vector<DS *> blocks_;
    std::size_t count_ = 0;
};

} // namespace dictload
