#pragma once
// The dialogs and menus of a resource script laid out for a picture: each
// control's kind and rectangle turned from dialog units into pixels with the
// base units of the font the dialog will have, and the problems the checks
// of the script find on it (a text too wide, a hot-key clash) together with
// the controls that overlap. No drawing here: the pictures are painted from
// this by the preview library.

#include <QRect>
#include <QString>

#include <optional>

#include <set>
#include <string>
#include <string_view>
#include <vector>

// Pixels of one dialog font: the average character width and the character
// height. A horizontal dialog unit is a quarter of the first, a vertical
// one an eighth of the second.
struct BaseUnits {
    int X = 0;
    int Y = 0;
    bool operator==(const BaseUnits &) const = default;
};

// The base units of a font named in a FONT statement (Big5 face name), at
// 96 pixels per inch: 新細明體 and the other Ming faces are half as wide
// as they are high (9 points: 6 by 12); MS Shell Dlg, MS Sans Serif and
// every other face have the proportions of MS Sans Serif (8 points: 6 by
// 13). A dialog without FONT has the system font's 8 by 16.
BaseUnits BaseUnitsOf(std::string_view faceBig5, int points);
inline constexpr BaseUnits SystemFontUnits{8, 16};

// Dialog units to pixels, rounded as Windows rounds them.
QRect ToPixels(const QRect &dialogUnits, BaseUnits units);
int HorizontalPixels(int dialogUnits, BaseUnits units);

enum class ControlShape {
    Text,          // static text
    PushButton,
    DefaultButton,
    CheckBox,
    RadioButton,
    GroupBox,
    Edit,
    ListBox,
    ComboBox,
    Icon,          // icon or bitmap: a placeholder
    Frame,         // etched line, rectangle or frame of a static control
    Other,         // a control of another class: an empty frame with its class
};

enum class TextAlign { Left, Center, Right };

struct LaidControl {
    ControlShape Shape = ControlShape::Other;
    TextAlign Align = TextAlign::Left;
    bool Wraps = false;
    std::string Text;  // as it stands between the quotes, Big5
    std::string Class; // of a CONTROL statement, else empty
    int Line = 0;      // from 1
    QRect Units;       // in dialog units
    QRect Pixels;      // in the dialog's client area
    // Problems: the check's own verdict on the text's width (width and room
    // in horizontal dialog units), the letter of a hot-key clash (empty when
    // none), and whether another control overlaps this one.
    bool TooWide = false;
    int TextWidth = 0;
    int Room = 0;
    std::string Clash;
    bool Overlaps = false;
    int OverflowPixels = 0; // how far a too-wide text reaches past its room
};

struct LaidDialog {
    std::string Name;
    int Line = 0;
    std::string Caption; // Big5, as between the quotes
    bool HasCaption = false; // a title bar: a CAPTION, or WS_CAPTION in its STYLE
    std::string FontFace; // the face the picture assumes, Big5
    int FontPoints = 0;   // 0: no FONT statement, the system font
    bool FontSwitched = false; // FONT 8 taken as 新細明體 9
    BaseUnits Units;
    QSize Client; // the client area in pixels
    std::vector<LaidControl> Controls;
    int Unreadable = 0; // statements of the body read as no control (unknown kind, or no rectangle in numbers)
};

struct MenuItem {
    std::string Quoted;   // the whole text as between the quotes, Big5
    std::string Text;     // before a tab
    std::string Shortcut; // after it
    bool Separator = false;
    int Line = 0;
    std::string Clash;
    std::vector<MenuItem> Items; // of a popup
    bool isPopup() const { return !Items.empty(); }
};

struct LaidMenu {
    std::string Name;
    int Line = 0;
    std::vector<MenuItem> Bar;
};

struct LaidResources {
    std::vector<LaidDialog> Dialogs;
    std::vector<LaidMenu> Menus;
};

// Reads every DIALOG, DIALOGEX, MENU and MENUEX of a code page 950 script.
// With `fontSwitch`, a dialog's "FONT 8" stands for 新細明體 9, as the
// translation's font switch writes it.
LaidResources LayOutResources(std::string_view big5Bytes, bool fontSwitch = false);

struct ProblemCount {
    int TooWide = 0;
    int Clashes = 0;
    int Overlaps = 0;
    int total() const { return TooWide + Clashes + Overlaps; }
};
ProblemCount ProblemsOf(const LaidDialog &dialog);
ProblemCount ProblemsOf(const LaidMenu &menu);

// The text a control shows, still Big5: "" for a quote, \t, \n and \\ as
// the resource compiler reads them. The "&" of hot keys stays.
std::string ShownText(std::string_view quoted);

// A file name for a resource's picture: letters, digits, "_" and "-" stay,
// every other byte becomes "%" and its two hex digits; a device name of
// Windows (CON, NUL, COM1 ...) gets a "%" before it; a name already in
// `used` (compared case-blind, as Windows compares) gets "~2", "~3" ...
// The name is added to `used`; ".png" is appended.
std::string PictureFileName(std::string_view resourceName, std::set<std::string> &used);

// A script's bytes as the layout reads them: Big5 as they are; a script in
// UTF-8 or UTF-16 turned into Big5, a character that code page 950 cannot
// hold standing as one full-width character, as the checks measure it.
// Empty, with `problem` set, when the file is not fit to be read.
std::optional<std::string> Big5OfScript(std::string bytes, QString &problem);

class FileName;
// Reads a script file (up to 256 MiB) and lays it out; empty, with
// `problem` set in words for the user, when it cannot be read or is not fit.
std::optional<LaidResources> LayOutScriptFile(const FileName &name, bool fontSwitch, QString &problem);
