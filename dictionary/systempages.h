#pragma once
// Memory straight from the system for the dictionary's large stores (the
// entry blocks of a load, the text pages): given back to the system the
// moment it is freed, where a heap block of the same size may stay with the
// process. Pages are only used once written.

#include <cstddef>

namespace dictload {

// `bytes` rounded up to whole system pages. Throws std::bad_alloc.
void *allocatePages(std::size_t bytes);
// `bytes` of pages starting at an address that is a multiple of `bytes`
// (a power of two, 64 KiB or more). Throws std::bad_alloc.
void *allocateAlignedPages(std::size_t bytes);
void freePages(void *pages, std::size_t bytes);

} // namespace dictload
