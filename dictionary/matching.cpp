#include "dictionary/matching.h"

#include "dictionary/untranslated.h"

#include <algorithm>
#include <map>
#include <optional>
#include <thread>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr std::string_view Ellipsis = "\xA1\x4B"; // …
constexpr std::string_view WideColon = "\xA1\x47"; // ：
// Colons of translations: ︰ and ﹕ stand for "：" in many.
constexpr std::string_view OtherColons[] = {"\xA1\x4A", "\xA1\x55"};

bool isLead(unsigned char c)
{
    return c >= 0x81 && c <= 0xFE;
}

// Where each character of `text` starts, and its end.
// The bytes of the character at `i`: two for a lead byte with one after it.
std::size_t characterSize(std::string_view text, std::size_t i)
{
    return isLead(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
}

std::vector<std::size_t> characterStarts(std::string_view text)
{
    std::vector<std::size_t> starts;
    std::size_t i = 0;
    while (i < text.size()) {
        starts.push_back(i);
        i += characterSize(text, i);
    }
    starts.push_back(text.size());
    return starts;
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

// Where the shortcut part starts: a "\t" escape or a tab on a character
// boundary; npos when there is none.
std::size_t shortcutStart(std::string_view text)
{
    for (std::size_t i = 0; i < text.size(); i += characterSize(text, i))
        if (text[i] == '\t' || (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == 't'))
            return i;
    return std::string_view::npos;
}

// The ending of `text` (already without shortcut and trailing blanks), of
// the endings a translation may use too.
std::string_view endingOf(std::string_view text)
{
    if (text.size() >= 3 && text.substr(text.size() - 3) == "...")
        return text.substr(text.size() - 3);
    if (text.empty())
        return {};
    // The last character. A byte below 0x81 ends a character, so the run of
    // lead-range bytes before the last byte begins one; in it the bytes
    // pair up from its start, and an odd run takes the last byte in.
    std::size_t run = 0;
    while (run + 1 < text.size() && isLead(static_cast<unsigned char>(text[text.size() - 2 - run])))
        ++run;
    const std::string_view last = text.substr(text.size() - (run % 2 == 1 ? 2 : 1));
    if (last == ":" || last == Ellipsis || last == WideColon
        || std::find(std::begin(OtherColons), std::end(OtherColons), last) != std::end(OtherColons))
        return last;
    return {};
}

void trimRight(std::string &s)
{
    while (!s.empty() && isBlank(s.back()))
        s.pop_back();
}

bool isColon(std::string_view e)
{
    return e == ":" || e == WideColon || std::find(std::begin(OtherColons), std::end(OtherColons), e) != std::end(OtherColons);
}

// The ending `wanted` (of an English text) in the form `used` (the old
// translation's) takes: the old form when it is of the same kind.
std::string endingLike(std::string_view wanted, std::string_view used)
{
    if (wanted.empty())
        return {};
    if (isColon(wanted))
        return isColon(used) ? std::string(used) : std::string(WideColon);
    const bool usedEllipsis = used == "..." || used == Ellipsis;
    return usedEllipsis ? std::string(used) : std::string(wanted);
}

char upperAscii(char c)
{
    return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c;
}

void lowerAscii(std::string &s)
{
    for (char &c : s)
        if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
}

// 32 counters of byte kinds: letters, digits, blank, bytes of double-byte
// characters, the rest. Half the distance of two texts' counters is a lower
// bound of their edit distance.
void histogram(std::string_view text, std::uint8_t *out)
{
    std::fill(out, out + 32, std::uint8_t(0));
    for (const char ch : text) {
        const unsigned char c = static_cast<unsigned char>(ch);
        int bucket = 31;
        if (c >= 'a' && c <= 'z')
            bucket = c - 'a';
        else if (c >= '0' && c <= '9')
            bucket = 26;
        else if (c == ' ')
            bucket = 27;
        else if (c >= 0x80)
            bucket = 28 + c % 3;
        if (out[bucket] < 255)
            ++out[bucket];
    }
}

// The counters added with alternating signs: two texts' keys differ by no
// more than the distance of their counters, so that of the texts of one
// length sorted by key only a range needs to be looked at.
std::int32_t counterKey(const std::uint8_t *h)
{
    std::int32_t key = 0;
    for (int i = 0; i < 32; ++i)
        key += (i % 2 ? 1 : -1) * std::int32_t(h[i]);
    return key;
}

unsigned histogramDistance(const std::uint8_t *a, const std::uint8_t *b)
{
#if defined(__SSE2__)
    const __m128i lo = _mm_sad_epu8(_mm_loadu_si128(reinterpret_cast<const __m128i *>(a)),
                                    _mm_loadu_si128(reinterpret_cast<const __m128i *>(b)));
    const __m128i hi = _mm_sad_epu8(_mm_loadu_si128(reinterpret_cast<const __m128i *>(a + 16)),
                                    _mm_loadu_si128(reinterpret_cast<const __m128i *>(b + 16)));
    const __m128i sum = _mm_add_epi64(lo, hi);
    return unsigned(_mm_cvtsi128_si32(sum) + _mm_cvtsi128_si32(_mm_srli_si128(sum, 8)));
#else
    unsigned d = 0;
    for (int i = 0; i < 32; ++i)
        d += a[i] > b[i] ? a[i] - b[i] : b[i] - a[i];
    return d;
#endif
}

// Which of 128 bits the byte pairs of a text set. A text within k edits of
// another lacks at most 2k of the other's pairs, and so at most 2k of its bits.
struct PairBits {
    std::uint64_t Bits[2] = {0, 0};
};

PairBits pairBits(std::string_view text)
{
    PairBits b;
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        const unsigned h = (unsigned(static_cast<unsigned char>(text[i])) * 31u
                            + unsigned(static_cast<unsigned char>(text[i + 1])) * 7u) & 127u;
        b.Bits[h >> 6] |= std::uint64_t(1) << (h & 63);
    }
    return b;
}

unsigned missingBits(const PairBits &of, const PairBits &in)
{
    return unsigned(__builtin_popcountll(of.Bits[0] & ~in.Bits[0]) + __builtin_popcountll(of.Bits[1] & ~in.Bits[1]));
}

// The edit distance of a and b when it is at most `limit`, else limit + 1.
std::size_t boundedDistance(std::string_view a, std::string_view b, std::size_t limit)
{
    if (a.size() > b.size())
        std::swap(a, b);
    if (b.size() - a.size() > limit)
        return limit + 1;
    thread_local std::vector<std::size_t> row;
    row.resize(a.size() + 1);
    for (std::size_t i = 0; i <= a.size(); ++i)
        row[i] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
        std::size_t diagonal = row[0];
        row[0] = j;
        std::size_t least = row[0];
        for (std::size_t i = 1; i <= a.size(); ++i) {
            const std::size_t above = row[i];
            row[i] = std::min({above + 1, row[i - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = above;
            least = std::min(least, row[i]);
        }
        if (least > limit)
            return limit + 1;
    }
    return std::min(row[a.size()], limit + 1);
}

// The edit distance from one text of at most 64 bytes to others, a column
// of the distance table per byte of the other text in bit vectors.
class BitDistance {
public:
    explicit BitDistance(std::string_view pattern) : Length(pattern.size())
    {
        std::fill(std::begin(Positions), std::end(Positions), std::uint64_t(0));
        for (std::size_t i = 0; i < pattern.size(); ++i)
            Positions[static_cast<unsigned char>(pattern[i])] |= std::uint64_t(1) << i;
    }
    static constexpr std::size_t MaxLength = 64;

    // The distance to `text` when it is at most `limit`, else limit + 1.
    std::size_t to(std::string_view text, std::size_t limit) const
    {
        if (Length == 0)
            return std::min(text.size(), limit + 1);
        const std::uint64_t high = std::uint64_t(1) << (Length - 1);
        std::uint64_t pv = Length == 64 ? ~std::uint64_t(0) : (high << 1) - 1;
        std::uint64_t mv = 0;
        std::size_t score = Length;
        for (std::size_t j = 0; j < text.size(); ++j) {
            const std::uint64_t eq = Positions[static_cast<unsigned char>(text[j])];
            const std::uint64_t xv = eq | mv;
            const std::uint64_t xh = (((eq & pv) + pv) ^ pv) | eq;
            std::uint64_t ph = mv | ~(xh | pv);
            std::uint64_t mh = pv & xh;
            if (ph & high)
                ++score;
            else if (mh & high)
                --score;
            ph = (ph << 1) | 1;
            mh <<= 1;
            pv = mh | ~(xv | ph);
            mv = ph & xv;
            // Each byte left lowers the distance by one at most.
            const std::size_t left = text.size() - j - 1;
            if (score > limit + left)
                return limit + 1;
        }
        return std::min(score, limit + 1);
    }

private:
    std::size_t Length;
    std::uint64_t Positions[256];
};

int similarity(std::size_t distance, std::size_t longer)
{
    return 100 - int((100 * distance + longer - 1) / longer);
}

// The most edits a score of at least `score` allows between texts whose
// longer one has `longer` bytes.
std::size_t editsFor(int score, std::size_t longer)
{
    return longer * std::size_t(100 - score) / 100;
}

bool translates(const MatchSource &s)
{
    return !s.Translation.empty() && s.Translation != "0" && s.Translation != s.Source;
}

} // namespace

int Similarity(std::string_view a, std::string_view b)
{
    const std::string x = SplitMarkup(a).Core;
    const std::string y = SplitMarkup(b).Core;
    const std::size_t longer = std::max(x.size(), y.size());
    if (longer == 0)
        return 100;
    return similarity(boundedDistance(x, y, longer), longer);
}

TextMarkup SplitMarkup(std::string_view text)
{
    TextMarkup m;
    const std::size_t cut = shortcutStart(text);
    if (cut != std::string_view::npos)
        m.Shortcut = std::string(text.substr(cut));
    const std::size_t bodyEnd = std::min(cut, text.size());
    std::string body;
    body.reserve(bodyEnd);
    // The text goes over a stretch at a time: from `kept` to a marker.
    std::size_t kept = 0;
    for (std::size_t i = 0; i < bodyEnd;) {
        const std::size_t size = characterSize(text, i);
        if (size == 1 && text[i] == '&' && i + 1 < bodyEnd) {
            const std::size_t nextSize = characterSize(text, i + 1);
            if (nextSize == 1 && text[i + 1] == '&') { // "&&" is an ampersand
                body.append(text.data() + kept, i + 1 - kept);
                i += 2;
                kept = i;
                continue;
            }
            if (m.HotKey == 0 && nextSize == 1) {
                m.HotKey = text[i + 1];
                body.append(text.data() + kept, i - kept);
                kept = ++i;
                continue;
            }
        }
        i += size;
    }
    body.append(text.data() + kept, bodyEnd - kept);
    trimRight(body);
    const std::string_view ending = endingOf(body);
    if (ending == "..." || ending == ":" || ending == Ellipsis) {
        m.Ending = std::string(ending);
        body.resize(body.size() - ending.size());
        trimRight(body);
    }
    std::size_t first = 0;
    while (first < body.size() && isBlank(body[first]))
        ++first;
    m.Core = body.substr(first);
    lowerAscii(m.Core);
    return m;
}

std::string AdaptTranslation(std::string_view translation, const TextMarkup &target, const TextMarkup *source)
{
    const std::vector<std::size_t> starts = characterStarts(translation);
    const std::size_t cut = std::min(shortcutStart(translation), translation.size());

    // The wording without its hot key, and where the hot key stood.
    std::string body;
    std::size_t hotKeyAt = std::string::npos;
    for (std::size_t k = 0; k + 1 < starts.size() && starts[k] < cut; ++k) {
        const std::size_t i = starts[k];
        const std::string_view ch = translation.substr(i, starts[k + 1] - i);
        if (ch == "(" && hotKeyAt == std::string::npos && k + 4 < starts.size() && starts[k + 3] < cut
            && translation[starts[k + 1]] == '&' && starts[k + 3] - starts[k + 2] == 1
            && translation[starts[k + 3]] == ')') {
            hotKeyAt = body.size();
            k += 3;
            continue;
        }
        if (ch == "&" && k + 2 < starts.size() && starts[k + 1] < cut) {
            if (translation[starts[k + 1]] == '&') {
                body += "&&";
                ++k;
                continue;
            }
            continue; // an inline hot key: the marker goes, its letter stays
        }
        body += ch;
    }
    std::string blanks; // between the wording and the shortcut
    while (!body.empty() && isBlank(body.back())) {
        blanks.insert(blanks.begin(), body.back());
        body.pop_back();
    }
    if (hotKeyAt != std::string::npos && hotKeyAt > body.size()) {
        // The hot key stood after the blanks ("登出 %s (&L)"): they stay before it.
        body += blanks;
        blanks.clear();
    }
    const std::string used(endingOf(body));
    body.resize(body.size() - used.size());
    if (hotKeyAt > body.size())
        hotKeyAt = std::string::npos;

    std::string out;
    if (target.HotKey != 0) {
        const std::string key = std::string("(&") + upperAscii(target.HotKey) + ")";
        if (hotKeyAt == std::string::npos)
            out = body + key;
        else
            out = body.substr(0, hotKeyAt) + key + body.substr(hotKeyAt);
    } else {
        out = body;
    }
    // An ending the English text kept stays as the translation has it
    // (it may stand for dots inside the wording, as in "(Run...)").
    out += source && source->Ending == target.Ending ? used : endingLike(target.Ending, used);
    if (!target.Shortcut.empty())
        out += blanks + target.Shortcut;
    return out;
}

SuggestionIndex::SuggestionIndex(std::vector<MatchSource> sources)
{
    Sources.reserve(sources.size());
    for (MatchSource &s : sources)
        if (translates(s))
            Sources.push_back(std::move(s));
    // The sources of each core, in their order: the cores sorted, equal ones together.
    std::vector<std::pair<std::string, std::uint32_t>> byCore;
    byCore.reserve(Sources.size());
    SourceEndings.reserve(Sources.size());
    for (std::uint32_t i = 0; i < Sources.size(); ++i) {
        TextMarkup m = SplitMarkup(Sources[i].Source);
        SourceEndings.push_back(std::move(m.Ending));
        if (!m.Core.empty())
            byCore.emplace_back(std::move(m.Core), i);
    }
    // Sorted by their places, not moved: equal cores keep their sources' order.
    std::vector<std::uint32_t> coreOrder(byCore.size());
    for (std::uint32_t k = 0; k < coreOrder.size(); ++k)
        coreOrder[k] = k;
    std::sort(coreOrder.begin(), coreOrder.end(), [&](std::uint32_t a, std::uint32_t b) {
        const int order = byCore[a].first.compare(byCore[b].first);
        return order != 0 ? order < 0 : a < b;
    });
    for (std::size_t k = 0; k < coreOrder.size();) {
        Core core{std::move(byCore[coreOrder[k]].first), {}};
        for (; k < coreOrder.size() && (core.Sources.empty() || byCore[coreOrder[k]].first == core.Text); ++k)
            core.Sources.push_back(byCore[coreOrder[k]].second);
        Cores.push_back(std::move(core));
    }
    std::vector<std::int32_t> keyOf;
    keyOf.reserve(Cores.size());
    for (const Core &core : Cores) {
        std::uint8_t h[32];
        histogram(core.Text, h);
        keyOf.push_back(counterKey(h));
    }
    std::vector<std::uint32_t> byLength(Cores.size());
    for (std::uint32_t i = 0; i < byLength.size(); ++i)
        byLength[i] = i;
    std::sort(byLength.begin(), byLength.end(), [&](std::uint32_t a, std::uint32_t b) {
        const Core &x = Cores[a];
        const Core &y = Cores[b];
        if (x.Text.size() != y.Text.size())
            return x.Text.size() < y.Text.size();
        return keyOf[a] != keyOf[b] ? keyOf[a] < keyOf[b] : x.Text < y.Text;
    });
    std::vector<Core> sorted;
    sorted.reserve(Cores.size());
    Keys.reserve(Cores.size());
    for (const std::uint32_t i : byLength) {
        sorted.push_back(std::move(Cores[i]));
        Keys.push_back(keyOf[i]);
    }
    Cores = std::move(sorted);
    const std::size_t longest = Cores.empty() ? 0 : Cores.back().Text.size();
    LengthStart.assign(longest + 2, 0);
    Histograms.resize(Cores.size() * 32);
    Pairs.resize(Cores.size() * 2);
    CoreOf.reserve(Cores.size());
    TextStart.reserve(Cores.size() + 1);
    for (std::uint32_t c = 0; c < Cores.size(); ++c) {
        TextStart.push_back(std::uint32_t(Texts.size()));
        Texts += Cores[c].Text;
        histogram(Cores[c].Text, &Histograms[std::size_t(c) * 32]);
        const PairBits bits = pairBits(Cores[c].Text);
        Pairs[std::size_t(c) * 2] = bits.Bits[0];
        Pairs[std::size_t(c) * 2 + 1] = bits.Bits[1];
        CoreOf.emplace(Cores[c].Text, c);
    }
    TextStart.push_back(std::uint32_t(Texts.size()));
    std::size_t c = 0;
    for (std::size_t len = 0; len < LengthStart.size(); ++len) {
        while (c < Cores.size() && Cores[c].Text.size() < len)
            ++c;
        LengthStart[len] = std::uint32_t(c);
    }
}

namespace {

// Equal pairs counted once; the last pair of a source gives the
// translation it is used with. Pairs that translate nothing are not kept.
template <typename Pairs>
std::vector<MatchSource> sourcesOfPairs(const Pairs &pairs)
{
    std::vector<std::uint32_t> order(pairs.size());
    for (std::uint32_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) {
        return pairs[a] != pairs[b] ? pairs[a] < pairs[b] : a < b;
    });
    std::unordered_map<std::string_view, std::uint32_t> last;
    last.reserve(pairs.size());
    for (std::uint32_t i = 0; i < pairs.size(); ++i)
        last[pairs[i].first] = i;
    std::vector<MatchSource> sources;
    sources.reserve(pairs.size());
    for (std::size_t k = 0; k < order.size();) {
        const auto &pair = pairs[order[k]];
        std::size_t end = k;
        bool chosen = false;
        while (end < order.size() && pairs[order[end]] == pair) {
            chosen = chosen || last[pair.first] == order[end];
            ++end;
        }
        MatchSource s{std::string(pair.first), std::string(pair.second), chosen, int(end - k)};
        if (translates(s))
            sources.push_back(std::move(s));
        k = end;
    }
    return sources;
}

} // namespace

SuggestionIndex SuggestionIndex::FromPairs(const std::vector<std::pair<std::string, std::string>> &pairs)
{
    return SuggestionIndex(sourcesOfPairs(pairs));
}

SuggestionIndex SuggestionIndex::FromPairViews(const std::vector<std::pair<std::string_view, std::string_view>> &pairs)
{
    return SuggestionIndex(sourcesOfPairs(pairs));
}

SuggestionIndex SuggestionIndex::FromTables(const DictionaryTables &tables)
{
    std::vector<MatchSource> sources;
    const std::size_t count = std::min(tables.EntryTable.size(), std::size_t(std::max(tables.LastEntry + 1, 0)));
    for (std::size_t e = 0; e < count; ++e) {
        const DS &entry = tables.EntryTable[e];
        const std::size_t used = std::min(entry.Translations.size(), std::size_t(entry.LastTranslation) + 1);
        for (std::size_t t = 0; t < used; ++t)
            sources.push_back({entry.Source.str(), entry.Translations[t].str(), std::int32_t(t) == entry.Chosen, 1});
    }
    return SuggestionIndex(std::move(sources));
}

void SuggestionIndex::bestOfCore(const Core &core, const TextMarkup &target, int score,
                                 std::vector<Suggestion> &out) const
{
    struct Group {
        std::string Translation;
        const MatchSource *Source = nullptr;
        bool Chosen = false;
        int Count = 0;
    };
    std::vector<Group> groups;
    for (const std::uint32_t id : core.Sources) {
        const MatchSource &s = Sources[id];
        TextMarkup from;
        from.Ending = SourceEndings[id];
        std::string adapted = AdaptTranslation(s.Translation, target, &from);
        auto g = std::find_if(groups.begin(), groups.end(), [&](const Group &x) { return x.Translation == adapted; });
        if (g == groups.end()) {
            groups.push_back({std::move(adapted), &s, false, 0});
            g = groups.end() - 1;
        }
        if (s.Chosen && !g->Chosen)
            g->Source = &s;
        g->Chosen = g->Chosen || s.Chosen;
        g->Count += s.Count;
    }
    std::sort(groups.begin(), groups.end(), [](const Group &a, const Group &b) {
        if (a.Chosen != b.Chosen)
            return a.Chosen;
        if (a.Count != b.Count)
            return a.Count > b.Count;
        return a.Translation < b.Translation;
    });
    for (Group &g : groups)
        out.push_back({std::move(g.Translation), g.Source->Source, score});
}

std::vector<Suggestion> SuggestionIndex::Suggest(std::string_view text, std::size_t most) const
{
    std::vector<Suggestion> out;
    const TextMarkup target = SplitMarkup(text);
    const std::string &core = target.Core;
    if (core.empty() || most == 0 || Cores.empty())
        return out;
    const auto exact = CoreOf.find(core);
    if (exact != CoreOf.end())
        bestOfCore(Cores[exact->second], target, 100, out);

    // Near matches: cores within 0.75 to 1.33 times the length, best first.
    struct Near {
        std::uint32_t Core;
        int Score;
    };
    std::vector<Near> near;
    const std::size_t keep = most + 2; // a few more: some may give a translation listed already
    const std::size_t length = core.size();
    const std::size_t shortest = (3 * length + 3) / 4;
    const std::size_t longest = length > NearMatchLongest ? 0 : std::min(length * 4 / 3, LengthStart.size() - 2);
    std::uint8_t wanted[32];
    histogram(core, wanted);
    const std::int32_t wantedKey = counterKey(wanted);
    const PairBits wantedPairs = pairBits(core);
    std::optional<BitDistance> bitDistance;
    if (length <= BitDistance::MaxLength)
        bitDistance.emplace(core);
    int floor = NearMatchFloor;
    const std::uint8_t *const histograms = Histograms.data();
    const std::uint64_t *const pairs = Pairs.data();
    const std::uint32_t exactCore = exact != CoreOf.end() ? exact->second : std::uint32_t(-1);
    for (std::size_t other = shortest; other <= longest; ++other) {
        // Texts of one length share the most edits their score allows; the
        // counters and byte pairs rule most of them out before their bytes
        // are read.
        const std::size_t longer = std::max(length, other);
        std::size_t limit = editsFor(floor, longer);
        const auto keys = Keys.begin();
        const std::int32_t spread = std::int32_t(2 * limit);
        const std::size_t from =
            std::size_t(std::lower_bound(keys + LengthStart[other], keys + LengthStart[other + 1], wantedKey - spread) - keys);
        const std::size_t to =
            std::size_t(std::upper_bound(keys + std::ptrdiff_t(from), keys + LengthStart[other + 1], wantedKey + spread) - keys);
        for (std::size_t c = from; c < to; ++c) {
            if (histogramDistance(wanted, histograms + c * 32) > 2 * limit)
                continue;
            PairBits otherPairs;
            otherPairs.Bits[0] = pairs[c * 2];
            otherPairs.Bits[1] = pairs[c * 2 + 1];
            if (missingBits(wantedPairs, otherPairs) > 2 * limit || missingBits(otherPairs, wantedPairs) > 2 * limit
                || c == exactCore)
                continue;
            const std::string_view text(Texts.data() + TextStart[c], other);
            const std::size_t distance =
                bitDistance ? bitDistance->to(text, limit) : boundedDistance(core, text, limit);
            if (distance > limit)
                continue;
            const int score = similarity(distance, longer);
            near.push_back({std::uint32_t(c), score});
            // Of equal scores the source that sorts first: the order of the
            // scan does not show.
            std::sort(near.begin(), near.end(), [this](const Near &a, const Near &b) {
                return a.Score != b.Score ? a.Score > b.Score : Cores[a.Core].Text < Cores[b.Core].Text;
            });
            if (near.size() > keep)
                near.pop_back();
            if (near.size() == keep) {
                floor = std::max(floor, near.back().Score);
                limit = editsFor(floor, longer);
            }
        }
    }
    for (const Near &n : near)
        bestOfCore(Cores[n.Core], target, n.Score, out);

    // Each translation once, at its best; scores stay in order.
    std::vector<Suggestion> unique;
    for (Suggestion &s : out) {
        const bool listed = std::any_of(unique.begin(), unique.end(),
                                        [&](const Suggestion &u) { return u.Translation == s.Translation; });
        if (!listed)
            unique.push_back(std::move(s));
        if (unique.size() == most)
            break;
    }
    return unique;
}

std::vector<std::vector<Suggestion>> SuggestAll(const SuggestionIndex &index, const std::vector<std::string> &texts)
{
    std::vector<std::size_t> lengths(texts.size());
    std::vector<std::size_t> order(texts.size());
    for (std::size_t i = 0; i < texts.size(); ++i) {
        lengths[i] = SplitMarkup(texts[i]).Core.size();
        order[i] = i;
    }
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return lengths[a] < lengths[b]; });
    // The index is only read: the processors share the texts, each taking
    // every n-th of the order.
    std::vector<std::vector<Suggestion>> all(texts.size());
    const std::size_t workers = std::clamp<std::size_t>(std::thread::hardware_concurrency(), 1,
                                                        std::clamp<std::size_t>(texts.size() / 256, 1, 4));
    auto work = [&](std::size_t first) {
        for (std::size_t k = first; k < order.size(); k += workers)
            all[order[k]] = index.Suggest(texts[order[k]]);
    };
    std::vector<std::thread> threads;
    for (std::size_t w = 1; w < workers; ++w)
        threads.emplace_back(work, w);
    work(0);
    for (std::thread &t : threads)
        t.join();
    return all;
}

std::vector<std::pair<std::string_view, std::string_view>> DictionaryPairViews(std::string_view bytes)
{
    const std::vector<std::string_view> lines = DictionaryLines(bytes);
    std::vector<std::pair<std::string_view, std::string_view>> pairs;
    pairs.reserve(lines.size() / 2);
    for (std::size_t i = 0; i + 1 < lines.size(); i += 2)
        pairs.emplace_back(lines[i], lines[i + 1]);
    return pairs;
}

std::vector<std::pair<std::string, std::string>> DictionaryPairs(std::string_view bytes)
{
    std::vector<std::pair<std::string, std::string>> pairs;
    for (const auto &[source, translation] : DictionaryPairViews(bytes))
        pairs.emplace_back(source, translation);
    return pairs;
}
