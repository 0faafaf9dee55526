#include "convert/rcjoin.h"

#include <algorithm>
#include <cstring>

namespace {

struct RawLine {
    std::string_view Text; // without its line end
    std::string_view End;  // "\r\n", "\n" or nothing on a last line without one
};

// The lines of a text one after another, each with its line end.
class LineCursor {
public:
    explicit LineCursor(std::string_view bytes) : bytes_(bytes) {}
    // The next line; false after the last one.
    bool next(RawLine &line)
    {
        if (peeked_) {
            line = peek_;
            peeked_ = false;
            return true;
        }
        if (start_ >= bytes_.size())
            return false;
        const std::size_t lf = bytes_.find('\n', start_);
        if (lf == std::string_view::npos) {
            line = {bytes_.substr(start_), {}};
            start_ = bytes_.size();
            return true;
        }
        std::size_t end = lf;
        if (end > start_ && bytes_[end - 1] == '\r')
            --end;
        line = {bytes_.substr(start_, end - start_), bytes_.substr(end, lf + 1 - end)};
        start_ = lf + 1;
        return true;
    }

    // The line next() gives next, without taking it.
    bool peek(RawLine &line)
    {
        if (!peeked_ && !next(peek_))
            return false;
        peeked_ = true;
        line = peek_;
        return true;
    }

private:
    std::string_view bytes_;
    std::size_t start_ = 0;
    RawLine peek_;
    bool peeked_ = false;
};

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

bool isWord(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

bool isLeadByte(unsigned char c)
{
    return c >= 0x81 && c <= 0xFE;
}

std::string_view trimmed(std::string_view s)
{
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && (isBlank(s.back()) || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

// Whether a line ends inside a string with a backslash of its own (not the
// second byte of a double-byte character). Quotes are counted outside line
// comments; a doubled quote inside a string counts twice and so changes
// nothing.
// Whether `line`, read on from within a string (`inside`) or from outside
// one, ends inside a string with a backslash of its own.
bool continuesFrom(bool inside, std::string_view line)
{
    // Only a line whose last byte is a backslash can go on.
    if (line.empty() || line.back() != '\\')
        return false;
    bool backslashLast = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(line[i]);
        backslashLast = false;
        if (!inside && c == '/' && i + 1 < line.size() && line[i + 1] == '/')
            return false;
        if (c == '"') {
            inside = !inside;
        } else if (isLeadByte(c) && i + 1 < line.size()) {
            ++i;
        } else if (c == '\\') {
            backslashLast = true;
        }
    }
    return inside && backslashLast;
}

bool continuesString(std::string_view line)
{
    return continuesFrom(false, line);
}

// An identifier alone on its line, a comma after it allowed.
bool identifierOnly(std::string_view line)
{
    line = trimmed(line);
    if (!line.empty() && line.back() == ',')
        line = trimmed(line.substr(0, line.size() - 1));
    if (line.empty() || line == "BEGIN" || line == "END")
        return false;
    for (const char c : line)
        if (!isWord(c))
            return false;
    return true;
}

bool startsString(std::string_view line)
{
    line = trimmed(line);
    return !line.empty() && line.front() == '"';
}

// Where the string tables are: after a line beginning with STRINGTABLE,
// from its first BEGIN or "{" line to its END or "}" line.
struct TableState {
    bool header = false;
    bool inside = false;
    void see(std::string_view line)
    {
        const std::string_view t = trimmed(line);
        if (line.substr(0, 11) == "STRINGTABLE") {
            header = true;
            inside = false;
        } else if (header && !inside && (t == "BEGIN" || t == "{")) {
            inside = true;
        } else if (inside && (t == "END" || t == "}")) {
            header = false;
            inside = false;
        }
    }
};

} // namespace

namespace {

// The last joined line at or before `copyLine`, or none.
const JoinedLine *joinedAtOrBefore(const std::vector<JoinedLine> &joined, int copyLine)
{
    const auto after = std::upper_bound(joined.begin(), joined.end(), copyLine,
                                        [](int line, const JoinedLine &j) { return line < j.CopyLine; });
    return after == joined.begin() ? nullptr : &*(after - 1);
}

// The line of the file where `copyLine` begins, with `j` the last joined
// line at or before it: one line of the file for each line of the copy since.
int fileLine(const JoinedLine *j, int copyLine)
{
    if (!j)
        return copyLine;
    return j->CopyLine == copyLine ? j->FirstLine : j->FirstLine + j->Count + (copyLine - j->CopyLine - 1);
}

} // namespace

int JoinedScript::OriginalLine(int copyLine) const
{
    return fileLine(joinedAtOrBefore(Joined, copyLine), copyLine);
}

int LineMapper::operator()(int copyLine)
{
    const std::vector<JoinedLine> &joined = join_.Joined;
    // A few joined lines on, or a search: lines asked out of order cost
    // what OriginalLine does.
    int steps = 0;
    while (after_ < joined.size() && joined[after_].CopyLine <= copyLine && ++steps <= 8)
        ++after_;
    if ((after_ < joined.size() && joined[after_].CopyLine <= copyLine)
        || (after_ > 0 && joined[after_ - 1].CopyLine > copyLine)) {
        const JoinedLine *j = joinedAtOrBefore(joined, copyLine);
        after_ = j ? std::size_t(j - joined.data()) + 1 : 0;
    }
    return fileLine(after_ == 0 ? nullptr : &joined[after_ - 1], copyLine);
}

int JoinedScript::LineCount(int copyLine) const
{
    const JoinedLine *j = joinedAtOrBefore(Joined, copyLine);
    return j && j->CopyLine == copyLine ? j->Count : 1;
}

namespace {

// Where a joining writes: a copy of its own, or the bytes it reads, from
// their start on. A joined line is never longer than the lines it was
// joined from (a backslash and a line end go, a line end becomes at most
// one blank), so the bytes written never reach those still to be read.
struct CopySink {
    std::string &out;
    void append(const char *from, std::size_t n) { out.append(from, n); }
    void append(std::string_view s) { out.append(s); }
};

struct InPlaceSink {
    std::string &bytes;
    std::size_t at = 0;
    void append(const char *from, std::size_t n)
    {
        if (from != bytes.data() + at)
            std::memmove(bytes.data() + at, from, n);
        at += n;
    }
    void append(std::string_view s) { append(s.data(), s.size()); }
};

// Joins `bytes` into the sink up to their last stretch of lines that join
// nothing, and returns where that stretch begins.
template <typename Sink>
const char *joinInto(std::string_view bytes, JoinedScript &join, Sink &sink)
{
    LineCursor lines(bytes);
    TableState table;
    std::string logical;
    RawLine raw;
    RawLine next;
    // Lines that join nothing go to the copy as they are, a stretch of them
    // at a time: from `plain` to where the current line begins.
    const char *plain = bytes.data();
    const auto copyPlain = [&](const char *upTo) { sink.append(plain, std::size_t(upTo - plain)); };
    for (int i = 0, copyLine = 0; lines.next(raw); ++copyLine) {
        const int first = i++;
        const bool continues = continuesString(raw.Text);
        const bool maybe = continues || (table.inside && identifierOnly(raw.Text));
        if (!maybe || raw.End.empty() || !lines.peek(next)) {
            table.see(raw.Text);
            continue;
        }
        copyPlain(raw.Text.data());
        logical.assign(raw.Text);
        std::string_view end = raw.End;
        const char *consumed = raw.Text.data() + raw.Text.size() + raw.End.size(); // past the lines joined
        // Whether the joined line goes on, known for the line last added: a
        // string continued and joined is a string still open where the next
        // line's bytes begin.
        bool goesOn = continues;
        while (!end.empty() && lines.peek(next)) {
            const bool continued = goesOn;
            if (continued) {
                logical.pop_back();
                ++join.Continuations;
            } else if (table.inside && identifierOnly(logical) && startsString(next.Text)) {
                while (!logical.empty() && isBlank(logical.back()))
                    logical.pop_back();
                logical += ' ';
                while (!next.Text.empty() && isBlank(next.Text.front()))
                    next.Text.remove_prefix(1);
                ++join.SplitStatements;
            } else {
                break;
            }
            lines.next(raw); // the line peeked at
            logical += next.Text;
            // (An empty line adds nothing to read on from.)
            goesOn = continued && !next.Text.empty() ? continuesFrom(true, next.Text) : continuesString(logical);
            end = next.End;
            consumed = next.Text.data() + next.Text.size() + next.End.size();
            ++i;
        }
        table.see(logical);
        const std::string lineEnd(end); // written in place, the line end's bytes may be overwritten
        sink.append(logical);
        sink.append(lineEnd);
        plain = consumed;
        if (i - first > 1)
            join.Joined.push_back({copyLine, first, i - first});
    }
    return plain;
}

} // namespace

JoinedScript JoinStatements(std::string_view bytes, bool copyWhenNoneJoins)
{
    JoinedScript join;
    join.Bytes.reserve(bytes.size());
    CopySink sink{join.Bytes};
    const char *rest = joinInto(bytes, join, sink);
    if (!join.joined() && !copyWhenNoneJoins) {
        join = JoinedScript{};
        return join;
    }
    sink.append(rest, std::size_t(bytes.data() + bytes.size() - rest));
    return join;
}

JoinedScript JoinStatementsInPlace(std::string &bytes)
{
    JoinedScript join;
    InPlaceSink sink{bytes};
    const char *rest = joinInto(bytes, join, sink);
    sink.append(rest, std::size_t(bytes.data() + bytes.size() - rest));
    bytes.resize(sink.at);
    return join;
}

std::string UnjoinTranslation(std::string_view output, const JoinedScript &join, std::string_view original)
{
    return UnjoinTranslation(output, join, join.Bytes, original);
}

std::string UnjoinTranslation(std::string_view output, const JoinedScript &join, std::string_view copyBytes,
                              std::string_view original)
{
    // The three texts are walked side by side: the output and the copy line
    // by line, the file from the first line of each joined line on.
    LineCursor written(output);
    LineCursor copy(copyBytes);
    LineCursor lines(original);
    std::size_t linesRead = 0; // lines of the file taken from `lines`
    RawLine fileLine;
    std::string out;
    out.reserve(output.size() + output.size() / 16);
    RawLine w;
    RawLine c;
    // Lines written as they stand in the output (ending in CR LF) are copied
    // a stretch at a time: from `plain` to the line at hand.
    const char *plain = output.data();
    const auto copyPlain = [&](const char *upTo) { out.append(plain, std::size_t(upTo - plain)); };
    auto nextJoined = join.Joined.begin();
    for (std::size_t k = 0; written.next(w); ++k) {
        const bool haveCopy = copy.next(c);
        const JoinedLine *joinedLine = nullptr;
        if (nextJoined != join.Joined.end() && std::size_t(nextJoined->CopyLine) == k)
            joinedLine = &*nextJoined++;
        const bool joined = joinedLine && haveCopy;
        if (!joined && w.End == "\r\n")
            continue;
        copyPlain(w.Text.data());
        plain = w.Text.data() + w.Text.size() + w.End.size();
        if (joined && w.Text == c.Text) {
            const auto from = std::size_t(joinedLine->FirstLine);
            const std::size_t to = from + std::size_t(joinedLine->Count);
            bool more = true;
            while (linesRead < from && (more = lines.next(fileLine)))
                ++linesRead;
            for (; more && linesRead < to && (more = lines.next(fileLine)); ++linesRead) {
                out += fileLine.Text;
                out += "\r\n";
            }
            continue;
        }
        out += w.Text;
        out += "\r\n";
        for (int j = 1; joined && j < joinedLine->Count; ++j)
            out += "\r\n";
    }
    copyPlain(output.data() + output.size());
    return out;
}
