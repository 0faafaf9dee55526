#pragma once
// The pairs an extraction should write, where the scripts' positional
// pairing goes wrong: a menu or dialog whose two versions hold a different
// number of texts is paired by identifier (a menu item by its command, a
// control by its ID), the texts without a usable identifier by position
// inside the stretch between two such pairs, and a text that finds no
// partner is paired with nothing. Texts of blanks count on neither side, as
// the second pass of the script skips them. Blocks with as many texts on
// both sides stay paired by position, and string tables by identifier.

#include "convert/rcreader.h"

#include <string>
#include <vector>

// A text of a block found in both files that has no partner in the other.
struct UnpairedText {
    bool English = false; // in the English file, else in the translated one
    std::string Block;
    std::string Text;
    int Line = 0;
};

// A string identifier that stands more than once in one of the files.
struct DuplicateString {
    std::string Id;
    std::vector<RcStringText> English;
    std::vector<RcStringText> Chinese;
};

struct SoundPairing {
    // In the order the script writes them; a translated text without a
    // partner keeps an empty English line, as the script writes it. Empty
    // when they are the script's own (SameAsScript).
    std::vector<TextPair> Pairs;
    std::vector<std::size_t> ByIdentifier; // indices into the reading's Blocks
    std::vector<int> EnglishTexts;         // each block's English texts, blanks left out
    std::vector<UnpairedText> Unpaired;
    std::vector<DuplicateString> Duplicates;
    bool SameAsScript = true; // Pairs are the pairs the script writes
    std::string DictionaryBytes() const;
};

SoundPairing PairSoundly(const ExtractionReading &reading);
