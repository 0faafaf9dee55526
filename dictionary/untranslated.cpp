#include "dictionary/untranslated.h"

#include "files/readfile.h"
#include "files/savefile.h"

#include <algorithm>
#include <limits>
#include <string_view>
#include <unordered_set>

namespace {

// The lines of a dictionary file as a load splits them.
std::vector<std::string_view> fileLines(std::string_view bytes)
{
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\r' && bytes[i] != '\n')
            continue;
        lines.push_back(bytes.substr(start, i - start));
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < bytes.size())
        lines.push_back(bytes.substr(start));
    return lines;
}

bool endsInLineEnd(std::string_view bytes)
{
    return bytes.empty() || bytes.back() == '\n' || bytes.back() == '\r';
}

} // namespace

bool FitsDictionaryLine(std::string_view text)
{
    return !text.empty() && text.find_first_of("\r\n") == std::string_view::npos;
}

AddedTexts AppendUntranslatedPairs(const FileName &path, const std::vector<std::string> &texts)
{
    AddedTexts result;
    std::string bytes;
    if (const QString reason = ReadWholeFile(path, bytes, DictionaryFileLimit); !reason.isEmpty()) {
        result.Refused = true;
        result.Error = QStringLiteral("無法讀取字典檔 %1：%2。").arg(path.shown(), reason);
        return result;
    }
    const std::vector<std::string_view> lines = fileLines(bytes);
    std::unordered_set<std::string_view> sources;
    for (std::size_t i = 0; i + 1 < lines.size(); i += 2)
        sources.insert(lines[i]);
    // A lone last line is a source without its translation line; the first
    // new line would become that translation. When the source is one of the
    // texts, it gets itself; else an empty line completes its pair.
    const bool lone = lines.size() % 2 == 1;
    const std::string loneSource = lone ? std::string(lines.back()) : std::string();
    bool loneTaken = false;

    std::unordered_set<std::string_view> taken;
    std::string pairs;
    for (const std::string &text : texts) {
        if (!FitsDictionaryLine(text)) {
            ++result.Unfit;
            continue;
        }
        if (!taken.insert(text).second)
            continue;
        if (sources.count(text)) {
            ++result.AlreadyThere;
            continue;
        }
        result.Added.push_back(text);
        if (lone && text == loneSource) {
            loneTaken = true;
            continue;
        }
        pairs += text;
        pairs += "\r\n";
        pairs += text;
        pairs += "\r\n";
    }
    if (result.Added.empty())
        return result;

    std::string rewritten = std::move(bytes);
    if (!endsInLineEnd(rewritten))
        rewritten += "\r\n";
    if (lone) {
        if (loneTaken)
            rewritten += loneSource;
        else
            result.PairCompleted = true;
        rewritten += "\r\n";
    }
    rewritten += pairs;
    if (const FileResult saved = SaveBytes(path, rewritten); !saved.ok) {
        result.Refused = true;
        result.Error = saved.error;
        result.Added.clear();
        result.PairCompleted = false;
    }
    return result;
}

std::int32_t FirstEntryOf(const DictionaryTables &tables, const std::vector<std::string> &texts)
{
    const std::size_t count = std::min(tables.EntryTable.size(), std::size_t(std::max(tables.LastEntry + 1, 0)));
    const auto begin = tables.EntryTable.begin();
    const auto end = begin + std::ptrdiff_t(count);
    std::int32_t first = -1;
    for (const std::string &text : texts) {
        const auto at = std::lower_bound(begin, end, text, [](const DS &e, const std::string &t) {
            return SourceLess(e.Source, t);
        });
        if (at == end || !(at->Source == text))
            continue;
        const std::int32_t index = std::int32_t(at - begin);
        if (first < 0 || index < first)
            first = index;
    }
    return first;
}
