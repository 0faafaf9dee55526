#pragma once
// The code page 950 tables, generated at build time from ICU's windows-950
// converter by cp950gen (see cp950_probe.h for what counts as a character).
// Constant data: the program builds nothing at start, and a table page is
// read from the executable only when a text needs it.

#include <cstdint>

namespace cp950::tables {

// Bytes 0x80 .. 0xFF on their own; 0 = not a character.
extern const char16_t single[128];
// Lead byte 0x81 .. 0xFE by trail byte 0x40 .. 0x7E (0 .. 62) and
// 0xA1 .. 0xFE (63 .. 156); 0 = not a character.
extern const char16_t twoByte[126][157];
// Character -> its bytes (one byte when below 0x100); 0 = none.
extern const std::uint16_t toCode[65536];

constexpr int trailIndex(unsigned char trail) { return trail <= 0x7E ? trail - 0x40 : trail - 0xA1 + 63; }

} // namespace cp950::tables
