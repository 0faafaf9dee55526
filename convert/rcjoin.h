#pragma once
// Statements of a resource script that stand on more than one line, joined
// into one line for the scripts, whose rules see one line at a time:
//
// - a string whose line ends in a backslash inside the quotes goes on in
//   the next line; the resource compiler removes the backslash and the line
//   end, and so does the joined line;
// - a string-table entry whose identifier stands alone on its line and
//   whose string begins the next line becomes "IDENTIFIER "string"".
//
// The joined copy is what the interpreter reads; every line that is not
// joined keeps its bytes and its line end. Lines are counted from 0.

#include <string>
#include <string_view>
#include <vector>

// A line of the copy that holds more than one line of the file.
struct JoinedLine {
    int CopyLine = 0;
    int FirstLine = 0; // the first line of the file it comes from
    int Count = 0;     // how many lines of the file it holds
};

struct JoinedScript {
    std::string Bytes; // the copy; equal to the file when nothing is joined
    // The copy's joined lines, in order; every other line of the copy is
    // one line of the file.
    std::vector<JoinedLine> Joined;
    int Continuations = 0;   // line ends removed after a backslash
    int SplitStatements = 0; // string-table entries whose string was on the next line
    bool joined() const { return Continuations + SplitStatements > 0; }
    // The line of the file where a line of the copy begins.
    int OriginalLine(int copyLine) const;
    // How many lines of the file a line of the copy holds.
    int LineCount(int copyLine) const;
};

// The lines of the file for lines of the copy asked one after another,
// mostly in order (a reading's texts): each found from where the last one
// was, without a search.
class LineMapper {
public:
    explicit LineMapper(const JoinedScript &join) : join_(join) {}
    int operator()(int copyLine);

private:
    const JoinedScript &join_;
    std::size_t after_ = 0; // the first joined line past the last line asked
};

// `bytes` are code page 950 (or the Big5 copy of another encoding): the
// second byte of a double-byte character may be a backslash and ends no
// string.
// `copyWhenNoneJoins` false: a file in which nothing joins gets no copy
// (Bytes stays empty).
JoinedScript JoinStatements(std::string_view bytes, bool copyWhenNoneJoins = true);
// The same done in `bytes` themselves, which become the joined copy; the
// result's Bytes stay empty.
JoinedScript JoinStatementsInPlace(std::string &bytes);

// The translation written for a joined copy, given back the file's own
// lines: a joined line the translation left as it was becomes the lines it
// was joined from again; a translated one is written on the first of them,
// and the others are left empty, so that the file keeps its number of lines
// and every other line its place. `output` is what the translation script
// wrote for `join.Bytes`; the result ends every line in CR LF, as the
// script does.
std::string UnjoinTranslation(std::string_view output, const JoinedScript &join, std::string_view original);
// The same with the joined copy's bytes held elsewhere (`copy`).
std::string UnjoinTranslation(std::string_view output, const JoinedScript &join, std::string_view copy,
                              std::string_view original);
