#include "dictionary/checks.h"

#include <algorithm>
#include <array>
#include <set>

namespace {

struct KindText {
    const char *key;
    const char16_t *name;
};

constexpr std::array<KindText, kCheckKinds> kKindTexts{{
    {"hotkey-missing", u"缺少熱鍵"},
    {"hotkey-letter", u"熱鍵字母不同"},
    {"hotkey-extra", u"多出熱鍵"},
    {"shortcut", u"快速鍵不同"},
    {"placeholder", u"參數不符"},
    {"escape", u"跳脫字元不符"},
    {"ending", u"結尾符號不同"},
    {"spaces", u"前後空白不同"},
    {"untranslated", u"未翻譯"},
    {"hotkey-clash", u"熱鍵重複"},
    {"too-wide", u"文字太寬"},
}};

// The length of the character at i: two bytes for a Big5 lead byte with a
// byte after it, else one.
std::size_t charLength(std::string_view s, std::size_t i)
{
    const auto b = static_cast<unsigned char>(s[i]);
    return (b >= 0x81 && b <= 0xFE && i + 1 < s.size()) ? 2 : 1;
}

// Where the shortcut's "\t" starts (the last one that is an escape of its
// own, not the end of "\\" followed by t), or npos.
std::size_t shortcutStart(std::string_view s)
{
    std::size_t found = std::string_view::npos;
    for (std::size_t i = 0; i < s.size();) {
        if (s[i] == '\\' && i + 1 < s.size()) {
            if (s[i + 1] == 't')
                found = i;
            i += 2;
            continue;
        }
        i += charLength(s, i);
    }
    return found;
}

struct Escapes {
    int newline = 0, tab = 0, quote = 0, doubledQuote = 0, backslash = 0;
    bool operator==(const Escapes &) const = default;
};

Escapes escapesOf(std::string_view s)
{
    Escapes e;
    for (std::size_t i = 0; i < s.size();) {
        if (s[i] == '\\' && i + 1 < s.size()) {
            switch (s[i + 1]) {
            case 'n': ++e.newline; break;
            case 't': ++e.tab; break;
            case '"': ++e.quote; break;
            case '\\': ++e.backslash; break;
            default: break;
            }
            i += 2;
        } else if (s[i] == '"' && i + 1 < s.size() && s[i + 1] == '"') {
            ++e.doubledQuote;
            i += 2;
        } else {
            i += charLength(s, i);
        }
    }
    // The "\t" before the shortcut is the shortcut's, compared on its own.
    if (e.tab > 0)
        --e.tab;
    return e;
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

struct Placeholders {
    std::vector<std::string> printf;  // in order
    std::multiset<std::string> numbered; // %1, %2 ...: the set counts
};

// Where the printf conversion whose flags start at j ends (one past its
// conversion character), or npos when none follows.
std::size_t printfEnd(std::string_view s, std::size_t j)
{
    while (j < s.size() && (s[j] == '-' || s[j] == '+' || s[j] == '#' || s[j] == '0'))
        ++j;
    while (j < s.size() && (isDigit(s[j]) || s[j] == '*'))
        ++j;
    if (j < s.size() && s[j] == '.') {
        ++j;
        while (j < s.size() && (isDigit(s[j]) || s[j] == '*'))
            ++j;
    }
    for (const std::string_view length : {"I64", "I32", "ll", "hh", "l", "h", "L", "w"}) {
        if (s.substr(j, length.size()) == length) {
            j += length.size();
            break;
        }
    }
    if (j < s.size() && std::string_view("diouxXcsSeEfgGp").find(s[j]) != std::string_view::npos)
        return j + 1;
    return std::string_view::npos;
}

// printf conversions with flags, width, precision and length, and the
// numbered %1 form. A blank is not taken as a flag: "100% of" is prose.
Placeholders placeholdersOf(std::string_view s)
{
    Placeholders p;
    for (std::size_t i = 0; i < s.size();) {
        if (s[i] != '%') {
            i += charLength(s, i);
            continue;
        }
        if (i + 1 < s.size() && s[i + 1] == '%') {
            i += 2;
            continue;
        }
        if (const std::size_t end = printfEnd(s, i + 1); end != std::string_view::npos) {
            p.printf.emplace_back(s.substr(i, end - i));
            i = end;
            continue;
        }
        // %1, %2 ...: digits that no conversion follows ("%5d" is a width).
        std::size_t j = i + 1;
        if (j < s.size() && s[j] >= '1' && s[j] <= '9') {
            while (j < s.size() && isDigit(s[j]))
                ++j;
            p.numbered.insert(std::string(s.substr(i, j - i)));
            i = j;
            continue;
        }
        i += 1;
    }
    return p;
}

// s ends with the characters of end: the bytes match and start a character
// of s, so the second byte of 丑 (A4 A1) and a K are no 「…」 (A1 4B).
bool endsWith(std::string_view s, std::string_view end)
{
    if (s.size() < end.size() || s.substr(s.size() - end.size()) != end)
        return false;
    const std::size_t at = s.size() - end.size();
    std::size_t i = 0;
    while (i < at)
        i += charLength(s, i);
    return i == at;
}

// The text whose last characters count for the ending: without the
// shortcut, trailing blanks, and a trailing "(&X)" hot-key marker.
std::string_view endingPart(std::string_view s)
{
    if (const std::size_t at = shortcutStart(s); at != std::string_view::npos)
        s = s.substr(0, at);
    const auto trimBlanks = [&] {
        while (!s.empty() && s.back() == ' ')
            s.remove_suffix(1);
    };
    trimBlanks();
    for (const std::size_t letter : {std::size_t(1), std::size_t(2)}) {
        const std::size_t marker = letter + 3;
        if (s.size() >= marker && s.substr(s.size() - marker, 2) == "(&" && s.back() == ')') {
            s.remove_suffix(marker);
            trimBlanks();
            break;
        }
    }
    return s;
}

bool endsWithAny(std::string_view s, std::initializer_list<std::string_view> ends)
{
    return std::any_of(ends.begin(), ends.end(), [&](std::string_view e) { return endsWith(s, e); });
}

std::size_t leadingBlanks(std::string_view s)
{
    std::size_t n = 0;
    while (n < s.size() && s[n] == ' ')
        ++n;
    return n;
}

std::size_t trailingBlanks(std::string_view s)
{
    std::size_t n = 0;
    while (n < s.size() && s[s.size() - 1 - n] == ' ')
        ++n;
    return n;
}

} // namespace

const char *CheckKey(CheckKind kind)
{
    return kKindTexts[std::size_t(kind)].key;
}

QString CheckName(CheckKind kind)
{
    return QString::fromUtf16(kKindTexts[std::size_t(kind)].name);
}

std::vector<CheckKind> CheckSet::kinds() const
{
    std::vector<CheckKind> out;
    for (int k = 0; k < kCheckKinds; ++k)
        if (has(CheckKind(k)))
            out.push_back(CheckKind(k));
    return out;
}

std::string HotkeyLetterOf(std::string_view s)
{
    for (std::size_t i = 0; i < s.size();) {
        if (s[i] != '&') {
            i += charLength(s, i);
            continue;
        }
        if (i + 1 >= s.size())
            return {};
        if (s[i + 1] == '&') {
            i += 2;
            continue;
        }
        std::string letter(s.substr(i + 1, charLength(s, i + 1)));
        if (letter.size() == 1 && letter[0] >= 'a' && letter[0] <= 'z')
            letter[0] = char(letter[0] - 'a' + 'A');
        return letter;
    }
    return {};
}

CheckSet CheckTranslation(std::string_view source, std::string_view translation)
{
    CheckSet found;
    if (source == translation) {
        found.add(CheckKind::Untranslated);
        return found;
    }

    const std::string sourceKey = HotkeyLetterOf(source);
    const std::string translationKey = HotkeyLetterOf(translation);
    if (!sourceKey.empty() && translationKey.empty())
        found.add(CheckKind::HotkeyMissing);
    else if (sourceKey.empty() && !translationKey.empty())
        found.add(CheckKind::HotkeyExtra);
    else if (sourceKey != translationKey)
        found.add(CheckKind::HotkeyLetter);

    const std::size_t sourceTab = shortcutStart(source);
    const std::size_t translationTab = shortcutStart(translation);
    if ((sourceTab == std::string_view::npos) != (translationTab == std::string_view::npos)
        || (sourceTab != std::string_view::npos
            && source.substr(sourceTab + 2) != translation.substr(translationTab + 2)))
        found.add(CheckKind::Shortcut);

    const Placeholders sp = placeholdersOf(source);
    const Placeholders tp = placeholdersOf(translation);
    if (sp.printf != tp.printf || sp.numbered != tp.numbered)
        found.add(CheckKind::Placeholder);

    if (!(escapesOf(source) == escapesOf(translation)))
        found.add(CheckKind::Escape);

    const bool sourceEnds = endsWithAny(endingPart(source), {"...", "\xA1\x4B", ":"});
    const bool translationEnds
        = endsWithAny(endingPart(translation), {"...", "\xA1\x4B", "\xA1\x47", "\xA1\x4A", ":"});
    if (sourceEnds != translationEnds)
        found.add(CheckKind::Ending);

    if (leadingBlanks(source) != leadingBlanks(translation) || trailingBlanks(source) != trailingBlanks(translation))
        found.add(CheckKind::Spaces);
    return found;
}
