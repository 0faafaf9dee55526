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
#include <string>
#include <string_view>
#include <vector>

enum class CheckKind : std::uint8_t {
    HotkeyMissing,
    HotkeyLetter,
    HotkeyExtra,
    Shortcut,
    Placeholder,
    Escape,
    Ending,
    Spaces,
    Untranslated,
    // Checks of a translated resource script.
    HotkeyClash,
    TooWide,
};
inline constexpr int kCheckKinds = int(CheckKind::TooWide) + 1;

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

// Every problem of one source and its chosen translation.
CheckSet CheckTranslation(std::string_view source, std::string_view translation);

// The hot-key letter of a text, upper-cased if it is a-z: the character
// (one or two bytes) after the first "&" that is not part of "&&". Empty
// when there is none.
std::string HotkeyLetterOf(std::string_view text);
