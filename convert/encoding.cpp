#include "convert/encoding.h"

#include "platform/codepage.h"

#include <QRegularExpression>
#include <QStringDecoder>

#include <cstdint>
#include <cstring>

namespace {

bool isLead(unsigned char b) { return b >= 0x81 && b <= 0xFE; }
bool isTrail(unsigned char b) { return (b >= 0x40 && b <= 0x7E) || (b >= 0xA1 && b <= 0xFE); }

// Walks Big5 bytes as the code page module reads them: a lead byte and a
// trail byte make one two-byte code, every other byte stands alone.
template <class OnCode, class OnByte>
void walkBig5(std::string_view bytes, OnCode onCode, OnByte onByte)
{
    const std::size_t n = bytes.size();
    for (std::size_t i = 0; i < n; ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (isLead(b) && i + 1 < n && isTrail(static_cast<unsigned char>(bytes[i + 1]))) {
            onCode(i, unsigned(b) << 8 | static_cast<unsigned char>(bytes[i + 1]));
            ++i;
        } else {
            onByte(i);
        }
    }
}

// One character of a text: a code point, or a lone surrogate kept as it is.
template <class OnCharacter>
void walkCharacters(QStringView text, OnCharacter onCharacter)
{
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t u = text[i].unicode();
        if (QChar::isHighSurrogate(u) && i + 1 < n && QChar::isLowSurrogate(text[i + 1].unicode())) {
            onCharacter(text.mid(i, 2));
            ++i;
        } else {
            onCharacter(text.mid(i, 1));
        }
    }
}

// The Big5 form of one character, if code page 950 holds it. The code
// page module's stand-ins for undecodable bytes are not characters a file
// can mean, so they have no Big5 form here.
std::optional<std::string> big5Of(QStringView character)
{
    if (character.size() == 2 && cp950::isEscape(QChar::surrogateToUcs4(character[0], character[1])))
        return std::nullopt;
    if (character.size() == 1 && character[0].isSurrogate())
        return std::nullopt;
    return cp950::encode(character);
}

// User-defined Big5 codes with a trail byte above 0x7F, so that a stand-in
// never looks like a letter, a digit, a blank or a quote to the scripts.
std::vector<unsigned> userDefinedCodes()
{
    std::vector<unsigned> codes;
    auto range = [&](unsigned firstLead, unsigned lastLead) {
        for (unsigned lead = firstLead; lead <= lastLead; ++lead)
            for (unsigned trail = 0xA1; trail <= 0xFE; ++trail)
                codes.push_back(lead << 8 | trail);
    };
    range(0xFA, 0xFE);
    range(0x8E, 0xA0);
    range(0x81, 0x8D);
    return codes;
}

// Whether the bytes are well-formed UTF-8 (no overlong form, no surrogate,
// nothing past U+10FFFF): looked at without decoding, so that a Big5 file
// is told apart at its first Chinese character.
bool isUtf8(std::string_view bytes)
{
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    const auto *end = p + bytes.size();
    while (p < end) {
        const unsigned char c = *p;
        if (c < 0x80) {
            ++p;
            continue;
        }
        int length = 0;
        unsigned char low = 0x80, high = 0xBF; // the second byte's range
        if (c >= 0xC2 && c <= 0xDF) {
            length = 2;
        } else if (c >= 0xE0 && c <= 0xEF) {
            length = 3;
            if (c == 0xE0)
                low = 0xA0;
            else if (c == 0xED)
                high = 0x9F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            length = 4;
            if (c == 0xF0)
                low = 0x90;
            else if (c == 0xF4)
                high = 0x8F;
        } else {
            return false;
        }
        if (end - p < length || p[1] < low || p[1] > high)
            return false;
        for (int k = 2; k < length; ++k)
            if ((p[k] & 0xC0) != 0x80)
                return false;
        p += length;
    }
    return true;
}

bool validUtf8(std::string_view bytes, QString &text)
{
    if (!isUtf8(bytes)) {
        text.clear();
        return false;
    }
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
    text = decoder.decode(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
    return !decoder.hasError();
}

// Where the last character starts when the bytes are UTF-8 up to a last
// character that the end of the file cuts off (its first bytes are there,
// the rest is missing), else npos. A decoder keeping its state would drop
// them without an error.
std::size_t utf8CutAt(std::string_view bytes)
{
    constexpr std::size_t none = std::string_view::npos;
    std::size_t lead = bytes.size();
    int continuation = 0;
    while (lead > 0 && continuation < 4 && (static_cast<unsigned char>(bytes[lead - 1]) & 0xC0) == 0x80) {
        --lead;
        ++continuation;
    }
    if (lead == 0)
        return none;
    const unsigned char first = static_cast<unsigned char>(bytes[--lead]);
    const int length = first >= 0xF0 && first <= 0xF4 ? 4 : first >= 0xE0 ? 3 : first >= 0xC2 && first < 0xE0 ? 2 : 0;
    if (length == 0 || first > 0xF4 || 1 + continuation >= length)
        return none;
    return isUtf8(bytes.substr(0, lead)) ? lead : none;
}

bool cutInLastCharacter(std::string_view bytes)
{
    return utf8CutAt(bytes) != std::string_view::npos;
}

// Whether a line that begins with # (blanks before it allowed) matches
// `pattern`: only those lines can hold a pragma, and the rest of a large
// script is not looked at.
bool anyDirectiveMatches(std::string_view bytes, const QRegularExpression &pattern)
{
    for (std::size_t hash = bytes.find('#'); hash != std::string_view::npos; hash = bytes.find('#', hash + 1)) {
        const std::size_t lf = bytes.rfind('\n', hash);
        const std::size_t lineStart = lf == std::string_view::npos ? 0 : lf + 1;
        bool blanksBefore = true;
        for (std::size_t i = lineStart; i < hash && blanksBefore; ++i)
            blanksBefore = bytes[i] == ' ' || bytes[i] == '\t';
        if (!blanksBefore)
            continue;
        std::size_t lineEnd = bytes.find('\n', hash);
        if (lineEnd == std::string_view::npos)
            lineEnd = bytes.size();
        const std::string_view line = bytes.substr(lineStart, lineEnd - lineStart);
        if (pattern.match(QString::fromLatin1(line.data(), qsizetype(line.size()))).hasMatch())
            return true;
        hash = lineEnd == bytes.size() ? lineEnd - 1 : lineEnd;
    }
    return false;
}

bool declaresUtf8(std::string_view bytes)
{
    static const QRegularExpression pragma(QStringLiteral("^[ \\t]*#[ \\t]*pragma[ \\t]+code_page[ \\t]*\\([ \\t]*65001[ \\t]*\\)"),
                                           QRegularExpression::MultilineOption
                                               | QRegularExpression::CaseInsensitiveOption);
    return anyDirectiveMatches(bytes, pragma);
}

// A code page pragma naming another code page than UTF-8's.
bool declaresOtherCodePage(std::string_view bytes)
{
    static const QRegularExpression pragma(
        QStringLiteral("^[ \\t]*#[ \\t]*pragma[ \\t]+code_page[ \\t]*\\([ \\t]*(?!65001[ \\t]*\\))"),
        QRegularExpression::MultilineOption | QRegularExpression::CaseInsensitiveOption);
    return anyDirectiveMatches(bytes, pragma);
}

bool hasNonAscii(std::string_view bytes)
{
    // Eight bytes at a time: a byte of 0x80 or more has its high bit set.
    std::size_t i = 0;
    for (; i + 8 <= bytes.size(); i += 8) {
        std::uint64_t word;
        std::memcpy(&word, bytes.data() + i, 8);
        if (word & 0x8080808080808080ULL)
            return true;
    }
    for (; i < bytes.size(); ++i)
        if (static_cast<unsigned char>(bytes[i]) >= 0x80)
            return true;
    return false;
}

} // namespace

QString EncodingLabel(const ScriptEncoding &encoding)
{
    const QString bom = encoding.Bom ? QStringLiteral("（含BOM）") : QString();
    switch (encoding.Encoding) {
    case TextEncoding::Cp950:
        return QStringLiteral("Big5（code page 950）");
    case TextEncoding::Utf8:
        return QStringLiteral("UTF-8") + bom;
    case TextEncoding::Utf16LE:
        return QStringLiteral("UTF-16 LE") + bom;
    case TextEncoding::Utf16BE:
        return QStringLiteral("UTF-16 BE") + bom;
    }
    return {};
}

QString CutUtf8Problem()
{
    return QStringLiteral("這個UTF-8檔案在最後一個字元的中間結束（少了它的後幾個位元組），檔案不完整。");
}

std::optional<EncodingChoice> EncodingChoiceNamed(std::string_view name)
{
    if (name == "big5")
        return EncodingChoice::Big5;
    if (name == "utf-8")
        return EncodingChoice::Utf8;
    if (name == "utf-16")
        return EncodingChoice::Utf16;
    return std::nullopt;
}

namespace {

DecodedScript decodeUtf16(std::string_view bytes, bool little, bool bom)
{
    DecodedScript d;
    const auto at = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    d.Encoding = {little ? TextEncoding::Utf16LE : TextEncoding::Utf16BE, bom};
    if (bytes.size() % 2 != 0) {
        d.Problem = QStringLiteral("這個UTF-16檔案的長度不是偶數位元組，檔案可能不完整。");
        return d;
    }
    d.Text.reserve(qsizetype(bytes.size() / 2));
    for (std::size_t i = bom ? 2 : 0; i + 1 < bytes.size(); i += 2) {
        const char16_t unit = little ? char16_t(at(i) | at(i + 1) << 8) : char16_t(at(i) << 8 | at(i + 1));
        if (unit == 0) {
            d.Problem = QStringLiteral("這個檔案含有NUL字元，不是Resource檔。");
            return d;
        }
        d.Text.append(QChar(unit));
    }
    return d;
}

bool hasUtf8Bom(std::string_view bytes)
{
    return bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF";
}

// Every byte of the text makes a code page 950 character.
bool validBig5(std::string_view bytes)
{
    const QString text = cp950::decode(bytes);
    for (qsizetype i = 0; i + 1 < text.size(); ++i)
        if (text[i].isHighSurrogate() && text[i + 1].isLowSurrogate()
            && cp950::isEscape(QChar::surrogateToUcs4(text[i], text[i + 1])))
            return false;
    return true;
}

// Line feeds, none of them after a carriage return.
bool lfOnly(std::string_view bytes)
{
    const std::size_t lf = bytes.find('\n');
    return lf != std::string_view::npos && bytes.find('\r') == std::string_view::npos;
}

DecodedScript chosen(std::string_view bytes, EncodingChoice choice)
{
    DecodedScript d;
    const auto at = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    switch (choice) {
    case EncodingChoice::Guess:
    case EncodingChoice::Big5:
        break;
    case EncodingChoice::Utf8: {
        const bool bom = hasUtf8Bom(bytes);
        d.Encoding = {TextEncoding::Utf8, bom};
        if (bytes.find('\0') != std::string_view::npos)
            d.Problem = QStringLiteral("這個檔案含有NUL位元組，不是UTF-8的文字檔。");
        else if (!validUtf8(bom ? bytes.substr(3) : bytes, d.Text))
            d.Problem = QStringLiteral("指定以UTF-8讀取，但檔案的內容不是有效的UTF-8。");
        return d;
    }
    case EncodingChoice::Utf16:
        if (bytes.size() >= 2 && at(0) == 0xFE && at(1) == 0xFF)
            return decodeUtf16(bytes, false, true);
        return decodeUtf16(bytes, true, bytes.size() >= 2 && at(0) == 0xFF && at(1) == 0xFE);
    }
    // Big5 as the user says: the bytes go to the interpreter as they are.
    if (bytes.find('\0') != std::string_view::npos)
        d.Problem = QStringLiteral("這個檔案含有NUL位元組，不是文字檔（或是沒有BOM的UTF-16檔）。");
    return d;
}

} // namespace

DecodedScript DecodeScript(std::string_view bytes, EncodingChoice choice)
{
    if (choice != EncodingChoice::Guess) {
        DecodedScript d = chosen(bytes, choice);
        d.Note = QStringLiteral("依指定的編碼讀取。");
        return d;
    }
    DecodedScript d;
    const auto at = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    if (bytes.size() >= 2 && ((at(0) == 0xFF && at(1) == 0xFE) || (at(0) == 0xFE && at(1) == 0xFF)))
        return decodeUtf16(bytes, at(0) == 0xFF, true);
    if (bytes.find('\0') != std::string_view::npos) {
        d.Problem = QStringLiteral("這個檔案含有NUL位元組，不是文字檔（或是沒有BOM的UTF-16檔）。");
        return d;
    }
    if (hasUtf8Bom(bytes)) {
        d.Encoding = {TextEncoding::Utf8, true};
        if (cutInLastCharacter(bytes.substr(3)))
            d.Problem = CutUtf8Problem();
        else if (!validUtf8(bytes.substr(3), d.Text))
            d.Problem = QStringLiteral("這個檔案以UTF-8的BOM開頭，但內容不是有效的UTF-8，檔案可能不完整。");
        return d;
    }
    if (declaresUtf8(bytes)) {
        if (cutInLastCharacter(bytes)) {
            d.Encoding = {TextEncoding::Utf8, false};
            d.Problem = CutUtf8Problem();
            return d;
        }
        if (validUtf8(bytes, d.Text)) {
            d.Encoding = {TextEncoding::Utf8, false};
            return d;
        }
        d.Text.clear();
        d.Note = QStringLiteral("檔案宣告 #pragma code_page(65001)，但內容不是有效的UTF-8，所以當作Big5讀取。");
        return d;
    }
    if (!hasNonAscii(bytes)) {
        // Nothing in the bytes tells; a file with LF line ends is kept as
        // projects keep their scripts today, in UTF-8, and its
        // translation is written so, unless it names its code page.
        if (lfOnly(bytes) && !declaresOtherCodePage(bytes)) {
            d.Encoding = {TextEncoding::Utf8, false};
            d.Text = QString::fromLatin1(bytes.data(), qsizetype(bytes.size()));
            d.Note = QStringLiteral("檔案只有ASCII字元，行尾是LF，當作UTF-8（沒有BOM）；要寫成Big5請指定編碼 Big5。");
        }
        return d;
    }
    // UTF-8 without a marker, cut inside its last character: the text
    // before the cut is UTF-8 and could not be Big5.
    if (const std::size_t cut = utf8CutAt(bytes); cut != std::string_view::npos && !validBig5(bytes.substr(0, cut))) {
        d.Encoding = {TextEncoding::Utf8, false};
        d.Problem = CutUtf8Problem();
        return d;
    }
    QString text;
    if (validUtf8(bytes, text)) {
        // Chinese in Big5 is hardly ever valid UTF-8 as well; where a short
        // text is both, Big5 stays, as the file may well be.
        if (!validBig5(bytes)) {
            d.Encoding = {TextEncoding::Utf8, false};
            d.Text = text;
            d.Note = QStringLiteral("檔案沒有BOM也沒有 #pragma code_page(65001)，但內容是有效的UTF-8，所以當作UTF-8讀取。");
            return d;
        }
        d.Note = QStringLiteral("檔案的內容可以是UTF-8也可以是Big5，當作Big5讀取；要以UTF-8讀取請指定編碼 UTF-8。");
    }
    return d;
}

std::string EncodeText(const QString &text, const ScriptEncoding &encoding)
{
    std::string out;
    switch (encoding.Encoding) {
    case TextEncoding::Cp950:
        break;
    case TextEncoding::Utf8: {
        if (encoding.Bom)
            out = "\xEF\xBB\xBF";
        const QByteArray utf8 = text.toUtf8();
        out.append(utf8.constData(), std::size_t(utf8.size()));
        break;
    }
    case TextEncoding::Utf16LE:
    case TextEncoding::Utf16BE: {
        const bool little = encoding.Encoding == TextEncoding::Utf16LE;
        out.reserve(std::size_t(text.size()) * 2 + 2);
        auto unit = [&](char16_t u) {
            const char lo = char(u & 0xFF);
            const char hi = char(u >> 8);
            out += little ? lo : hi;
            out += little ? hi : lo;
        };
        if (encoding.Bom)
            unit(0xFEFF);
        for (const QChar c : text)
            unit(c.unicode());
        break;
    }
    }
    return out;
}

void Cp950StandIns::NoteBytes(std::string_view cp950Bytes)
{
    walkBig5(cp950Bytes, [this](std::size_t, unsigned code) { Used.insert(code); }, [](std::size_t) {});
}

void Cp950StandIns::NoteText(QStringView text)
{
    walkCharacters(text, [this](QStringView character) {
        if (character.size() == 1 && character[0].unicode() < 0x80)
            return;
        if (const auto big5 = big5Of(character)) {
            if (big5->size() == 2)
                Used.insert(unsigned(static_cast<unsigned char>((*big5)[0])) << 8
                            | static_cast<unsigned char>((*big5)[1]));
            return;
        }
        ByCharacter.emplace(character.toString(), 0);
    });
}

bool Cp950StandIns::Assign()
{
    static const std::vector<unsigned> codes = userDefinedCodes();
    std::size_t next = 0;
    ByCode.clear();
    for (auto &[character, code] : ByCharacter) {
        while (next < codes.size() && Used.count(codes[next]))
            ++next;
        if (next == codes.size())
            return false;
        code = codes[next++];
        ByCode.emplace(code, character);
    }
    return true;
}

std::string Cp950StandIns::Copy(QStringView text) const
{
    std::string out;
    out.reserve(std::size_t(text.size()) + std::size_t(text.size()) / 2);
    walkCharacters(text, [&](QStringView character) {
        const char16_t first = character[0].unicode();
        if (character.size() == 1 && first < 0x80) {
            out += char(first);
            return;
        }
        if (const auto big5 = big5Of(character)) {
            out += *big5;
            return;
        }
        const auto it = ByCharacter.find(character.toString());
        const unsigned code = it == ByCharacter.end() ? 0x3Fu : it->second; // '?' only before Assign
        if (code > 0xFF)
            out += char(code >> 8);
        out += char(code & 0xFF);
    });
    return out;
}

QString Cp950StandIns::Restore(std::string_view bytes, int *undecodable) const
{
    QString out;
    out.reserve(qsizetype(bytes.size()));
    std::size_t runStart = 0;
    auto flush = [&](std::size_t end) {
        if (end <= runStart)
            return;
        const QString part = cp950::decodeForUnicodeFile(bytes.substr(runStart, end - runStart));
        if (!undecodable) {
            out += part;
            return;
        }
        for (qsizetype i = 0; i < part.size(); ++i) {
            const char16_t u = part[i].unicode();
            if (QChar::isHighSurrogate(u) && i + 1 < part.size()
                && cp950::isEscape(QChar::surrogateToUcs4(u, part[i + 1].unicode()))) {
                out += QChar(QChar::ReplacementCharacter);
                ++*undecodable;
                ++i;
            } else {
                out += part[i];
            }
        }
    };
    if (ByCode.empty()) {
        flush(bytes.size());
        return out;
    }
    walkBig5(
        bytes,
        [&](std::size_t at, unsigned code) {
            const auto it = ByCode.find(code);
            if (it == ByCode.end())
                return;
            flush(at);
            out += it->second;
            runStart = at + 2;
        },
        [](std::size_t) {});
    flush(bytes.size());
    return out;
}

bool Cp950StandIns::Holds(std::string_view bytes) const
{
    if (ByCode.empty())
        return false;
    bool holds = false;
    walkBig5(bytes, [&](std::size_t, unsigned code) { holds = holds || ByCode.count(code) != 0; }, [](std::size_t) {});
    return holds;
}

std::vector<QString> LineEnds(const QString &text)
{
    std::vector<QString> ends;
    qsizetype start = 0;
    while (start < text.size()) {
        const qsizetype lf = text.indexOf(QLatin1Char('\n'), start);
        if (lf < 0) {
            ends.emplace_back();
            break;
        }
        ends.push_back(lf > start && text[lf - 1] == QLatin1Char('\r') ? QStringLiteral("\r\n") : QStringLiteral("\n"));
        start = lf + 1;
    }
    return ends;
}
