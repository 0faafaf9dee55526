#include "dictionary/hashindex.h"

#include <algorithm>
#include <functional>

namespace dictload {

std::uint32_t hashOf(std::string_view text)
{
    const std::uint64_t h = std::hash<std::string_view>{}(text);
    return std::uint32_t(h ^ (h >> 32));
}

void HashIndex::grow()
{
    std::vector<std::uint64_t> old(std::max<std::size_t>(16, cells_.size() * 2), 0);
    old.swap(cells_);
    const std::size_t mask = cells_.size() - 1;
    for (const std::uint64_t cell : old) {
        if (cell == 0)
            continue;
        std::size_t i = std::uint32_t(cell >> 32) & mask;
        while (cells_[i] != 0)
            i = (i + 1) & mask;
        cells_[i] = cell;
    }
}

} // namespace dictload
