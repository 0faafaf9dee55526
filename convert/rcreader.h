#pragma once
// The two conversion scripts' reading of resource scripts, done again in the
// program: the same line handling, block headers, delimiters and text
// patterns, applied to the same code page 950 bytes. With it the program
// knows, before or after the interpreter runs, which texts a script finds,
// how it pairs them and which lines it leaves as they were.
//
// Lines are counted from 0 here; reports show them from 1.

#include <QtGlobal>

#include <cstdint>
#include <concepts>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// A file's lines as the scripts see them: split after each line feed, a
// carriage return before it belonging to the line end, and then the last
// byte of each line removed (the line end, or, on a last line without one,
// its last character).
std::vector<std::string> ScriptLines(std::string_view bytes);
// How many line feeds the bytes hold, counted eight bytes at a time.
std::size_t LineFeeds(std::string_view bytes);

// The line as the scripts see it that begins at `start` (before the end of
// the bytes); `next` is where the line after it begins.
inline std::string_view ScriptLineAt(std::string_view bytes, std::size_t start, std::size_t &next)
{
    const std::size_t lf = bytes.find('\n', start);
    if (lf == std::string_view::npos) {
        next = bytes.size();
        return bytes.substr(start, bytes.size() - start - 1);
    }
    next = lf + 1;
    const std::size_t end = lf > start && bytes[lf - 1] == '\r' ? lf - 1 : lf;
    return bytes.substr(start, end - start);
}

// The same lines one after another, as views into the bytes.
class ScriptLineReader {
public:
    explicit ScriptLineReader(std::string_view bytes) : bytes_(bytes) {}
    // The next line; false after the last one.
    bool next(std::string_view &line)
    {
        if (start_ >= bytes_.size())
            return false;
        line = ScriptLineAt(bytes_, start_, start_);
        return true;
    }

private:
    std::string_view bytes_;
    std::size_t start_ = 0;
};

// Whether a line consists of `delimiter` alone, blanks around it allowed. An
// empty delimiter matches every empty or blank line, as in the scripts.
bool OnlyDelimiter(std::string_view line, std::string_view delimiter);

// Perl's truth of a text: neither empty nor "0".
inline bool PerlTrue(std::string_view text) { return !text.empty() && text != "0"; }

// The block delimiters, taken from the first line naming the resource tool.
struct RcDelimiters {
    std::string Begin;
    std::string End;
    int Line = -1; // where they were found; -1: nowhere, both stay empty
    // No line names the tool, and the words were chosen from the file's
    // own block lines instead (Line stays -1): how many lines held only
    // the chosen words, and how many only the other pair.
    bool FromBlocks = false;
    int ChosenLines = 0;
    int OtherLines = 0;
    bool found() const { return Line >= 0 || FromBlocks; }
};

// The delimiters to hand to a script before it reads these bytes. When a
// line names the resource tool, none (the script finds them there, as it
// always has). When none does, the scripts would take every blank line for
// a block's begin and end: the words are then chosen from
// the lines that hold nothing but BEGIN or END, or nothing but a brace,
// whichever are more (BEGIN and END when there are as many). A file with
// neither keeps empty delimiters.
RcDelimiters ChooseDelimiters(std::string_view bytes);

// Lines of a translated file that hold a text as a menu item, a dialog
// control or a string-table entry would (a word, blanks and a quoted text
// on one line), whatever block they stand in: what a full pairing would
// come near.
int TextLines(std::string_view bytes);

// A text found by a pattern, as it stands between the quotes. The views
// are into the bytes the reading was made from, which must outlive it: a
// script of tens of thousands of texts is not held a second time.
struct RcText {
    std::string_view Text;
    int Line = 0;
    // The statement's first word and the token after the text (menu item
    // or control identifier): a translated file keeps both, so they tell
    // where two files' texts stop lining up. Both stand on the text's line,
    // and are held as places measured from the text, which keeps a reading
    // of tens of thousands of texts small.
    std::string_view keyword() const { return {Text.data() - KeywordBack, KeywordSize}; }
    std::string_view id() const { return {Text.data() + IdAfter, IdSize}; }
    void setKeyword(std::string_view word);
    void setId(std::string_view token);

private:
    std::uint32_t KeywordBack = 0; // from the keyword's start to the text's
    std::uint32_t KeywordSize = 0;
    std::uint32_t IdAfter = 0; // from the text's start to the identifier's
    std::uint32_t IdSize = 0;
};

enum class RcBlockKind { Menu, Dialog };

// One menu or dialog of the translated file as the extraction pairs it, or
// one of the English file that the translated file lacks.
struct RcBlockPairing {
    RcBlockKind Kind = RcBlockKind::Menu;
    std::string Name;
    std::string HeaderWord;     // "MENU", "DIALOG" or "DIALOGEX"
    int EnglishHeaderLine = -1; // -1: the English file has no block of this name
    int ChineseHeaderLine = -1; // -1: only in the English file
    // The English texts stored under this name when the first pass ended,
    // by position (a position no text reached stays empty).
    std::vector<std::optional<RcText>> English;
    // The translated texts written for this block, with the position whose
    // English text each one was paired with.
    std::vector<std::pair<std::size_t, RcText>> Chinese;
};

// A string-table entry; its views are into the file's bytes, as RcText's.
struct RcStringText {
    std::string_view Id;
    std::string_view Text;
    int Line = 0;
};

// An English text and its translation, as views (see RcText).
using TextPair = std::pair<std::string_view, std::string_view>;

// Where a pair the extraction writes comes from: the Index-th translated
// text of Blocks[Block], or ChineseStrings[Index] (Block -1).
struct PairOrigin {
    int Block = -1;
    std::size_t Index = 0;
};

// Pairs as a dictionary holds them: each pair as two lines ending in CR LF.
std::string PairsAsDictionary(const std::vector<TextPair> &pairs);

// What the extraction script finds in an English and a translated file,
// and the dictionary it writes.
struct ExtractionReading {
    RcDelimiters Delimiters;
    std::vector<RcBlockPairing> Blocks; // translated file's order, then English-only blocks
    std::vector<RcStringText> EnglishStrings; // every string-table text of the English file
    std::vector<RcStringText> ChineseStrings; // every one of the translated file (each a pair)
    std::vector<TextPair> Pairs;      // in the order written
    std::vector<PairOrigin> Origins;                        // one for each pair
    int TextLines = 0; // of the translated file, as TextLines counts them

    // The dictionary's bytes: each pair as two lines ending in CR LF.
    std::string DictionaryBytes() const;
    // Whether `bytes` are those, compared without writing them.
    bool DictionaryIs(std::string_view bytes) const;
};

// `preset`: delimiters chosen beforehand (ChooseDelimiters) that the
// script is handed; without them the first pass looks for them as the
// templates do. The texts of the blocks, the string tables and the pairs
// are views into the two files' bytes (see RcText).
ExtractionReading ReadExtraction(std::string_view englishBytes, std::string_view chineseBytes,
                                 const RcDelimiters &preset = {});
// A string that dies with the call: the reading's views would outlive it.
template <typename S>
concept TemporaryString = std::same_as<S, std::string>;
template <typename E, typename Z>
    requires TemporaryString<E> || TemporaryString<Z>
ExtractionReading ReadExtraction(E &&, Z &&, const RcDelimiters & = {}) = delete;

// The dictionary as the translation script reads it: lines two by two, a
// later pair replacing an earlier one; a source on the last line of a file
// of odd length has no translation.
// Its texts are views into the bytes it was read from, which must outlive
// it. The pairs stand in one array and are found through an open-addressed
// index: a dictionary of tens of thousands of pairs is looked up once for
// every text of a script.
class ScriptDictionary {
public:
    struct Pair {
        std::string_view Source;
        std::optional<std::string_view> Translation; // none: the last line of a file of odd length
    };
    explicit ScriptDictionary(std::size_t expected = 0);
    // A later pair with the same source replaces an earlier one.
    void set(std::string_view source, std::optional<std::string_view> translation);
    const Pair *find(std::string_view source) const;
    std::size_t size() const { return pairs_.size(); }
    // A pair's place among the pairs, from 0 to size() - 1.
    std::size_t indexOf(const Pair *pair) const { return std::size_t(pair - pairs_.data()); }

private:
    std::size_t slotOf(std::string_view source, std::size_t hash) const;
    void grow();
    struct Slot {
        std::uint32_t Pair = 0; // 0: empty, else index + 1 into pairs_
        std::uint32_t Hash = 0; // the low bits of the source's hash, compared before the source
    };
    std::vector<Pair> pairs_;
    std::vector<Slot> slots_;
};
ScriptDictionary ReadScriptDictionary(std::string_view bytes);

enum class TextOutcome {
    Translated,       // the line gets the dictionary's translation
    NotInDictionary,  // stays English: the dictionary does not hold the text
    EmptyTranslation, // stays English: the dictionary holds it only as empty or "0"
    SameAsSource,     // stays English: the dictionary's translation is the text itself
};

// A line on which the translation script found a text it looks up.
// Its text is a view into the script's bytes (see RcText).
struct FoundText {
    int Line = 0;
    TextOutcome Outcome = TextOutcome::NotInDictionary;
    std::string_view Text;
    bool leftInEnglish() const { return Outcome != TextOutcome::Translated; }
};

struct TranslationReading {
    RcDelimiters Delimiters;
    // Lines holding a text the script looks up (not empty, not "0"), in order.
    std::vector<FoundText> Texts;
    qint64 DistinctTexts = -1; // of Texts; -1: not counted
    std::vector<int> FontLines; // FONT lines changed to 9 points
    // Under the font switch, the FONT lines of dialogs that it leaves as
    // they are (only a line starting with "FONT 8, " and a quoted face
    // changes), with the dialog they belong to.
    struct KeptFont {
        int Line = 0;
        std::string Dialog;
        std::string Text;
    };
    std::vector<KeptFont> FontsKept;
    std::string OutputBytes;    // the translated file the script writes
    // Read against what the interpreter wrote (`written` given): whether it
    // is that file, byte for byte; OutputBytes then stays empty.
    bool MatchesWritten = false;
};

TranslationReading ReadTranslation(const ScriptDictionary &dictionary, std::string_view scriptBytes, bool changeFont,
                                   const RcDelimiters &preset = {},
                                   std::optional<std::string_view> written = std::nullopt);
template <TemporaryString S>
TranslationReading ReadTranslation(const ScriptDictionary &, S &&, bool, const RcDelimiters & = {},
                                   std::optional<std::string_view> = std::nullopt) = delete;
