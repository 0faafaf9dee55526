#pragma once
// Checks of a translated resource script that no single dictionary entry
// shows: two items of one menu level, or two controls of one dialog, with
// the same hot-key letter; and a dialog control whose translated text no
// longer fits its width.
//
// The script is read as the resource compiler reads it, not as the two
// conversion scripts do: statements may go on over several lines, and a
// control's position and size are its last four numbers.

#include "dictionary/checks.h"

#include <string>
#include <string_view>
#include <vector>

struct RcFinding {
    CheckKind Kind = CheckKind::HotkeyClash;
    std::string Block; // the menu's or dialog's name
    std::string Text;  // as it stands between the quotes, Big5
    int Line = 0;      // from 1
    // too-wide: the text's width and the room the control gives it, in
    // horizontal dialog units.
    int Width = 0;
    int Room = 0;
};

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
// one "&".
int DialogTextWidth(std::string_view text);
