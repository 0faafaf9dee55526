#pragma once
// Suggested translations for a text the dictionary lacks, taken from the
// translations of sources that are the same text or nearly so.
//
// A new version of a program changes many texts a little: a hot key moves,
// a shortcut changes, "..." or ":" comes or goes, a letter changes case, a
// word changes. Matching sets that markup aside on both texts; the old
// translation is then given the new text's markup, so that the translator
// gets "開新檔案(&N)...\tCtrl+N" rather than retyping it.
//
// - An adapted match (score 100): the texts are equal once the markup is set
//   aside.
// - A near match (score 75 to 99): 100 - 100 * edit distance / length of the
//   longer text, the texts compared with their markup set aside.
//
// Texts are code page 950 bytes: hot keys, shortcuts and endings are found
// on character boundaries, so that a trailing byte of a double-byte
// character is never taken for '&', '\' or ':'. Letter case is ASCII case.

#include "dictionary/dictionary.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

// A text split into its wording and its markup.
struct TextMarkup {
    std::string Core;     // hot key marker, shortcut, ending and surrounding blanks taken away, lower case
    char HotKey = 0;      // the character after the '&' marker; 0: none
    std::string Shortcut; // from the "\t" (or a tab) on; empty: none
    std::string Ending;   // "...", "…" or ":"; empty: none
};

TextMarkup SplitMarkup(std::string_view text);

// `translation` with the markup of the text `target`: its own hot key taken
// out ("(&Y)", or the marker of an inline "&Y") and target's letter put as
// "(&X)" where the old one stood, else before the ending and the shortcut;
// its shortcut replaced by target's; target's ending in the form the
// translation used ("..." or "…"; ":" is written "：", a translation's "︰"
// or "﹕" stays), or none. Given the markup of the English text the
// translation belongs to, an ending both texts share is left as the
// translation has it.
std::string AdaptTranslation(std::string_view translation, const TextMarkup &target,
                             const TextMarkup *source = nullptr);

// One source/translation pair a dictionary offers for matching.
struct MatchSource {
    std::string Source;
    std::string Translation;
    bool Chosen = false; // the translation the dictionary uses for Source
    int Count = 1;       // pairs of the dictionary holding it
};

struct Suggestion {
    std::string Translation; // adapted to the text asked about
    std::string Source;      // the dictionary source it comes from
    int Score = 0;           // 100: adapted match; 75 .. 99: near match
    // The source is the text the same identifier held in the old version;
    // Score is then the similarity of the two, whatever it is.
    bool SameIdentifier = false;
};

// 100 - 100 * edit distance / length of the longer text, with the markup of
// both set aside; 100 when they are equal so.
int Similarity(std::string_view a, std::string_view b);

constexpr int NearMatchFloor = 75;
constexpr std::size_t MostSuggestions = 3;
// Longer texts (with their markup set aside) get adapted matches only: an
// edit distance grows with the product of the lengths.
constexpr std::size_t NearMatchLongest = 1000;

class SuggestionIndex {
public:
    SuggestionIndex() = default;
    // Pairs whose translation is empty, "0" or the source itself translate
    // nothing and are left out.
    explicit SuggestionIndex(std::vector<MatchSource> sources);

    // The pairs of a dictionary file in file order; the translation a
    // source is used with is its last pair's, as the translation script
    // reads the file.
    static SuggestionIndex FromPairs(const std::vector<std::pair<std::string, std::string>> &pairs);
    static SuggestionIndex FromPairViews(const std::vector<std::pair<std::string_view, std::string_view>> &pairs);
    // The entries of an open dictionary; each entry's chosen translation is
    // the one it uses.
    static SuggestionIndex FromTables(const DictionaryTables &tables);

    // At most `most` suggestions for `text`, best first: adapted matches,
    // then near matches by score. Of several sources giving one translation
    // the suggestion is listed once. Ties go to the translation a source
    // is used with, then to the translation more pairs give.
    std::vector<Suggestion> Suggest(std::string_view text, std::size_t most = MostSuggestions) const;

    bool empty() const { return Sources.empty(); }

private:
    struct Core {
        std::string Text;
        std::vector<std::uint32_t> Sources; // into Sources
    };
    std::vector<MatchSource> Sources;
    std::vector<std::string> SourceEndings; // the ending of each source's text, as Sources
    std::vector<Core> Cores;                   // by length of Text
    std::vector<std::uint8_t> Histograms;      // 32 per core, as Cores
    std::vector<std::uint64_t> Pairs;          // 2 per core: which byte pairs it holds
    std::string Texts;                         // the cores' texts one after another, as Cores
    std::vector<std::uint32_t> TextStart;      // where each starts in Texts, and the end
    std::vector<std::uint32_t> LengthStart;    // first core of each length, and one past the end
    std::vector<std::int32_t> Keys;            // each core's counter key; ascending within a length
    std::unordered_map<std::string, std::uint32_t> CoreOf;

    void bestOfCore(const Core &core, const TextMarkup &target, int score, std::vector<Suggestion> &out) const;
};

// The suggestions of several texts, in their order. Texts of one length are
// looked up one after another, so that the sources they are compared with
// stay in the processor's caches.
std::vector<std::vector<Suggestion>> SuggestAll(const SuggestionIndex &index, const std::vector<std::string> &texts);

// The pairs of a dictionary that is lines two by two (CR LF, LF or CR); a
// lone last line has no pair.
std::vector<std::pair<std::string, std::string>> DictionaryPairs(std::string_view bytes);
// The same as views into `bytes`.
std::vector<std::pair<std::string_view, std::string_view>> DictionaryPairViews(std::string_view bytes);
