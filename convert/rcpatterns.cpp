#include "convert/rcpatterns.h"

// Every pattern here begins with a word, blanks and a quote. Perl tries the
// start positions from the left, and from each start that part reaches one
// quote at most (a word cannot give back to blanks, nor blanks to a quote);
// the first quote so reached whose rest matches wins. What the rest needs
// (a `",` or a quote after the text) is there for a later quote only when
// it is there for an earlier one, so the first such quote decides.

namespace {

constexpr std::size_t npos = std::string_view::npos;

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\x0B' || c == '\f' || c == '\r';
}

bool isWord(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}

// The first quote with blanks before it and a word before them (`comma`:
// a comma between the word and the blanks); the identifier's bounds.
std::size_t firstQuote(std::string_view l, bool comma, std::size_t *idStart = nullptr, std::size_t *idEnd = nullptr)
{
    for (std::size_t q = l.find('"'); q != npos; q = l.find('"', q + 1)) {
        std::size_t b = q;
        while (b > 0 && isSpace(l[b - 1]))
            --b;
        if (b == q)
            continue;
        if (comma) {
            if (b == 0 || l[b - 1] != ',')
                continue;
            --b;
        }
        if (b == 0 || !isWord(l[b - 1]))
            continue;
        if (idEnd)
            *idEnd = b;
        while (b > 0 && isWord(l[b - 1]))
            --b;
        if (idStart)
            *idStart = b;
        return q;
    }
    return npos;
}

// The quote of /^\s*\w+\s+"/ (with a comma after the word: /^\s*\w+,\s+"/).
std::size_t headQuote(std::string_view l, bool comma)
{
    std::size_t i = 0;
    while (i < l.size() && isSpace(l[i]))
        ++i;
    const std::size_t word = i;
    while (i < l.size() && isWord(l[i]))
        ++i;
    if (i == word)
        return npos;
    if (comma) {
        if (i >= l.size() || l[i] != ',')
            return npos;
        ++i;
    }
    const std::size_t blanks = i;
    while (i < l.size() && isSpace(l[i]))
        ++i;
    if (i == blanks || i >= l.size() || l[i] != '"')
        return npos;
    return i;
}

LineMatch text(std::size_t start, std::size_t end)
{
    LineMatch m;
    m.Found = true;
    m.Start = start;
    m.End = end;
    return m;
}

// After the quote q: the greedy text to the last `",` (at least one byte).
LineMatch greedyToQuoteComma(std::string_view l, std::size_t q)
{
    const std::size_t p = l.rfind("\",");
    if (q == npos || p == npos || p < q + 2)
        return {};
    return text(q + 1, p);
}

// After the quote q: the text up to a quote that ends the line (at least `least` bytes).
LineMatch toFinalQuote(std::string_view l, std::size_t q, std::size_t least)
{
    if (q == npos || l.empty() || l.back() != '"' || l.size() - 1 < q + 1 + least)
        return {};
    return text(q + 1, l.size() - 1);
}

// After the quote q: the greedy text to the line's last quote (at least one byte).
LineMatch greedyToQuote(std::string_view l, std::size_t q)
{
    const std::size_t p = l.rfind('"');
    if (q == npos || p == npos || p < q + 2)
        return {};
    return text(q + 1, p);
}

// After the quote q: the lazy text to the first `",` (possibly empty).
LineMatch lazyToQuoteComma(std::string_view l, std::size_t q)
{
    if (q == npos)
        return {};
    const std::size_t p = l.find("\",", q + 1);
    if (p == npos)
        return {};
    return text(q + 1, p);
}

} // namespace

namespace rcpattern {

LineMatch Menu(std::string_view line)
{
    const std::size_t q = firstQuote(line, false);
    if (LineMatch m = greedyToQuoteComma(line, q))
        return m;
    return toFinalQuote(line, q, 1);
}

LineMatch String(std::string_view line)
{
    std::size_t idStart = 0, idEnd = 0;
    std::size_t q = firstQuote(line, true, &idStart, &idEnd);
    LineMatch m = greedyToQuote(line, q);
    if (!m) {
        q = firstQuote(line, false, &idStart, &idEnd);
        m = greedyToQuote(line, q);
    }
    m.IdStart = idStart;
    m.IdEnd = idEnd;
    return m;
}

LineMatch Dialog(std::string_view line)
{
    const std::size_t q = firstQuote(line, false);
    if (LineMatch m = lazyToQuoteComma(line, q))
        return m;
    return toFinalQuote(line, q, 0);
}

LineMatch WholeMenu(std::string_view line)
{
    const std::size_t q = headQuote(line, false);
    if (LineMatch m = greedyToQuoteComma(line, q))
        return m;
    return toFinalQuote(line, q, 1);
}

LineMatch WholeString(std::string_view line)
{
    if (LineMatch m = greedyToQuote(line, headQuote(line, true)))
        return m;
    return greedyToQuote(line, headQuote(line, false));
}

LineMatch WholeDialog(std::string_view line)
{
    const std::size_t q = headQuote(line, false);
    if (LineMatch m = lazyToQuoteComma(line, q))
        return m;
    return toFinalQuote(line, q, 0);
}

LineMatch Font8(std::string_view line)
{
    constexpr std::string_view head = "FONT 8, \"";
    if (line.substr(0, head.size()) != head)
        return {};
    const std::size_t p = line.rfind('"');
    if (p == npos || p < head.size() + 1)
        return {};
    return text(p + 1, line.size());
}

std::size_t HeaderName(std::string_view line, std::string_view keyword)
{
    std::size_t n = 0;
    while (n < line.size() && isWord(line[n]))
        ++n;
    if (n == 0 || n >= line.size() || line[n] != ' ' || line.substr(n + 1, keyword.size()) != keyword)
        return 0;
    return n;
}

} // namespace rcpattern
