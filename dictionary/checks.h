#pragma once
// Checks of a translation against its source: what a translator gets wrong
// and a resource compiler never notices.
//
// Both texts are Big5 bytes as they stand in a resource script: "&" marks
// the hot-key letter ("&&" is a literal ampersand), the two characters "\t"
// start the shortcut, "\n", "\"", "\\" and "" are escapes. A double-byte
// character is always read whole, so a second byte 0x5C (許) or 0x26 is
// never taken for markup.

#include <QString>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum class CheckKind : std::uint8_t {
    HotkeyMissing,
    HotkeyLetter,
    HotkeyExtra,
    HotkeyTwice,
    Shortcut,
    Placeholder,
    Escape,
    Ending,
    Spaces,
    Untranslated,
    Vocabulary,
    // Checks of a translated resource script.
    HotkeyClash,
    TooWide,
    TooTight,
};
inline constexpr int kCheckKinds = int(CheckKind::TooTight) + 1;

// The stable English key ("hotkey-missing") and the short Chinese name.
const char *CheckKey(CheckKind kind);
QString CheckName(CheckKind kind);

// The kinds one entry may carry, as a set.
class CheckSet {
public:
    void add(CheckKind kind) { bits_ |= std::uint16_t(1u << unsigned(kind)); }
    bool has(CheckKind kind) const { return bits_ & (1u << unsigned(kind)); }
    bool empty() const { return bits_ == 0; }
    std::vector<CheckKind> kinds() const;
    friend bool operator==(CheckSet a, CheckSet b) { return a.bits_ == b.bits_; }

private:
    std::uint16_t bits_ = 0;
};

// Texts the user keeps in English on purpose (product names, units, file
// types): a translation equal to its source is no problem for them. Texts
// are compared as the untranslated check compares them: without hot-key
// markers and the shortcut, blanks at either end and case set aside.
class KeepEnglish {
public:
    // One text a line, Big5, CR LF or LF; blank lines and lines starting
    // with "#" are skipped.
    static KeepEnglish FromBytes(std::string_view bytes);
    void add(std::string_view text);
    bool has(std::string_view source) const;
    bool empty() const { return texts_.empty(); }

private:
    std::vector<std::string> texts_; // sorted
};

// Every problem of one source and its chosen translation.
CheckSet CheckTranslation(std::string_view source, std::string_view translation, const KeepEnglish *keep = nullptr);

// The text as the untranslated check compares it: hot-key markers ("&x"
// keeps x, "(&X)" goes), blanks at either end and ASCII case set aside.
std::string UntranslatedKey(std::string_view text);

// Whether a source is worth translating at all: it holds a word of two or
// more letters that is not a short all-capital name (ANSI, CPU, UTF), a
// placeholder's letters, an escape or a file mask's extension. Digits,
// symbols, "CPU 3", "100%", "*.txt" hold none.
bool HoldsWords(std::string_view source);

// How many hot keys a text marks ("&&" is none).
int HotkeyCount(std::string_view text);

// The text with its hot key set to letter (one character, Big5): an
// existing "(&X)" marker or "&x" gives way to it, and so does a second
// one; a text without one gets "(&L)" before its ending ("...", ":") and
// shortcut. Used for the fixes the check window offers.
std::string WithHotkey(std::string_view text, std::string_view letter);

// The hot-key letter to suggest for a translation of source when the
// letters in taken (upper-case) are used by its neighbours: the source's
// own letter when it is free, else the first free letter of the source's
// text, else the first free letter A-Z. Empty when every one is taken.
std::string SuggestedHotkey(std::string_view source, const std::vector<std::string> &taken);

// The fix of one hot-key problem of a translation (hotkey-missing,
// hotkey-letter, hotkey-twice, hotkey-clash): the translation with the
// suggested letter as its one hot key. None for other kinds, or when no
// letter is free or the translation would not change.
std::optional<std::string> SuggestedFix(CheckKind kind, std::string_view source, std::string_view translation,
                                        const std::vector<std::string> &taken = {});

// What a finding of one entry says beyond its kind, for the check window
// and `check`: the Taiwan words for vocabulary ("文件 → 檔案"), the fix for
// the hot-key kinds ("建議：結束(&X)"). Empty when there is nothing more.
QString CheckDetail(CheckKind kind, std::string_view source, std::string_view translation);

// The hot-key letter of a text, upper-cased if it is a-z: the character
// (one or two bytes) after the first "&" that is not part of "&&". Empty
// when there is none.
std::string HotkeyLetterOf(std::string_view text);
