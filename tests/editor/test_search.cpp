#include "editor/search.h"

#include "platform/codepage.h"
#include "platform/messages.h"

#include <QTest>
#include <QWidget>

namespace {

// Dictionary texts are Big5 bytes.
std::string B(const char16_t *text)
{
    return cp950::encode(QStringView(text)).value();
}

DS entry(std::string source, std::vector<std::string> translations, std::int32_t chosen = 0)
{
    DS e;
    e.Source = std::move(source);
    e.Translations = std::move(translations);
    e.LastTranslation = std::int32_t(e.Translations.size()) - 1;
    e.Chosen = chosen;
    return e;
}

// Entries 0..5; grid row r shows entry r - 1.
std::vector<DS> sample()
{
    return {
        entry("&About", {B(u"關於(&A)")}),                        // 0
        entry("Cancel", {B(u"取消"), "Cancel"}, 0),               // 1
        entry("Close", {B(u"關閉")}),                              // 2
        entry("Open", {B(u"開啟"), B(u"打開舊檔"), B(u"開檔")}, 1),       // 3
        entry("Print", {"Print"}),                             // 4
        entry("open file", {B(u"開啟檔案")}),                      // 5
    };
}

struct Shown {
    QWidget *owner;
    QString text;
    QString caption;
};

class Recorder final : public MessageBoxes {
public:
    std::vector<Shown> shown;
    void message(QWidget *owner, const QString &text, const QString &caption) override
    {
        shown.push_back({owner, text, caption});
    }
    void error(QWidget *, const QString &, const QString &) override { QFAIL("no error expected"); }
    bool question(QWidget *, const QString &, const QString &) override { return false; }
};

} // namespace

class TestSearch : public QObject {
    Q_OBJECT
private slots:
    void matchingRules();
    void scanOrder();
    void ends();
    void bytesNotCharacters();
    void unencodableText();
    void nextMulti();
    void nextUntranslated();
    void messages();
    void staleFillLevel();
};

void TestSearch::matchingRules()
{
    const DS open = sample()[3];
    QVERIFY(SourceMatches(open, "pe"));
    QVERIFY(!SourceMatches(open, "open")); // case-sensitive
    QVERIFY(!SourceMatches(open, ""));
    // Every alternative counts for the translation column, chosen or not.
    QVERIFY(TranslationMatches(open, B(u"開檔")));
    QVERIFY(TranslationMatches(open, B(u"開啟")));
    QVERIFY(!TranslationMatches(open, "Open"));
    QVERIFY(!TranslationMatches(open, ""));
    // Slots past LastTranslation are not part of the entry.
    DS stale = entry("x", {B(u"甲"), B(u"乙")});
    stale.LastTranslation = 0;
    QVERIFY(!TranslationMatches(stale, B(u"乙")));
}

void TestSearch::scanOrder()
{
    const std::vector<DS> d = sample();
    const std::int32_t last = 5;
    // Down from row 1 (entry 0): entries 1, 2, ... — the current row is skipped.
    QCOMPARE(SearchEntries(d, last, MatchRule::Source, "o", true, 1), 2); // "Close"
    QCOMPARE(SearchEntries(d, last, MatchRule::Source, "Cl", true, 1), 2);
    // Down from row 3 (entry 2, "Close"): the hit must be below it.
    QCOMPARE(SearchEntries(d, last, MatchRule::Source, "o", true, 3), 5); // "open file"
    // Up from row 5 (entry 4): entries 3, 2, 1, 0 — nearest first.
    QCOMPARE(SearchEntries(d, last, MatchRule::Source, "o", false, 5), 2);
    // Up from row 3 examines entries 1 then 0.
    QCOMPARE(SearchEntries(d, last, MatchRule::Source, "C", false, 3), 1);
    QCOMPARE(SearchEntries(d, last, MatchRule::Source, "A", false, 3), 0);
    QCOMPARE(SearchEntries(d, last, MatchRule::Source, "Close", false, 3), -1);
    // Through an alternative that is not the chosen one.
    QCOMPARE(SearchEntries(d, last, MatchRule::Translation, "Cancel", true, 1), 1);
    QCOMPARE(SearchEntries(d, last, MatchRule::Translation, B(u"開啟"), true, 1), 3);
    QCOMPARE(SearchEntries(d, last, MatchRule::Translation, B(u"開啟"), true, 4), 5);
    // Case-sensitive: "print" does not find "Print", "ABOUT" not "&About".
    QCOMPARE(SearchEntries(d, last, MatchRule::Source, "print", true, 0), -1);
    QCOMPARE(SearchEntries(d, last, MatchRule::Translation, "print", true, 0), -1);
    QCOMPARE(SearchEntries(d, last, MatchRule::Source, "ABOUT", true, 0), -1);
    QCOMPARE(SearchEntries(d, last, MatchRule::Source, "Zebra", true, 0), -1);
    // An empty text never matches.
    QCOMPARE(SearchEntries(d, last, MatchRule::Source, "", true, 0), -1);
    QCOMPARE(SearchEntries(d, last, MatchRule::Source, "", false, 7), -1);
}

void TestSearch::ends()
{
    const std::vector<DS> d = sample();
    // Last row (6 = entry 5) matches itself, but down finds nothing and does not wrap.
    QCOMPARE(SearchEntries(d, 5, MatchRule::Source, "open file", true, 6), -1);
    QCOMPARE(SearchEntries(d, 5, MatchRule::Source, "&About", true, 6), -1);
    // First data row (1 = entry 0): up finds nothing.
    QCOMPARE(SearchEntries(d, 5, MatchRule::Source, "&About", false, 1), -1);
    QCOMPARE(SearchEntries(d, 5, MatchRule::Source, "open file", false, 1), -1);
    // From the header row down, entry 0 is examined; up from row 2 only entry 0.
    QCOMPARE(SearchEntries(d, 5, MatchRule::Source, "&About", true, 0), 0);
    QCOMPARE(SearchEntries(d, 5, MatchRule::Source, "&About", false, 2), 0);
    // An empty dictionary.
    QCOMPARE(SearchEntries(std::vector<DS>{}, -1, MatchRule::Source, "a", true, 0), -1);
    QCOMPARE(SearchEntries(std::vector<DS>{}, -1, MatchRule::Source, "a", false, 3), -1);
}

void TestSearch::bytesNotCharacters()
{
    // 許 is B3 5C: its second byte is a backslash, and the search finds it.
    std::vector<DS> d = {entry("x", {"x"}), entry("\xB3\x5C", {"\xB3\x5C\xA5\x69"})};
    QCOMPARE(SearchEntries(d, 1, MatchRule::Source, "\\", true, 1), 1);
    QCOMPARE(SearchEntries(d, 1, MatchRule::Translation, "\\", true, 1), 1);
    const TextSearchResult viaText = SearchEntriesFor(d, 1, MatchRule::Source, QStringLiteral("\\"), true, 1);
    QCOMPARE(viaText.hit, 1);
    QVERIFY(!viaText.unencodable);
    // Typed Chinese is searched as its Big5 bytes.
    QCOMPARE(SearchEntriesFor(d, 1, MatchRule::Translation, QStringLiteral("許可"), true, 0).hit, 1);
    QCOMPARE(SearchEntriesFor(d, 1, MatchRule::Translation, QStringLiteral("許可"), false, 2).hit, -1);
}

void TestSearch::unencodableText()
{
    const std::vector<DS> d = sample();
    // "开" (simplified) has no Big5 code: not found, and flagged as the reason.
    const TextSearchResult r = SearchEntriesFor(d, 5, MatchRule::Translation, QStringLiteral("开"), true, 0);
    QCOMPARE(r.hit, -1);
    QVERIFY(r.unencodable);
    const TextSearchResult plain = SearchEntriesFor(d, 5, MatchRule::Translation, QStringLiteral("不在"), true, 0);
    QCOMPARE(plain.hit, -1);
    QVERIFY(!plain.unencodable);
}

void TestSearch::nextMulti()
{
    const std::vector<DS> d = sample(); // several translations: entries 1 and 3
    std::int32_t row = 0;
    QCOMPARE(NextMultiEntry(d, 5, row), 1);
    row = 1 + 1;
    QCOMPARE(NextMultiEntry(d, 5, row), 3);
    row = 3 + 1;
    QCOMPARE(NextMultiEntry(d, 5, row), -1);
    // Reviewed entries are found all the same.
    std::vector<DS> reviewed = d;
    reviewed[3].Reviewed = true;
    QCOMPARE(NextMultiEntry(reviewed, 5, 2), 3);
    // From the current row of a multi entry, the next one below is found, not itself.
    QCOMPARE(NextMultiEntry(d, 5, 4), -1);
}

void TestSearch::nextUntranslated()
{
    std::vector<DS> d = sample(); // entry 4 "Print" is untranslated; entry 1 has "Cancel" only as slot 1
    QCOMPARE(NextUntranslatedEntry(d, 5, 0), 4);
    QCOMPARE(NextUntranslatedEntry(d, 5, 5), -1);
    // Choosing the alternative equal to the source makes it untranslated.
    d[1].Chosen = 1;
    QCOMPARE(NextUntranslatedEntry(d, 5, 0), 1);
    QCOMPARE(NextUntranslatedEntry(d, 5, 2), 4);
    // Changed choice: no longer found, even though another alternative equals the source.
    d[4].Translations.push_back(B(u"列印"));
    d[4].LastTranslation = 1;
    d[4].Chosen = 1;
    QCOMPARE(NextUntranslatedEntry(d, 5, 2), -1);
    // Whole text and case count.
    std::vector<DS> near = {entry("OK", {"ok"}), entry("OK", {"OK "}), entry("OK", {"OK"})};
    QCOMPARE(NextUntranslatedEntry(near, 2, 0), 2);
    // A chosen slot outside the table is no match and no crash.
    near[2].Chosen = 7;
    QCOMPARE(NextUntranslatedEntry(near, 2, 0), -1);
}

void TestSearch::messages()
{
    Recorder recorder;
    const ScopedOverride<MessageBoxes> answering(messageBoxSeam(), recorder);
    const std::vector<DS> d = sample();
    QWidget window;

    QCOMPARE(RunTextSearch(d, 5, MatchRule::Source, QStringLiteral("Close"), true, 0, SearchStart::FindButton), 2);
    QVERIFY(recorder.shown.empty());

    QCOMPARE(RunTextSearch(d, 5, MatchRule::Source, QString(), true, 0, SearchStart::FindNextButton), -1);
    QCOMPARE(RunTextSearch(d, 5, MatchRule::Source, QStringLiteral("nope"), false, 6, SearchStart::FindButton), -1);
    QCOMPARE(RunTextSearch(d, 5, MatchRule::Translation, QStringLiteral("开"), true, 0, SearchStart::FindNextButton),
             -1);
    QCOMPARE(RunNextMulti(d, 5, 4, &window), -1);
    QCOMPARE(RunNextUntranslated(d, 5, 5, &window), -1);
    QCOMPARE(RunNextMulti(d, 5, 0, &window), 1);
    QCOMPARE(RunNextUntranslated(d, 5, 0, &window), 4);

    QCOMPARE(recorder.shown.size(), std::size_t(5));
    QCOMPARE(recorder.shown[0].owner, nullptr);
    QCOMPARE(recorder.shown[0].text, QStringLiteral("找不到相符項目。"));
    QCOMPARE(recorder.shown[0].caption, QStringLiteral("找尋"));
    QCOMPARE(recorder.shown[1].text, QStringLiteral("找不到相符項目。"));
    QCOMPARE(recorder.shown[1].caption, QStringLiteral("搜尋"));
    QCOMPARE(recorder.shown[2].text, QStringLiteral("搜尋文字含有無法以 Big5 表示的字元。"));
    QCOMPARE(recorder.shown[2].caption, QStringLiteral("找尋"));
    QCOMPARE(recorder.shown[3].owner, &window);
    QCOMPARE(recorder.shown[3].text, QStringLiteral("搜尋完畢。"));
    QCOMPARE(recorder.shown[3].caption, QStringLiteral("搜尋"));
    QCOMPARE(recorder.shown[4].owner, &window);
    QCOMPARE(recorder.shown[4].text, QStringLiteral("找不到符合的項目"));
    QCOMPARE(recorder.shown[4].caption, QStringLiteral("訊息"));

    // Directions start upward; the hint follows the direction.
    SearchDirections directions;
    QVERIFY(!directions.SourceSearchDown && !directions.TranslationSearchDown);
    directions.flagFor(MatchRule::Translation) = true;
    QVERIFY(directions.TranslationSearchDown && !directions.SourceSearchDown);
    QCOMPARE(FindNextHint(true), QStringLiteral("找下一個"));
    QCOMPARE(FindNextHint(false), QStringLiteral("找上一個"));
}

void TestSearch::staleFillLevel()
{
    // A fill level past the table's end reads no further than the table.
    const std::vector<DS> d = sample();
    QCOMPARE(SearchEntries(d, 5000, MatchRule::Source, "Zebra", true, 0), -1);
    QCOMPARE(SearchEntries(d, 5000, MatchRule::Source, "file", false, 5000), 5);
    QCOMPARE(NextMultiEntry(d, 5000, 4), -1);
    QCOMPARE(NextUntranslatedEntry(d, 5000, 5), -1);
}

QTEST_MAIN(TestSearch)
#include "test_search.moc"
