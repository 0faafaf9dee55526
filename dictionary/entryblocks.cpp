#include "dictionary/entryblocks.h"

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <sys/mman.h>
#endif

#include <algorithm>
#include <memory>
#include <new>

namespace dictload {
namespace {

// Memory for a block straight from the system, so that freeing a block
// always gives its pages back: a heap block of this size may stay with the
// process after it is freed. Pages are only used once written.
void *allocatePages(std::size_t bytes)
{
#ifdef Q_OS_WIN
    void *p = VirtualAlloc(nullptr, bytes, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    if (!p)
        throw std::bad_alloc();
#else
    void *p = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED)
        throw std::bad_alloc();
#endif
    return p;
}

void freePages(void *p, std::size_t bytes)
{
#ifdef Q_OS_WIN
    Q_UNUSED(bytes);
    VirtualFree(p, 0, MEM_RELEASE);
#else
    munmap(p, bytes);
#endif
}

} // namespace

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
