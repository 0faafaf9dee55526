// The suggestions a translation report carries for the texts left in
// English, and where they go: the report's lines, the pairs of --missing
// (loaded as the editor loads them) and the pairs 加入字典檔 appends.
#include "convert/suggest.h"
#include "convert/versions.h"
#include "dictionary/dictionary.h"
#include "platform/codepage.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

std::string big5(const QString &text)
{
    return *cp950::encode(text);
}

EnglishText left(const std::string &bytes, int count, TextOutcome why = TextOutcome::NotInDictionary)
{
    EnglishText t;
    t.Text = QString::fromLatin1(bytes.data(), qsizetype(bytes.size()));
    t.Bytes = bytes;
    t.Count = count;
    t.Why = why;
    return t;
}

std::string readAll(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll().toStdString();
}

} // namespace

class TestSuggest : public QObject {
    Q_OBJECT
private slots:
    void reportCountsPlacesAndTellsTheBest();
    void missingPairsLoadWithNothingPicked();
    void appendedAfterTheirTextsPair();
    void versionsComparedByIdentifier();
};

void TestSuggest::reportCountsPlacesAndTellsTheBest()
{
    const std::string dictionary = "Cl&ose\r\n" + big5(QStringLiteral("關閉(&O)")) + "\r\nZoo\r\n"
                                   + big5(QStringLiteral("動物園")) + "\r\nExit\r\nExit\r\n";
    TranslationReport r;
    r.Left = {left("&Close", 2), left("Zoom", 3), left("Exit", 1, TextOutcome::SameAsSource), left("Other", 1)};
    r.LeftInEnglish = 7;
    EnglishText standIn = left("Zoom!", 4);
    standIn.HoldsStandIn = true; // cannot stand in a dictionary: not looked up
    r.Left.push_back(standIn);
    r.LeftInEnglish += 4;
    SuggestTranslations(r, dictionary);
    QVERIFY(r.Suggested);
    QCOMPARE(r.WithAdapted, qint64(2));
    QCOMPARE(r.WithNear, qint64(3));
    QCOMPARE(r.Left[0].Suggestions.front().Translation, big5(QStringLiteral("關閉(&C)")));
    QVERIFY(r.Left[2].Suggestions.empty()); // an untranslated pair is no translation
    QVERIFY(r.Left[4].Suggestions.empty());

    const QString text = RenderTranslationReport(r);
    QVERIFY(text.contains(QStringLiteral("仍是英文 11 處：2 處有調整後的譯文，3 處有近似譯文")));
    QVERIFY(text.contains(QStringLiteral("\"&Close\"（字典檔沒有這個文字），共 2 處\n    調整後的譯文：\"關閉(&C)\"（來自 \"Cl&ose\"）\n")));
    QVERIFY(text.contains(QStringLiteral("近似譯文：\"動物園\"（相似度 75，來自 \"Zoo\"）")));
    QVERIFY(TranslationSummary(r).contains(QStringLiteral("2 處有調整後的譯文，3 處有近似譯文")));

    // 加入字典檔 takes the suggestions of the texts the dictionary lacks.
    const SuggestedTranslations forDictionary = SuggestionsForDictionary(r);
    QCOMPARE(forDictionary.size(), std::size_t(2));
    QCOMPARE(forDictionary.at("Zoom"), std::vector<std::string>{big5(QStringLiteral("動物園"))});
}

void TestSuggest::missingPairsLoadWithNothingPicked()
{
    const std::string dictionary = "&Find...\r\n" + big5(QStringLiteral("尋找(&F)...")) + "\r\nFind &All\r\n"
                                   + big5(QStringLiteral("全部尋找(&A)")) + "\r\n";
    TranslationReport r;
    r.Left = {left("Fi&nd\\tCtrl+F", 1), left("Find Al", 1)};
    SuggestTranslations(r, dictionary);
    const std::string pairs = MissingPairs(r, {});
    QCOMPARE(pairs, "Fi&nd\\tCtrl+F\r\nFi&nd\\tCtrl+F\r\nFi&nd\\tCtrl+F\r\n" + big5(QStringLiteral("尋找(&N)\\tCtrl+F"))
                        + "\r\nFind Al\r\nFind Al\r\nFind Al\r\n" + big5(QStringLiteral("全部尋找")) + "\r\n");

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("missing.txt"));
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(pairs.data(), qint64(pairs.size()));
    f.close();
    DictionaryTables tables;
    SilentLoadProgress silent;
    QVERIFY(LoadDictionary(FileName(path), tables, silent).ok);
    QCOMPARE(tables.LastEntry, 1);
    for (const DS &e : tables.EntryTable) {
        QCOMPARE(e.LastTranslation, 1);         // several translations: the pointing hand
        QVERIFY(e.ChosenTranslation() == e.Source); // the text itself: nothing picked
    }
}

void TestSuggest::appendedAfterTheirTextsPair()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("d.txt"));
    // The last line is a source without its translation, and one of the texts.
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("Open\r\nO\r\nZoom\r\n");
    f.close();
    const SuggestedTranslations suggested = {
        {"Zoom", {"Z1", "Zoom", "Z1", "bad\nline"}}, // the text itself, twice and a line end: left out
        {"Close", {"C1", "C2"}},
    };
    const AddedTexts added = AppendUntranslatedPairs(FileName(path), {"Zoom", "Close", "Open"}, suggested);
    QVERIFY(!added.Refused);
    QCOMPARE(readAll(path), std::string("Open\r\nO\r\nZoom\r\nZoom\r\nZoom\r\nZ1\r\n"
                                        "Close\r\nClose\r\nClose\r\nC1\r\nClose\r\nC2\r\n"));
}

const char OldVersion[] = "IDR_MAIN MENU\r\n"
                          "BEGIN\r\n"
                          "    // MENUITEM \"Commented out\", ID_OLD\r\n"
                          "    POPUP \"&File\"\r\n"
                          "    BEGIN\r\n"
                          "        MENUITEM \"&Open\", ID_OPEN\r\n"
                          "        MENUITEM \"E&xit\", ID_EXIT\r\n"
                          "    END\r\n"
                          "END\r\n"
                          "IDD_ABOUT DIALOGEX 0, 0, 100, 50\r\n"
                          "CAPTION \"About\"\r\n"
                          "BEGIN\r\n"
                          "    PUSHBUTTON \"OK\", IDOK, 1, 1, 50, 14\r\n"
                          "    CONTROL \"Show &tips\", IDC_TIPS, \"Button\", BS_AUTOCHECKBOX, 1, 1, 1, 1\r\n"
                          "END\r\n"
                          "IDD_OTHER DIALOGEX 0, 0, 100, 50\r\n"
                          "BEGIN\r\n"
                          "    PUSHBUTTON \"Close\", IDOK, 1, 1, 50, 14\r\n"
                          "END\r\n"
                          "STRINGTABLE\r\n"
                          "BEGIN\r\n"
                          "    IDS_READY \"Ready\"\r\n"
                          "    IDS_GONE \"Gone soon\"\r\n"
                          "END\r\n";

void TestSuggest::versionsComparedByIdentifier()
{
    // Keys are identifiers within their block: the two IDOK differ; a
    // commented-out line holds none.
    const std::vector<IdentifiedText> old = IdentifiedTexts(OldVersion);
    std::vector<std::string> keys;
    for (const IdentifiedText &t : old)
        keys.push_back(t.Key);
    QCOMPARE(keys, (std::vector<std::string>{"IDR_MAIN/ID_OPEN", "IDR_MAIN/ID_EXIT", "IDD_ABOUT/CAPTION", "IDD_ABOUT/IDOK",
                                             "IDD_ABOUT/IDC_TIPS", "IDD_OTHER/IDOK", "STRINGTABLE/IDS_READY",
                                             "STRINGTABLE/IDS_GONE"}));
    QCOMPARE(old[1].Line, 7);

    std::string newer = OldVersion;
    newer.replace(newer.find("E&xit"), 5, "&Quit");
    newer.replace(newer.find("Show &tips"), 10, "Show &hints");
    newer.replace(newer.find("    IDS_GONE \"Gone soon\""), 25, "    IDS_NEW \"Brand new\"");
    const std::string dictionary = "E&xit\r\n" + big5(QStringLiteral("結束(&X)")) + "\r\nShow &tips\r\n"
                                   + big5(QStringLiteral("顯示提示(&T)")) + "\r\n";
    TranslationReport r;
    EnglishText quit = left("&Quit", 1);
    quit.Lines = {7};
    EnglishText hints = left("Show &hints", 1);
    hints.Lines = {14};
    r.Left = {quit, hints, left("Brand new", 1)};
    r.Left[2].Lines = {23};
    SuggestTranslations(r, dictionary);
    QCOMPARE(r.WithNear, qint64(0)); // "Show &hints" is 70 from "Show &tips": no near match
    CompareVersions(r, OldVersion, newer, dictionary);

    QCOMPARE(r.Added, QStringList{QStringLiteral("Brand new")});
    QCOMPARE(r.Removed, QStringList{QStringLiteral("Gone soon")});
    QCOMPARE(r.Changed.size(), std::size_t(2));
    QCOMPARE(r.Changed[0].first, QStringLiteral("E&xit"));
    QCOMPARE(r.Changed[0].second, QStringLiteral("&Quit"));
    QCOMPARE(r.Unchanged, qint64(5));
    // The old text's translation first, with the new hot key and the
    // similarity of the two texts, however low; then the other suggestions.
    const Suggestion &first = r.Left[0].Suggestions.at(0);
    QVERIFY(first.SameIdentifier);
    QCOMPARE(first.Translation, big5(QStringLiteral("結束(&Q)")));
    QCOMPARE(first.Score, 50);
    QCOMPARE(r.Left[1].Suggestions.size(), std::size_t(1));
    QCOMPARE(r.Left[1].Suggestions[0].Translation, big5(QStringLiteral("顯示提示(&H)")));
    QVERIFY(r.Left[1].Suggestions[0].SameIdentifier);
    QVERIFY(r.Left[2].Suggestions.empty());
    QCOMPARE(r.WithNear, qint64(2));

    const QString text = RenderTranslationReport(r);
    QVERIFY(text.contains(QStringLiteral("與舊版本比較（依識別字）：新增 1，刪除 1，改變 2，不變 5\n")));
    QVERIFY(text.contains(QStringLiteral("  改變：\"E&xit\" → \"&Quit\"\n")));
    QVERIFY(text.contains(QStringLiteral("同識別字的舊譯文：\"結束(&Q)\"（相似度 50，舊版本是 \"E&xit\"）")));
}

QTEST_GUILESS_MAIN(TestSuggest)
#include "test_suggest.moc"
