#pragma once
// Every quoted string of a resource script that is a text a user sees,
// and whether the scripts' rules reach it: menu items, dialog captions and
// control texts, string-table entries and version values. File names,
// #include and other preprocessor lines, font and window-class names,
// accelerator keys, version keys, comments, and empty or blank strings are
// no texts.
//
// Lines are counted from 0 here, as in the reader.

#include <string>
#include <string_view>
#include <vector>

enum class Unreached {
    VersionValue, // a VERSIONINFO value: neither script reads version blocks
    BlockUnseen,  // the block's header is not written the way the rules look for it
    LineShape,    // the line is not shaped as the rules' patterns want
    SecondText,   // the rules take only the first text of a line
    PerlFalse,    // "0": the translation script takes it for false and looks nothing up
};

struct UnreachedString {
    int Line = 0;
    std::string Text;
    Unreached Why = Unreached::LineShape;
};

// A string in a comment that the rules take all the same (they do not
// know comments): no text of the file, but a pair or a lookup of its own.
struct CommentedString {
    int Line = 0;
    std::string Text; // the line, without the blanks around it
};

struct StringAccount {
    int InFile = 0; // texts in the file
    int Taken = 0;  // of them, reached by the rules
    std::vector<UnreachedString> NotReached;
    std::vector<CommentedString> TakenFromComments;
};

// `bytes` is what the script reads (a joined copy, where there is one);
// `takenLines` holds the lines on which the rules took a text.
StringAccount AccountStrings(std::string_view bytes, const std::vector<bool> &takenLines);
std::vector<bool> LinesOf(const std::vector<int> &lines);
