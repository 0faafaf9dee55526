// The floor that `tavisorn-cli normalize` is measured against: the least a
// program has to do to write the same file. It reads the whole file, pairs
// its lines (CR LF, a lone CR and a lone LF each end a line; an odd last
// line is dropped), sorts the pairs stably by source as string views and
// writes the first pair of every source. Nothing else: no grouping of
// translations, no entry table, no checks beyond the file calls.
//
//   normalize_floor DICT OUT

#include <algorithm>
#include <cstdio>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

int main(int argc, char *argv[])
{
    if (argc != 3) {
        std::fputs("usage: normalize_floor DICT OUT\n", stderr);
        return 2;
    }
    std::FILE *in = std::fopen(argv[1], "rb");
    if (!in)
        return 1;
    std::string text;
    char piece[1 << 16];
    for (std::size_t n; (n = std::fread(piece, 1, sizeof piece, in)) > 0;)
        text.append(piece, n);
    std::fclose(in);

    using Pair = std::pair<std::string_view, std::string_view>;
    std::vector<Pair> pairs;
    std::string_view pending;
    bool haveSource = false;
    const char *const d = text.data();
    const std::size_t size = text.size();
    for (std::size_t start = 0; start < size;) {
        std::size_t end = start;
        while (end < size && d[end] != '\r' && d[end] != '\n')
            ++end;
        const std::string_view line(d + start, end - start);
        if (haveSource)
            pairs.emplace_back(pending, line);
        else
            pending = line;
        haveSource = !haveSource;
        start = end + (end < size && d[end] == '\r' && end + 1 < size && d[end + 1] == '\n' ? 2 : 1);
    }
    std::stable_sort(pairs.begin(), pairs.end(), [](const Pair &a, const Pair &b) { return a.first < b.first; });

    std::string out;
    out.reserve(size);
    for (std::size_t i = 0; i < pairs.size(); ++i) {
        if (i != 0 && pairs[i].first == pairs[i - 1].first)
            continue;
        out += pairs[i].first;
        out += "\r\n";
        out += pairs[i].second;
        out += "\r\n";
    }
    std::FILE *o = std::fopen(argv[2], "wb");
    if (!o)
        return 1;
    const bool written = std::fwrite(out.data(), 1, out.size(), o) == out.size();
    return std::fclose(o) == 0 && written ? 0 : 1;
}
