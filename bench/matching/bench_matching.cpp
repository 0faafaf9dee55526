// Times the suggestions for the texts a new version adds: 25,000 texts
// against a dictionary of 100,000 pairs. A third of the texts differ from a
// source by markup only (hot key, shortcut, ending, case), a third by one
// word, a third are new wording. The index is built once per run, as a
// translation report does; both are timed. The limit of 2 s is the time a
// user waits, on the clock (the suggestions share the work between the
// processors); the processor time the program took is given beside it, as
// the machine may be shared.

#include "dictionary/matching.h"

#include <QElapsedTimer>

#include <ctime>

#include <cstdio>
#include <random>
#include <string>
#include <vector>

namespace {

struct Words {
    std::vector<std::string> List;
    std::mt19937 &Random;
    // Frequent words more often, as in interface texts.
    const std::string &pick()
    {
        const double u = std::uniform_real_distribution<double>(0, 1)(Random);
        return List[std::size_t(u * u * u * double(List.size())) % List.size()];
    }
};

std::string phrase(Words &words, int count)
{
    std::string p;
    for (int i = 0; i < count; ++i) {
        if (i)
            p += ' ';
        p += words.pick();
    }
    p[0] = char(std::toupper(static_cast<unsigned char>(p[0])));
    return p;
}

std::string withMarkup(std::string text, std::mt19937 &random)
{
    const std::size_t at = random() % text.size();
    if (text[at] != ' ')
        text.insert(at, "&");
    switch (random() % 4) {
    case 0: return text + "...";
    case 1: return text + "\\tCtrl+" + char('A' + random() % 26);
    case 2: return text + ":";
    default: return text;
    }
}

} // namespace

int main()
{
    std::mt19937 random(21);
    Words words{{}, random};
    for (int i = 0; i < 4000; ++i) {
        std::string w;
        const int n = 2 + int(random() % 9);
        for (int k = 0; k < n; ++k)
            w += char('a' + random() % 26);
        words.List.push_back(w);
    }
    std::vector<std::pair<std::string, std::string>> pairs;
    std::vector<std::string> plain;
    for (int i = 0; i < 100000; ++i) {
        plain.push_back(phrase(words, 1 + int(random() % 8)));
        pairs.emplace_back(withMarkup(plain.back(), random), "\xA4\xA4" + std::to_string(i));
    }
    std::vector<std::string> texts;
    for (int i = 0; i < 25000; ++i) {
        const std::string &base = plain[random() % plain.size()];
        switch (i % 3) {
        case 0: texts.push_back(withMarkup(base, random)); break;
        case 1: {
            std::string t = base;
            const std::size_t space = t.find(' ');
            t = space == std::string::npos ? words.pick() : words.pick() + t.substr(space);
            texts.push_back(withMarkup(t, random));
            break;
        }
        default: texts.push_back(withMarkup(phrase(words, 1 + int(random() % 8)), random));
        }
    }

    const auto cpu = [] { return qint64(std::clock()) * 1000 / CLOCKS_PER_SEC; };
    QElapsedTimer timer;
    timer.start();
    const qint64 cpu0 = cpu();
    const SuggestionIndex index = SuggestionIndex::FromPairs(pairs);
    const qint64 built = timer.elapsed();
    const qint64 cpu1 = cpu();
    timer.restart();
    const std::vector<std::vector<Suggestion>> all = SuggestAll(index, texts);
    const qint64 suggested = timer.elapsed();
    const qint64 cpu2 = cpu();
    std::size_t adapted = 0, near = 0;
    for (const auto &s : all) {
        if (s.empty())
            continue;
        (s.front().Score == 100 ? adapted : near) += 1;
    }
    std::printf("suggestions for %zu texts against %zu pairs (processor time, on the clock):\n", texts.size(),
                pairs.size());
    std::printf("  index %lld ms, %lld ms; suggestions %lld ms, %lld ms; together %lld ms on the clock "
                "(limit 2000 ms), %lld ms of processor time\n",
                static_cast<long long>(cpu1 - cpu0), static_cast<long long>(built), static_cast<long long>(cpu2 - cpu1),
                static_cast<long long>(suggested), static_cast<long long>(built + suggested),
                static_cast<long long>(cpu2 - cpu0));
    std::printf("  texts with an adapted match first: %zu, with a near match only: %zu\n", adapted, near);
    return built + suggested < 2000 ? 0 : 1;
}
