#pragma once
// Whether a file read as a dictionary looks like one. Any text file loads as
// a dictionary (its lines taken two by two), and saving it rewrites it as
// sorted pairs: a resource script opened by mistake would be destroyed. The
// load hands every line to FileShape, which notes what no dictionary holds:
// the lines of a resource script, or NUL bytes (a binary file, UTF-16 text).

#include <QString>

#include <cstddef>
#include <string_view>

enum class FileDoubt {
    None,           // reads as a dictionary
    ResourceScript, // BEGIN/END blocks, #include and resource statements
    NulBytes,       // holds NUL bytes
};

class FileShape {
public:
    void AddLine(std::string_view line);
    FileDoubt Doubt() const;

    // The lines looked at for resource-script lines; a script shows what it
    // is long before this (NUL bytes are looked for in every line).
    static constexpr std::size_t kLinesLookedAt = 10000;

private:
    std::size_t lines_ = 0;
    bool nul_ = false;
    std::size_t blockLines_ = 0;     // BEGIN, END, { or } alone on a line
    std::size_t directiveLines_ = 0; // #include, #define, #if ...
    std::size_t statementLines_ = 0; // DIALOG headers, MENUITEM, LTEXT, STRINGTABLE ...
};

// Why the file is taken for no dictionary, for the user; empty for None.
QString FileDoubtText(FileDoubt doubt);
