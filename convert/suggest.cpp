#include "convert/suggest.h"

#include "convert/encoding.h"
#include "platform/codepage.h"

namespace {

// Replaces the first `from` on each of `lines` (counted from 1) of `text`;
// how many were replaced.
int replaceOnLines(std::string &text, const std::string &from, const std::string &to, const std::vector<int> &lines)
{
    int replaced = 0;
    int line = 1;
    std::size_t start = 0;
    for (const int wanted : lines) {
        while (line < wanted && start < text.size()) {
            const std::size_t end = text.find('\n', start);
            start = end == std::string::npos ? text.size() : end + 1;
            ++line;
        }
        if (line != wanted)
            continue;
        const std::size_t end = std::min(text.find('\n', start), text.size());
        const std::size_t at = text.find(from, start);
        if (at != std::string::npos && at + from.size() <= end) {
            text.replace(at, from.size(), to);
            ++replaced;
        }
    }
    return replaced;
}

int replaceOnLines(QString &text, const QString &from, const QString &to, const std::vector<int> &lines)
{
    int replaced = 0;
    int line = 1;
    qsizetype start = 0;
    for (const int wanted : lines) {
        while (line < wanted && start < text.size()) {
            const qsizetype end = text.indexOf(QLatin1Char('\n'), start);
            start = end < 0 ? text.size() : end + 1;
            ++line;
        }
        if (line != wanted)
            continue;
        qsizetype end = text.indexOf(QLatin1Char('\n'), start);
        if (end < 0)
            end = text.size();
        const qsizetype at = text.indexOf(from, start);
        if (at >= 0 && at + from.size() <= end) {
            text.replace(at, from.size(), to);
            ++replaced;
        }
    }
    return replaced;
}

} // namespace

void SuggestTranslations(TranslationReport &report, std::string_view dictionaryBytes)
{
    report.Suggested = true;
    std::vector<std::string> texts;
    std::vector<EnglishText *> asked;
    for (EnglishText &t : report.Left) {
        t.Suggestions.clear();
        if (t.HoldsStandIn)
            continue;
        texts.push_back(t.Bytes);
        asked.push_back(&t);
    }
    if (texts.empty()) {
        CountSuggestions(report);
        return;
    }
    const SuggestionIndex index = SuggestionIndex::FromPairViews(DictionaryPairViews(dictionaryBytes));
    std::vector<std::vector<Suggestion>> all = SuggestAll(index, texts);
    for (std::size_t i = 0; i < asked.size(); ++i)
        asked[i]->Suggestions = std::move(all[i]);
    CountSuggestions(report);
}

void CountSuggestions(TranslationReport &report)
{
    report.WithAdapted = 0;
    report.WithNear = 0;
    for (const EnglishText &t : report.Left)
        if (!t.Suggestions.empty())
            (t.Suggestions.front().Score == 100 ? report.WithAdapted : report.WithNear) += t.Count;
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

std::string WriteAdaptedMatches(const std::string &bytes, TranslationReport &report)
{
    const DecodedScript decoded = DecodeScript(bytes);
    const bool big5 = decoded.Encoding.Encoding == TextEncoding::Cp950;
    std::string big5Bytes = bytes;
    QString text = decoded.Text;
    report.AdaptedWritten = 0;
    for (EnglishText &t : report.Left) {
        t.AdaptedWritten = 0;
        if (t.HoldsStandIn || t.Suggestions.empty() || t.Suggestions.front().Score != 100)
            continue;
        const std::string &translation = t.Suggestions.front().Translation;
        if (big5)
            t.AdaptedWritten = replaceOnLines(big5Bytes, '"' + t.Bytes + '"', '"' + translation + '"', t.Lines);
        else
            t.AdaptedWritten = replaceOnLines(text, QLatin1Char('"') + t.Text + QLatin1Char('"'),
                                              QLatin1Char('"') + cp950::decode(translation) + QLatin1Char('"'), t.Lines);
        report.AdaptedWritten += t.AdaptedWritten;
    }
    if (report.AdaptedWritten == 0)
        return bytes;
    return big5 ? big5Bytes : EncodeText(text, decoded.Encoding);
}
