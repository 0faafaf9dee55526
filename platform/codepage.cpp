#include "platform/codepage.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <array>
#include <vector>

namespace cp950 {
namespace {

bool isLead(unsigned char b) { return b >= 0x81 && b <= 0xFE; }
bool isTrail(unsigned char b) { return (b >= 0x40 && b <= 0x7E) || (b >= 0xA1 && b <= 0xFE); }
// Not text of a dictionary: private-use characters and control characters
// from high bytes.
bool isNotText(char16_t c) { return (c >= 0x80 && c < 0xA0) || (c >= 0xE000 && c <= 0xF8FF); }

// Tables built once from ICU's windows-950 converter. Only byte sequences that
// decode to one character and encode back to the very same bytes count as
// valid, so that decoding followed by encoding can never change a byte.
// Bytes of the user-defined and vendor areas, which the converter gives
// private-use characters, and the single byte it gives a control character
// are not Big5 text: they decode as unreadable bytes (a typed private-use
// character still encodes to them).
struct Tables {
    std::vector<char16_t> twoByte = std::vector<char16_t>(65536, 0); // code -> char, 0 = not valid
    std::array<char16_t, 256> single{};                              // high single bytes, 0 = not valid
    std::vector<std::uint16_t> toCode = std::vector<std::uint16_t>(65536, 0); // char -> code, 0 = none
    // What the converter gives the codes that are not text: private-use
    // characters for the user-defined and vendor areas, a control character
    // for the single byte 0x80.
    std::vector<char16_t> notText = std::vector<char16_t>(65536, 0); // code -> char, 0 = none

    Tables()
    {
        auto roundTrips = [](const QByteArray &bytes, char16_t &out) {
            // Fresh converters for every sequence: after an invalid sequence
            // a converter is not reliably usable again, even once reset.
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
        };
        for (int b = 0x80; b <= 0xFF; ++b) {
            char16_t c = 0;
            if (!isLead(static_cast<unsigned char>(b)) && roundTrips(QByteArray(1, char(b)), c)) {
                if (!isNotText(c))
                    single[b] = c;
                else
                    notText[std::size_t(b)] = c;
                toCode[c] = static_cast<std::uint16_t>(b);
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
                    if (!isNotText(c))
                        twoByte[code] = c;
                    else
                        notText[code] = c;
                    toCode[c] = code;
                }
            }
        }
    }
};

const Tables &tables()
{
    static const Tables t;
    return t;
}

void appendCodePoint(QString &out, char32_t cp)
{
    if (QChar::requiresSurrogates(cp)) {
        out.append(QChar(QChar::highSurrogate(cp)));
        out.append(QChar(QChar::lowSurrogate(cp)));
    } else {
        out.append(QChar(static_cast<char16_t>(cp)));
    }
}

QString decodeWith(std::string_view bytes, bool keepPrivateUse);

} // namespace

QString decode(std::string_view bytes)
{
    return decodeWith(bytes, false);
}

QString decodeForUnicodeFile(std::string_view bytes)
{
    return decodeWith(bytes, true);
}

namespace {

QString decodeWith(std::string_view bytes, bool keepPrivateUse)
{
    const Tables &t = tables();
    QString out;
    out.reserve(static_cast<qsizetype>(bytes.size()));
    const std::size_t n = bytes.size();
    for (std::size_t i = 0; i < n; ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b < 0x80) {
            out.append(QChar(char16_t(b)));
            continue;
        }
        if (isLead(b) && i + 1 < n && isTrail(static_cast<unsigned char>(bytes[i + 1]))) {
            const auto trail = static_cast<unsigned char>(bytes[i + 1]);
            char16_t c = t.twoByte[b << 8 | trail];
            if (c == 0 && keepPrivateUse)
                c = t.notText[b << 8 | trail];
            if (c != 0) {
                out.append(QChar(c));
            } else {
                // A lead and trail byte that make no character of their own:
                // both stand for themselves, and the bytes after the pair
                // stay aligned.
                appendCodePoint(out, escapeFor(b));
                appendCodePoint(out, escapeFor(trail));
            }
            ++i;
            continue;
        }
        if (t.single[b] != 0)
            out.append(QChar(t.single[b]));
        else if (keepPrivateUse && t.notText[b] != 0)
            out.append(QChar(t.notText[b]));
        else
            appendCodePoint(out, escapeFor(b));
    }
    return out;
}

} // namespace

std::optional<std::string> encode(QStringView text, qsizetype *badIndex)
{
    const Tables &t = tables();
    std::string out;
    out.reserve(static_cast<std::size_t>(text.size()) * 2);
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t u = text[i].unicode();
        if (u < 0x80) {
            out.push_back(static_cast<char>(u));
            continue;
        }
        if (QChar::isHighSurrogate(u) && i + 1 < n && QChar::isLowSurrogate(text[i + 1].unicode())) {
            const char32_t cp = QChar::surrogateToUcs4(u, text[i + 1].unicode());
            if (isEscape(cp)) {
                out.push_back(static_cast<char>(cp - 0x10FF00u));
                ++i;
                continue;
            }
        } else if (const std::uint16_t code = t.toCode[u]; code != 0) {
            if (code > 0xFF)
                out.push_back(static_cast<char>(code >> 8));
            out.push_back(static_cast<char>(code & 0xFF));
            continue;
        }
        if (badIndex)
            *badIndex = i;
        return std::nullopt;
    }
    return out;
}

} // namespace cp950
