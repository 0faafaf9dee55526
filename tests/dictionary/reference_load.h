#pragma once
// A slow, literal reading of a dictionary file used to check the real loader:
// the lines split one byte at a time, the pairs sorted by the quadratic
// bubble sort (swap only when strictly greater, stop after a pass without a
// swap), then grouped with a skip counter and a look-ahead that compares each
// translation with every slot. Only for tests and benchmarks.

#include <string>
#include <utility>
#include <vector>

namespace reference {

struct Pair {
    std::string source;
    std::string translation;
};

struct Entry {
    std::string source;
    std::vector<std::string> translations;
};

// CR LF, a lone CR and a lone LF end a line; a break at the very end starts
// no further line.
inline std::vector<std::string> splitLines(const std::string &text)
{
    std::vector<std::string> lines;
    std::string current;
    bool open = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            lines.push_back(current);
            current.clear();
            open = false;
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            current += c;
            open = true;
        }
    }
    if (open)
        lines.push_back(current);
    return lines;
}

inline std::vector<Pair> pairLines(const std::vector<std::string> &lines)
{
    std::vector<Pair> pairs;
    for (std::size_t i = 0; i + 1 < lines.size(); i += 2)
        pairs.push_back({lines[i], lines[i + 1]});
    return pairs;
}

// Byte-wise unsigned; a prefix is smaller than the longer string.
inline bool greater(const std::string &a, const std::string &b)
{
    const std::size_t common = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < common; ++i) {
        const unsigned char x = static_cast<unsigned char>(a[i]);
        const unsigned char y = static_cast<unsigned char>(b[i]);
        if (x != y)
            return x > y;
    }
    return a.size() > b.size();
}

inline void bubbleSort(std::vector<Pair> &pairs)
{
    const long long n = static_cast<long long>(pairs.size());
    for (long long k = 1;; ++k) {
        bool swapped = false;
        for (long long i = 0; i <= n - 1 - k; ++i) {
            if (greater(pairs[std::size_t(i)].source, pairs[std::size_t(i + 1)].source)) {
                std::swap(pairs[std::size_t(i)], pairs[std::size_t(i + 1)]);
                swapped = true;
            }
        }
        if (!swapped)
            break;
    }
}

inline std::vector<Entry> group(const std::vector<Pair> &pairs)
{
    std::vector<Entry> entries;
    std::size_t skip = 0;
    for (std::size_t i = 0; i < pairs.size(); ++i) {
        if (skip > 0) {
            --skip;
            continue;
        }
        Entry e{pairs[i].source, {pairs[i].translation}};
        for (std::size_t j = i + 1; j < pairs.size() && pairs[j].source == e.source; ++j) {
            bool known = false;
            for (const std::string &t : e.translations)
                known = known || t == pairs[j].translation;
            if (!known)
                e.translations.push_back(pairs[j].translation);
            ++skip;
        }
        entries.push_back(std::move(e));
    }
    return entries;
}

inline std::vector<Entry> load(const std::string &fileText)
{
    std::vector<Pair> pairs = pairLines(splitLines(fileText));
    bubbleSort(pairs);
    return group(pairs);
}

// What saving the loaded entries writes: each source and its first
// translation, every line ending with CR LF.
inline std::string saved(const std::vector<Entry> &entries)
{
    std::string out;
    for (const Entry &e : entries)
        out += e.source + "\r\n" + e.translations.front() + "\r\n";
    return out;
}

} // namespace reference
