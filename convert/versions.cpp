#include "convert/versions.h"

#include "convert/rcchecks.h"
#include "convert/suggest.h"
#include "platform/codepage.h"

#include <unordered_map>

namespace {

bool isIdentifierByte(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

std::string_view firstWord(std::string_view s)
{
    std::size_t n = 0;
    while (n < s.size() && isIdentifierByte(s[n]))
        ++n;
    return s.substr(0, n);
}

// The text between the first pair of quotes ("" stands for a quote) and
// where the closing quote is; npos when the line holds none.
std::size_t quotedText(std::string_view line, std::size_t open, std::string &text)
{
    text.clear();
    for (std::size_t i = open + 1; i < line.size(); ++i) {
        if (line[i] != '"') {
            text += line[i];
            continue;
        }
        if (i + 1 < line.size() && line[i + 1] == '"') {
            text += "\"\"";
            ++i;
            continue;
        }
        return i;
    }
    return std::string_view::npos;
}

} // namespace

std::vector<IdentifiedText> IdentifiedTexts(std::string_view bytes)
{
    std::vector<IdentifiedText> out;
    std::unordered_map<std::string, int> seen;
    std::string block;
    bool strings = false;
    int lineNumber = 0;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find('\n', start);
        if (end == std::string_view::npos)
            end = bytes.size();
        const std::string_view line = RcTrimmed(RcWithoutComment(bytes.substr(start, end - start)));
        start = end + 1;
        ++lineNumber;
        const std::string_view head = firstWord(line);
        if (head.empty() && line.empty())
            continue;
        // A block header: "NAME MENU", "NAME DIALOGEX ...", "STRINGTABLE".
        const std::string_view after = RcTrimmed(line.substr(head.size()));
        const std::string_view second = firstWord(after);
        if (head == "STRINGTABLE") {
            block = "STRINGTABLE";
            strings = true;
            continue;
        }
        if (!head.empty() && (second == "MENU" || second == "MENUEX" || second == "DIALOG" || second == "DIALOGEX")) {
            block = std::string(head);
            strings = false;
            continue;
        }
        const std::size_t open = line.find('"');
        if (open == std::string_view::npos)
            continue;
        std::string text;
        const std::size_t close = quotedText(line, open, text);
        if (close == std::string_view::npos)
            continue;
        std::string id;
        if (head == "CAPTION")
            id = "CAPTION";
        else if (strings)
            id = std::string(head);
        else {
            std::string_view rest = RcTrimmed(line.substr(close + 1));
            if (!rest.empty() && rest.front() == ',')
                id = std::string(firstWord(RcTrimmed(rest.substr(1))));
        }
        if (id.empty() || block.empty())
            continue;
        std::string key = block + "/" + id;
        if (const int n = ++seen[key]; n > 1)
            key += "#" + std::to_string(n);
        out.push_back({std::move(key), std::move(text), lineNumber});
    }
    return out;
}

void CompareVersions(TranslationReport &report, std::string_view oldBytes, std::string_view newBytes,
                     std::string_view dictionaryBytes)
{
    const std::vector<IdentifiedText> older = IdentifiedTexts(oldBytes);
    const std::vector<IdentifiedText> newer = IdentifiedTexts(newBytes);
    std::unordered_map<std::string, const IdentifiedText *> oldByKey, newByKey;
    for (const IdentifiedText &t : older)
        oldByKey.emplace(t.Key, &t);
    for (const IdentifiedText &t : newer)
        newByKey.emplace(t.Key, &t);
    report.ComparedWithOld = true;
    std::unordered_map<int, const IdentifiedText *> oldAtNewLine;
    for (const IdentifiedText &t : newer) {
        const auto found = oldByKey.find(t.Key);
        if (found == oldByKey.end()) {
            report.Added << cp950::decode(t.Text);
            continue;
        }
        if (found->second->Text == t.Text) {
            ++report.Unchanged;
            continue;
        }
        report.Changed.emplace_back(cp950::decode(found->second->Text), cp950::decode(t.Text));
        oldAtNewLine.emplace(t.Line, found->second);
    }
    for (const IdentifiedText &t : older)
        if (!newByKey.count(t.Key))
            report.Removed << cp950::decode(t.Text);

    // The translation the dictionary uses for a source: its last pair's.
    std::unordered_map<std::string, std::string> used;
    for (auto &[source, translation] : DictionaryPairs(dictionaryBytes))
        used[source] = translation;
    for (EnglishText &t : report.Left) {
        if (t.HoldsStandIn)
            continue;
        for (const int line : t.Lines) {
            const auto old = oldAtNewLine.find(line);
            if (old == oldAtNewLine.end())
                continue;
            const std::string &before = old->second->Text;
            const auto translation = used.find(before);
            if (translation == used.end() || translation->second.empty() || translation->second == "0"
                || translation->second == before)
                continue;
            const TextMarkup from = SplitMarkup(before);
            Suggestion s{AdaptTranslation(translation->second, SplitMarkup(t.Bytes), &from), before,
                         Similarity(before, t.Bytes), true};
            std::erase_if(t.Suggestions, [&](const Suggestion &x) { return x.Translation == s.Translation; });
            t.Suggestions.insert(t.Suggestions.begin(), std::move(s));
            if (t.Suggestions.size() > MostSuggestions)
                t.Suggestions.pop_back();
            break;
        }
    }
    CountSuggestions(report);
}
