#include "convert/rcaccount.h"

#include <algorithm>

namespace {

enum class Block { None, Menu, Dialog, Strings, Version, Other };

bool isWord(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\x0B';
}

std::string_view trimmed(std::string_view s)
{
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

// The words of a line before its first quote, upper case as written: the
// first two, and how many there are (counted up to three).
struct LeadingWords {
    std::string_view Word[2];
    int Count = 0;
    bool empty() const { return Count == 0; }
    std::size_t size() const { return std::size_t(Count); }
    std::string_view operator[](std::size_t i) const { return Word[i]; }
};

LeadingWords wordsBeforeQuote(std::string_view line)
{
    LeadingWords words;
    std::size_t i = 0;
    while (i < line.size() && line[i] != '"' && words.Count < 3) {
        if (isWord(line[i])) {
            const std::size_t start = i;
            while (i < line.size() && isWord(line[i]))
                ++i;
            if (words.Count < 2)
                words.Word[words.Count] = line.substr(start, i - start);
            ++words.Count;
        } else {
            ++i;
        }
    }
    return words;
}

// A quoted string as it stands between the quotes, doubled quotes kept.
struct Literal {
    std::string_view Text;
};

// Where the string opened by the quote at `open` ends: its closing quote
// (a doubled quote stays in the string), or the line's end.
std::size_t closingQuote(std::string_view line, std::size_t open)
{
    std::size_t j = open + 1;
    while (j < line.size()) {
        j = std::min(line.find('"', j), line.size());
        if (j + 1 < line.size() && line[j + 1] == '"') {
            j += 2;
            continue;
        }
        break;
    }
    return std::min(j, line.size());
}

// The line with its comments blanked out, and its quoted strings. A
// comment that /* opens and does not close goes on in `inComment`.
// Returns the code: `code`, or the line itself where nothing was blanked.
std::string_view literalsOf(std::string_view line, bool &inComment, std::string &code, std::vector<Literal> &literals)
{
    literals.clear();
    code.clear();
    // Without a slash no comment begins or ends here: the strings alone are
    // looked for, and the line stands for its own code up to its first quote.
    if (!inComment && line.find('/') == std::string_view::npos) {
        for (std::size_t i = line.find('"'); i != std::string_view::npos; i = line.find('"', i)) {
            const std::size_t j = closingQuote(line, i);
            literals.push_back({line.substr(i + 1, j - i - 1)});
            if (j >= line.size())
                break;
            i = j + 1;
        }
        return line;
    }
    std::size_t i = 0;
    while (i < line.size()) {
        if (inComment) {
            const std::size_t close = line.find("*/", i);
            if (close == std::string_view::npos)
                return code;
            inComment = false;
            i = close + 2;
            continue;
        }
        // Code up to the next quote or slash goes over as it is.
        const std::size_t special = std::min(line.find('"', i), line.find('/', i));
        if (special == std::string_view::npos) {
            code += line.substr(i);
            return code;
        }
        code += line.substr(i, special - i);
        i = special;
        const char c = line[i];
        if (c == '/' && i + 1 < line.size() && line[i + 1] == '/')
            break;
        if (c == '/' && i + 1 < line.size() && line[i + 1] == '*') {
            inComment = true;
            i += 2;
            continue;
        }
        if (c == '"') {
            const std::size_t j = closingQuote(line, i);
            literals.push_back({line.substr(i + 1, j - i - 1)});
            code += '"';
            i = j + 1;
            continue;
        }
        code += c;
        ++i;
    }
    return code;
}

bool visible(std::string_view text)
{
    return !trimmed(text).empty();
}

bool oneOf(std::string_view word, std::initializer_list<std::string_view> list)
{
    return std::find(list.begin(), list.end(), word) != list.end();
}

// Whether a header line is one the scripts' block rules see: a name, one
// blank and the keyword at the start of the line, or STRINGTABLE there.
bool headerSeen(std::string_view line, Block kind)
{
    if (kind == Block::Strings)
        return line.substr(0, 11) == "STRINGTABLE";
    std::size_t i = 0;
    while (i < line.size() && isWord(line[i]))
        ++i;
    if (i == 0 || i >= line.size() || line[i] != ' ')
        return false;
    const std::string_view rest = line.substr(i + 1);
    if (kind == Block::Menu)
        return rest.substr(0, 4) == "MENU";
    return rest.substr(0, 7) == "DIALOG " || rest.substr(0, 9) == "DIALOGEX ";
}

} // namespace

std::vector<bool> LinesOf(const std::vector<int> &lines)
{
    std::vector<bool> out;
    for (const int line : lines) {
        if (line < 0)
            continue;
        if (std::size_t(line) >= out.size())
            out.resize(std::size_t(line) + 1 + out.size() / 2);
        out[std::size_t(line)] = true;
    }
    return out;
}

StringAccount AccountStrings(std::string_view bytes, const std::vector<bool> &takenLines)
{
    StringAccount account;
    Block block = Block::None;
    Block pending = Block::None;
    bool seen = true;
    int depth = 0;
    bool inComment = false;
    std::string code;
    std::vector<Literal> literals;
    std::vector<std::size_t> texts;
    // Lines on which a taken text was counted, or whose quotes are in a
    // comment; room for the lines taken from the start.
    std::vector<bool> counted(takenLines.size());
    const auto markCounted = [&counted](int line) {
        if (counted.size() <= std::size_t(line))
            counted.resize(std::max(counted.size() * 2, std::size_t(line) + 1));
        counted[std::size_t(line)] = true;
    };
    int lineNo = 0;
    for (std::size_t start = 0; start < bytes.size(); ++lineNo) {
        std::size_t end = bytes.find('\n', start);
        if (end == std::string_view::npos)
            end = bytes.size();
        const std::string_view line = bytes.substr(start, end - start);
        start = end + 1;

        const bool wasInComment = inComment;
        // A line without quotes or slashes is its own code and holds no string.
        literals.clear();
        std::string_view codeView = line;
        if (inComment || line.find('"') != std::string_view::npos || line.find('/') != std::string_view::npos) {
            codeView = literalsOf(line, inComment, code, literals);
            // A string the rules take out of a comment is no text of the file.
            if (literals.empty() && line.find('"') != std::string_view::npos) {
                markCounted(lineNo);
                if (std::size_t(lineNo) < takenLines.size() && takenLines[std::size_t(lineNo)])
                    account.TakenFromComments.push_back({lineNo, std::string(trimmed(line))});
            }
        }
        const std::string_view t = trimmed(codeView);
        if (!wasInComment && !t.empty() && t.front() == '#')
            continue; // #include, #pragma, #define: no texts
        if (t == "BEGIN" || t == "{") {
            if (depth++ == 0 && pending != Block::None) {
                block = pending;
                pending = Block::None;
            }
            continue;
        }
        if (t == "END" || t == "}") {
            if (depth > 0 && --depth == 0)
                block = Block::None;
            continue;
        }
        const LeadingWords words = wordsBeforeQuote(codeView);
        if (depth == 0) {
            // A statement at the top: a block header, or a resource that
            // names a file, or LANGUAGE and the like.
            Block kind = Block::Other;
            if (!words.empty() && words[0] == "STRINGTABLE")
                kind = Block::Strings;
            else if (words.size() >= 2 && oneOf(words[1], {"MENU", "MENUEX"}))
                kind = Block::Menu;
            else if (words.size() >= 2 && oneOf(words[1], {"DIALOG", "DIALOGEX"}))
                kind = Block::Dialog;
            else if (words.size() >= 2 && words[1] == "VERSIONINFO")
                kind = Block::Version;
            const bool property = !words.empty() && oneOf(words[0], {"STYLE", "EXSTYLE", "CAPTION", "FONT", "CLASS",
                                                                     "MENU", "LANGUAGE", "CHARACTERISTICS", "VERSION",
                                                                     "FILEVERSION", "PRODUCTVERSION", "FILEFLAGSMASK",
                                                                     "FILEFLAGS", "FILEOS", "FILETYPE", "FILESUBTYPE"});
            if (kind != Block::Other) {
                pending = kind;
                seen = headerSeen(line, kind);
            } else if (!property && !words.empty()) {
                pending = Block::Other; // ACCELERATORS, a file named by ICON or BITMAP, ...
            }
            // Before a dialog's BEGIN: its caption is a text.
            if (pending != Block::Dialog || words.empty() || words[0] != "CAPTION")
                continue;
        } else if (block == Block::None || block == Block::Other) {
            continue;
        }

        // Which literals of this line are texts.
        texts.clear();
        // A menu item's or control's text is its first argument: the
        // keyword alone stands before it ("static" in CONTROL IDI_X, -1,
        // "static" names a window class).
        const std::string_view first = words.size() == 1 ? words[0] : std::string_view();
        const Block kind = depth == 0 ? Block::Dialog : block;
        switch (kind) {
        case Block::Menu:
            if (oneOf(first, {"MENUITEM", "POPUP"}) && !literals.empty())
                texts.push_back(0);
            break;
        case Block::Dialog:
            if (!literals.empty()
                && oneOf(first, {"CAPTION", "LTEXT", "RTEXT", "CTEXT", "PUSHBUTTON", "DEFPUSHBUTTON", "GROUPBOX",
                                 "CHECKBOX", "AUTOCHECKBOX", "RADIOBUTTON", "AUTORADIOBUTTON", "STATE3",
                                 "AUTO3STATE", "PUSHBOX", "CONTROL"}))
                texts.push_back(0);
            break;
        case Block::Strings:
            if (!literals.empty() && !words.empty())
                texts.push_back(0);
            break;
        case Block::Version:
            if (!words.empty() && words[0] == "VALUE" && literals.size() >= 2 && literals[0].Text != "Translation")
                for (std::size_t k = 1; k < literals.size(); ++k)
                    texts.push_back(k);
            break;
        default:
            break;
        }
        bool firstOnLine = true;
        for (const std::size_t k : texts) {
            const std::string_view text = literals[k].Text;
            if (!visible(text))
                continue;
            ++account.InFile;
            if (kind == Block::Version) {
                account.NotReached.push_back({lineNo, std::string(text), Unreached::VersionValue});
            } else if (!seen) {
                account.NotReached.push_back({lineNo, std::string(text), Unreached::BlockUnseen});
            } else if (!firstOnLine) {
                account.NotReached.push_back({lineNo, std::string(text), Unreached::SecondText});
            } else if (std::size_t(lineNo) < takenLines.size() && takenLines[std::size_t(lineNo)]) {
                ++account.Taken;
                markCounted(lineNo);
            } else if (text == "0") {
                account.NotReached.push_back({lineNo, std::string(text), Unreached::PerlFalse});
            } else {
                account.NotReached.push_back({lineNo, std::string(text), Unreached::LineShape});
            }
            firstOnLine = false;
        }
    }
    // A text the rules took where the statement is none this reading knows
    // (a control keyword of another tool, say) is a text all the same.
    for (std::size_t line = 0; line < takenLines.size(); ++line)
        if (takenLines[line] && (line >= counted.size() || !counted[line])) {
            ++account.InFile;
            ++account.Taken;
        }
    return account;
}
