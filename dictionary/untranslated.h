#pragma once
// The new-version loop: texts that a translation left in English because
// its dictionary does not hold them go back into that dictionary as
// untranslated pairs (each text its own translation), so that the search for
// untranslated entries walks the translator through them and the next
// translation run translates them once they are filled in.

#include "dictionary/dictionary.h"

#include <QString>

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

// Translations suggested for new texts, best first, by text. A new text's
// entry gets them as further translations after its own, none chosen.
using SuggestedTranslations = std::unordered_map<std::string, std::vector<std::string>>;

struct AddedTexts {
    // Nothing was done; the user has been told why, or Error says it.
    bool Refused = false;
    QString Error;
    std::vector<std::string> Added; // in the order given, each once
    std::int64_t AlreadyThere = 0;  // texts the dictionary holds by now
    std::int64_t Unfit = 0;         // texts that cannot be a dictionary line
    // The file's last line was a source without its translation line: an
    // empty translation line went before the new pairs, so that they stay
    // pairs.
    bool PairCompleted = false;
    // The first entry in table order whose source is one of the texts.
    std::int32_t FirstEntry = -1;
};

// The lines of a dictionary file as a load splits them (CR LF, LF or CR).
std::vector<std::string_view> DictionaryLines(std::string_view bytes);

// A text that can stand on a dictionary line: not empty, no line end in it.
bool FitsDictionaryLine(std::string_view text);

// The suggestions of `text` that can stand on a dictionary line and are not
// the text itself, each once.
std::vector<std::string> SuggestionsFor(const SuggestedTranslations &suggested, const std::string &text);

// Appends the texts that the dictionary file at `path` does not hold as a
// source yet, as pairs ending in CR LF, by one atomic rewrite: the file's
// bytes stay as they are in front of the new pairs, and a failed rewrite
// leaves the file as it was. Lines end as a load reads them (CR LF, LF or
// CR). Nothing is written when nothing is new. After each new pair come
// the text's suggested translations, one pair each.
AddedTexts AppendUntranslatedPairs(const FileName &path, const std::vector<std::string> &texts,
                                   const SuggestedTranslations &suggested = {});

// The first entry in table order (entries 0 .. LastEntry, sorted by source)
// whose source is one of `texts`; -1 when none is.
std::int32_t FirstEntryOf(const DictionaryTables &tables, const std::vector<std::string> &texts);
