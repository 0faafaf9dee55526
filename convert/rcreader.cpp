#include "convert/rcreader.h"

#include "platform/codepage.h"

#include "convert/rcpatterns.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <unordered_set>

// The scripts' patterns are matched by hand (rcpattern) on the bytes of
// each line, with the results Perl's regular expressions give.

namespace {

bool isPerlSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\x0B' || c == '\f' || c == '\r';
}

bool isPerlWord(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

bool blankOnly(std::string_view text)
{
    if (text.empty())
        return false;
    for (const char c : text)
        if (!isPerlSpace(c))
            return false;
    return true;
}

} // namespace

void RcText::setKeyword(std::string_view word)
{
    KeywordBack = std::uint32_t(Text.data() - word.data());
    KeywordSize = std::uint32_t(word.size());
}

void RcText::setId(std::string_view token)
{
    IdAfter = std::uint32_t(token.data() - Text.data());
    IdSize = std::uint32_t(token.size());
}

namespace {

// A text with the words around it that tell where it stands.
RcText textAt(std::string_view line, int lineIndex, qsizetype start, qsizetype end)
{
    RcText t;
    t.Text = line.substr(std::size_t(start), std::size_t(end - start));
    t.Line = lineIndex;
    // The word before the opening quote (the pattern put blanks between them).
    qsizetype p = start - 2;
    while (p >= 0 && isPerlSpace(line[std::size_t(p)]))
        --p;
    const qsizetype wordEnd = p + 1;
    while (p >= 0 && isPerlWord(line[std::size_t(p)]))
        --p;
    t.setKeyword(line.substr(std::size_t(p + 1), std::size_t(wordEnd - p - 1)));
    // The token after the closing quote and its comma.
    std::size_t q = std::size_t(end) + 1;
    if (q < line.size() && line[q] == ',') {
        ++q;
        while (q < line.size() && isPerlSpace(line[q]))
            ++q;
        const std::size_t idStart = q;
        while (q < line.size() && line[q] != ',' && !isPerlSpace(line[q]))
            ++q;
        t.setId(line.substr(idStart, q - idStart));
    }
    return t;
}

// The state both passes of the extraction and the translation keep.
struct BlockState {
    std::string whatDialog; // empty: no dialog is current
    std::string whatMenu;
    int menuSeg = 0;
    std::size_t menuI = 0;
    std::size_t dialogI = 0;
    bool whatString = false;
    bool inString = false;
};

void detectDelimiters(RcDelimiters &d, std::string_view line, int index)
{
    if (!d.Begin.empty())
        return;
    if (line.find("Microsoft") != std::string_view::npos) {
        d.Begin = "BEGIN";
        d.End = "END";
        d.Line = index;
    }
    if (line.find("Borland") != std::string_view::npos || line.find("INPRISE") != std::string_view::npos) {
        d.Begin = "{";
        d.End = "}";
        d.Line = index;
    }
}

// The block headers at the start of a line; several may match one line.
struct HeaderMatch {
    std::string dialog;
    const char *dialogWord = nullptr;
    std::string menu;
    bool stringTable = false;
};

HeaderMatch matchHeaders(std::string_view line)
{
    HeaderMatch h;
    if (line.empty() || !isPerlWord(line[0]))
        return h;
    if (const std::size_t n = rcpattern::HeaderName(line, "DIALOG ")) {
        h.dialog = line.substr(0, n);
        h.dialogWord = "DIALOG";
    }
    if (const std::size_t n = rcpattern::HeaderName(line, "DIALOGEX ")) {
        h.dialog = line.substr(0, n);
        h.dialogWord = "DIALOGEX";
    }
    if (const std::size_t n = rcpattern::HeaderName(line, "MENU"))
        h.menu = line.substr(0, n);
    h.stringTable = line.rfind("STRINGTABLE", 0) == 0;
    return h;
}

void applyHeaders(BlockState &s, const HeaderMatch &h)
{
    if (!h.dialog.empty())
        s.whatDialog = h.dialog;
    if (!h.menu.empty())
        s.whatMenu = h.menu;
    if (h.stringTable)
        s.whatString = true;
}

// A line without the blanks around it: what a block line is compared by.
std::string_view perlTrimmed(std::string_view line)
{
    std::size_t a = 0;
    std::size_t b = line.size();
    while (a < b && isPerlSpace(line[a]))
        ++a;
    while (b > a && isPerlSpace(line[b - 1]))
        --b;
    return line.substr(a, b - a);
}

// The block lines compare the line without its blanks (`trimmed`) with
// the delimiters.
void stringMarks(BlockState &s, std::string_view trimmed, const RcDelimiters &d)
{
    if (!s.whatString)
        return;
    if (trimmed == d.Begin)
        s.inString = true;
    if (trimmed == d.End) {
        s.inString = false;
        s.whatString = false;
    }
}

void menuDepth(BlockState &s, std::string_view trimmed, const RcDelimiters &d)
{
    if (s.whatMenu.empty())
        return;
    if (trimmed == d.Begin)
        ++s.menuSeg;
    if (trimmed == d.End) {
        --s.menuSeg;
        if (s.menuSeg == 0) {
            s.whatMenu.clear();
            s.menuI = 0;
        }
    }
}

void dialogEnd(BlockState &s, std::string_view trimmed, const RcDelimiters &d)
{
    if (!s.whatDialog.empty() && trimmed == d.End) {
        s.whatDialog.clear();
        s.dialogI = 0;
    }
}

// The room a list of texts of these bytes gets before it grows: one for
// every 20 bytes, as many as a script of texts on short lines has, and
// at most a million, so that what is set aside (and not touched) stays
// small beside the file.
std::size_t roomFor(std::string_view bytes)
{
    return std::min<std::size_t>(bytes.size() / 20, std::size_t(1) << 20) + 16;
}

using TextArray = std::vector<std::optional<RcText>>;
using TextArrays = std::map<std::string, TextArray>;

// The array of one name, looked up again only when the name changes: the
// texts of a block come one after another under the same name.
class ArrayCache {
public:
    explicit ArrayCache(TextArrays &arrays) : arrays_(arrays) {}
    TextArray &of(const std::string &name)
    {
        if (!array_ || name != name_) {
            array_ = &arrays_[name];
            name_ = name;
        }
        return *array_;
    }

private:
    TextArrays &arrays_;
    TextArray *array_ = nullptr;
    std::string name_;
};

void store(TextArray &array, std::size_t index, RcText text)
{
    if (array.size() <= index)
        array.resize(index + 1);
    array[index] = std::move(text);
}

std::string_view englishAt(const TextArray &array, std::size_t index)
{
    if (index >= array.size() || !array[index])
        return {};
    return array[index]->Text;
}

struct EnglishPass {
    TextArrays menus;
    TextArrays dialogs;
    // The string table by identifier, a later entry replacing an earlier
    // one: views into the English bytes, found as a dictionary's texts are.
    ScriptDictionary strings;
    std::vector<RcStringText> stringList;
    std::map<std::pair<RcBlockKind, std::string>, int> headerLines; // first header of each name
    std::vector<std::pair<RcBlockKind, std::string>> order;
    std::map<std::pair<RcBlockKind, std::string>, std::string> headerWords;
};

void noteHeader(EnglishPass &e, RcBlockKind kind, const std::string &name, const char *word, int line)
{
    const auto key = std::make_pair(kind, name);
    if (e.headerLines.emplace(key, line).second) {
        e.order.push_back(key);
        e.headerWords[key] = word;
    }
}

} // namespace

std::size_t LineFeeds(std::string_view bytes)
{
    constexpr std::uint64_t feeds = 0x0A0A0A0A0A0A0A0AULL;
    constexpr std::uint64_t low = 0x7F7F7F7F7F7F7F7FULL;
    constexpr std::uint64_t high = 0x8080808080808080ULL;
    std::size_t count = 0;
    std::size_t i = 0;
    for (; i + 8 <= bytes.size(); i += 8) {
        std::uint64_t word;
        std::memcpy(&word, bytes.data() + i, 8);
        const std::uint64_t x = word ^ feeds; // a line feed's byte is 0
        // The high bit of each byte that is not 0; its opposite marks the
        // feeds, whose marks one multiplication adds up in the top byte.
        const std::uint64_t marks = (~(((x & low) + low) | x) & high) >> 7;
        count += std::size_t((marks * 0x0101010101010101ULL) >> 56);
    }
    for (; i < bytes.size(); ++i)
        count += bytes[i] == '\n' ? 1 : 0;
    return count;
}

std::vector<std::string> ScriptLines(std::string_view bytes)
{
    std::vector<std::string> lines;
    ScriptLineReader reader(bytes);
    for (std::string_view line; reader.next(line);)
        lines.emplace_back(line);
    return lines;
}

bool OnlyDelimiter(std::string_view line, std::string_view delimiter)
{
    return perlTrimmed(line) == delimiter;
}

RcDelimiters ChooseDelimiters(std::string_view bytes)
{
    RcDelimiters d;
    int words = 0;
    int braces = 0;
    ScriptLineReader lines(bytes);
    std::string_view line;
    for (int i = 0; lines.next(line); ++i) {
        // A tool named: the scripts find the words themselves, from that
        // line on, and nothing is handed to them.
        detectDelimiters(d, line, i);
        if (d.Line >= 0)
            return {};
        const std::string_view t = perlTrimmed(line);
        if (t == "BEGIN" || t == "END")
            ++words;
        else if (t == "{" || t == "}")
            ++braces;
    }
    if (words == 0 && braces == 0)
        return d;
    const bool useBraces = braces > words;
    d.Begin = useBraces ? "{" : "BEGIN";
    d.End = useBraces ? "}" : "END";
    d.FromBlocks = true;
    d.ChosenLines = useBraces ? braces : words;
    d.OtherLines = useBraces ? words : braces;
    return d;
}

namespace {

// Whether a line holds a text as TextLines counts them; the patterns'
// matches are given where a reading made them already.
bool holdsText(std::string_view line, const std::optional<LineMatch> &dialog = std::nullopt,
               const std::optional<LineMatch> &string = std::nullopt)
{
    if (line.find('"') == std::string_view::npos)
        return false;
    if (const LineMatch d = dialog ? *dialog : rcpattern::Dialog(line))
        return d.End > d.Start && !blankOnly(line.substr(d.Start, d.End - d.Start));
    return string ? bool(*string) : bool(rcpattern::String(line));
}

} // namespace

int TextLines(std::string_view bytes)
{
    int count = 0;
    ScriptLineReader lines(bytes);
    for (std::string_view line; lines.next(line);)
        count += holdsText(line) ? 1 : 0;
    return count;
}

std::string PairsAsDictionary(const std::vector<TextPair> &pairs)
{
    std::string out;
    std::size_t size = 0;
    for (const auto &[english, chinese] : pairs)
        size += english.size() + chinese.size() + 4;
    out.reserve(size);
    for (const auto &[english, chinese] : pairs) {
        out += english;
        out += "\r\n";
        out += chinese;
        out += "\r\n";
    }
    return out;
}

std::string ExtractionReading::DictionaryBytes() const
{
    return PairsAsDictionary(Pairs);
}

bool ExtractionReading::DictionaryIs(std::string_view bytes) const
{
    std::size_t at = 0;
    const auto next = [&](std::string_view part) {
        if (bytes.substr(at, part.size()) != part)
            return false;
        at += part.size();
        return true;
    };
    for (const auto &[english, chinese] : Pairs)
        if (!next(english) || !next("\r\n") || !next(chinese) || !next("\r\n"))
            return false;
    return at == bytes.size();
}

ExtractionReading ReadExtraction(std::string_view englishBytes, std::string_view chineseBytes,
                                 const RcDelimiters &preset)
{
    ExtractionReading reading;
    RcDelimiters &d = reading.Delimiters;
    d = preset;
    EnglishPass e;
    // Room for a string on every line of 20 bytes or more: what is not used
    // is never touched, and nothing is moved as the lists grow.
    e.stringList.reserve(roomFor(englishBytes));
    reading.ChineseStrings.reserve(roomFor(chineseBytes));
    BlockState s;

    // Pass 1, over the English file.
    ArrayCache englishMenus(e.menus);
    ArrayCache englishDialogs(e.dialogs);
    ScriptLineReader english(englishBytes);
    std::string_view line;
    for (int i = 0; english.next(line); ++i) {
        detectDelimiters(d, line, i);
        const HeaderMatch h = matchHeaders(line);
        applyHeaders(s, h);
        if (!h.dialog.empty())
            noteHeader(e, RcBlockKind::Dialog, h.dialog, h.dialogWord, i);
        if (!h.menu.empty())
            noteHeader(e, RcBlockKind::Menu, h.menu, "MENU", i);
        const std::string_view trimmed = perlTrimmed(line);
        dialogEnd(s, trimmed, d);
        menuDepth(s, trimmed, d);
        stringMarks(s, trimmed, d);

        if (!s.whatMenu.empty() && s.menuSeg > 0) {
            if (const LineMatch m = rcpattern::Menu(line))
                store(englishMenus.of(s.whatMenu), s.menuI++, textAt(line, i, qsizetype(m.Start), qsizetype(m.End)));
        }
        if (s.inString) {
            if (const LineMatch m = rcpattern::String(line)) {
                const std::string_view id = line.substr(m.IdStart, m.IdEnd - m.IdStart);
                const std::string_view text = line.substr(m.Start, m.End - m.Start);
                e.stringList.push_back({id, text, i});
            }
        }
        if (!s.whatDialog.empty()) {
            if (const LineMatch m = rcpattern::Dialog(line); m && m.End > m.Start)
                store(englishDialogs.of(s.whatDialog), s.dialogI++,
                      textAt(line, i, qsizetype(m.Start), qsizetype(m.End)));
        }
    }
    // The English strings by identifier, a later one replacing an earlier:
    // made once their number is known, the index never grows.
    e.strings = ScriptDictionary(e.stringList.size());
    for (const RcStringText &t : e.stringList)
        e.strings.set(t.Id, t.Text);
    reading.EnglishStrings = std::move(e.stringList);
    // The arrays grew a text at a time; they keep only the room they use.
    for (TextArrays *arrays : {&e.menus, &e.dialogs})
        for (auto &[name, array] : *arrays)
            array.shrink_to_fit();

    // Pass 2, over the translated file: positions and depth start again,
    // the current names and the delimiters go on.
    s.menuI = 0;
    s.menuSeg = 0;
    s.inString = false;
    s.whatString = false;
    s.dialogI = 0;

    // The first block opened for each name: it holds the name's English
    // texts, which a later block of the same name copies.
    std::map<std::pair<RcBlockKind, std::string>, std::size_t> firstBlock;
    constexpr std::size_t none = std::size_t(-1);
    std::size_t currentMenu = none;
    std::size_t currentDialog = none;
    auto openBlock = [&](RcBlockKind kind, const std::string &name, const std::string &word, int line) {
        RcBlockPairing b;
        b.Kind = kind;
        b.Name = name;
        b.HeaderWord = word;
        b.ChineseHeaderLine = line;
        const auto key = std::make_pair(kind, name);
        if (const auto it = e.headerLines.find(key); it != e.headerLines.end()) {
            b.EnglishHeaderLine = it->second;
            b.HeaderWord = e.headerWords[key];
        }
        TextArrays &arrays = kind == RcBlockKind::Menu ? e.menus : e.dialogs;
        if (const auto first = firstBlock.find(key); first != firstBlock.end()) {
            b.English = reading.Blocks[first->second].English;
        } else {
            if (const auto it = arrays.find(name); it != arrays.end())
                b.English = std::move(it->second);
            firstBlock.emplace(key, reading.Blocks.size());
        }
        b.Chinese.reserve(b.English.size());
        reading.Blocks.push_back(std::move(b));
        return reading.Blocks.size() - 1;
    };
    // The block a text of the current name goes to: the last one opened by
    // a header, or, for a name the English file left open, a new one.
    auto blockFor = [&](std::size_t &current, RcBlockKind kind, const std::string &name, int line) {
        if (current == none || reading.Blocks[current].Name != name)
            current = openBlock(kind, name, kind == RcBlockKind::Menu ? "MENU" : "DIALOG", line);
        return current;
    };

    // About as many pairs as the English file has texts.
    std::size_t englishTexts = reading.EnglishStrings.size();
    for (const auto &[name, array] : e.menus)
        englishTexts += array.size();
    for (const auto &[name, array] : e.dialogs)
        englishTexts += array.size();
    reading.Pairs.reserve(englishTexts + englishTexts / 16);
    reading.Origins.reserve(englishTexts + englishTexts / 16);
    ScriptLineReader chinese(chineseBytes);
    for (int i = 0; chinese.next(line); ++i) {
        const HeaderMatch h = matchHeaders(line);
        applyHeaders(s, h);
        if (!h.dialog.empty())
            currentDialog = openBlock(RcBlockKind::Dialog, h.dialog, h.dialogWord, i);
        if (!h.menu.empty())
            currentMenu = openBlock(RcBlockKind::Menu, h.menu, "MENU", i);
        const std::string_view trimmed = perlTrimmed(line);
        stringMarks(s, trimmed, d);
        menuDepth(s, trimmed, d);
        dialogEnd(s, trimmed, d);

        if (!s.whatMenu.empty() && s.menuSeg > 0) {
            if (const LineMatch m = rcpattern::Menu(line)) {
                const std::size_t at = s.menuI++;
                RcText zh = textAt(line, i, qsizetype(m.Start), qsizetype(m.End));
                RcBlockPairing &b = reading.Blocks[blockFor(currentMenu, RcBlockKind::Menu, s.whatMenu, i)];
                reading.Pairs.emplace_back(englishAt(b.English, at), zh.Text);
                reading.Origins.push_back({int(currentMenu), b.Chinese.size()});
                b.Chinese.emplace_back(at, std::move(zh));
            }
        }
        // The line's matches, kept for the count of text lines below.
        std::optional<LineMatch> stringMatch;
        std::optional<LineMatch> dialogMatch;
        if (s.inString) {
            if (const LineMatch m = *(stringMatch = rcpattern::String(line))) {
                const std::string_view id = line.substr(m.IdStart, m.IdEnd - m.IdStart);
                const std::string_view text = line.substr(m.Start, m.End - m.Start);
                const ScriptDictionary::Pair *english = e.strings.find(id);
                reading.Pairs.emplace_back(english ? *english->Translation : std::string_view(), text);
                reading.Origins.push_back({-1, reading.ChineseStrings.size()});
                reading.ChineseStrings.push_back({id, text, i});
            }
        }
        if (!s.whatDialog.empty()) {
            if (const LineMatch m = *(dialogMatch = rcpattern::Dialog(line));
                m && m.End > m.Start && !blankOnly(line.substr(m.Start, m.End - m.Start))) {
                const std::size_t at = s.dialogI++;
                RcText zh = textAt(line, i, qsizetype(m.Start), qsizetype(m.End));
                RcBlockPairing &b = reading.Blocks[blockFor(currentDialog, RcBlockKind::Dialog, s.whatDialog, i)];
                reading.Pairs.emplace_back(englishAt(b.English, at), zh.Text);
                reading.Origins.push_back({int(currentDialog), b.Chinese.size()});
                b.Chinese.emplace_back(at, std::move(zh));
            }
        }
        // Lines that hold a text, whatever block they stand in (TextLines).
        if (holdsText(line, dialogMatch, stringMatch))
            ++reading.TextLines;
        if (s.whatMenu.empty())
            currentMenu = none;
        if (s.whatDialog.empty())
            currentDialog = none;
    }

    // The English blocks the translated file does not have: their texts
    // reach no pair.
    for (const auto &key : e.order) {
        if (firstBlock.count(key))
            continue;
        RcBlockPairing b;
        b.Kind = key.first;
        b.Name = key.second;
        b.HeaderWord = e.headerWords[key];
        b.EnglishHeaderLine = e.headerLines[key];
        const TextArrays &arrays = key.first == RcBlockKind::Menu ? e.menus : e.dialogs;
        if (const auto it = arrays.find(key.second); it != arrays.end())
            b.English = it->second;
        reading.Blocks.push_back(std::move(b));
    }
    return reading;
}

ScriptDictionary::ScriptDictionary(std::size_t expected)
{
    pairs_.reserve(expected);
    std::size_t size = 16;
    while (size * 3 < expected * 4)
        size *= 2;
    slots_.assign(size, Slot{});
}

std::size_t ScriptDictionary::slotOf(std::string_view source, std::size_t hash) const
{
    const std::size_t mask = slots_.size() - 1;
    const auto tag = std::uint32_t(hash);
    for (std::size_t at = (hash >> 7) & mask;; at = (at + 1) & mask) {
        const Slot &slot = slots_[at];
        if (slot.Pair == 0 || (slot.Hash == tag && pairs_[slot.Pair - 1].Source == source))
            return at;
    }
}

void ScriptDictionary::grow()
{
    std::vector<Slot> old(slots_.size() * 2, Slot{});
    old.swap(slots_);
    const std::size_t mask = slots_.size() - 1;
    // The hashes are taken again: a dictionary given its size at the
    // start never grows, and its pairs hold nothing more.
    for (std::size_t i = 0; i < pairs_.size(); ++i) {
        const std::size_t hash = std::hash<std::string_view>()(pairs_[i].Source);
        std::size_t at = (hash >> 7) & mask;
        while (slots_[at].Pair != 0)
            at = (at + 1) & mask;
        slots_[at] = {std::uint32_t(i + 1), std::uint32_t(hash)};
    }
}

void ScriptDictionary::set(std::string_view source, std::optional<std::string_view> translation)
{
    const std::size_t hash = std::hash<std::string_view>()(source);
    std::size_t at = slotOf(source, hash);
    if (slots_[at].Pair != 0) {
        pairs_[slots_[at].Pair - 1].Translation = translation;
        return;
    }
    // Kept at most three quarters full: a probe ends soon, and the slots
    // of a large dictionary stay few enough to stay in the cache.
    if ((pairs_.size() + 1) * 4 > slots_.size() * 3) {
        grow();
        at = slotOf(source, hash);
    }
    pairs_.push_back({source, translation});
    slots_[at] = {std::uint32_t(pairs_.size()), std::uint32_t(hash)};
}

const ScriptDictionary::Pair *ScriptDictionary::find(std::string_view source) const
{
    const Slot &slot = slots_[slotOf(source, std::hash<std::string_view>()(source))];
    return slot.Pair == 0 ? nullptr : &pairs_[slot.Pair - 1];
}

ScriptDictionary ReadScriptDictionary(std::string_view bytes)
{
    ScriptDictionary dictionary(LineFeeds(bytes) / 2 + 1);
    ScriptLineReader lines(bytes);
    for (std::string_view source, translation; lines.next(source);)
        dictionary.set(source, lines.next(translation) ? std::optional(translation) : std::nullopt);
    return dictionary;
}

namespace {

// A dialog's FONT statement, however it is written: the word after
// optional blanks, then a blank, a tab or the end.
bool isFontLine(std::string_view line)
{
    const std::size_t start = line.find_first_not_of(" \t");
    if (start == std::string_view::npos || line.substr(start, 4) != "FONT")
        return false;
    return line.size() == start + 4 || line[start + 4] == ' ' || line[start + 4] == '\t';
}

} // namespace

TranslationReading ReadTranslation(const ScriptDictionary &dictionary, std::string_view scriptBytes, bool changeFont,
                                   const RcDelimiters &preset, std::optional<std::string_view> written)
{
    static const std::string mingFont = cp950::encode(QStringLiteral("新細明體")).value();
    TranslationReading reading;
    RcDelimiters &d = reading.Delimiters;
    d = preset;
    BlockState s;

    ScriptLineReader lines(scriptBytes);
    // Each line as written goes to the output, or is compared with the
    // next bytes of what the interpreter wrote.
    bool matches = true;
    std::size_t at = 0;
    const auto put = [&](std::string_view bytes) {
        if (!written) {
            reading.OutputBytes += bytes;
        } else if (matches) {
            matches = written->substr(at, bytes.size()) == bytes;
            at += bytes.size();
        }
    };
    if (!written)
        reading.OutputBytes.reserve(scriptBytes.size() + scriptBytes.size() / 8);
    // Room for a text on every line of 20 bytes or more: what is not used
    // is never touched, and the texts are not moved as they come.
    reading.Texts.reserve(roomFor(scriptBytes));
    // Distinct texts: the dictionary's pairs met, and the texts it lacks.
    std::vector<bool> pairMet(dictionary.size(), false);
    std::size_t pairsMet = 0;
    std::unordered_set<std::string_view> lacking;
    std::string changed; // the line as written, when a rule changed it
    std::string_view original;
    for (int i = 0; lines.next(original); ++i) {
        bool isChanged = false;
        detectDelimiters(d, original, i);
        applyHeaders(s, matchHeaders(original));
        const std::string_view trimmed = perlTrimmed(original);
        stringMarks(s, trimmed, d);
        menuDepth(s, trimmed, d);
        dialogEnd(s, trimmed, d);

        // A later rule that matches the line replaces the text of an earlier one.
        LineMatch found;
        if (!s.whatMenu.empty() && s.menuSeg > 0) {
            if (const LineMatch m = rcpattern::WholeMenu(original))
                found = m;
        }
        if (s.inString) {
            if (const LineMatch m = rcpattern::WholeString(original))
                found = m;
        }
        if (!s.whatDialog.empty()) {
            if (const LineMatch m = rcpattern::WholeDialog(original); m && m.End > m.Start)
                found = m;
            if (changeFont) {
                if (const LineMatch m = rcpattern::Font8(original)) {
                    changed = "FONT 9, \"" + mingFont + "\"";
                    changed += original.substr(m.Start, m.End - m.Start);
                    isChanged = true;
                    reading.FontLines.push_back(i);
                } else if (isFontLine(original)) {
                    reading.FontsKept.push_back({i, s.whatDialog, std::string(original)});
                }
            }
        }

        const std::string_view text =
            found ? original.substr(found.Start, found.End - found.Start) : std::string_view();
        if (PerlTrue(text)) {
            FoundText t{i, TextOutcome::NotInDictionary, text};
            const ScriptDictionary::Pair *pair = dictionary.find(text);
            if (!pair)
                lacking.insert(text);
            else if (const std::size_t at = dictionary.indexOf(pair); !pairMet[at]) {
                pairMet[at] = true;
                ++pairsMet;
            }
            if (pair) {
                if (!pair->Translation || !PerlTrue(*pair->Translation))
                    t.Outcome = TextOutcome::EmptyTranslation;
                else if (*pair->Translation == text)
                    t.Outcome = TextOutcome::SameAsSource;
                else
                    t.Outcome = TextOutcome::Translated;
            }
            if (pair && pair->Translation && PerlTrue(*pair->Translation)) {
                changed.assign(original.substr(0, found.Start));
                changed += *pair->Translation;
                changed += original.substr(found.End);
                isChanged = true;
            }
            reading.Texts.push_back(std::move(t));
        }
        put(isChanged ? std::string_view(changed) : original);
        put("\r\n");
    }
    reading.MatchesWritten = written && matches && at == written->size();
    reading.DistinctTexts = qint64(pairsMet + lacking.size());
    return reading;
}
