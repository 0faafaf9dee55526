#include "convert/rcjoin.h"

namespace {

struct RawLine {
    std::string_view Text; // without its line end
    std::string_view End;  // "\r\n", "\n" or nothing on a last line without one
};

std::vector<RawLine> rawLines(std::string_view bytes)
{
    std::vector<RawLine> lines;
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t lf = bytes.find('\n', start);
        if (lf == std::string_view::npos) {
            lines.push_back({bytes.substr(start), {}});
            break;
        }
        std::size_t end = lf;
        if (end > start && bytes[end - 1] == '\r')
            --end;
        lines.push_back({bytes.substr(start, end - start), bytes.substr(end, lf + 1 - end)});
        start = lf + 1;
    }
    return lines;
}

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
bool continuesString(std::string_view line)
{
    bool inside = false;
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

int JoinedScript::OriginalLine(int copyLine) const
{
    if (copyLine >= 0 && copyLine < int(FirstLine.size()))
        return FirstLine[std::size_t(copyLine)];
    if (FirstLine.empty())
        return copyLine;
    const std::size_t last = FirstLine.size() - 1;
    return FirstLine[last] + LineCount[last] + (copyLine - int(last) - 1);
}

JoinedScript JoinStatements(std::string_view bytes)
{
    JoinedScript join;
    std::vector<RawLine> lines = rawLines(bytes);
    TableState table;
    join.Bytes.reserve(bytes.size());
    join.FirstLine.reserve(lines.size());
    join.LineCount.reserve(lines.size());
    std::string logical;
    for (std::size_t i = 0; i < lines.size();) {
        const std::size_t first = i;
        const RawLine &raw = lines[i];
        // Most lines join nothing: they go to the copy as they are.
        const bool maybe = continuesString(raw.Text) || (table.inside && identifierOnly(raw.Text));
        if (!maybe || raw.End.empty() || i + 1 == lines.size()) {
            table.see(raw.Text);
            join.Bytes += raw.Text;
            join.Bytes += raw.End;
            join.FirstLine.push_back(int(first));
            join.LineCount.push_back(1);
            ++i;
            continue;
        }
        logical.assign(raw.Text);
        std::string_view end = raw.End;
        ++i;
        while (i < lines.size() && !end.empty()) {
            if (continuesString(logical)) {
                logical.pop_back();
                ++join.Continuations;
            } else if (table.inside && identifierOnly(logical) && startsString(lines[i].Text)) {
                while (!logical.empty() && isBlank(logical.back()))
                    logical.pop_back();
                logical += ' ';
                std::string_view next = lines[i].Text;
                while (!next.empty() && isBlank(next.front()))
                    next.remove_prefix(1);
                lines[i].Text = next;
                ++join.SplitStatements;
            } else {
                break;
            }
            logical += lines[i].Text;
            end = lines[i].End;
            ++i;
        }
        table.see(logical);
        join.Bytes += logical;
        join.Bytes += end;
        join.FirstLine.push_back(int(first));
        join.LineCount.push_back(int(i - first));
    }
    return join;
}

std::string UnjoinTranslation(std::string_view output, const JoinedScript &join, std::string_view original)
{
    const std::vector<RawLine> written = rawLines(output);
    const std::vector<RawLine> copy = rawLines(join.Bytes);
    const std::vector<RawLine> lines = rawLines(original);
    std::string out;
    out.reserve(output.size() + output.size() / 16);
    for (std::size_t k = 0; k < written.size(); ++k) {
        const bool joined = k < join.LineCount.size() && join.LineCount[k] > 1 && k < copy.size();
        if (joined && written[k].Text == copy[k].Text) {
            const auto from = std::size_t(join.FirstLine[k]);
            for (std::size_t j = from; j < from + std::size_t(join.LineCount[k]) && j < lines.size(); ++j) {
                out += lines[j].Text;
                out += "\r\n";
            }
            continue;
        }
        out += written[k].Text;
        out += "\r\n";
        for (int j = 1; joined && j < join.LineCount[k]; ++j)
            out += "\r\n";
    }
    return out;
}
