#include "convert/suggest.h"

void SuggestTranslations(TranslationReport &report, std::string_view dictionaryBytes)
{
    report.Suggested = true;
    report.WithAdapted = 0;
    report.WithNear = 0;
    std::vector<std::string> texts;
    std::vector<EnglishText *> asked;
    for (EnglishText &t : report.Left) {
        t.Suggestions.clear();
        if (t.HoldsStandIn)
            continue;
        texts.push_back(t.Bytes);
        asked.push_back(&t);
    }
    if (texts.empty())
        return;
    const SuggestionIndex index = SuggestionIndex::FromPairs(DictionaryPairs(dictionaryBytes));
    std::vector<std::vector<Suggestion>> all = SuggestAll(index, texts);
    for (std::size_t i = 0; i < asked.size(); ++i) {
        EnglishText &t = *asked[i];
        t.Suggestions = std::move(all[i]);
        if (t.Suggestions.empty())
            continue;
        (t.Suggestions.front().Score == 100 ? report.WithAdapted : report.WithNear) += t.Count;
    }
}

SuggestedTranslations SuggestionsForDictionary(const TranslationReport &report)
{
    SuggestedTranslations out;
    for (const EnglishText &t : report.Left) {
        if (t.Why != TextOutcome::NotInDictionary || t.HoldsStandIn || t.Suggestions.empty())
            continue;
        std::vector<std::string> &translations = out[t.Bytes];
        for (const Suggestion &s : t.Suggestions)
            translations.push_back(s.Translation);
    }
    return out;
}
