// New versions of the corpus programs, made from their English scripts'
// texts with the changes a new version brings: a hot key moved, a shortcut
// changed, an ending added or removed, letter case changed, one word
// changed, texts of another program added. The dictionary made from the old
// version must give every markup-only change its old translation with the
// new markup first, give most one-word changes their old translation among
// the suggestions, and never score an unrelated source above 90.
#include "convert/rcreader.h"
#include "dictionary/matching.h"

#include <QFile>
#include <QTest>

#include <map>
#include <random>
#include <set>
#include <sstream>

namespace {

const char *const Apps[] = {"calc", "mspaint", "notepad", "regedit", "sndvol32", "taskmgr"};

std::string fileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll().toStdString() : std::string();
}

std::vector<std::pair<std::string, std::string>> corpusPairs(const char *app)
{
    const QString dir = QStringLiteral(TAVISORN_CORPUS_DIR "/") + QLatin1String(app);
    const std::string en = fileBytes(dir + QStringLiteral("/en.rc"));
    const std::string zh = fileBytes(dir + QStringLiteral("/zh-TW.rc"));
    std::vector<std::pair<std::string, std::string>> pairs;
    for (const auto &[english, chinese] : ReadExtraction(en, zh).Pairs)
        pairs.emplace_back(english, chinese);
    return pairs;
}

std::vector<std::string> wordsOf(const std::string &text)
{
    std::string core = SplitMarkup(text).Core;
    std::istringstream in(core);
    std::vector<std::string> words;
    for (std::string w; in >> w;)
        words.push_back(w);
    return words;
}

bool asciiOnly(const std::string &s)
{
    return std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// The translation's "(&Y)" as "(&X)"; empty when it has not exactly one.
std::string withHotKey(const std::string &translation, char key)
{
    const std::size_t at = translation.find("(&");
    if (at == std::string::npos || translation.find("(&", at + 1) != std::string::npos || at + 3 >= translation.size()
        || translation[at + 3] != ')')
        return {};
    std::string out = translation;
    out[at + 2] = char(std::toupper(static_cast<unsigned char>(key)));
    return out;
}

struct Shares {
    int markup = 0, markupFirst = 0;
    int oneWord = 0, oneWordFound = 0;
    int suggestions = 0, unrelatedAbove90 = 0;
};

} // namespace

class TestNewVersions : public QObject {
    Q_OBJECT
private slots:
    void corpusNewVersions();
};

void TestNewVersions::corpusNewVersions()
{
    if (!QFile::exists(QStringLiteral(TAVISORN_CORPUS_DIR "/notepad/en.rc")))
        QSKIP("the corpus is not there");
    Shares all;
    std::mt19937 random(5);
    for (const char *app : Apps) {
        const auto pairs = corpusPairs(app);
        QVERIFY2(!pairs.empty(), app);
        const SuggestionIndex index = SuggestionIndex::FromPairs(pairs);
        // Sources with one translation whose wording no other source has:
        // their old translation is the one answer.
        std::map<std::string, std::set<std::string>> translations;
        std::map<std::string, int> wording;
        std::set<std::string> sources;
        for (const auto &[en, zh] : pairs) {
            translations[en].insert(zh);
            sources.insert(en);
        }
        for (const auto &[en, set] : translations)
            ++wording[SplitMarkup(en).Core];
        std::vector<std::pair<std::string, std::string>> plain;
        // The translation's hot key is the English one's, so that the new
        // hot key replaces it.
        const auto sameHotKey = [](const std::string &en, const std::string &zh) {
            const char key = SplitMarkup(en).HotKey;
            if (!key)
                return zh.find('&') == std::string::npos;
            return zh.find(std::string("(&") + char(std::toupper(static_cast<unsigned char>(key))) + ")")
                   != std::string::npos;
        };
        for (const auto &[en, set] : translations)
            if (set.size() == 1 && wording[SplitMarkup(en).Core] == 1 && asciiOnly(en) && *set.begin() != en
                && !set.begin()->empty() && *set.begin() != "0" && !SplitMarkup(en).Core.empty()
                && sameHotKey(en, *set.begin()))
                plain.emplace_back(en, *set.begin());

        Shares shares;
        std::vector<std::string> asked; // every new text, for the relatedness check
        const auto expectFirst = [&](const std::string &text, const std::string &expected) {
            if (expected.empty() || sources.count(text))
                return;
            asked.push_back(text);
            ++shares.markup;
            const std::vector<Suggestion> s = index.Suggest(text);
            if (!s.empty() && s.front().Score == 100 && s.front().Translation == expected)
                ++shares.markupFirst;
            else
                qWarning("%s: %s -> %s, not %s", app, text.c_str(), s.empty() ? "nothing" : s.front().Translation.c_str(),
                         expected.c_str());
        };
        for (const auto &[en, zh] : plain) {
            const TextMarkup m = SplitMarkup(en);
            const std::size_t amp = en.find('&');
            const std::size_t tab = en.find("\\t");
            const std::size_t zhTab = zh.find("\\t");
            // A hot key moved to the next letter of the wording.
            if (m.HotKey && amp != std::string::npos && amp + 2 < en.size() && std::isalpha(static_cast<unsigned char>(en[amp + 2]))
                && en[amp + 1] != '&') {
                std::string moved = en;
                moved.erase(amp, 1);
                moved.insert(amp + 1, "&");
                expectFirst(moved, withHotKey(zh, en[amp + 2]));
            }
            // A shortcut changed, or taken away.
            if (tab != std::string::npos && zhTab != std::string::npos) {
                expectFirst(en.substr(0, tab) + "\\tCtrl+Shift+F12", zh.substr(0, zhTab) + "\\tCtrl+Shift+F12");
                expectFirst(en.substr(0, tab), zh.substr(0, zhTab));
            }
            // An ending taken away, or added.
            const std::string body = tab == std::string::npos ? en : en.substr(0, tab);
            const std::string rest = tab == std::string::npos ? std::string() : en.substr(tab);
            const std::string zhBody = zhTab == std::string::npos ? zh : zh.substr(0, zhTab);
            const std::string zhRest = zhTab == std::string::npos ? std::string() : zh.substr(zhTab);
            const bool dots = body.size() > 3 && body.compare(body.size() - 3, 3, "...") == 0;
            const bool zhDots = zhBody.size() > 3 && zhBody.compare(zhBody.size() - 3, 3, "...") == 0;
            if (dots && zhDots)
                expectFirst(body.substr(0, body.size() - 3) + rest, zhBody.substr(0, zhBody.size() - 3) + zhRest);
            if (m.Ending.empty() && zhBody.find_last_of(".:") != zhBody.size() - 1 && zhBody.size() > 2
                && zhBody.compare(zhBody.size() - 2, 2, "\xA1\x47") != 0 && zhBody.compare(zhBody.size() - 2, 2, "\xA1\x4B") != 0)
                expectFirst(body + "..." + rest, zhBody + "..." + zhRest);
            // Letter case changed.
            std::string upper = en;
            for (char &c : upper)
                c = char(std::toupper(static_cast<unsigned char>(c)));
            const bool keyUpper = !m.HotKey || std::isupper(static_cast<unsigned char>(m.HotKey)) || !std::isalpha(static_cast<unsigned char>(m.HotKey));
            if (upper != en && keyUpper && tab == std::string::npos)
                expectFirst(upper, zh);
        }

        // One word changed, in texts of three words and more.
        std::vector<std::string> vocabulary;
        for (const auto &[en, zh] : plain)
            for (const std::string &w : wordsOf(en))
                vocabulary.push_back(w);
        for (const auto &[en, zh] : plain) {
            const std::vector<std::string> words = wordsOf(en);
            if (words.size() < 3 || vocabulary.empty())
                continue;
            const std::size_t which = random() % words.size();
            std::string other = vocabulary[random() % vocabulary.size()];
            if (other == words[which])
                continue;
            std::string text;
            for (std::size_t i = 0; i < words.size(); ++i)
                text += (i ? " " : "") + (i == which ? other : words[i]);
            if (sources.count(text))
                continue;
            asked.push_back(text);
            ++shares.oneWord;
            const std::string expected = AdaptTranslation(zh, SplitMarkup(text));
            for (const Suggestion &s : index.Suggest(text))
                if (s.Source == en && s.Translation == expected)
                    ++shares.oneWordFound;
        }

        // Texts of the other programs that this one lacks.
        for (const char *otherApp : Apps)
            if (std::string(otherApp) != app)
                for (const auto &[en, zh] : corpusPairs(otherApp))
                    if (!sources.count(en) && asciiOnly(en))
                        asked.push_back(en);

        // A source scoring above 90 shares most of the text's words.
        for (const std::string &text : asked) {
            const std::vector<std::string> words = wordsOf(text);
            const std::set<std::string> own(words.begin(), words.end());
            for (const Suggestion &s : index.Suggest(text)) {
                ++shares.suggestions;
                if (s.Score == 100 || s.Score <= 90)
                    continue;
                const std::vector<std::string> theirs = wordsOf(s.Source);
                std::size_t shared = 0;
                for (const std::string &w : theirs)
                    shared += own.count(w);
                if (2 * shared < std::max(theirs.size(), own.size()) && std::max(theirs.size(), own.size()) > 1) {
                    ++shares.unrelatedAbove90;
                    qWarning("%s: %s suggested from %s (%d)", app, text.c_str(), s.Source.c_str(), s.Score);
                }
            }
        }
        qInfo("%s: markup-only changes %d, old translation adapted first %d; one-word changes %d, old translation "
              "suggested %d; suggestions %d, from an unrelated source above 90: %d",
              app, shares.markup, shares.markupFirst, shares.oneWord, shares.oneWordFound, shares.suggestions,
              shares.unrelatedAbove90);
        all.markup += shares.markup;
        all.markupFirst += shares.markupFirst;
        all.oneWord += shares.oneWord;
        all.oneWordFound += shares.oneWordFound;
        all.suggestions += shares.suggestions;
        all.unrelatedAbove90 += shares.unrelatedAbove90;
    }
    qInfo("all: markup-only %d of %d first; one-word %d of %d (%d %%); unrelated above 90: %d of %d suggestions",
          all.markupFirst, all.markup, all.oneWordFound, all.oneWord, all.oneWord ? 100 * all.oneWordFound / all.oneWord : 0,
          all.unrelatedAbove90, all.suggestions);
    QVERIFY(all.markup > 100);
    QCOMPARE(all.markupFirst, all.markup);
    QVERIFY(all.oneWord > 50);
    QVERIFY2(2 * all.oneWordFound > all.oneWord, "most one-word changes keep their old translation among the suggestions");
    QCOMPARE(all.unrelatedAbove90, 0);
}

QTEST_GUILESS_MAIN(TestNewVersions)
#include "test_newversions.moc"
