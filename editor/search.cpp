#include "editor/search.h"

#include "platform/codepage.h"
#include "platform/messages.h"

#include <algorithm>

namespace {

bool contains(std::string_view haystack, std::string_view needle)
{
    return !needle.empty() && haystack.find(needle) != std::string_view::npos;
}

// The last entry a scan may read: the fill level, but never past the table.
std::int32_t lastUsable(const std::vector<DS> &entries, std::int32_t lastEntry)
{
    return std::min<std::int64_t>(lastEntry, std::int64_t(entries.size()) - 1);
}

// The last translation slot of an entry that really exists.
std::int32_t lastSlot(const DS &entry)
{
    return std::min<std::int64_t>(entry.LastTranslation, std::int64_t(entry.Translations.size()) - 1);
}

// Entries R .. last, the rows below the grid's current row R.
template<typename Pred>
std::int32_t firstBelow(const std::vector<DS> &entries, std::int32_t lastEntry, std::int32_t currentRow, Pred pred)
{
    const std::int32_t last = lastUsable(entries, lastEntry);
    for (std::int32_t e = std::max(currentRow, 0); e <= last; ++e) {
        if (pred(entries[std::size_t(e)]))
            return e;
    }
    return -1;
}

} // namespace

bool SourceMatches(const DS &entry, std::string_view text)
{
    return contains(entry.Source, text);
}

bool TranslationMatches(const DS &entry, std::string_view text)
{
    const std::int32_t last = lastSlot(entry);
    for (std::int32_t slot = 0; slot <= last; ++slot) {
        if (contains(entry.Translations[std::size_t(slot)], text))
            return true;
    }
    return false;
}

bool EntryMatches(const DS &entry, MatchRule rule, std::string_view text)
{
    return rule == MatchRule::Source ? SourceMatches(entry, text) : TranslationMatches(entry, text);
}

std::int32_t SearchEntries(const std::vector<DS> &entries, std::int32_t lastEntry, MatchRule rule,
                           std::string_view text, bool down, std::int32_t currentRow)
{
    if (text.empty())
        return -1;
    if (down)
        return firstBelow(entries, lastEntry, currentRow,
                          [&](const DS &entry) { return EntryMatches(entry, rule, text); });
    // Grid row R shows entry R - 1, so the row above it is entry R - 2.
    const std::int32_t last = lastUsable(entries, lastEntry);
    for (std::int32_t e = std::min(currentRow - 2, last); e >= 0; --e) {
        if (EntryMatches(entries[std::size_t(e)], rule, text))
            return e;
    }
    return -1;
}

std::int32_t NextMultiEntry(const std::vector<DS> &entries, std::int32_t lastEntry, std::int32_t currentRow)
{
    return firstBelow(entries, lastEntry, currentRow, [](const DS &entry) { return entry.LastTranslation > 0; });
}

std::int32_t NextUntranslatedEntry(const std::vector<DS> &entries, std::int32_t lastEntry, std::int32_t currentRow)
{
    return firstBelow(entries, lastEntry, currentRow, [](const DS &entry) {
        // A chosen slot outside the table cannot equal anything.
        return entry.Chosen >= 0 && std::size_t(entry.Chosen) < entry.Translations.size()
            && entry.Source == entry.Translations[std::size_t(entry.Chosen)];
    });
}

TextSearchResult SearchEntriesFor(const std::vector<DS> &entries, std::int32_t lastEntry, MatchRule rule,
                                  const QString &text, bool down, std::int32_t currentRow)
{
    TextSearchResult result;
    const std::optional<std::string> bytes = cp950::encode(text);
    if (!bytes) {
        result.unencodable = true;
        return result;
    }
    result.hit = SearchEntries(entries, lastEntry, rule, *bytes, down, currentRow);
    return result;
}

std::int32_t RunTextSearch(const std::vector<DS> &entries, std::int32_t lastEntry, MatchRule rule,
                           const QString &text, bool down, std::int32_t currentRow, SearchStart start)
{
    const TextSearchResult result = SearchEntriesFor(entries, lastEntry, rule, text, down, currentRow);
    if (result.hit >= 0)
        return result.hit;
    const QString &message = result.unencodable ? SearchTexts::Unencodable : SearchTexts::NotFound;
    if (start == SearchStart::FindButton)
        messageBoxes().message(activeWindow(), message, SearchTexts::FindCaption);
    else
        messageBoxes().message(nullptr, message, SearchTexts::FindNextCaption);
    return -1;
}

std::int32_t RunTextSearch(const DictionaryTables &tables, MatchRule rule, const QString &text, bool down,
                           std::int32_t currentRow, SearchStart start)
{
    return RunTextSearch(tables.EntryTable, tables.LastEntry, rule, text, down, currentRow, start);
}

std::int32_t RunNextMulti(const std::vector<DS> &entries, std::int32_t lastEntry, std::int32_t currentRow,
                          QWidget *maintenanceWindow)
{
    const std::int32_t hit = NextMultiEntry(entries, lastEntry, currentRow);
    if (hit < 0)
        messageBoxes().message(maintenanceWindow, SearchTexts::MultiDone, SearchTexts::MultiCaption);
    return hit;
}

std::int32_t RunNextUntranslated(const std::vector<DS> &entries, std::int32_t lastEntry, std::int32_t currentRow,
                                 QWidget *maintenanceWindow)
{
    const std::int32_t hit = NextUntranslatedEntry(entries, lastEntry, currentRow);
    if (hit < 0)
        messageBoxes().message(maintenanceWindow, SearchTexts::NoUntranslated, SearchTexts::UntranslatedCaption);
    return hit;
}
