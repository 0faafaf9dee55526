#include "dictionary/entrysort.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace dictload {
namespace {

// Eleven bytes of a source from a depth on, and how many of its bytes are
// left there: 0 to 11, or 12 for "more than the key holds". Keys compare as
// the two numbers; equal keys with 12 left need the next eleven bytes.
struct Key {
    std::uint64_t head;  // bytes depth .. depth + 7, the first the highest; 0 past the end
    std::uint32_t next;  // bytes depth + 8 .. depth + 10 the same way, then the count left
    std::uint32_t index; // of the entry
};

constexpr std::size_t kKeyBytes = 11;
constexpr std::uint32_t kMoreLeft = kKeyBytes + 1;

void fill(Key &key, std::string_view source, std::size_t depth)
{
    unsigned char b[kKeyBytes] = {};
    const std::size_t left = source.size() > depth ? source.size() - depth : 0;
    if (left != 0)
        std::memcpy(b, source.data() + depth, std::min(left, kKeyBytes));
    std::uint64_t head = 0;
    for (int i = 0; i < 8; ++i)
        head = head << 8 | b[i];
    key.head = head;
    key.next = std::uint32_t(b[8]) << 24 | std::uint32_t(b[9]) << 16 | std::uint32_t(b[10]) << 8
        | std::uint32_t(std::min<std::size_t>(left, kMoreLeft));
}

bool less(const Key &a, const Key &b)
{
    return a.head != b.head ? a.head < b.head : a.next < b.next;
}

bool same(const Key &a, const Key &b)
{
    return a.head == b.head && a.next == b.next;
}

struct Range {
    std::size_t begin, end, depth;
};

} // namespace

void sortBySource(std::vector<DS> &entries)
{
    const std::size_t n = entries.size();
    // A dictionary the editor saved is in order already: one look along it
    // is all its load needs.
    bool ordered = true;
    for (std::size_t i = 1; i < n && ordered; ++i)
        ordered = SourceLess(entries[i - 1].Source, entries[i].Source);
    if (ordered)
        return;

    std::vector<Key> keys(n);
    for (std::size_t i = 0; i < n; ++i) {
        keys[i].index = std::uint32_t(i);
        fill(keys[i], entries[i].Source, 0);
    }

    // Sorting by eleven bytes at a time: a run of keys that agree on them
    // (and go on beyond them) is sorted again by the next eleven. Two
    // distinct sources differ in a byte or in length, so every run ends.
    // Zeros past the end cannot mix a short source up with a longer one
    // that has zero bytes there: the count left tells them apart.
    std::vector<Range> pending{{0, n, 0}};
    while (!pending.empty()) {
        const Range r = pending.back();
        pending.pop_back();
        std::sort(keys.begin() + std::ptrdiff_t(r.begin), keys.begin() + std::ptrdiff_t(r.end), less);
        for (std::size_t a = r.begin; a < r.end;) {
            std::size_t b = a + 1;
            while (b < r.end && same(keys[a], keys[b]))
                ++b;
            if (b - a > 1 && (keys[a].next & 0xFF) == kMoreLeft) {
                const std::size_t depth = r.depth + kKeyBytes;
                for (std::size_t k = a; k < b; ++k)
                    fill(keys[k], entries[keys[k].index].Source, depth);
                pending.push_back({a, b, depth});
            }
            a = b;
        }
    }

    // Place k of the sorted order takes the entry keys[k].index; each cycle
    // of that permutation is followed once, with one entry held aside. A
    // key whose index is its own place is done.
    for (std::size_t i = 0; i < n; ++i) {
        if (keys[i].index == i)
            continue;
        DS held = std::move(entries[i]);
        std::size_t place = i;
        for (;;) {
            const std::size_t from = keys[place].index;
            keys[place].index = std::uint32_t(place);
            if (from == i) {
                entries[place] = std::move(held);
                break;
            }
            entries[place] = std::move(entries[from]);
            place = from;
        }
    }
}

} // namespace dictload
