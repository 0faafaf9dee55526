#pragma once
// What ICU's windows-950 converter says about every byte sequence of code
// page 950: the source of the tables that the build generates (cp950gen)
// and of the test that holds them to it. Only sequences that decode to one
// character and encode back to the very same bytes count as characters, so
// that decoding followed by encoding can never change a byte.
//
// Asks ICU some 20,000 times with fresh converters (after an invalid
// sequence a converter is not reliably usable again, even once reset): a
// matter of milliseconds, which is why the program does not do it at start.

#include <QByteArray>
#include <QString>
#include <QStringDecoder>
#include <QStringEncoder>

#include <array>
#include <cstdint>

namespace cp950::probe {

constexpr bool isLead(unsigned char b) { return b >= 0x81 && b <= 0xFE; }
constexpr bool isTrail(unsigned char b) { return (b >= 0x40 && b <= 0x7E) || (b >= 0xA1 && b <= 0xFE); }

struct Tables {
    bool icuKnowsCodePage = false;
    std::array<char16_t, 128> single{};        // bytes 0x80 .. 0xFF; 0 = not a character
    std::array<char16_t, 65536> twoByte{};     // lead << 8 | trail; 0 = not a character
    std::array<std::uint16_t, 65536> toCode{}; // character -> bytes; 0 = none
};

inline bool roundTrips(const QByteArray &bytes, char16_t &out)
{
    QStringDecoder decoder("windows-950", QStringConverter::Flag::Stateless);
    QStringEncoder encoder("windows-950", QStringConverter::Flag::Stateless);
    const QString text = decoder.decode(bytes);
    if (decoder.hasError() || text.size() != 1 || text.at(0) == QChar::ReplacementCharacter)
        return false;
    const QByteArray back = encoder.encode(text);
    if (encoder.hasError() || back != bytes)
        return false;
    out = text.at(0).unicode();
    return true;
}

inline Tables askIcu()
{
    Tables t;
    t.icuKnowsCodePage = QStringDecoder("windows-950").isValid();
    if (!t.icuKnowsCodePage)
        return t;
    for (int b = 0x80; b <= 0xFF; ++b) {
        char16_t c = 0;
        if (!isLead(static_cast<unsigned char>(b)) && roundTrips(QByteArray(1, char(b)), c)) {
            t.single[std::size_t(b - 0x80)] = c;
            t.toCode[c] = static_cast<std::uint16_t>(b);
        }
    }
    QByteArray pair(2, '\0');
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            if (!isTrail(static_cast<unsigned char>(trail)))
                continue;
            pair[0] = char(lead);
            pair[1] = char(trail);
            char16_t c = 0;
            if (roundTrips(pair, c)) {
                const auto code = static_cast<std::uint16_t>(lead << 8 | trail);
                t.twoByte[code] = c;
                t.toCode[c] = code;
            }
        }
    }
    return t;
}

} // namespace cp950::probe
