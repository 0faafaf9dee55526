// The checks of one translation against its source, at the edges of each
// rule. Texts are Big5 bytes as they stand in a resource script.

#include "dictionary/checks.h"
#include "dictionary/vocabulary.h"
#include "platform/codepage.h"

#include <QFile>
#include <QTest>

namespace {

std::string big5(const QString &text)
{
    return cp950::encode(text).value_or(std::string());
}

QByteArray keysOf(CheckSet found)
{
    QByteArrayList keys;
    for (const CheckKind kind : found.kinds())
        keys << CheckKey(kind);
    return keys.join(' ');
}

} // namespace

class TestChecks : public QObject {
    Q_OBJECT
private slots:
    void rules_data();
    void rules();
    void hotkeyLetter();
    void keptInEnglish();
    void untranslatedAsJudged();
    void vocabularyBySense();
    void hotkeyFixes();
    void plantedFaults();
};

void TestChecks::rules_data()
{
    QTest::addColumn<QByteArray>("source");
    QTest::addColumn<QByteArray>("translation");
    QTest::addColumn<QByteArray>("found"); // keys in kind order, a blank between

    const auto row = [](const char *name, const char *source, const char *translation, const char *keys) {
        QTest::newRow(name) << QByteArray(source) << QByteArray(translation) << QByteArray(keys);
    };
    // 開啟 (&O) ... 版面設定
    row("same hot key in (&X) form", "&Open...", "\xB6\x7D\xB1\xD2(&O)...", "");
    row("hot key letters differ in case only", "&open", "\xB6\x7D\xB1\xD2(&O)", "");
    row("hot key letter differs", "Page Set&up...", "\xAA\xA9\xAD\xB1\xB3\x5D\xA9\x77(&T)...", "hotkey-letter");
    row("hot key missing", "&Save", "\xC0\x78\xA6\x73", "hotkey-missing");
    // 湯姆 && 傑瑞
    row("&& is no hot key", "Tom && Jerry", "\xB4\xF6\xA9\x69 && \xB3\xC7\xB7\xE7 (&T)", "hotkey-extra");
    row("a trailing & is no hot key", "Save &", "\xC0\x78\xA6\x73", "");
    // 許 ends in 0x5C and 功 ends in 0x5C: neither starts an escape.
    row("Big5 second byte 0x5C before t", "Permit", "\xB3\x5Ct", "");
    row("shortcut kept", "&Copy\\tCtrl+C", "\xBD\xC6\xBB\x73(&C)\\tCtrl+C", "");
    row("shortcut changed", "&Copy\\tCtrl+C", "\xBD\xC6\xBB\x73(&C)\\tCtrl+X", "shortcut");
    row("shortcut dropped", "&Copy\\tCtrl+C", "\xBD\xC6\xBB\x73(&C)", "shortcut");
    row("escaped backslash then t is no shortcut", "C:\\\\temp", "C:\\\\temp\\tX", "shortcut");
    row("%% is no placeholder", "100%% done", "\xA7\xB9\xA6\xA8 100%%", "");
    row("prose percent is no placeholder", "50% of it", "\xA4\x40\xA5\x62 50%", "");
    row("flags and widths", "%-5d of %08lX", "%-5d / %08lX", "");
    row("width changed", "%-5d items", "%d \xB6\xB5", "placeholder");
    // A plain width is no numbered placeholder: the printf order still counts.
    row("width without flag, order changed", "%5d of %s", "%s \xAA\xBA %5d", "placeholder");
    row("printf order counts", "%s in %d", "%d \xA4\xA4\xAA\xBA %s", "placeholder");
    row("numbered order does not", "%1 in %2", "%2 \xA4\xA4\xAA\xBA %1", "");
    row("numbered one lost", "%1 in %2", "%2", "placeholder");
    row("newline lost", "Line one\\nLine two", "\xB2\xC4\xA4\x40\xA6\xE6", "escape");
    row("doubled quotes kept", "Say \"\"hi\"\"", "\xBB\xA1 \"\"hi\"\"", "");
    row("three dots against the Big5 ellipsis", "Find...", "\xB4\x4D\xA7\xE4\xA1\x4B", "");
    row("colon against full-width colon", "Name:", "\xA6\x57\xBA\xD9\xA1\x47", "");
    row("ellipsis before the marker", "Save &As...", "\xA5\x74\xA6\x73\xB7\x73\xC0\xC9...(&A)", "");
    row("ellipsis lost", "Save &As...", "\xA5\x74\xA6\x73\xB7\x73\xC0\xC9(&A)", "ending");
    row("ellipsis added", "Options", "\xBF\xEF\xB6\xB5...", "ending");
    // 丑 (A4 A1) then K: the bytes A1 4B end the text, but no 「…」 does.
    row("a character's second byte is no ellipsis", "Block", "\xA4\xA1K", "");
    row("ellipsis before the shortcut", "&Find...\\tCtrl+F", "\xB4\x4D\xA7\xE4(&F)\\tCtrl+F", "ending");
    row("trailing blank lost", "Name: ", "\xA6\x57\xBA\xD9\xA1\x47", "spaces");
    row("untranslated only", "&File", "&File", "untranslated");

    // Texts without a word to translate stay as they are.
    row("digits and symbols", "+/-", "+/-", "");
    row("a unit and a number", "CPU 12", "CPU 12", "");
    row("a percentage", "12.5%", "12.5%", "");
    row("a file mask", "*.txt", "*.txt", "");
    row("short capital names", "UTF-8", "UTF-8", "");
    row("a name in one capital token", "REGEDIT", "REGEDIT", "");
    row("an identifier", "REGEDIT_FRAME", "REGEDIT_FRAME", "");
    row("OK is a word", "OK", "OK", "untranslated");
    row("a word beside a mask", "Text Files (*.txt)", "Text Files (*.txt)", "untranslated");
    row("placeholder letters are no word", "%1!s! %d", "%1!s! %d", "");
    // Left in English but for the hot key or case: still untranslated.
    row("hot key dropped", "&Dword\\tF2", "Dword\\tF2", "untranslated");
    row("hot key moved to a marker", "P&roperties", "Properties(&R)", "untranslated");
    row("case changed", "Save As", "save as", "untranslated");
    row("a symbol's hot key dropped", "&1", "1", "hotkey-missing");

    // 結束(&X)(&X), 開新檔案(&N)\tCtrl+N(&N)\tCtrl+N
    row("hot key twice", "E&xit", "\xB5\xB2\xA7\xF4(&X)(&X)", "hotkey-twice");
    row("hot key and shortcut twice", "&New\\tCtrl+N",
        "\xB6\x7D\xB7\x73\xC0\xC9\xAE\xD7(&N)\\tCtrl+N(&N)\\tCtrl+N", "hotkey-twice");
    row("two hot keys in the source too", "&A or &B", "&A \xA9\xCE &B", "");

    row("numbered format changed", "Type [0x%1!x!]", "\xC3\xFE\xAB\xAC [0x%1!d!]", "placeholder");
    row("numbered format kept, order changed", "%1!s! of %2!d!", "%2!d! \xAA\xBA %1!s!", "");
    row("%% turned into %", "100%% done", "\xA7\xB9\xA6\xA8 100%", "placeholder");

    row("double space inside", "Save all", "\xA5\xFE\xB3\xA1  \xC0\x78\xA6\x73", "spaces");
    row("double space in the source too", "&1  %s", "&1  %s \xA4\x40", "");

    row("question mark kept full width", "Save changes?", "\xC0\x78\xA6\x73\xC5\xDC\xA7\xF3\xA1\x48", "");
    row("question mark dropped", "Save changes?", "\xC0\x78\xA6\x73\xC5\xDC\xA7\xF3", "ending");
    row("exclamation mark dropped", "Done!", "\xA7\xB9\xA6\xA8", "ending");
    row("full stop added to a title", "Save", "\xC0\x78\xA6\x73\xA1\x43", "ending");
    row("full stop dropped from a sentence", "File not found.", "\xA7\xE4\xA4\xA3\xA8\xEC\xC0\xC9\xAE\xD7", "ending");
    row("full stop kept", "File not found.", "\xA7\xE4\xA4\xA3\xA8\xEC\xC0\xC9\xAE\xD7\xA1\x43", "");
}

void TestChecks::rules()
{
    QFETCH(QByteArray, source);
    QFETCH(QByteArray, translation);
    QFETCH(QByteArray, found);
    QCOMPARE(keysOf(CheckTranslation(source.toStdString(), translation.toStdString())), found);
}

void TestChecks::hotkeyLetter()
{
    QCOMPARE(HotkeyLetterOf("E&xit"), std::string("X"));
    QCOMPARE(HotkeyLetterOf("a && b &c"), std::string("C"));
    // A Chinese hot-key letter is read whole, also when its second byte is "&".
    QCOMPARE(HotkeyLetterOf("&\xA4\x26x"), std::string("\xA4\x26"));
    QCOMPARE(HotkeyLetterOf("\xA4\x26x"), std::string());
    QCOMPARE(HotkeyLetterOf("end&"), std::string());
}

// The user's list of texts kept in English: matched with hot keys, case,
// blanks and the shortcut set aside; comment lines are no texts.
void TestChecks::keptInEnglish()
{
    const KeepEnglish keep = KeepEnglish::FromBytes("# keys\r\nHex\r\nWindows (CR + LF)\nsave  \r\n");
    QCOMPARE(keysOf(CheckTranslation("Hex", "Hex", &keep)), QByteArray());
    QCOMPARE(keysOf(CheckTranslation("&hex", "&hex", &keep)), QByteArray());
    QCOMPARE(keysOf(CheckTranslation("Windows (CR + LF)", "Windows (CR + LF)", &keep)), QByteArray());
    QCOMPARE(keysOf(CheckTranslation("&Save\\tCtrl+S", "&Save\\tCtrl+S", &keep)), QByteArray());
    QCOMPARE(keysOf(CheckTranslation("# keys", "# keys", &keep)), QByteArray("untranslated"));
    QCOMPARE(keysOf(CheckTranslation("Dec", "Dec", &keep)), QByteArray("untranslated"));
    // Kept in English, the hot key must still be there.
    QCOMPARE(keysOf(CheckTranslation("&Hex", "Hex", &keep)), QByteArray("hotkey-missing"));
}

// Every text of the six corpus dictionaries left in English, judged by
// hand once: at least 90 % of the flags are real, and at least 95 % of the
// real ones are flagged, with the lists of texts kept in English a user
// of the calculator and the editor keeps.
void TestChecks::untranslatedAsJudged()
{
    const QString data = QStringLiteral(CHECKS_DATA);
    QFile file(data + QStringLiteral("/untranslated-judged.tsv"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    std::map<QString, KeepEnglish> keep;
    for (const QString &app : {QStringLiteral("calc"), QStringLiteral("notepad")}) {
        QFile list(data + QLatin1Char('/') + app + QStringLiteral(".keep"));
        QVERIFY(list.open(QIODevice::ReadOnly));
        keep[app] = KeepEnglish::FromBytes(list.readAll().toStdString());
    }
    int rows = 0, real = 0, flagged = 0, realFlagged = 0, flaggedWithoutLists = 0;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).chopped(1);
        if (line.startsWith(u'#'))
            continue;
        const QStringList f = line.split(u'\t');
        QCOMPARE(f.size(), 4);
        ++rows;
        const std::string source = big5(f[2]);
        const std::string translation = big5(f[3]);
        const auto list = keep.find(f[0]);
        const bool isReal = f[1] == QStringLiteral("1");
        const bool hit = CheckTranslation(source, translation, list == keep.end() ? nullptr : &list->second)
                             .has(CheckKind::Untranslated);
        real += isReal;
        flagged += hit;
        realFlagged += hit && isReal;
        flaggedWithoutLists += CheckTranslation(source, translation).has(CheckKind::Untranslated);
    }
    QCOMPARE(rows, 266);
    QCOMPARE(real, 116);
    qInfo("untranslated: %d flags, %d real of %d real texts (%d flags without the lists)", flagged, realFlagged, real,
          flaggedWithoutLists);
    QVERIFY2(realFlagged * 100 >= flagged * 90, "fewer than 90 % of the flags are real");
    QVERIFY2(realFlagged * 100 >= real * 95, "fewer than 95 % of the real ones are flagged");
}

// OpenCC's Taiwan list, read with the English: 文件 is right for a
// document and wrong for a file; the finding names the Taiwan word; the
// longest word decides (文件夾, not 文件); a word the list gives as right
// itself is wrong only in the sense the English names.
void TestChecks::vocabularyBySense()
{
    const Vocabulary &taiwan = Vocabulary::Taiwan();
    QVERIFY2(taiwan.Problem().isEmpty(), qPrintable(taiwan.Problem()));
    const auto found = [&](const char *source, const QString &translation) {
        QStringList out;
        for (const MainlandWord &w : taiwan.Find(source, big5(translation)))
            out << cp950::decode(w.Mainland) + QLatin1Char('>') + cp950::decode(w.Taiwan);
        return out.join(u' ');
    };
    QCOMPARE(found("Open File", QStringLiteral("開啟文件")), QStringLiteral("文件>檔案"));
    QCOMPARE(found("Open Document", QStringLiteral("開啟文件")), QString());
    QCOMPARE(found("New Folder", QStringLiteral("新文件夾")), QStringLiteral("文件夾>資料夾"));
    QCOMPARE(found("&Save", QStringLiteral("保存(&S)")), QStringLiteral("保存>儲存"));
    QCOMPARE(found("Default", QStringLiteral("默認")), QStringLiteral("默認>預設"));
    QCOMPARE(found("Menu", QStringLiteral("菜單")), QStringLiteral("菜單>選單"));
    QCOMPARE(found("Today's dishes", QStringLiteral("菜單")), QString());
    QCOMPARE(found("Window and program", QStringLiteral("窗口和程序")), QStringLiteral("窗口>視窗 程序>程式"));
    QCOMPARE(found("Procedure", QStringLiteral("程序")), QString());
    QCOMPARE(found("Save", QStringLiteral("儲存資料夾")), QString());
    // 登錄檔 is Taiwan's registry, though 登錄 alone is right only for it.
    QCOMPARE(found("The strings have been removed", QStringLiteral("已從登錄檔刪除")), QString());
    QCOMPARE(found("Log in", QStringLiteral("登錄")), QStringLiteral("登錄>登入"));
    // 恨 (AB EB) then 文 (A4 E5): no word starts on a second byte.
    QCOMPARE(taiwan.Find("x", "\xAB\xEB\xA4\xE5\xA5\xF3").size(), std::size_t(1));
    QCOMPARE(taiwan.Find("x", "\xEB\xA4\xE5").size(), std::size_t(0));
    QCOMPARE(keysOf(CheckTranslation("&Save", big5(QStringLiteral("保存(&S)")))), QByteArray("vocabulary"));

    const Vocabulary missing = Vocabulary::FromFile("/nonexistent/TWPhrases.ocd2");
    QVERIFY(missing.empty());
    QVERIFY(!missing.Problem().isEmpty());
    QVERIFY(missing.Find("File", big5(QStringLiteral("文件"))).empty());
}

// The fixes the check window offers: the hot key set in place of the ones
// the translation has, before its ending and shortcut; the letter chosen
// so that it is free among its neighbours.
void TestChecks::hotkeyFixes()
{
    // 結束, 開新檔案, 另存新檔
    QCOMPARE(WithHotkey("\xB5\xB2\xA7\xF4", "X"), std::string("\xB5\xB2\xA7\xF4(&X)"));
    QCOMPARE(WithHotkey("\xB5\xB2\xA7\xF4(&X)(&X)", "X"), std::string("\xB5\xB2\xA7\xF4(&X)"));
    QCOMPARE(WithHotkey("\xB5\xB2\xA7\xF4 (&Q)", "X"), std::string("\xB5\xB2\xA7\xF4(&X)"));
    QCOMPARE(WithHotkey("\xA5\x74\xA6\x73\xB7\x73\xC0\xC9...\\tCtrl+S", "A"),
             std::string("\xA5\x74\xA6\x73\xB7\x73\xC0\xC9(&A)...\\tCtrl+S"));
    QCOMPARE(WithHotkey("&Tom && Jerry", "J"), std::string("Tom && Jerry(&J)"));
    const std::string fixed = WithHotkey("\xB6\x7D\xB7\x73\xC0\xC9\xAE\xD7(&N)\\tCtrl+N", "N");
    QCOMPARE(keysOf(CheckTranslation("&New\\tCtrl+N", fixed)), QByteArray());

    QCOMPARE(SuggestedHotkey("E&xit", {}), std::string("X"));
    QCOMPARE(SuggestedHotkey("E&xit", {"X"}), std::string("E"));
    QCOMPARE(SuggestedHotkey("E&xit", {"X", "E", "I"}), std::string("T"));
    QCOMPARE(SuggestedHotkey("&1", {"1"}), std::string("A"));
}

namespace {

struct Pair {
    std::string Source;
    std::string Translation;
};

// The pairs of a dictionary file, each source once with its first
// translation (the one a load chooses).
std::vector<Pair> pairsOf(const QByteArray &bytes)
{
    std::vector<Pair> out;
    const QList<QByteArray> lines = bytes.split('\n');
    for (qsizetype i = 0; i + 1 < lines.size(); i += 2) {
        const std::string source = lines[i].chopped(1).toStdString();
        if (std::none_of(out.begin(), out.end(), [&](const Pair &p) { return p.Source == source; }))
            out.push_back({source, lines[i + 1].chopped(1).toStdString()});
    }
    return out;
}

// One fault of a kind planted into a translation; nullopt where the pair
// offers no place for it.
using Plant = std::optional<std::string> (*)(const Pair &);

std::optional<std::string> replaced(const std::string &in, const std::string &from, const std::string &to)
{
    const std::size_t at = in.find(from);
    if (at == std::string::npos)
        return std::nullopt;
    return in.substr(0, at) + to + in.substr(at + from.size());
}

std::optional<std::string> marker(const std::string &t)
{
    const std::size_t at = t.find("(&");
    if (at == std::string::npos || at + 4 > t.size() || t[at + 3] != ')')
        return std::nullopt;
    return t.substr(at, 4);
}

} // namespace

// Faults planted into the translations of a dictionary made from the
// notepad resource scripts, a few of every kind: each is found as its
// kind, and the entries left untouched show only the faults they really
// have (judged by hand), nothing more.
void TestChecks::plantedFaults()
{
    const QString data = QStringLiteral(CHECKS_DATA);
    QFile file(data + QStringLiteral("/notepad.dict"));
    QFile list(data + QStringLiteral("/notepad.keep"));
    QVERIFY(file.open(QIODevice::ReadOnly) && list.open(QIODevice::ReadOnly));
    const std::vector<Pair> pairs = pairsOf(file.readAll());
    const KeepEnglish keep = KeepEnglish::FromBytes(list.readAll().toStdString());
    QCOMPARE(pairs.size(), std::size_t(87));

    const std::vector<std::pair<CheckKind, Plant>> plants{
        // First those with few places:
        // 檔案 → 文件 where the English says file; 儲存 → 保存; 視窗 → 窗口
        {CheckKind::Vocabulary, [](const Pair &p) { return p.Source.find("ile") != std::string::npos ? replaced(p.Translation, "\xC0\xC9\xAE\xD7", "\xA4\xE5\xA5\xF3") : std::nullopt; }},
        {CheckKind::Vocabulary, [](const Pair &p) { return replaced(p.Translation, "\xC0\x78\xA6\x73", "\xAB\x4F\xA6\x73"); }},
        {CheckKind::Vocabulary, [](const Pair &p) { return replaced(p.Translation, "\xB5\xF8\xB5\xA1", "\xB5\xA1\xA4\x66"); }},
        {CheckKind::HotkeyMissing, [](const Pair &p) { return marker(p.Translation) ? replaced(p.Translation, *marker(p.Translation), "") : std::nullopt; }},
        {CheckKind::HotkeyLetter, [](const Pair &p) { return marker(p.Translation) ? replaced(p.Translation, *marker(p.Translation), "(&Q)") : std::nullopt; }},
        {CheckKind::HotkeyExtra, [](const Pair &p) { return HotkeyCount(p.Source) == 0 && p.Source.find('\\') == std::string::npos ? std::optional(p.Translation + "(&Q)") : std::nullopt; }},
        {CheckKind::HotkeyTwice, [](const Pair &p) { return marker(p.Translation) ? replaced(p.Translation, *marker(p.Translation), *marker(p.Translation) + *marker(p.Translation)) : std::nullopt; }},
        {CheckKind::Shortcut, [](const Pair &p) { return replaced(p.Translation, "\\tCtrl+", "\\tShift+"); }},
        {CheckKind::Escape, [](const Pair &p) { return replaced(p.Translation, "\\n", ""); }},
        {CheckKind::Placeholder, [](const Pair &p) {
             for (const auto &[from, to] : {std::pair("%s", "%d"), std::pair("%u", "%d"), std::pair("%d", "%s")})
                 if (const auto faulty = replaced(p.Translation, from, to))
                     return faulty;
             return std::optional<std::string>();
         }},
        {CheckKind::Ending, [](const Pair &p) { return replaced(p.Translation, "...", ""); }},
        {CheckKind::Ending, [](const Pair &p) { return replaced(p.Translation, "\xA1\x47", ""); }}, // ：
        {CheckKind::Spaces, [](const Pair &p) { return p.Translation.size() > 4 && (p.Translation[0] & 0x80) ? std::optional(p.Translation.substr(0, 2) + "  " + p.Translation.substr(2)) : std::nullopt; }},
        {CheckKind::Untranslated, [](const Pair &p) { return HoldsWords(p.Source) ? std::optional(p.Source) : std::nullopt; }},
    };
    // Each plant goes into the next clean entries that offer a place, three each.
    std::vector<bool> touched(pairs.size(), false);
    int planted = 0;
    for (const auto &[kind, plant] : plants) {
        int here = 0;
        for (std::size_t i = 0; i < pairs.size() && here < 3; ++i) {
            if (touched[i] || !CheckTranslation(pairs[i].Source, pairs[i].Translation, &keep).empty())
                continue;
            const std::optional<std::string> faulty = plant(pairs[i]);
            if (!faulty || *faulty == pairs[i].Translation)
                continue;
            touched[i] = true;
            ++here;
            ++planted;
            const CheckSet found = CheckTranslation(pairs[i].Source, *faulty, &keep);
            QVERIFY2(found.has(kind), qPrintable(QStringLiteral("%1 not found in %2 / %3 (%4)")
                                                     .arg(QLatin1String(CheckKey(kind)), cp950::decode(pairs[i].Source),
                                                          cp950::decode(*faulty), QLatin1String(keysOf(found)))));
        }
        QVERIFY2(here > 0, CheckKey(kind));
    }
    QVERIFY2(planted >= 35, qPrintable(QString::number(planted)));

    // The untouched entries: only their real faults.
    QStringList untouched;
    for (std::size_t i = 0; i < pairs.size(); ++i)
        if (!touched[i])
            for (const CheckKind kind : CheckTranslation(pairs[i].Source, pairs[i].Translation, &keep).kinds())
                untouched << QLatin1String(CheckKey(kind)) + QLatin1Char(' ') + cp950::decode(pairs[i].Source);
    untouched.sort();
    QCOMPARE(untouched, (QStringList{
        QStringLiteral("ending '%s' can not be found."),
        QStringLiteral("hotkey-extra Line number:"),
        QStringLiteral("hotkey-letter De&lete\\tDel"),
        QStringLiteral("hotkey-letter Page Set&up..."),
        QStringLiteral("hotkey-letter Time/&Date\\tF5"),
        QStringLiteral("hotkey-letter View &Help"),
        QStringLiteral("untranslated (Filename)"),
        QStringLiteral("untranslated Now printing"),
        QStringLiteral("untranslated Now printing page..."),
        QStringLiteral("untranslated Print job is starting..."),
        QStringLiteral("untranslated Printing failed."),
        QStringLiteral("untranslated Printing has been canceled."),
        QStringLiteral("untranslated Printing is successfully done."),
        QStringLiteral("untranslated The print job is being canceled..."),
        QStringLiteral("untranslated The specified line number is out of range."),
        QStringLiteral("untranslated UTF-8 with BOM"),
        QStringLiteral("untranslated Unicode (big endian)"),
    }));
}

QTEST_GUILESS_MAIN(TestChecks)
#include "test_checks.moc"
