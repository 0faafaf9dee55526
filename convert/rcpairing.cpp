#include "convert/rcpairing.h"

#include <map>
#include <optional>
#include <unordered_map>

namespace {

bool blankOnly(std::string_view text)
{
    return !text.empty() && text.find_first_not_of(" \t\n\x0B\f\r") == std::string_view::npos;
}

constexpr std::size_t none = std::size_t(-1);

// Two texts that may stand for each other: the same statement and the same
// identifier after the text (both without one, for a POPUP or CAPTION).
bool alike(const RcText &en, const RcText &zh)
{
    return en.keyword() == zh.keyword() && en.id() == zh.id();
}

// For each translated text of a block, the index of its English partner
// in `english`, or `none`.
std::vector<std::size_t> partners(const std::vector<const RcText *> &english, const std::vector<const RcText *> &chinese)
{
    std::vector<std::size_t> partner(chinese.size(), none);
    if (english.size() == chinese.size()) {
        for (std::size_t k = 0; k < chinese.size(); ++k)
            partner[k] = k;
        return partner;
    }
    // Identifiers that stand once on each side anchor the pairing; IDC_STATIC
    // and the like stand many times and anchor nothing.
    std::unordered_map<std::string_view, int> enCount, zhCount;
    std::unordered_map<std::string_view, std::size_t> zhAt;
    for (const RcText *t : english)
        if (!t->id().empty())
            ++enCount[t->id()];
    for (std::size_t k = 0; k < chinese.size(); ++k)
        if (!chinese[k]->id().empty()) {
            ++zhCount[chinese[k]->id()];
            zhAt[chinese[k]->id()] = k;
        }
    std::vector<std::pair<std::size_t, std::size_t>> anchors; // (English, Chinese), rising on both sides
    for (std::size_t e = 0; e < english.size(); ++e) {
        const RcText &t = *english[e];
        if (t.id().empty() || enCount[t.id()] != 1 || zhCount[t.id()] != 1)
            continue;
        const std::size_t c = zhAt[t.id()];
        if (t.keyword() != chinese[c]->keyword())
            continue;
        if (anchors.empty() || c > anchors.back().second)
            anchors.emplace_back(e, c);
    }
    anchors.emplace_back(english.size(), chinese.size()); // the block's end closes the last stretch
    std::size_t e0 = 0, c0 = 0;
    for (const auto &[e1, c1] : anchors) {
        // The stretch before this anchor: alike texts from its start and
        // from its end by position; what stays between them has no partner.
        std::size_t a = e0, b = c0, ea = e1, cb = c1;
        while (a < ea && b < cb && alike(*english[a], *chinese[b]))
            partner[b++] = a++;
        while (ea > a && cb > b && alike(*english[ea - 1], *chinese[cb - 1]))
            partner[--cb] = --ea;
        if (e1 < english.size())
            partner[c1] = e1;
        e0 = e1 + 1;
        c0 = c1 + 1;
    }
    return partner;
}

} // namespace

std::string SoundPairing::DictionaryBytes() const
{
    return PairsAsDictionary(Pairs);
}

SoundPairing PairSoundly(const ExtractionReading &reading)
{
    SoundPairing sound;
    // The English partner of every translated text, block by block.
    std::vector<std::vector<const RcText *>> englishOf(reading.Blocks.size());
    std::vector<std::vector<std::size_t>> partnerOf(reading.Blocks.size());
    for (std::size_t bi = 0; bi < reading.Blocks.size(); ++bi) {
        const RcBlockPairing &b = reading.Blocks[bi];
        std::vector<const RcText *> &english = englishOf[bi];
        for (const auto &t : b.English)
            if (t && !blankOnly(t->Text))
                english.push_back(&*t);
        sound.EnglishTexts.push_back(int(english.size()));
        // As many texts on both sides: each pairs with the one at its place
        // (an empty list of partners says so), and none is left over.
        if (english.size() == b.Chinese.size())
            continue;
        std::vector<const RcText *> chinese;
        chinese.reserve(b.Chinese.size());
        for (const auto &[at, zh] : b.Chinese)
            chinese.push_back(&zh);
        partnerOf[bi] = partners(english, chinese);
        const bool both = b.EnglishHeaderLine >= 0 && b.ChineseHeaderLine >= 0;
        if (english.size() != chinese.size() && both && !chinese.empty())
            sound.ByIdentifier.push_back(bi);
        if (!both)
            continue;
        std::vector<bool> taken(english.size(), false);
        for (std::size_t k = 0; k < chinese.size(); ++k) {
            if (partnerOf[bi][k] == none)
                sound.Unpaired.push_back({false, b.Name, std::string(chinese[k]->Text), chinese[k]->Line});
            else
                taken[partnerOf[bi][k]] = true;
        }
        for (std::size_t e = 0; e < english.size(); ++e)
            if (!taken[e])
                sound.Unpaired.push_back({true, b.Name, std::string(english[e]->Text), english[e]->Line});
    }

    // The English partner of each pair the script writes; the pairs are
    // held only where one of them differs from the script's.
    const auto englishFor = [&](std::size_t i) -> std::string_view {
        const PairOrigin &o = i < reading.Origins.size() ? reading.Origins[i] : PairOrigin{};
        if (o.Block < 0)
            return reading.Pairs[i].first; // string tables pair by identifier already
        const auto bi = std::size_t(o.Block);
        const std::size_t e = partnerOf[bi].empty() ? o.Index : partnerOf[bi][o.Index];
        return e == none ? std::string_view() : englishOf[bi][e]->Text;
    };
    for (std::size_t i = 0; i < reading.Pairs.size() && sound.SameAsScript; ++i)
        sound.SameAsScript = englishFor(i) == reading.Pairs[i].first;
    if (!sound.SameAsScript) {
        sound.Pairs.reserve(reading.Pairs.size());
        for (std::size_t i = 0; i < reading.Pairs.size(); ++i)
            sound.Pairs.emplace_back(englishFor(i), reading.Pairs[i].second);
    }

    // Identifiers that stand twice: the script keeps the later English
    // text and pairs every translated one with it.
    std::unordered_map<std::string_view, std::pair<int, int>> counts;
    counts.reserve(reading.EnglishStrings.size() + reading.ChineseStrings.size());
    for (const RcStringText &t : reading.EnglishStrings)
        ++counts[t.Id].first;
    for (const RcStringText &t : reading.ChineseStrings)
        ++counts[t.Id].second;
    std::map<std::string_view, DuplicateString> byId;
    for (const auto &[id, count] : counts)
        if (count.first > 1 || count.second > 1)
            byId[id].Id = id;
    if (byId.empty())
        return sound;
    for (const RcStringText &t : reading.EnglishStrings)
        if (const auto it = byId.find(t.Id); it != byId.end())
            it->second.English.push_back(t);
    for (const RcStringText &t : reading.ChineseStrings)
        if (const auto it = byId.find(t.Id); it != byId.end())
            it->second.Chinese.push_back(t);
    for (auto &[id, d] : byId)
        sound.Duplicates.push_back(std::move(d));
    return sound;
}
