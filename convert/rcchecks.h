#pragma once
// Checks of a translated resource script that no single dictionary entry
// shows: two items of one menu level, or two controls of one dialog, with
// the same hot-key letter; and a dialog control whose translated text no
// longer fits its width.
//
// The script is read as the resource compiler reads it, not as the two
// conversion scripts do: statements may go on over several lines, and a
// control's position and size are its last four numbers. Numbers and
// texts of any size are measured without overflow: a hostile script gets
// findings, never a wrong sum.

#include "dictionary/checks.h"

#include <QString>

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct RcFinding {
    CheckKind Kind = CheckKind::HotkeyClash;
    std::string Block; // the menu's or dialog's name
    std::string Text;  // as it stands between the quotes, Big5
    int Line = 0;      // from 1
    // too-wide, too-tight: the text's width and the room the control gives
    // it, in horizontal dialog units (at most kMaxUnits each).
    int Width = 0;
    int Room = 0;
    // hotkey-clash: the letter, and where the texts clash: the menu path
    // of popups ("檔案 > 匯出", Big5, without their hot keys) or the
    // dialog's caption; empty on a menu's top level or a dialog without one.
    std::string Letter;
    std::string Path;
    // hotkey-clash: the letters the other texts of that level or dialog use.
    std::vector<std::string> Taken;
};

// The font the widths are measured in.
inline constexpr const char16_t *kMeasureFont = u"新細明體 9 點";
// Widths and rooms beyond this are taken as this.
inline constexpr int kMaxUnits = 1'000'000;
// A text this close to its room (or closer) is too tight: a slightly wider
// font or a bold face pushes it out.
inline constexpr int kTightUnits = 2;

// The first quoted text of each statement of a script, by the line the
// statement starts on. A translation keeps the lines of the English script
// it came from, so a finding of the translated script finds its English
// text here (for the letter a fix suggests).
std::map<int, std::string> ResourceTextsByLine(std::string_view big5Bytes);
// Only those of the lines `wanted` holds: the others are not parsed.
std::map<int, std::string> ResourceTextsByLine(std::string_view big5Bytes, const std::function<bool(int)> &wanted);

// What a finding says beyond its kind and text, as the translation report
// and `check --rc` print it: the letter and where, or the widths and font.
QString RcFindingDetail(const RcFinding &finding);

// A line without the blanks around it (and a CR at its end).
std::string_view RcTrimmed(std::string_view line);
// The part of a line before a // comment that does not stand in a string
// (Big5 characters in strings read whole).
std::string_view RcWithoutComment(std::string_view line);

// Every finding of a code page 950 resource script, in the order of its lines.
std::vector<RcFinding> CheckResourceScript(std::string_view big5Bytes);

// The width of a control text under 新細明體 at 9 points, in horizontal
// dialog units: a dialog unit is a quarter of the font's average character
// width, and that font's characters are 6 pixels wide (half width) or 12
// (full width), so each single-byte character counts 4 units and each
// double-byte character 8. The "&" of a hot key takes no room; "&&" shows
// one "&". At most kMaxUnits.
int DialogTextWidth(std::string_view text);

// A statement of a script as the checks read it: lines joined where one ends
// in "," or "|", comments removed; its first word in upper case, the text
// between quotes that follows it, if any, and the arguments after that.
struct RcStatement {
    std::string Source; // the joined statement
    int Line = 0;       // of its first line, from 1
    std::string Keyword;
    std::optional<std::string> Text;
    std::vector<std::string> Args;
};
std::vector<RcStatement> ResourceStatements(std::string_view big5Bytes);
