#pragma once
// Searching and jumping in the maintenance window's entry table.
//
// The window asks; these routines scan. They work on the Big5 bytes of the
// entry table and on the grid's current row R (grid row r shows entry r - 1),
// and return the entry to jump to or -1. The window then moves the grid's
// current cell to column 2 of row hit + 1 and, for the text searches, starts
// the blinking cue.
//
// All comparisons are byte-wise and case-sensitive; a substring test does not
// care about the boundaries of double-byte characters, so a search for "\"
// also finds the second byte of a character such as 許 (B3 5C).

#include "dictionary/dictionary.h"

#include <QString>

#include <cstdint>
#include <string_view>
#include <vector>

class QWidget;

// Texts of the search and jump commands.
namespace SearchTexts {
inline const QString NotFound = QStringLiteral("找不到相符項目。");
inline const QString FindCaption = QStringLiteral("搜尋");      // search started from a find dialog
inline const QString FindNextCaption = QStringLiteral("找尋");  // search repeated by a find-next button
inline const QString MultiDone = QStringLiteral("搜尋完畢。");
inline const QString MultiCaption = QStringLiteral("搜尋");
inline const QString NoUntranslated = QStringLiteral("找不到符合的項目");
inline const QString UntranslatedCaption = QStringLiteral("訊息");
// The user typed a character that no Big5 text can hold: nothing can match it.
inline const QString Unencodable = QStringLiteral("搜尋文字含有無法以 Big5 表示的字元。");
inline const QString HintFindNext = QStringLiteral("找下一個");
inline const QString HintFindPrevious = QStringLiteral("找上一個");
} // namespace SearchTexts

// Which column a text search looks at.
enum class MatchRule {
    Source,      // the entry's source string
    Translation, // any of its translations, slots 0 .. LastTranslation
};

// The direction last chosen in each column's find dialog. Both start upward
// (false) although the find-next buttons first show the downward glyph.
struct SearchDirections {
    bool SourceSearchDown = false;
    bool TranslationSearchDown = false;

    bool &flagFor(MatchRule rule) { return rule == MatchRule::Source ? SourceSearchDown : TranslationSearchDown; }
    bool flagFor(MatchRule rule) const { return rule == MatchRule::Source ? SourceSearchDown : TranslationSearchDown; }
};

// Hint of a find-next button for its column's direction.
inline const QString &FindNextHint(bool down) { return down ? SearchTexts::HintFindNext : SearchTexts::HintFindPrevious; }

// t occurs in the entry's source (empty t never matches).
bool SourceMatches(const DS &entry, std::string_view text);
// t occurs in at least one of slots 0 .. LastTranslation.
bool TranslationMatches(const DS &entry, std::string_view text);
bool EntryMatches(const DS &entry, MatchRule rule, std::string_view text);

// The scan of the four text searches. Downward: entries R .. lastEntry (the
// rows below the current row); upward: entries R - 2 down to 0 (the rows
// above it, nearest first). The current row is never examined and the scan
// does not wrap. lastEntry is clamped to the table, so a stale fill level
// cannot read past it. Returns the entry hit or -1.
std::int32_t SearchEntries(const std::vector<DS> &entries, std::int32_t lastEntry, MatchRule rule,
                           std::string_view text, bool down, std::int32_t currentRow);
inline std::int32_t SearchEntries(const DictionaryTables &tables, MatchRule rule, std::string_view text, bool down,
                                  std::int32_t currentRow)
{
    return SearchEntries(tables.EntryTable, tables.LastEntry, rule, text, down, currentRow);
}

// First entry from R on (rows below the current one) with several
// translations; Reviewed does not matter. -1 when there is none.
std::int32_t NextMultiEntry(const std::vector<DS> &entries, std::int32_t lastEntry, std::int32_t currentRow);
inline std::int32_t NextMultiEntry(const DictionaryTables &tables, std::int32_t currentRow)
{
    return NextMultiEntry(tables.EntryTable, tables.LastEntry, currentRow);
}

// First entry from R on whose source equals its chosen translation, byte for
// byte. -1 when there is none.
std::int32_t NextUntranslatedEntry(const std::vector<DS> &entries, std::int32_t lastEntry, std::int32_t currentRow);
inline std::int32_t NextUntranslatedEntry(const DictionaryTables &tables, std::int32_t currentRow)
{
    return NextUntranslatedEntry(tables.EntryTable, tables.LastEntry, currentRow);
}

// A text search with what the user typed. The text is searched as its Big5
// bytes; a text Big5 cannot hold finds nothing and says why.
struct TextSearchResult {
    std::int32_t hit = -1;     // entry found, -1 for none
    bool unencodable = false;  // the text holds a character Big5 cannot hold
};
TextSearchResult SearchEntriesFor(const std::vector<DS> &entries, std::int32_t lastEntry, MatchRule rule,
                                  const QString &text, bool down, std::int32_t currentRow);

// Where the search was started; it decides the message without a hit.
enum class SearchStart {
    FindButton,     // the find dialog's button: caption "搜尋", owned by the active window
    FindNextButton, // EFindNext / CFindNext: caption "找尋", no owner window
};

// SearchEntriesFor, and without a hit the message box of the start through
// messageBoxes(). Returns the entry hit or -1.
std::int32_t RunTextSearch(const DictionaryTables &tables, MatchRule rule, const QString &text, bool down,
                           std::int32_t currentRow, SearchStart start);
std::int32_t RunTextSearch(const std::vector<DS> &entries, std::int32_t lastEntry, MatchRule rule,
                           const QString &text, bool down, std::int32_t currentRow, SearchStart start);

// NextMultiEntry / NextUntranslatedEntry, and without a hit their message box
// owned by the maintenance window. Return the entry hit or -1.
std::int32_t RunNextMulti(const std::vector<DS> &entries, std::int32_t lastEntry, std::int32_t currentRow,
                          QWidget *maintenanceWindow);
std::int32_t RunNextUntranslated(const std::vector<DS> &entries, std::int32_t lastEntry, std::int32_t currentRow,
                                 QWidget *maintenanceWindow);
inline std::int32_t RunNextMulti(const DictionaryTables &tables, std::int32_t currentRow, QWidget *maintenanceWindow)
{
    return RunNextMulti(tables.EntryTable, tables.LastEntry, currentRow, maintenanceWindow);
}
inline std::int32_t RunNextUntranslated(const DictionaryTables &tables, std::int32_t currentRow,
                                        QWidget *maintenanceWindow)
{
    return RunNextUntranslated(tables.EntryTable, tables.LastEntry, currentRow, maintenanceWindow);
}
