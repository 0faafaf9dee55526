#include "dictionary/textpages.h"

#include "dictionary/systempages.h"

#include <atomic>
#include <cstring>
#include <new>

namespace textpages {
namespace {

constexpr std::size_t kPageBytes = std::size_t(64) << 10;
// Longer texts get a block of their own, so that the end of a page wastes
// little.
constexpr std::size_t kLongestPooled = kPageBytes / 16;

// The count of a page or of an own block, at its start.
struct Header {
    std::atomic<std::uint32_t> holders;
};
constexpr std::size_t kHeaderBytes = alignof(std::max_align_t) > sizeof(Header) ? alignof(std::max_align_t)
                                                                                 : sizeof(Header);

// The page being filled holds this many references of its own while texts
// are handed out from it without touching the count; when it is full, the
// part of them that no text took over is given back at once.
constexpr std::uint32_t kFillingBias = std::uint32_t(1) << 31;

std::atomic<std::size_t> liveBlocks{0};

Header *pageOf(const char *data)
{
    return reinterpret_cast<Header *>(reinterpret_cast<std::uintptr_t>(data) & ~std::uintptr_t(kPageBytes - 1));
}

Header *blockOf(const char *data)
{
    return reinterpret_cast<Header *>(const_cast<char *>(data) - kHeaderBytes);
}

void dropPage(Header *page, std::uint32_t count) noexcept
{
    if (page->holders.fetch_sub(count, std::memory_order_acq_rel) == count) {
        page->~Header();
        dictload::freePages(page, kPageBytes);
        liveBlocks.fetch_sub(1, std::memory_order_relaxed);
    }
}

class FillingPage {
public:
    FillingPage() = default;
    FillingPage(const FillingPage &) = delete;
    FillingPage &operator=(const FillingPage &) = delete;
    ~FillingPage() { retire(); }

    const char *copy(std::string_view bytes)
    {
        if (!page_ || used_ + bytes.size() > kPageBytes) {
            char *fresh = static_cast<char *>(dictload::allocateAlignedPages(kPageBytes));
            liveBlocks.fetch_add(1, std::memory_order_relaxed);
            retire();
            page_ = new (fresh) Header{kFillingBias};
            used_ = kHeaderBytes;
        }
        char *const at = reinterpret_cast<char *>(page_) + used_;
        std::memcpy(at, bytes.data(), bytes.size());
        used_ += bytes.size();
        ++handedOut_;
        return at;
    }

private:
    void retire() noexcept
    {
        if (page_)
            dropPage(page_, kFillingBias - handedOut_);
        page_ = nullptr;
        handedOut_ = 0;
    }

    Header *page_ = nullptr;
    std::size_t used_ = 0;
    std::uint32_t handedOut_ = 0;
};

thread_local FillingPage filling;

} // namespace

Stored store(std::string_view bytes)
{
    if (bytes.size() <= kLongestPooled)
        return {filling.copy(bytes), Kind::Pooled};
    char *block = static_cast<char *>(::operator new(kHeaderBytes + bytes.size()));
    new (block) Header{1};
    liveBlocks.fetch_add(1, std::memory_order_relaxed);
    std::memcpy(block + kHeaderBytes, bytes.data(), bytes.size());
    return {block + kHeaderBytes, Kind::Owned};
}

void retain(const char *data, Kind kind) noexcept
{
    Header *h = kind == Kind::Pooled ? pageOf(data) : blockOf(data);
    h->holders.fetch_add(1, std::memory_order_relaxed);
}

void release(const char *data, Kind kind) noexcept
{
    if (kind == Kind::Pooled) {
        dropPage(pageOf(data), 1);
        return;
    }
    Header *h = blockOf(data);
    if (h->holders.fetch_sub(1, std::memory_order_acq_rel) == 1) {
        h->~Header();
        ::operator delete(static_cast<void *>(h));
        liveBlocks.fetch_sub(1, std::memory_order_relaxed);
    }
}

std::size_t blocksInUse() noexcept
{
    return liveBlocks.load(std::memory_order_relaxed);
}

} // namespace textpages
