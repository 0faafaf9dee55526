#pragma once
// The dictionary's suggestions for the texts a translation left in English:
// translations of sources that are the same text with other markup (hot
// key, shortcut, ending, case), given the new text's markup, and of sources
// that are nearly the same text.

#include "convert/report.h"
#include "dictionary/untranslated.h"

#include <string_view>

// Fills in the suggestions of every text left in English that a dictionary
// can hold, from the dictionary file's bytes, and counts the places whose
// best suggestion is an adapted or a near match.
void SuggestTranslations(TranslationReport &report, std::string_view dictionaryBytes);

// Counts the places whose best suggestion is an adapted or a near match.
void CountSuggestions(TranslationReport &report);

// The suggested translations of the texts TextsForDictionary gives, for
// their untranslated entries.
SuggestedTranslations SuggestionsForDictionary(const TranslationReport &report);

// The translated script `bytes` (in its own encoding) with each text whose
// best suggestion is an adapted match (score 100) given that translation on
// the lines that hold it in English, and the report told which; near
// matches are never written. Lines keep their ends.
std::string WriteAdaptedMatches(const std::string &bytes, TranslationReport &report);
