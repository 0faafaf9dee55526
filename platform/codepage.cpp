#include "platform/codepage.h"

#include "platform/cp950_tables.h"

#include <algorithm>

namespace cp950 {
namespace {

bool isLead(unsigned char b) { return b >= 0x81 && b <= 0xFE; }
bool isTrail(unsigned char b) { return (b >= 0x40 && b <= 0x7E) || (b >= 0xA1 && b <= 0xFE); }
// Not text of a dictionary: what the converter gives the user-defined and
// vendor areas (private-use characters) and the single byte 0x80 (a control
// character). On screen they are unreadable bytes; a typed private-use
// character still encodes to them.
bool isNotText(char16_t c) { return (c >= 0x80 && c < 0xA0) || (c >= 0xE000 && c <= 0xF8FF); }

QString decodeWith(std::string_view bytes, bool keepPrivateUse)
{
    const auto usable = [keepPrivateUse](char16_t c) { return c != 0 && (keepPrivateUse || !isNotText(c)); };
    const std::size_t n = bytes.size();
    // Written in place: a byte gives at most one unit, or two as an escape;
    // room is made when escapes have taken up what was left.
    QString out(static_cast<qsizetype>(n), Qt::Uninitialized);
    char16_t *d = reinterpret_cast<char16_t *>(out.data());
    qsizetype w = 0;
    const auto room = [&](qsizetype units) {
        if (w + units > out.size()) {
            out.resize(std::max(out.size() * 2, w + units));
            d = reinterpret_cast<char16_t *>(out.data());
        }
    };
    const auto escape = [&](unsigned char byte) {
        room(2);
        const char32_t cp = escapeFor(byte);
        d[w++] = QChar::highSurrogate(cp);
        d[w++] = QChar::lowSurrogate(cp);
    };
    for (std::size_t i = 0; i < n; ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b < 0x80) {
            room(1);
            d[w++] = char16_t(b);
            continue;
        }
        if (isLead(b) && i + 1 < n && isTrail(static_cast<unsigned char>(bytes[i + 1]))) {
            const auto trail = static_cast<unsigned char>(bytes[i + 1]);
            const char16_t c = tables::twoByte[b - 0x81][tables::trailIndex(trail)];
            if (usable(c)) {
                room(1);
                d[w++] = c;
            } else {
                // A lead and trail byte that make no character of their own:
                // both stand for themselves, and the bytes after the pair
                // stay aligned.
                escape(b);
                escape(trail);
            }
            ++i;
            continue;
        }
        if (const char16_t c = tables::single[b - 0x80]; usable(c)) {
            room(1);
            d[w++] = c;
        } else {
            escape(b);
        }
    }
    out.resize(w);
    return out;
}

} // namespace

QString decode(std::string_view bytes)
{
    return decodeWith(bytes, false);
}

QString decodeForUnicodeFile(std::string_view bytes)
{
    return decodeWith(bytes, true);
}

std::optional<std::string> encode(QStringView text, qsizetype *badIndex)
{
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
        } else if (const std::uint16_t code = tables::toCode[u]; code != 0) {
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
