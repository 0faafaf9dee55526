#include "dictionary/entryblocks.h"

#include "dictionary/systempages.h"

#include <algorithm>
#include <memory>

namespace dictload {

DS &EntryBlocks::append()
{
    if (count_ % kEntriesPerBlock == 0) {
        blocks_.reserve(blocks_.size() + 1);
        blocks_.push_back(static_cast<DS *>(allocatePages(kBlockBytes)));
    }
    DS *entry = std::construct_at(&blocks_[count_ / kEntriesPerBlock][count_ % kEntriesPerBlock]);
    ++count_;
    return *entry;
}

void EntryBlocks::moveInto(std::vector<DS> &out)
{
    out.clear();
    out.reserve(count_);
    for (std::size_t b = 0; b < blocks_.size(); ++b) {
        DS *const block = blocks_[b];
        const std::size_t n = std::min(kEntriesPerBlock, count_ - b * kEntriesPerBlock);
        for (std::size_t k = 0; k < n; ++k) {
            out.push_back(std::move(block[k]));
            std::destroy_at(&block[k]);
        }
        freePages(block, kBlockBytes);
        blocks_[b] = nullptr;
    }
    blocks_.clear();
    count_ = 0;
}

void EntryBlocks::release()
{
    for (std::size_t b = 0; b < blocks_.size(); ++b) {
        if (!blocks_[b])
            continue;
        const std::size_t n = std::min(kEntriesPerBlock, count_ - b * kEntriesPerBlock);
        std::destroy(blocks_[b], blocks_[b] + n);
        freePages(blocks_[b], kBlockBytes);
    }
    blocks_.clear();
    count_ = 0;
}

} // namespace dictload
