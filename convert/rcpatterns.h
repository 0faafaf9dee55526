#pragma once
// The scripts' line patterns, matched by hand on the bytes of one line (no
// line feed in it) with the result Perl's regular expressions give: \w and
// \d ASCII, \s blank, tab, line feed, vertical tab, form feed and carriage
// return, leftmost match first, greedy and lazy texts as written.
//
// A match gives the text between the quotes as [Start, End); for the
// translation's patterns the head is everything before Start and the tail
// everything from End.

#include <cstddef>
#include <string_view>

struct LineMatch {
    bool Found = false;
    std::size_t Start = 0;
    std::size_t End = 0;
    std::size_t IdStart = 0; // string-table patterns: the identifier
    std::size_t IdEnd = 0;
    explicit operator bool() const { return Found; }
};

namespace rcpattern {

// Extraction, anywhere in the line.
LineMatch Menu(std::string_view line);   // /\s*\w+\s+"(.+)",.*/ || /\s*\w+\s+"(.+)"$/
LineMatch String(std::string_view line); // /(\w+),\s+"(.+)"/ || /(\w+)\s+"(.+)"/
LineMatch Dialog(std::string_view line); // /\s*\w+\s+"(.*?)",.*/ || /\s*\w+\s+"(.*?)"$/

// Translation, the whole line.
LineMatch WholeMenu(std::string_view line);   // /^(\s*\w+\s+")(.+)(",.*)$/ || /^(\s*\w+\s+")(.+)(")$/
LineMatch WholeString(std::string_view line); // /^(\s*\w+,\s+")(.+)(".*)$/ || /^(\s*\w+\s+")(.+)(".*)$/
LineMatch WholeDialog(std::string_view line); // /^(\s*\w+\s+")(.*?)(",.*)$/ || /^(\s*\w+\s+")(.*?)(")$/

// /^FONT 8, ".+"(.*?)$/: [Start, End) is what follows the name's quote.
LineMatch Font8(std::string_view line);

// /^(\w+) DIALOG /, /^(\w+) DIALOGEX /, /^(\w+) MENU/: the name's length,
// 0 when the line is no such header.
std::size_t HeaderName(std::string_view line, std::string_view keyword);

} // namespace rcpattern
