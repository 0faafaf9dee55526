#include "dictionary/systempages.h"

#include <QtGlobal>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <sys/mman.h>
#endif

#include <cstdint>
#include <new>

namespace dictload {

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

void *allocateAlignedPages(std::size_t bytes)
{
#ifdef Q_OS_WIN
    // Windows hands out address space in 64 KiB steps, so a region of that
    // size is aligned to it already.
    void *p = allocatePages(bytes);
    if (reinterpret_cast<std::uintptr_t>(p) % bytes != 0) {
        freePages(p, bytes);
        throw std::bad_alloc();
    }
    return p;
#else
    // Twice the size, then the parts before and after the aligned run are
    // given back.
    char *const region = static_cast<char *>(allocatePages(2 * bytes));
    const std::uintptr_t at = reinterpret_cast<std::uintptr_t>(region);
    const std::size_t lead = (bytes - at % bytes) % bytes;
    if (lead != 0)
        munmap(region, lead);
    munmap(region + lead + bytes, bytes - lead);
    return region + lead;
#endif
}

void freePages(void *pages, std::size_t bytes)
{
#ifdef Q_OS_WIN
    Q_UNUSED(bytes);
    VirtualFree(pages, 0, MEM_RELEASE);
#else
    munmap(pages, bytes);
#endif
}

} // namespace dictload
