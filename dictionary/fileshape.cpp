#include "dictionary/fileshape.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace {

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool isWordByte(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
}

std::string_view trimmed(std::string_view line)
{
    while (!line.empty() && isBlank(line.front()))
        line.remove_prefix(1);
    while (!line.empty() && isBlank(line.back()))
        line.remove_suffix(1);
    return line;
}

// The word at the start of `text`, and `text` after it and the blanks behind it.
std::string_view takeWord(std::string_view &text)
{
    std::size_t n = 0;
    while (n < text.size() && isWordByte(text[n]))
        ++n;
    const std::string_view word = text.substr(0, n);
    text.remove_prefix(n);
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    return word;
}

template <std::size_t N>
bool among(std::string_view word, const std::array<std::string_view, N> &words)
{
    return std::find(words.begin(), words.end(), word) != words.end();
}

// Statements that open a line of a resource script, with what must follow.
constexpr std::array<std::string_view, 27> kStatementWords{
    "MENUITEM", "POPUP", "LTEXT", "RTEXT", "CTEXT", "PUSHBUTTON", "DEFPUSHBUTTON", "CONTROL", "GROUPBOX",
    "EDITTEXT", "COMBOBOX", "LISTBOX", "CHECKBOX", "AUTOCHECKBOX", "RADIOBUTTON", "AUTORADIOBUTTON",
    "AUTO3STATE", "STATE3", "SCROLLBAR", "ICON", "CAPTION", "STYLE", "EXSTYLE", "FONT", "LANGUAGE",
    "VALUE", "BLOCK"};
// Words that follow a resource's name on its header line ("IDD_ABOUT DIALOGEX 0, 0, 200, 100").
constexpr std::array<std::string_view, 16> kResourceTypes{
    "DIALOG", "DIALOGEX", "MENU", "MENUEX", "ACCELERATORS", "ICON", "BITMAP", "CURSOR", "VERSIONINFO",
    "RCDATA", "TEXTINCLUDE", "TOOLBAR", "DLGINIT", "HTML", "AVI", "DESIGNINFO"};
constexpr std::array<std::string_view, 10> kDirectives{
    "include", "define", "undef", "if", "ifdef", "ifndef", "elif", "else", "endif", "pragma"};

// A name as resource scripts write them: IDD_ABOUT, WS_POPUP, SEPARATOR, 101.
bool isCapsName(std::string_view word)
{
    return !word.empty() && !(word.front() >= 'a' && word.front() <= 'z')
           && std::none_of(word.begin(), word.end(), [](char c) { return c >= 'a' && c <= 'z'; });
}

bool isStatement(std::string_view line)
{
    std::string_view rest = line;
    const std::string_view first = takeWord(rest);
    if (!isCapsName(first))
        return false;
    if (first == "STRINGTABLE")
        return true;
    if (among(first, kStatementWords)) {
        // A text in quotes, a number or a name follows, never plain words.
        if (rest.empty())
            return false;
        if (rest.front() == '"')
            return true;
        const std::string_view next = takeWord(rest);
        return isCapsName(next) && (next.size() >= 2 || (next.front() >= '0' && next.front() <= '9'));
    }
    // A string of a string table: IDS_OPEN "Open", 101 "Open".
    if (!rest.empty() && rest.front() == '"')
        return first.find('_') != std::string_view::npos
               || std::all_of(first.begin(), first.end(), [](char c) { return c >= '0' && c <= '9'; });
    return among(takeWord(rest), kResourceTypes);
}

bool isDirective(std::string_view line)
{
    if (line.empty() || line.front() != '#')
        return false;
    line.remove_prefix(1);
    while (!line.empty() && isBlank(line.front()))
        line.remove_prefix(1);
    std::string_view rest = line;
    const std::string_view word = takeWord(rest);
    return among(word, kDirectives) && (word.size() == line.size() || isBlank(line[word.size()]) || line[word.size()] == '"'
                                        || line[word.size()] == '<' || line[word.size()] == '(');
}

} // namespace

void FileShape::AddLine(std::string_view line)
{
    if (!nul_ && std::memchr(line.data(), '\0', line.size()))
        nul_ = true;
    if (lines_ >= kLinesLookedAt)
        return;
    ++lines_;
    const std::string_view t = trimmed(line);
    if (t.empty())
        return;
    if (t == "BEGIN" || t == "END" || t == "{" || t == "}")
        ++blockLines_;
    else if (t.front() == '#')
        directiveLines_ += isDirective(t) ? 1 : 0;
    else
        statementLines_ += isStatement(t) ? 1 : 0;
}

FileDoubt FileShape::Doubt() const
{
    if (nul_)
        return FileDoubt::NulBytes;
    // One odd line of each kind could be a text of a dictionary; a script
    // has blocks with statements in them, or includes beside statements.
    const int kinds = int(blockLines_ >= 2) + int(directiveLines_ >= 1) + int(statementLines_ >= 2);
    if (kinds >= 2 && blockLines_ + directiveLines_ + statementLines_ >= 4)
        return FileDoubt::ResourceScript;
    return FileDoubt::None;
}

QString FileDoubtText(FileDoubt doubt)
{
    switch (doubt) {
    case FileDoubt::ResourceScript:
        return QStringLiteral("它看起來是資源檔（RC 檔），有 BEGIN/END 區塊、#include 或資源敘述");
    case FileDoubt::NulBytes:
        return QStringLiteral("其中有 NUL 位元組，它可能是二進位檔或 UTF-16 的文字檔");
    case FileDoubt::None:
        break;
    }
    return {};
}
