#include "dictionary/checks.h"

#include "dictionary/vocabulary.h"
#include "platform/codepage.h"

#include <QStringList>

#include <algorithm>
#include <array>
#include <optional>
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
    {"hotkey-twice", u"熱鍵或快速鍵重複"},
    {"shortcut", u"快速鍵不同"},
    {"placeholder", u"參數不符"},
    {"escape", u"跳脫字元不符"},
    {"ending", u"結尾符號不同"},
    {"spaces", u"空白不同"},
    {"untranslated", u"未翻譯"},
    {"vocabulary", u"大陸用語"},
    {"hotkey-clash", u"熱鍵重複"},
    {"too-wide", u"文字太寬"},
    {"too-tight", u"文字幾乎太寬"},
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

// The positions of the "\t" escapes of s, in order.
std::vector<std::size_t> tabsOf(std::string_view s)
{
    std::vector<std::size_t> tabs;
    for (std::size_t i = 0; i < s.size();) {
        if (s[i] == '\\' && i + 1 < s.size()) {
            if (s[i + 1] == 't')
                tabs.push_back(i);
            i += 2;
            continue;
        }
        i += charLength(s, i);
    }
    return tabs;
}

// How many of the "\t" escapes of s start the shortcut (the text after the
// source's last "\t"): once in a sound text, twice in "…\tCtrl+N(&N)\tCtrl+N".
int shortcutCount(std::string_view s, std::optional<std::string_view> shortcut)
{
    const std::vector<std::size_t> tabs = tabsOf(s);
    if (!shortcut || tabs.empty())
        return 0;
    if (shortcut->empty())
        return 1;
    int n = 0;
    for (const std::size_t at : tabs)
        n += s.substr(at + 2, shortcut->size()) == *shortcut ? 1 : 0;
    return std::max(n, 1);
}

struct Escapes {
    int newline = 0, tab = 0, quote = 0, doubledQuote = 0, backslash = 0;
    bool operator==(const Escapes &) const = default;
};

// The escapes of s; the "\t" escapes that start the shortcut are the
// shortcut's, compared on their own.
Escapes escapesOf(std::string_view s, std::optional<std::string_view> shortcut)
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
    e.tab -= std::min(e.tab, shortcutCount(s, shortcut ? shortcut : std::optional<std::string_view>("")));
    return e;
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

struct Placeholders {
    std::vector<std::string> printf;  // in order
    std::multiset<std::string> numbered; // %1, %2!d! ...: the set counts
    int percents = 0;                 // "%%"
    bool operator==(const Placeholders &) const = default;
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
            ++p.percents;
            i += 2;
            continue;
        }
        if (const std::size_t end = printfEnd(s, i + 1); end != std::string_view::npos) {
            p.printf.emplace_back(s.substr(i, end - i));
            i = end;
            continue;
        }
        // %1, %2 ...: digits that no conversion follows ("%5d" is a width),
        // with the format of the "%1!d!" form.
        std::size_t j = i + 1;
        if (j < s.size() && s[j] >= '1' && s[j] <= '9') {
            while (j < s.size() && isDigit(s[j]))
                ++j;
            if (j + 1 < s.size() && s[j] == '!') {
                if (const std::size_t close = s.find('!', j + 1);
                    close != std::string_view::npos && close - j <= 12)
                    j = close + 1;
            }
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
std::string_view endingPart(std::string_view s, std::size_t shortcut)
{
    if (shortcut != std::string_view::npos)
        s = s.substr(0, shortcut);
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

// Two blanks in a row between other characters.
bool doubleSpaceInside(std::string_view s)
{
    const std::size_t from = leadingBlanks(s);
    const std::size_t to = s.size() - trailingBlanks(s);
    return from < to && s.substr(from, to - from).find("  ") != std::string_view::npos;
}

bool isLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

char lowered(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

// The ending groups: a translation ends in one group exactly when its
// source does.
struct EndingGroup {
    std::initializer_list<std::string_view> source;
    std::initializer_list<std::string_view> translation;
};

// "…" A1 4B, "：" A1 47, "︰" A1 4A, "？" A1 48, "！" A1 49, "。" A1 43,
// "．" A1 44.
const EndingGroup kEndings[] = {
    {{"...", "\xA1\x4B", ":"}, {"...", "\xA1\x4B", "\xA1\x47", "\xA1\x4A", ":"}},
    {{"?"}, {"?", "\xA1\x48"}},
    {{"!"}, {"!", "\xA1\x49"}},
};

// A text ending in a full stop: "." that is not part of "...", or "。".
bool endsInFullStop(std::string_view s)
{
    if (endsWithAny(s, {"\xA1\x43", "\xA1\x44"}))
        return true;
    return endsWith(s, ".") && !endsWith(s, "..");
}

// What one walk over a text finds: its markup in short, so that the checks
// below read each text once and pass over what it does not hold.
struct Scan {
    std::size_t shortcut = std::string_view::npos; // the last "\t" escape
    int hotkeys = 0;
    std::string letter; // of the first hot key, upper-cased
    bool percent = false, escapes = false, doubleByte = false;
};

Scan scanOf(std::string_view s)
{
    Scan r;
    const std::size_t n = s.size();
    for (std::size_t i = 0; i < n;) {
        const auto b = static_cast<unsigned char>(s[i]);
        if (b >= 0x80) {
            r.doubleByte = true;
            i += (b <= 0xFE && b >= 0x81 && i + 1 < n) ? 2 : 1;
            continue;
        }
        switch (b) {
        case '\\':
            r.escapes = true;
            if (i + 1 < n) {
                if (s[i + 1] == 't')
                    r.shortcut = i;
                i += 2;
                continue;
            }
            break;
        case '&':
            if (i + 1 < n) {
                if (s[i + 1] != '&' && r.hotkeys++ == 0) {
                    r.letter.assign(s.substr(i + 1, charLength(s, i + 1)));
                    if (r.letter.size() == 1 && r.letter[0] >= 'a' && r.letter[0] <= 'z')
                        r.letter[0] = char(r.letter[0] - 'a' + 'A');
                }
                i += 2;
                continue;
            }
            break;
        case '%': r.percent = true; break;
        case '"': r.escapes = true; break;
        default: break;
        }
        ++i;
    }
    return r;
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

int HotkeyCount(std::string_view s)
{
    int n = 0;
    for (std::size_t i = 0; i < s.size();) {
        if (s[i] == '&' && i + 1 < s.size()) {
            n += s[i + 1] == '&' ? 0 : 1;
            i += 2;
            continue;
        }
        i += charLength(s, i);
    }
    return n;
}

std::string UntranslatedKey(std::string_view s)
{
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) {
        // "(&X)" goes with its letter; "&x" leaves x; "&&" stays one "&".
        if (s[i] == '(' && i + 3 < s.size() && s[i + 1] == '&' && s[i + 2] != '&') {
            const std::size_t letter = charLength(s, i + 2);
            if (i + 2 + letter < s.size() && s[i + 2 + letter] == ')') {
                i += 3 + letter;
                continue;
            }
        }
        if (s[i] == '&' && i + 1 < s.size()) {
            if (s[i + 1] == '&')
                out += '&';
            i += s[i + 1] == '&' ? 2 : 1;
            continue;
        }
        const std::size_t n = charLength(s, i);
        if (n == 1)
            out += lowered(s[i]);
        else
            out.append(s.substr(i, n));
        i += n;
    }
    const std::size_t from = out.find_first_not_of(' ');
    if (from == std::string::npos)
        return {};
    return out.substr(from, out.find_last_not_of(' ') + 1 - from);
}

namespace {

bool isUpper(char c)
{
    return c >= 'A' && c <= 'Z';
}

// A blank-separated token that names something rather than says it: an
// identifier or path (REGEDIT_FRAME, HKEY\\Console), a file name
// (import.reg), a compound with a capital or one-letter part (C-Bus,
// UTF-8, PnP-ISA).
bool isNameToken(std::string_view t)
{
    if (t.find('_') != std::string_view::npos || t.find("\\\\") != std::string_view::npos)
        return true;
    for (std::size_t i = 1; i + 1 < t.size(); ++i) {
        if (t[i] == '.' && isLetter(t[i - 1]) && isLetter(t[i + 1]))
            return true;
        if (t[i] == '-' && (isLetter(t[i - 1]) || isDigit(t[i - 1])) && (isLetter(t[i + 1]) || isDigit(t[i + 1]))) {
            // Either side all capitals or one letter: a name.
            std::size_t a = i;
            while (a > 0 && (isLetter(t[a - 1]) || isDigit(t[a - 1])))
                --a;
            std::size_t b = i + 1;
            while (b < t.size() && (isLetter(t[b]) || isDigit(t[b])))
                ++b;
            const auto named = [&](std::size_t from, std::size_t to) {
                bool lower = false;
                for (std::size_t k = from; k < to; ++k)
                    lower = lower || (t[k] >= 'a' && t[k] <= 'z');
                return !lower || to - from == 1;
            };
            if (named(a, i) || named(i + 1, b))
                return true;
        }
    }
    return false;
}

// Whether one letter run of a token is a word to translate: two letters
// or more, not a short all-capital name (ANSI, CPU), not a name written
// with inner capitals (NuBus, MicroChannel), not a file mask's extension.
bool isWord(std::string_view s, std::size_t from, std::size_t to, bool alone)
{
    int letters = 0;
    bool capitals = true;
    bool innerCapital = false;
    for (std::size_t k = from; k < to; ++k) {
        if (!isLetter(s[k]))
            continue;
        ++letters;
        capitals = capitals && isUpper(s[k]);
        innerCapital = innerCapital || (isUpper(s[k]) && k > from && s[k - 1] >= 'a' && s[k - 1] <= 'z');
    }
    if (letters < 2 || innerCapital)
        return false;
    if (from >= 2 && s[from - 1] == '.' && s[from - 2] == '*')
        return false;
    if (capitals) {
        // OK is the one short capital word a dialog shows for its button.
        const bool ok = letters == 2 && lowered(s[from]) == 'o' && lowered(s[to - 1]) == 'k';
        // A text that is one capital name (REGEDIT, PCMCIA) says nothing either.
        return ok || (letters > 4 && !alone);
    }
    return true;
}

} // namespace

bool HoldsWords(std::string_view s)
{
    if (const std::size_t at = shortcutStart(s); at != std::string_view::npos)
        s = s.substr(0, at);
    // One token of letters, digits and "-": a name on its own (REGEDIT).
    const bool alone = s.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-&") == std::string_view::npos;
    std::size_t tokenEnd = 0;
    for (std::size_t i = 0; i < s.size();) {
        if (i >= tokenEnd) {
            // A new token: names are passed over whole.
            while (i < s.size() && s[i] == ' ')
                ++i;
            tokenEnd = s.find(' ', i);
            if (tokenEnd == std::string_view::npos)
                tokenEnd = s.size();
            if (isNameToken(s.substr(i, tokenEnd - i))) {
                i = tokenEnd;
                continue;
            }
        }
        if (i >= s.size())
            break;
        if (s[i] == '\\' && i + 1 < s.size()) {
            i += 2; // an escape's letter is no word
            continue;
        }
        if (s[i] == '%') {
            // A placeholder's letters: "%s", "%ld", "%1!u!".
            std::size_t j = i + 1;
            while (j < s.size() && (isDigit(s[j]) || s[j] == '-' || s[j] == '.' || s[j] == '!'))
                ++j;
            while (j < s.size() && isLetter(s[j]) && j - i < 5)
                ++j;
            if (j < s.size() && s[j] == '!')
                ++j;
            i = std::max(j, i + 1);
            continue;
        }
        if (!isLetter(s[i])) {
            i += charLength(s, i);
            continue;
        }
        std::size_t j = i;
        while (j < s.size() && (isLetter(s[j]) || s[j] == '&'))
            ++j;
        if (isWord(s, i, j, alone))
            return true;
        i = j;
    }
    return false;
}

KeepEnglish KeepEnglish::FromBytes(std::string_view bytes)
{
    KeepEnglish keep;
    for (std::size_t start = 0; start < bytes.size();) {
        std::size_t end = bytes.find('\n', start);
        if (end == std::string_view::npos)
            end = bytes.size();
        std::string_view line = bytes.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (!line.empty() && line.front() != '#')
            keep.add(line);
        start = end + 1;
    }
    return keep;
}

namespace {

// A text of the list, or a source looked up in it: without its shortcut.
std::string keepKey(std::string_view s)
{
    if (const std::size_t at = shortcutStart(s); at != std::string_view::npos)
        s = s.substr(0, at);
    return UntranslatedKey(s);
}

} // namespace

void KeepEnglish::add(std::string_view text)
{
    std::string key = keepKey(text);
    if (key.empty())
        return;
    const auto at = std::lower_bound(texts_.begin(), texts_.end(), key);
    if (at == texts_.end() || *at != key)
        texts_.insert(at, std::move(key));
}

bool KeepEnglish::has(std::string_view source) const
{
    return !texts_.empty() && std::binary_search(texts_.begin(), texts_.end(), keepKey(source));
}

CheckSet CheckTranslation(std::string_view source, std::string_view translation, const KeepEnglish *keep)
{
    CheckSet found;
    if (source == translation) {
        // Left as it is: a problem only when the text has words to translate.
        if (HoldsWords(source) && !(keep && keep->has(source)))
            found.add(CheckKind::Untranslated);
        return found;
    }
    const Scan src = scanOf(source);
    const Scan tr = scanOf(translation);
    // Left in English with its hot key or case changed ("Dword\tF2" for
    // "&Dword\tF2"): untranslated, and nothing else needs saying. A text
    // with a double-byte character its source lacks cannot be that.
    if (src.doubleByte == tr.doubleByte && UntranslatedKey(source) == UntranslatedKey(translation)
        && HoldsWords(source) && !(keep && keep->has(source))) {
        found.add(CheckKind::Untranslated);
        return found;
    }

    if (!src.letter.empty() && tr.letter.empty())
        found.add(CheckKind::HotkeyMissing);
    else if (src.letter.empty() && !tr.letter.empty())
        found.add(CheckKind::HotkeyExtra);
    else if (src.letter != tr.letter)
        found.add(CheckKind::HotkeyLetter);

    constexpr std::size_t none = std::string_view::npos;
    std::optional<std::string_view> shortcut;
    if (src.shortcut != none)
        shortcut = source.substr(src.shortcut + 2);
    if (tr.hotkeys > std::max(1, src.hotkeys)
        || (shortcut && shortcutCount(translation, shortcut) > shortcutCount(source, shortcut)))
        found.add(CheckKind::HotkeyTwice);

    if ((src.shortcut == none) != (tr.shortcut == none)
        || (src.shortcut != none && source.substr(src.shortcut + 2) != translation.substr(tr.shortcut + 2)))
        found.add(CheckKind::Shortcut);

    // Most texts hold no "%", "\\" or '"': their placeholders and escapes
    // need no reading.
    if ((src.percent || tr.percent) && !(placeholdersOf(source) == placeholdersOf(translation)))
        found.add(CheckKind::Placeholder);
    if ((src.escapes || tr.escapes) && !(escapesOf(source, shortcut) == escapesOf(translation, shortcut)))
        found.add(CheckKind::Escape);

    const std::string_view sourceEnd = endingPart(source, src.shortcut);
    const std::string_view translationEnd = endingPart(translation, tr.shortcut);
    // Every ending above ends in one of these bytes; texts that end in
    // none of them need no comparing.
    const auto mayEnd = [](std::string_view e) {
        return !e.empty() && std::string_view(".:?!\x43\x44\x47\x48\x49\x4A\x4B").find(e.back()) != std::string_view::npos;
    };
    bool endingDiffers = false;
    if (mayEnd(sourceEnd) || mayEnd(translationEnd)) {
        for (const EndingGroup &group : kEndings)
            endingDiffers = endingDiffers
                            || endsWithAny(sourceEnd, group.source) != endsWithAny(translationEnd, group.translation);
        // A sentence keeps its full stop; a title or label gets none.
        endingDiffers = endingDiffers || endsInFullStop(sourceEnd) != endsInFullStop(translationEnd);
    }
    if (endingDiffers)
        found.add(CheckKind::Ending);

    if (leadingBlanks(source) != leadingBlanks(translation) || trailingBlanks(source) != trailingBlanks(translation)
        || (doubleSpaceInside(translation) && !doubleSpaceInside(source)))
        found.add(CheckKind::Spaces);

    if (tr.doubleByte && Vocabulary::Taiwan().HoldsMainlandWord(source, translation))
        found.add(CheckKind::Vocabulary);
    return found;
}

std::string WithHotkey(std::string_view text, std::string_view letter)
{
    // Every hot key of the text goes: "(&X)" with its marker and the blank
    // before it, "&x" leaving x.
    std::string bare;
    for (std::size_t i = 0; i < text.size();) {
        if (text[i] == '(' && i + 3 < text.size() && text[i + 1] == '&' && text[i + 2] != '&') {
            const std::size_t n = charLength(text, i + 2);
            if (i + 2 + n < text.size() && text[i + 2 + n] == ')') {
                while (!bare.empty() && bare.back() == ' ')
                    bare.pop_back();
                i += 3 + n;
                continue;
            }
        }
        if (text[i] == '&' && i + 1 < text.size()) {
            if (text[i + 1] == '&')
                bare += "&&";
            i += 2 - (text[i + 1] == '&' ? 0 : 1);
            continue;
        }
        const std::size_t n = charLength(text, i);
        bare.append(text.substr(i, n));
        i += n;
    }
    // The marker goes before the shortcut and the ending, as "(&A)..." .
    std::string_view head = bare;
    std::string tail;
    if (const std::size_t at = shortcutStart(head); at != std::string_view::npos) {
        tail = std::string(head.substr(at));
        head = head.substr(0, at);
    }
    for (const std::string_view ending : {"...", "\xA1\x4B", "\xA1\x47", ":"}) {
        if (endsWith(head, ending)) {
            tail = std::string(ending) + tail;
            head.remove_suffix(ending.size());
            break;
        }
    }
    return std::string(head) + "(&" + std::string(letter) + ")" + tail;
}

std::string SuggestedHotkey(std::string_view source, const std::vector<std::string> &taken)
{
    const auto free = [&](const std::string &letter) {
        return !letter.empty() && std::find(taken.begin(), taken.end(), letter) == taken.end();
    };
    if (const std::string own = HotkeyLetterOf(source); free(own))
        return own;
    const std::string key = UntranslatedKey(source);
    for (std::size_t i = 0; i < key.size(); i += charLength(key, i)) {
        const char c = key[i];
        if (charLength(key, i) != 1 || (!isLetter(c) && !isDigit(c)))
            continue;
        std::string letter(1, c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c);
        if (free(letter))
            return letter;
    }
    for (char c = 'A'; c <= 'Z'; ++c)
        if (free(std::string(1, c)))
            return std::string(1, c);
    return {};
}

std::optional<std::string> SuggestedFix(CheckKind kind, std::string_view source, std::string_view translation,
                                        const std::vector<std::string> &taken)
{
    switch (kind) {
    case CheckKind::HotkeyMissing:
    case CheckKind::HotkeyLetter:
    case CheckKind::HotkeyTwice:
    case CheckKind::HotkeyClash:
        break;
    default:
        return std::nullopt;
    }
    const std::string letter = SuggestedHotkey(source, taken);
    if (letter.empty())
        return std::nullopt;
    std::string fixed = WithHotkey(translation, letter);
    if (fixed == translation)
        return std::nullopt;
    return fixed;
}

QString CheckDetail(CheckKind kind, std::string_view source, std::string_view translation)
{
    if (kind == CheckKind::Vocabulary) {
        QStringList words;
        for (const MainlandWord &w : Vocabulary::Taiwan().Find(source, translation)) {
            const QString word = QStringLiteral("%1 → %2").arg(cp950::decode(w.Mainland), cp950::decode(w.Taiwan));
            if (!words.contains(word))
                words << word;
        }
        return words.join(QStringLiteral("；"));
    }
    if (const std::optional<std::string> fixed = SuggestedFix(kind, source, translation))
        return QStringLiteral("建議：") + cp950::decode(*fixed);
    return {};
}
