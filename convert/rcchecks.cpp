#include "convert/rcchecks.h"

#include "platform/codepage.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <map>
#include <optional>

namespace {

bool isLeadByte(unsigned char b)
{
    return b >= 0x81 && b <= 0xFE;
}

} // namespace

std::string_view RcTrimmed(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

std::string_view RcWithoutComment(std::string_view line)
{
    // A comment needs two slashes; most lines have none.
    if (line.find("//") == std::string_view::npos)
        return line;
    bool inString = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const auto b = static_cast<unsigned char>(line[i]);
        if (inString && isLeadByte(b) && i + 1 < line.size()) {
            ++i;
            continue;
        }
        if (line[i] == '"')
            inString = !inString;
        else if (!inString && line[i] == '/' && i + 1 < line.size() && line[i + 1] == '/')
            return line.substr(0, i);
    }
    return line;
}

namespace {

// The text without its /* */ comments (outside strings); line ends inside
// a comment stay, so that line numbers still count.
std::string withoutBlockComments(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size());
    const std::size_t n = bytes.size();
    const auto lead = [&](std::size_t i) { return isLeadByte(static_cast<unsigned char>(bytes[i])); };
    // Only the bytes before a "/*" are read one by one, from the start of
    // its line (a line end closes a string) or from where the reading
    // stood: whether the "/*" is in a string is all they tell.
    std::size_t kept = 0;    // code up to a comment goes over from here
    std::size_t known = 0;   // where the reading stands
    bool inString = false;   // at `known`
    for (;;) {
        const std::size_t open = bytes.find("/*", known);
        if (open == std::string_view::npos)
            break;
        // A line end between is one for certain unless a lead byte stands
        // before it (a string's double-byte character would take it in).
        const std::size_t lf = bytes.rfind('\n', open);
        if (lf != std::string_view::npos && lf >= known && !(lf > known && lead(lf - 1))) {
            known = lf + 1;
            inString = false;
        }
        std::size_t i = known;
        while (i < open) {
            const char c = bytes[i];
            if (c == '\n') {
                inString = false;
                ++i;
            } else if (inString && lead(i) && i + 1 < n) {
                i += 2;
            } else {
                if (c == '"')
                    inString = !inString;
                ++i;
            }
        }
        known = i;
        if (i > open || inString) {
            // The slash is a double-byte character's, or the "/*" is in a string.
            if (i == open)
                known = open + 1; // the slash changes nothing
            continue;
        }
        // A comment: its line ends stay, and a blank takes its place.
        out.append(bytes.data() + kept, open - kept);
        const std::size_t close = bytes.find("*/", open + 2);
        const std::size_t end = close == std::string_view::npos ? n : close;
        out.append(std::size_t(std::count(bytes.begin() + std::ptrdiff_t(open) + 2, bytes.begin() + std::ptrdiff_t(end), '\n')),
                   '\n');
        if (close == std::string_view::npos)
            return out;
        out += ' ';
        kept = known = close + 2;
        inString = false;
    }
    out.append(bytes.data() + kept, n - kept);
    return out;
}

// The text without its /* */ comments; a text without any is its own.
class Uncommented {
public:
    explicit Uncommented(std::string_view bytes)
    {
        if (bytes.find("/*") == std::string_view::npos) {
            view_ = bytes;
        } else {
            own_ = withoutBlockComments(bytes);
            view_ = own_;
        }
    }
    std::string_view view() const { return view_; }

private:
    std::string own_;
    std::string_view view_;
};

// Statements: a line that ends with "," or "|" goes on in the next one.
// `visit(text, line)` sees each one; the text lives until it returns.
template<typename Visit>
void forEachStatement(std::string_view bytes, Visit visit)
{
    const Uncommented text(bytes);
    bytes = text.view();
    std::string open; // a statement going on in the next line
    int openLine = 0;
    bool isOpen = false;
    int number = 0;
    for (std::size_t start = 0; start <= bytes.size();) {
        std::size_t end = bytes.find('\n', start);
        if (end == std::string_view::npos)
            end = bytes.size();
        ++number;
        const std::string_view line = RcTrimmed(RcWithoutComment(bytes.substr(start, end - start)));
        start = end + 1;
        if (line.empty() && !isOpen)
            continue;
        const bool goesOn = !line.empty() && (line.back() == ',' || line.back() == '|');
        if (!isOpen && !goesOn) {
            visit(line, number);
        } else {
            if (!isOpen) {
                open.clear();
                openLine = number;
                isOpen = true;
            } else {
                open += ' ';
            }
            open += line;
            if (goesOn)
                continue;
            visit(std::string_view(open), openLine);
            isOpen = false;
        }
        if (end == bytes.size())
            break;
    }
    if (isOpen)
        visit(std::string_view(open), openLine);
}

// The first word of a statement: up to a blank, a comma or a quote.
std::string_view firstWordOf(std::string_view s)
{
    std::size_t n = 0;
    while (n < s.size() && s[n] != ' ' && s[n] != '\t' && s[n] != ',' && s[n] != '"')
        ++n;
    return s.substr(0, n);
}

// Whether `word`, in upper case, is `upperWord`.
bool sameUpper(std::string_view word, std::string_view upperWord)
{
    if (word.size() != upperWord.size())
        return false;
    for (std::size_t i = 0; i < word.size(); ++i) {
        const char c = word[i] >= 'a' && word[i] <= 'z' ? char(word[i] - 'a' + 'A') : word[i];
        if (c != upperWord[i])
            return false;
    }
    return true;
}

void toUpper(std::string &s)
{
    for (char &c : s)
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
}

std::string upper(std::string s)
{
    toUpper(s);
    return s;
}

// A control or item statement taken apart: its keyword, its text (as it
// stands between the quotes) and the arguments after it.
struct Parsed {
    std::string Keyword;
    std::optional<std::string_view> Text; // as the statement holds it, a view as Args
    std::vector<std::string_view> Args;   // views into the statement parsed
};

// Into `p`, whose room is used again from one statement to the next.
void parseInto(Parsed &p, std::string_view s, bool withArgs)
{
    p.Args.clear();
    p.Text.reset();
    p.Keyword.assign(firstWordOf(s));
    toUpper(p.Keyword);
    std::size_t i = p.Keyword.size();
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t'))
        ++i;
    if (i < s.size() && s[i] == '"') {
        // The text as it stands: double-byte characters whole, doubled quotes kept.
        const std::size_t from = ++i;
        std::size_t to = s.size();
        for (; i < s.size(); ++i) {
            const auto b = static_cast<unsigned char>(s[i]);
            if (isLeadByte(b) && i + 1 < s.size()) {
                ++i;
                continue;
            }
            if (s[i] == '"') {
                if (i + 1 < s.size() && s[i + 1] == '"') {
                    ++i;
                    continue;
                }
                to = i;
                ++i;
                break;
            }
        }
        p.Text = s.substr(from, to - from);
        while (i < s.size() && (s[i] == ' ' || s[i] == '\t'))
            ++i;
        if (i < s.size() && s[i] == ',')
            ++i;
    }
    if (!withArgs)
        return;
    int depth = 0;
    std::size_t argStart = i;
    for (; i < s.size(); ++i) {
        if (s[i] == '(')
            ++depth;
        else if (s[i] == ')')
            --depth;
        if (s[i] == ',' && depth == 0) {
            p.Args.emplace_back(RcTrimmed(s.substr(argStart, i - argStart)));
            argStart = i + 1;
        }
    }
    const std::string_view last = RcTrimmed(s.substr(std::min(argStart, s.size())));
    if (!last.empty() || !p.Args.empty())
        p.Args.emplace_back(last);
}

Parsed parse(std::string_view s, bool withArgs = true)
{
    Parsed p;
    parseInto(p, s, withArgs);
    return p;
}

// A number of the script, held to ±kMaxUnits: the compiler keeps 16 bits of
// a dialog unit, so anything larger is nonsense that must not overflow the
// sums below.
std::optional<int> number(std::string_view text)
{
    const std::string s(text);
    if (s.empty())
        return std::nullopt;
    char *end = nullptr;
    const long long v = std::strtoll(s.c_str(), &end, 0);
    if (end == s.c_str() || *RcTrimmed(end).data() != '\0')
        return std::nullopt;
    return int(std::clamp<long long>(v, -kMaxUnits, kMaxUnits));
}

int clampUnits(std::int64_t v)
{
    return int(std::clamp<std::int64_t>(v, -kMaxUnits, kMaxUnits));
}

bool isBegin(const std::string &word)
{
    return word == "BEGIN" || word == "{";
}

bool isEnd(const std::string &word)
{
    return word == "END" || word == "}";
}

// How a control gives its text room.
enum class Room { None, Static, Button, Box, Group };

struct Control {
    Room Kind = Room::None;
    int Width = 0;
    int Height = 0;
    bool Multiline = false;
};

Control controlOf(const Parsed &p)
{
    Control c;
    const auto size = [&](std::size_t at) {
        if (p.Args.size() < at + 4)
            return false;
        const auto w = number(p.Args[at + 2]);
        const auto h = number(p.Args[at + 3]);
        if (!w || !h)
            return false;
        c.Width = *w;
        c.Height = *h;
        return true;
    };
    static const std::map<std::string, Room> plain{
        {"LTEXT", Room::Static},         {"RTEXT", Room::Static},       {"CTEXT", Room::Static},
        {"PUSHBUTTON", Room::Button},    {"DEFPUSHBUTTON", Room::Button}, {"PUSHBOX", Room::Button},
        {"CHECKBOX", Room::Box},         {"AUTOCHECKBOX", Room::Box},   {"RADIOBUTTON", Room::Box},
        {"AUTORADIOBUTTON", Room::Box},  {"STATE3", Room::Box},         {"AUTO3STATE", Room::Box},
        {"GROUPBOX", Room::Group},
    };
    if (const auto it = plain.find(p.Keyword); it != plain.end()) {
        // "text", id, x, y, width, height [, style ...]
        if (size(1))
            c.Kind = it->second;
        // The style and extended style.
        std::string style;
        for (std::size_t a = 5; a < p.Args.size(); ++a)
            style += upper(std::string(p.Args[a])) + ' ';
        const auto has = [&](const char *flag) { return style.find(flag) != std::string::npos; };
        // An owner-drawn control draws no text of its own; nor does a push
        // button sunk into the dialog (WS_EX_CLIENTEDGE), which the program
        // paints itself, as task managers do their graphs.
        if (has("BS_OWNERDRAW") || has("SS_OWNERDRAW") || (c.Kind == Room::Button && has("WS_EX_CLIENTEDGE")))
            c.Kind = Room::None;
        c.Multiline = (c.Kind == Room::Static && !has("SS_LEFTNOWORDWRAP") && !has("SS_SIMPLE"))
                      || has("BS_MULTILINE");
        return c;
    }
    if (p.Keyword == "CONTROL" && p.Args.size() >= 7) {
        // "text", id, class, style, x, y, width, height
        const std::string type = upper(std::string(p.Args[1]));
        const std::string style = upper(std::string(p.Args[2]));
        const auto has = [&](const char *flag) { return style.find(flag) != std::string::npos; };
        if (!size(3))
            return c;
        if (has("BS_OWNERDRAW") || has("SS_OWNERDRAW"))
            return c; // draws no text of its own
        if (type.find("STATIC") != std::string::npos) {
            if (!has("SS_ICON") && !has("SS_BITMAP") && !has("SS_ETCHED") && !has("RECT") && !has("FRAME"))
                c.Kind = Room::Static;
            c.Multiline = !has("SS_LEFTNOWORDWRAP") && !has("SS_SIMPLE");
        } else if (type.find("BUTTON") != std::string::npos) {
            if (has("CHECKBOX") || has("RADIOBUTTON") || has("3STATE"))
                c.Kind = Room::Box;
            else if (has("GROUPBOX"))
                c.Kind = Room::Group;
            else
                c.Kind = Room::Button;
            c.Multiline = has("BS_MULTILINE");
        }
    }
    return c;
}

// Room for the text in dialog units: a check box or radio button gives 12
// units to its box and the gap after it, a group box's caption keeps 4 units
// from either edge, a button's text 1 unit from its border; a text that
// wraps has a line of 8 units' height for each 8 units of the control.
int roomOf(const Control &c)
{
    // In 64 bits: a width and a height of a billion units each still sum.
    const std::int64_t lines = c.Multiline ? std::max(1, c.Height / 8) : 1;
    const std::int64_t width = c.Width;
    switch (c.Kind) {
    case Room::Static: return clampUnits(width * lines);
    case Room::Button: return clampUnits((width - 2) * lines);
    case Room::Box: return clampUnits((width - 12) * lines);
    case Room::Group: return clampUnits(width - 8);
    case Room::None: break;
    }
    return 0;
}

struct Keyed {
    std::string Letter;
    std::string Text;
    int Line = 0;
};

// Two or more of the texts with one letter: each of them is a finding.
void clashes(const std::vector<Keyed> &items, const std::string &block, const std::string &path,
             std::vector<RcFinding> &out)
{
    std::map<std::string, int> count;
    for (const Keyed &k : items)
        ++count[k.Letter];
    for (std::size_t i = 0; i < items.size(); ++i) {
        const Keyed &k = items[i];
        if (count[k.Letter] < 2)
            continue;
        RcFinding f;
        f.Kind = CheckKind::HotkeyClash;
        f.Block = block;
        f.Text = k.Text;
        f.Line = k.Line;
        f.Letter = k.Letter;
        f.Path = path;
        for (std::size_t j = 0; j < items.size(); ++j)
            if (j != i && std::find(f.Taken.begin(), f.Taken.end(), items[j].Letter) == f.Taken.end())
                f.Taken.push_back(items[j].Letter);
        out.push_back(std::move(f));
    }
}

// A popup's text as a step of a menu path: without its hot key and its
// shortcut ("檔案(&F)" → "檔案", "&File" → "File").
std::string pathStep(std::string_view text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto b = static_cast<unsigned char>(text[i]);
        if (isLeadByte(b) && i + 1 < text.size()) {
            out += text[i];
            out += text[++i];
            continue;
        }
        if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == 't')
            break;
        if (text[i] == '(' && i + 3 < text.size() && text[i + 1] == '&' && text[i + 3] == ')') {
            i += 3;
            continue;
        }
        if (text[i] == '&') {
            if (i + 1 < text.size() && text[i + 1] == '&')
                out += text[++i];
            continue;
        }
        out += text[i];
    }
    while (!out.empty() && out.back() == ' ')
        out.pop_back();
    return out;
}

std::string joinedPath(const std::vector<std::string> &steps)
{
    std::string out;
    for (const std::string &step : steps)
        out += (out.empty() ? "" : " > ") + step;
    return out;
}

} // namespace

QString RcFindingDetail(const RcFinding &f)
{
    switch (f.Kind) {
    case CheckKind::HotkeyClash: {
        QString where = cp950::decode(f.Path);
        if (where.isEmpty())
            where = QString::fromStdString(f.Block);
        return QStringLiteral("熱鍵 %1，在 %2").arg(cp950::decode(f.Letter), where);
    }
    case CheckKind::TooWide:
    case CheckKind::TooTight:
        return QStringLiteral("寬 %1，控制項容得下 %2（以 %3 計）")
            .arg(f.Width)
            .arg(f.Room)
            .arg(QString::fromUtf16(kMeasureFont));
    default:
        return {};
    }
}

int DialogTextWidth(std::string_view text)
{
    // Each character adds at most 8: the sum stops at kMaxUnits long before
    // an int could overflow.
    std::int64_t width = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto b = static_cast<unsigned char>(text[i]);
        if (isLeadByte(b) && i + 1 < text.size()) {
            width += 8;
            ++i;
        } else if (text[i] == '&') {
            if (i + 1 < text.size() && text[i + 1] == '&') {
                width += 4;
                ++i;
            }
        } else if (text[i] == '"' && i + 1 < text.size() && text[i + 1] == '"') {
            width += 4;
            ++i;
        } else {
            width += 4;
        }
        if (width >= kMaxUnits)
            return kMaxUnits;
    }
    return int(width);
}

std::map<int, std::string> ResourceTextsByLine(std::string_view bytes)
{
    return ResourceTextsByLine(bytes, [](int) { return true; });
}

std::map<int, std::string> ResourceTextsByLine(std::string_view bytes, const std::function<bool(int)> &wanted)
{
    std::map<int, std::string> out;
    forEachStatement(bytes, [&](std::string_view text, int line) {
        if (!wanted(line))
            return;
        if (Parsed p = parse(text, false); p.Text)
            out.emplace(line, std::string(*p.Text));
    });
    return out;
}

std::vector<RcFinding> CheckResourceScript(std::string_view bytes)
{
    std::vector<RcFinding> out;
    enum class In { Nothing, MenuHead, Menu, DialogHead, Dialog } in = In::Nothing;
    std::string block;
    std::vector<std::vector<Keyed>> levels; // menu items by level, innermost last
    std::vector<std::string> path;          // the popups leading to each inner level
    std::string pendingPopup;               // the popup whose BEGIN comes next
    std::vector<Keyed> controls;
    std::string caption;
    int dialogDepth = 0;
    Parsed p; // each statement taken apart, in the room of the one before

    forEachStatement(bytes, [&](std::string_view text, int line) {
        // Outside menus and dialogs only the first two words count; only a
        // dialog's controls need their arguments.
        if (in == In::Nothing) {
            p.Keyword.clear();
            p.Text.reset();
            p.Args.clear();
        } else {
            parseInto(p, text, in == In::Dialog);
        }
        const struct {
            std::string_view Text;
            int Line;
        } st{text, line};
        const std::string &word = p.Keyword;
        switch (in) {
        case In::Nothing: {
            // "IDD_ABOUT DIALOGEX 0, 0, 200, 100" or "IDR_MAIN MENU".
            const std::string_view name = firstWordOf(st.Text);
            const std::string_view second = firstWordOf(RcTrimmed(st.Text.substr(name.size())));
            if (sameUpper(second, "MENU") || sameUpper(second, "MENUEX"))
                in = In::MenuHead;
            else if (sameUpper(second, "DIALOG") || sameUpper(second, "DIALOGEX"))
                in = In::DialogHead;
            if (in != In::Nothing) {
                block = name;
                caption.clear();
            }
            break;
        }
        case In::MenuHead:
            if (isBegin(word)) {
                in = In::Menu;
                levels.assign(1, {});
                path.clear();
                pendingPopup.clear();
            }
            break;
        case In::Menu:
            if (isBegin(word)) {
                levels.emplace_back();
                path.push_back(pendingPopup);
                pendingPopup.clear();
            } else if (isEnd(word)) {
                clashes(levels.back(), block, joinedPath(path), out);
                levels.pop_back();
                if (!path.empty())
                    path.pop_back();
                if (levels.empty())
                    in = In::Nothing;
            } else if ((word == "MENUITEM" || word == "POPUP") && p.Text && !levels.empty()) {
                const std::string letter = HotkeyLetterOf(*p.Text);
                if (!letter.empty())
                    levels.back().push_back({letter, std::string(*p.Text), st.Line});
                if (word == "POPUP")
                    pendingPopup = pathStep(*p.Text);
            }
            break;
        case In::DialogHead:
            if (word == "CAPTION" && p.Text) {
                caption = pathStep(*p.Text);
            } else if (isBegin(word)) {
                in = In::Dialog;
                dialogDepth = 1;
                controls.clear();
            }
            break;
        case In::Dialog:
            if (isBegin(word)) {
                ++dialogDepth;
            } else if (isEnd(word)) {
                if (--dialogDepth == 0) {
                    clashes(controls, block, caption, out);
                    in = In::Nothing;
                }
            } else if (p.Text && !p.Text->empty()) {
                if (const std::string letter = HotkeyLetterOf(*p.Text); !letter.empty())
                    controls.push_back({letter, std::string(*p.Text), st.Line});
                const Control c = controlOf(p);
                if (c.Kind != Room::None) {
                    const int width = DialogTextWidth(*p.Text);
                    const int room = roomOf(c);
                    if (std::int64_t(width) >= std::int64_t(room) - kTightUnits) {
                        RcFinding f;
                        f.Kind = width > room ? CheckKind::TooWide : CheckKind::TooTight;
                        f.Block = block;
                        f.Text = *p.Text;
                        f.Line = st.Line;
                        f.Width = width;
                        f.Room = room;
                        out.push_back(std::move(f));
                    }
                }
            }
            break;
        }
    });
    std::stable_sort(out.begin(), out.end(), [](const RcFinding &a, const RcFinding &b) { return a.Line < b.Line; });
    return out;
}

std::vector<RcStatement> ResourceStatements(std::string_view bytes)
{
    std::vector<RcStatement> out;
    forEachStatement(bytes, [&](std::string_view text, int line) {
        Parsed p = parse(text);
        std::optional<std::string> quoted;
        if (p.Text)
            quoted = std::string(*p.Text);
        out.push_back({std::string(text), line, std::move(p.Keyword), std::move(quoted),
                       std::vector<std::string>(p.Args.begin(), p.Args.end())});
    });
    return out;
}
