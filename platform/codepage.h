#pragma once
// The display boundary of code page 950 (Big5) texts.
//
// Dictionary and resource-script texts are held as Big5 bytes from file to
// file; only what is shown on screen, and what the user types, is converted.
// The conversion is lossless for any bytes: a byte that does not start a
// valid code page 950 character decodes to a code point reserved for it
// (U+10FF00 + byte, a private-use character that code page 950 never
// produces) and encodes back to the same byte. The second byte of a pair
// that makes no character is reserved the same way, also where it would
// read as a letter on its own: the two bytes are one unreadable character.

#include <QString>
#include <optional>
#include <string>
#include <string_view>

namespace cp950 {

// Big5 bytes -> display text. Never fails.
QString decode(std::string_view bytes);

// Big5 bytes -> text for a Unicode file: as decode, but the codes of the
// user-defined and vendor areas become the private-use characters Windows
// gives them (and 0x80 its control character), as another program reading
// the file expects, instead of unreadable bytes.
QString decodeForUnicodeFile(std::string_view bytes);

// Display text -> Big5 bytes. Empty optional when the text holds a character
// that code page 950 cannot hold; *badIndex then names its position.
std::optional<std::string> encode(QStringView text, qsizetype *badIndex = nullptr);

// The code point that stands for an undecodable byte (0x80..0xFF, or the
// second byte 0x40..0x7E of a pair that makes no character).
constexpr char32_t escapeFor(unsigned char byte) { return 0x10FF00u + byte; }
constexpr bool isEscape(char32_t cp) { return cp >= 0x10FF40u && cp <= 0x10FFFFu; }

} // namespace cp950
