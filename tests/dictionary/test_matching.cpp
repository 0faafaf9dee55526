#include "dictionary/matching.h"

#include <QTest>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

Q_DECLARE_METATYPE(std::string)

namespace {

// Code page 950 bytes of the Chinese texts used below.
const std::string Edit = "\xBD\x73\xBF\xE8";           // 編輯
const std::string Find = "\xB4\x4D\xA7\xE4";           // 尋找
const std::string Name = "\xA6\x57\xBA\xD9";           // 名稱
const std::string Open = "\xB6\x7D\xB1\xD2";           // 開啟
const std::string Old = "\xC2\xC2\xC0\xC9";            // 舊檔
const std::string Help = "\xBB\xA1\xA9\xFA";           // 說明
const std::string Save = "\xC0\x78\xA6\x73";           // 儲存
const std::string Store = "\xA6\x73\xC0\xC9";          // 存檔
const std::string Gong = "\xA5\x5C";                    // 功: its second byte is '\'
const std::string Ellipsis = "\xA1\x4B";                // …
const std::string WideColon = "\xA1\x47";               // ：

std::vector<std::string> translations(const std::vector<Suggestion> &s)
{
    std::vector<std::string> out;
    for (const Suggestion &x : s)
        out.push_back(x.Translation);
    return out;
}

std::size_t distance(const std::string &a, const std::string &b)
{
    std::vector<std::size_t> row(a.size() + 1);
    for (std::size_t i = 0; i <= a.size(); ++i)
        row[i] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
        std::size_t diagonal = row[0];
        row[0] = j;
        for (std::size_t i = 1; i <= a.size(); ++i) {
            const std::size_t above = row[i];
            row[i] = std::min({above + 1, row[i - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[a.size()];
}

} // namespace

class TestMatching : public QObject {
    Q_OBJECT
private slots:
    void markupIsSetAside();
    void translationTakesTheNewMarkup_data();
    void translationTakesTheNewMarkup();
    void sharedEndingStaysAsTranslated();
    void adaptedMatchesAndTheirOrder();
    void nearMatchesScoreByEditDistance();
    void indexFindsWhatComparingAllPairsFinds_data();
    void indexFindsWhatComparingAllPairsFinds();
};

void TestMatching::markupIsSetAside()
{
    const TextMarkup a = SplitMarkup("&Edit");
    const TextMarkup b = SplitMarkup(" E&dit ");
    QCOMPARE(a.Core, std::string("edit"));
    QCOMPARE(b.Core, a.Core);
    QCOMPARE(a.HotKey, 'E');
    QCOMPARE(b.HotKey, 'd');

    const TextMarkup f = SplitMarkup("&Find Next...\\tCtrl+F");
    QCOMPARE(f.Core, std::string("find next"));
    QCOMPARE(f.Ending, std::string("..."));
    QCOMPARE(f.Shortcut, std::string("\\tCtrl+F"));
    QCOMPARE(SplitMarkup("Name :").Ending, std::string(":"));
    QCOMPARE(SplitMarkup("Wait" + Ellipsis).Ending, Ellipsis);

    // "&&" is an ampersand, not a hot key; the hot key after it still counts.
    const TextMarkup amp = SplitMarkup("Save && &Close");
    QCOMPARE(amp.Core, std::string("save & close"));
    QCOMPARE(amp.HotKey, 'C');

    // The second byte of 功 is '\': with "t" after it, it is no shortcut.
    const TextMarkup big5 = SplitMarkup(Gong + "tab");
    QCOMPARE(big5.Shortcut, std::string());
    QCOMPARE(big5.Core, Gong + "tab");
}

void TestMatching::translationTakesTheNewMarkup_data()
{
    QTest::addColumn<std::string>("translation");
    QTest::addColumn<std::string>("target");
    QTest::addColumn<std::string>("adapted");
    QTest::newRow("hot key moved") << Edit + "(&E)" << std::string("E&dit") << Edit + "(&D)";
    QTest::newRow("hot key where the old one stood")
        << Open + "(&O)" + Old << std::string("Op&en") << Open + "(&E)" + Old;
    QTest::newRow("hot key added before ending and shortcut")
        << Find + "..." << std::string("&Find...\\tCtrl+F") << Find + "(&F)...\\tCtrl+F";
    QTest::newRow("hot key taken away") << Find + "(&F)" << std::string("Find") << Find;
    QTest::newRow("inline hot key: the letter stays")
        << "&Windows " + Help << std::string("Windows &Help") << "Windows " + Help + "(&H)";
    QTest::newRow("shortcut replaced, ending removed")
        << Find + "(&F)...\\tCtrl+F" << std::string("&Find\\tCtrl+Shift+F") << Find + "(&F)\\tCtrl+Shift+F";
    QTest::newRow("shortcut removed") << Find + "(&F)\\tCtrl+F" << std::string("&Find") << Find + "(&F)";
    QTest::newRow("ellipsis in the translation's form")
        << Open + Old + Ellipsis << std::string("Open...") << Open + Old + Ellipsis;
    QTest::newRow("colon added as a wide colon") << Name << std::string("&Name:") << Name + "(&N)" + WideColon;
    QTest::newRow("colon kept in the translation's form") << Name + ":" << std::string("Name:") << Name + ":";
    QTest::newRow("colon removed") << Name + WideColon << std::string("Name") << Name;
    QTest::newRow("hot key letter upper case") << Save + "(&S)" << std::string("&save") << Save + "(&S)";
    QTest::newRow("a translation's own colon kept")
        << Name + "\xA1\x4A" << std::string("&Name:") << Name + "(&N)\xA1\x4A";
    QTest::newRow("blank before the hot key kept") << Open + " %s (&L)" << std::string("L&og %s") << Open + " %s (&O)";
    QTest::newRow("a trailing '\\' byte is no shortcut")
        << Gong + "tab(&T)" << std::string("Ta&b") << Gong + "tab(&B)";
}

void TestMatching::translationTakesTheNewMarkup()
{
    QFETCH(std::string, translation);
    QFETCH(std::string, target);
    QFETCH(std::string, adapted);
    QCOMPARE(AdaptTranslation(translation, SplitMarkup(target)), adapted);
}

// An ending both English texts share stays as the translation has it: the
// dots of "(Run...)" are no ending, but the translation put them last.
void TestMatching::sharedEndingStaysAsTranslated()
{
    const std::string translation = Open + "(&N)...";
    const TextMarkup from = SplitMarkup("&New Task (Run...)");
    QCOMPARE(AdaptTranslation(translation, SplitMarkup("N&ew Task (Run...)"), &from), Open + "(&E)...");
    QCOMPARE(AdaptTranslation(translation, SplitMarkup("N&ew Task (Run...):"), &from), Open + "(&E)" + WideColon);
    const SuggestionIndex index = SuggestionIndex::FromPairs({{"&New Task (Run...)", translation}});
    QCOMPARE(index.Suggest("N&ew Task (Run...)").at(0).Translation, Open + "(&E)...");
}

void TestMatching::adaptedMatchesAndTheirOrder()
{
    // The translation a source is used with (its last pair) comes first,
    // however often another one stands in the file; then the one more
    // pairs give. Pairs that translate nothing are never suggested.
    const SuggestionIndex index = SuggestionIndex::FromPairs({
        {"Save", Save},
        {"Save", Save},
        {"Save", Save},
        {"Save", Store},
        {"&Open", Open + "(&O)"},
        {"&Open", Open + "(&O)"},
        {"Open...", Open + Old + "..."},
        {"&Close", "&Close"},
        {"Exit", ""},
        {"Quit", "0"},
    });
    QCOMPARE(translations(index.Suggest("Sa&ve")), (std::vector<std::string>{Store + "(&V)", Save + "(&V)"}));
    QCOMPARE(translations(index.Suggest("Op&en\\tCtrl+O")),
             (std::vector<std::string>{Open + "(&E)\\tCtrl+O", Open + Old + "(&E)\\tCtrl+O"}));
    const std::vector<Suggestion> open = index.Suggest("OPEN");
    QCOMPARE(open.size(), std::size_t(2));
    QCOMPARE(open[0].Score, 100);
    QCOMPARE(open[0].Source, std::string("&Open"));
    QCOMPARE(open[1].Source, std::string("Open..."));
    QVERIFY(index.Suggest("C&lose").empty());
    QVERIFY(index.Suggest("Exit").empty());
    QVERIFY(index.Suggest("Quit").empty());
    QVERIFY(index.Suggest("...").empty());

    // An open dictionary: the entry's chosen slot is the translation used.
    DictionaryTables tables;
    tables.EntryTable.resize(1);
    tables.LastEntry = 0;
    tables.EntryTable[0].Source = "Save";
    tables.EntryTable[0].Translations = {Save, Store};
    tables.EntryTable[0].LastTranslation = 1;
    tables.EntryTable[0].Chosen = 1;
    QCOMPARE(translations(SuggestionIndex::FromTables(tables).Suggest("&Save")),
             (std::vector<std::string>{Store + "(&S)", Save + "(&S)"}));
    tables.EntryTable[0].Chosen = 0;
    QCOMPARE(translations(SuggestionIndex::FromTables(tables).Suggest("&Save")),
             (std::vector<std::string>{Save + "(&S)", Store + "(&S)"}));
}

void TestMatching::nearMatchesScoreByEditDistance()
{
    const SuggestionIndex index = SuggestionIndex::FromPairs({
        {"Delete the selected file", "A"},
        {"Delete the selected files", "B"},
        {"Delete the selected filez", "C"},
        {"Delete the selected items", "D"},
        {"Delete the selected folder", "E"},
        {"Print preview", "F"},
        {"Colour", "G"},
    });
    // The same wording scores 100; 1 edit in 25 letters 100 - 4. The
    // markup of the new text is given to each.
    const std::vector<Suggestion> s = index.Suggest("Delete the &selected files:");
    QCOMPARE(s.size(), MostSuggestions);
    QCOMPARE(s[0].Score, 100);
    QCOMPARE(s[0].Translation, std::string("B(&S)") + WideColon);
    QCOMPARE(s[1].Score, 96);
    QCOMPARE(s[2].Score, 96);
    // Of equal scores the shorter source first.
    QCOMPARE(s[1].Translation, std::string("A(&S)") + WideColon);
    QCOMPARE(s[2].Translation, std::string("C(&S)") + WideColon);

    const std::vector<Suggestion> file = index.Suggest("Delete the selected fil");
    QCOMPARE(file.front().Source, std::string("Delete the selected file"));
    QCOMPARE(file.front().Score, 95);
    // 1 edit in 6: 100 - 16.7, scores are not rounded up.
    const std::vector<Suggestion> color = index.Suggest("Color");
    QCOMPARE(color.size(), std::size_t(1));
    QCOMPARE(color[0].Score, 83);
    // 2 edits in 8 letters is 75, 3 in 9 is 66.
    QCOMPARE(index.Suggest("Coloured").at(0).Score, 75);
    QVERIFY(index.Suggest("Colourful").empty());
    // A huge text is matched as a whole only, and at once.
    const SuggestionIndex huge = SuggestionIndex::FromPairs(
        {{std::string(200000, 'a'), "A"}, {std::string(199999, 'a') + "b", "B"}, {std::string(NearMatchLongest, 'a'), "C"}});
    QCOMPARE(translations(huge.Suggest("&" + std::string(200000, 'A'))), std::vector<std::string>{"A(&A)"});
    QCOMPARE(huge.Suggest(std::string(NearMatchLongest - 1, 'a') + "b").at(0).Source, std::string(NearMatchLongest, 'a'));
    QVERIFY(index.Suggest("Print the selected file").size() <= MostSuggestions);
    for (const Suggestion &x : index.Suggest("Print the selected file"))
        QVERIFY(x.Source != "Print preview");
}

// The length window, the counter filter and the tightening bound only skip
// texts that cannot score: the index gives the scores a comparison of every
// pair gives. Short texts, and long ones on both sides of the 64 bytes that
// the bit-vector distance takes.
void TestMatching::indexFindsWhatComparingAllPairsFinds_data()
{
    QTest::addColumn<int>("fewestWords");
    QTest::addColumn<int>("mostWords");
    QTest::addColumn<int>("pairs");
    QTest::addColumn<int>("queries");
    QTest::newRow("short") << 1 << 4 << 600 << 300;
    QTest::newRow("long") << 9 << 15 << 200 << 80;
}

void TestMatching::indexFindsWhatComparingAllPairsFinds()
{
    QFETCH(int, fewestWords);
    QFETCH(int, mostWords);
    QFETCH(int, pairs);
    QFETCH(int, queries);
    std::mt19937 random(7);
    const char *words[] = {"file", "open", "save", "the", "print", "page", "setup", "view", "tool", "bar",
                           "status", "help", "about", "edit", "copy", "paste", "files", "find", "next", "all"};
    auto phrase = [&] {
        std::string p;
        const int n = fewestWords + int(random() % unsigned(mostWords - fewestWords + 1));
        for (int i = 0; i < n; ++i)
            p += (i ? " " : "") + std::string(words[random() % 20]);
        return p;
    };
    std::vector<std::pair<std::string, std::string>> dictionary;
    for (int i = 0; i < pairs; ++i)
        dictionary.emplace_back(phrase(), "T" + std::to_string(i));
    const SuggestionIndex index = SuggestionIndex::FromPairs(dictionary);
    bool crossed = false; // a text of more than 64 bytes met
    int found = 0;
    for (int q = 0; q < queries; ++q) {
        // Every other text a source with a few letters changed, dropped or added.
        std::string text = q % 2 ? dictionary[random() % dictionary.size()].first : phrase();
        for (int edits = q % 2 ? 1 + int(random() % 6) : 0; edits > 0; --edits) {
            const std::size_t at = random() % text.size();
            switch (random() % 3) {
            case 0: text[at] = 'x'; break;
            case 1: text.erase(at, 1); break;
            default: text.insert(at, 1, 'q');
            }
        }
        if (text.empty())
            continue;
        crossed = crossed || text.size() > 64;
        std::vector<int> expected;
        for (const auto &[source, translation] : dictionary) {
            const std::size_t longer = std::max(source.size(), text.size());
            const int score = 100 - int((100 * distance(source, text) + longer - 1) / longer);
            if (score >= NearMatchFloor)
                expected.push_back(score);
        }
        std::sort(expected.rbegin(), expected.rend());
        expected.resize(std::min(expected.size(), MostSuggestions));
        std::vector<int> got;
        for (const Suggestion &s : index.Suggest(text))
            got.push_back(s.Score);
        // Several pairs of one source give several suggestions of one score;
        // each listed score must be one the comparison of all pairs reaches.
        QCOMPARE(got.empty(), expected.empty());
        found += got.empty() ? 0 : 1;
        if (!got.empty())
            QCOMPARE(got.front(), expected.front());
        for (std::size_t i = 0; i < got.size() && i < expected.size(); ++i)
            QVERIFY2(got[i] <= expected[i], text.c_str());
    }
    QCOMPARE(crossed, mostWords > 4);
    QVERIFY(found > queries / 3);
}

QTEST_GUILESS_MAIN(TestMatching)
#include "test_matching.moc"
