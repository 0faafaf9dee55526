// The program's own reading of resource scripts against the real
// interpreter: on the test cases and on the six corpus programs, the
// dictionary the extraction script writes and the file the translation
// script writes are exactly what the reader expects, and the texts the
// reader says were left in English are exactly those on the lines the
// translation left unchanged.

#include "convert/launcher.h"
#include "convert/rcreader.h"
#include "convert/report.h"
#include "convert/script.h"
#include "platform/codepage.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <set>

namespace {

const char *const CorpusApps[] = {"calc", "mspaint", "notepad", "regedit", "sndvol32", "taskmgr"};

std::string readFile(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QByteArray data = f.readAll();
    return std::string(data.constData(), std::size_t(data.size()));
}

QString caseDir(const QString &name)
{
    return QStringLiteral(CONVERT_DATA_DIR "/") + name;
}

QString corpusDir(const QString &app)
{
    return QStringLiteral(TAVISORN_CORPUS_DIR "/") + app;
}

// Runs one script with the interpreter as the program starts it; empty
// error when it ended with status 0.
QString runPerl(const QString &folder, const char *name, const std::string &script)
{
    const QString path = QDir(folder).filePath(QLatin1String(name));
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(script.data(), qint64(script.size())) != qint64(script.size()))
        return QStringLiteral("cannot write ") + path;
    f.close();
    const InterpreterCommand c =
        BuildInterpreterCommand(QStandardPaths::findExecutable(QStringLiteral("perl")), path, folder);
    QProcess p;
    p.setProgram(c.program);
    p.setArguments(c.arguments);
    p.setWorkingDirectory(c.workingDirectory);
    p.setProcessEnvironment(c.environment);
    p.start();
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return QStringLiteral("perl failed: ") + QString::fromLocal8Bit(p.readAllStandardError());
    return {};
}

} // namespace

class TestRcReader : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void scriptLinesAsTheInterpreterReadsThem();
    void dictionaryAsTheTranslationReadsIt();
    void extractionAsTheInterpreterWritesIt_data();
    void extractionAsTheInterpreterWritesIt();
    void translationAsTheInterpreterWritesIt_data();
    void translationAsTheInterpreterWritesIt();
    void blockWordsChosenFromTheFileItself();
    void fewPairsAreAWarningFirst();
    void extractionReportTellsWhereBlocksShift();
    void translationReportListsEachEnglishTextOnce();
    void reportSaysWhatTheSwitchesLeft();

private:
    QString extract(const QString &en, const QString &zh, const QString &out);
    QTemporaryDir Dir;
};

void TestRcReader::initTestCase()
{
    if (QStandardPaths::findExecutable(QStringLiteral("perl")).isEmpty())
        QSKIP("no perl on the PATH");
    QVERIFY(Dir.isValid());
}

QString TestRcReader::extract(const QString &en, const QString &zh, const QString &out)
{
    return runPerl(Dir.path(), ExtractionScriptName,
                   ExtractionScript({PathBytes(en), PathBytes(zh), PathBytes(out)}));
}

void TestRcReader::scriptLinesAsTheInterpreterReadsThem()
{
    // CR LF and LF end lines alike; a CR of its own stays in its line; the
    // last line without a line end loses its last character.
    QCOMPARE(ScriptLines("a\r\nb\nc\rd\r\r\ne\"x\""),
             (std::vector<std::string>{"a", "b", "c\rd\r", "e\"x"}));
    QCOMPARE(ScriptLines(""), std::vector<std::string>{});
    QCOMPARE(ScriptLines("\r\n\r\n"), (std::vector<std::string>{"", ""}));
    QVERIFY(OnlyDelimiter(" \tEND\r", "END"));
    QVERIFY(!OnlyDelimiter("END;", "END"));
    QVERIFY(OnlyDelimiter("   ", ""));
    QVERIFY(!OnlyDelimiter("BEGIN END", "END"));
}

void TestRcReader::dictionaryAsTheTranslationReadsIt()
{
    // Thousands of pairs in a dictionary sized for a few: each one found,
    // a later pair replacing an earlier one, a source on the last line of a
    // file of odd length without a translation, and a text not held absent.
    std::string bytes;
    for (int i = 0; i < 5000; ++i)
        bytes += "Text " + std::to_string(i) + "\r\nZh " + std::to_string(i) + "\r\n";
    bytes += "Text 17\r\nagain\r\nlast\r\n";
    ScriptDictionary small(2);
    ScriptLineReader lines(bytes);
    for (std::string_view source, translation; lines.next(source);)
        small.set(source, lines.next(translation) ? std::optional(translation) : std::nullopt);
    for (const ScriptDictionary &d : {small, ReadScriptDictionary(bytes)}) {
        QCOMPARE(d.size(), std::size_t(5001));
        for (int i = 0; i < 5000; ++i) {
            const ScriptDictionary::Pair *p = d.find("Text " + std::to_string(i));
            QVERIFY(p && p->Translation);
            QCOMPARE(std::string(*p->Translation), i == 17 ? std::string("again") : "Zh " + std::to_string(i));
        }
        QVERIFY(d.find("last") && !d.find("last")->Translation);
        QVERIFY(!d.find("Text 5000"));
        QVERIFY(!d.find(""));
    }
}

void TestRcReader::extractionAsTheInterpreterWritesIt_data()
{
    QTest::addColumn<QString>("en");
    QTest::addColumn<QString>("zh");
    const QStringList cases = QDir(QStringLiteral(CONVERT_DATA_DIR)).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &c : cases)
        if (QFile::exists(caseDir(c) + QStringLiteral("/zh.rc")))
            QTest::newRow(qPrintable(c)) << caseDir(c) + QStringLiteral("/en.rc") << caseDir(c) + QStringLiteral("/zh.rc");
    for (const char *app : CorpusApps) {
        const QString dir = corpusDir(QLatin1String(app));
        QTest::newRow(app) << dir + QStringLiteral("/en.rc") << dir + QStringLiteral("/zh-TW.rc");
    }
}

void TestRcReader::extractionAsTheInterpreterWritesIt()
{
    QFETCH(QString, en);
    QFETCH(QString, zh);
    if (!QFile::exists(en))
        QSKIP("the corpus is not there");
    const QString out = Dir.filePath(QString::fromLatin1(QTest::currentDataTag()) + QStringLiteral(".dict"));
    const QString error = extract(en, zh, out);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    const std::string enBytes = readFile(en);
    const std::string zhBytes = readFile(zh);
    const ExtractionReading reading = ReadExtraction(enBytes, zhBytes);
    QCOMPARE(reading.TextLines, TextLines(zhBytes)); // counted in the reading's pass over the file
    const std::string written = readFile(out);
    QCOMPARE(reading.DictionaryBytes(), written);
    // Compared without writing the pairs out: a byte changed, one more or
    // the last one lost is another file.
    QVERIFY(reading.DictionaryIs(written));
    if (!written.empty()) {
        std::string changed = written;
        changed[changed.size() / 2] ^= 1;
        QVERIFY(!reading.DictionaryIs(changed));
        QVERIFY(!reading.DictionaryIs(written.substr(0, written.size() - 1)));
    }
    QVERIFY(!reading.DictionaryIs(written + "\r\n"));
}

void TestRcReader::blockWordsChosenFromTheFileItself()
{
    // The templates' own lines, which a run fills.
    QCOMPARE(ExtractionTemplate().line(ExtractionLineBeginStr), std::string("$BeginStr='';"));
    QCOMPARE(ExtractionTemplate().line(ExtractionLineEndStr), std::string("$EndStr='';"));
    QCOMPARE(TranslationTemplate().line(TranslationLineBeginStr), std::string("$BeginStr='';"));
    QCOMPARE(TranslationTemplate().line(TranslationLineEndStr), std::string("$EndStr='';"));
    QCOMPARE(DelimiterLine("$EndStr", ""), std::string("$EndStr='';"));
    QVERIFY(DelimiterLine("$BeginStr", "{").rfind("$BeginStr='{';  # ", 0) == 0);

    // A tool named anywhere: the templates' choice, nothing handed.
    for (const char *named : {"// Microsoft\r\nA MENU\r\n{\r\n}\r\n", "A MENU\n{\n}\n/* Borland */\n"}) {
        const RcDelimiters d = ChooseDelimiters(named);
        QVERIFY(!d.FromBlocks);
        QVERIFY(d.Begin.empty());
    }
    // Braces without a name, blanks around them, more than BEGIN/END lines.
    RcDelimiters d = ChooseDelimiters("A MENU\n {\n  POPUP \"&F\"\n  {\t\n  }\n}\nB MENU\nBEGIN\nEND\n");
    QVERIFY(d.FromBlocks);
    QCOMPARE(d.Begin, std::string("{"));
    QCOMPARE(d.End, std::string("}"));
    QCOMPARE(d.ChosenLines, 4);
    QCOMPARE(d.OtherLines, 2);
    // BEGIN and END win a tie; "BEGIN END" or "END;" on a line count for nothing.
    d = ChooseDelimiters("BEGIN\r\n}\r\nBEGIN END\r\nEND;\r\n");
    QCOMPARE(d.Begin, std::string("BEGIN"));
    QCOMPARE(d.ChosenLines, 1);
    // No block lines at all: empty, as the templates have them.
    d = ChooseDelimiters("// just a comment\n\nSTRINGTABLE\n");
    QVERIFY(!d.found());
    QVERIFY(d.Begin.empty());

    // The warning on empty words goes.
    ExtractionReport r;
    r.Delimiters = ChooseDelimiters("A MENU\nBEGIN\nEND\n");
    QVERIFY(!RenderExtractionReport(r).contains(QStringLiteral("區塊分隔字是空的")));
    r.Delimiters = {};
    QVERIFY(RenderExtractionReport(r).contains(QStringLiteral("區塊分隔字是空的")));
}

void TestRcReader::fewPairsAreAWarningFirst()
{
    // Text lines: quoted texts after a word, string-table entries; not
    // accelerators, empty or blank texts, or lines without a quote.
    QCOMPARE(TextLines("A MENU\nBEGIN\n POPUP \"&F\"\n  MENUITEM \"&N\", 1\n  MENUITEM SEPARATOR\nEND\n"
                       " \"^A\", 2\n LTEXT \"\", 3\n LTEXT \"  \", 4\n 1001, \"Text\"\n IDS_X \"Other\"\n"),
             4);
    ExtractionReport r;
    r.TextLines = 100;
    r.PairsWritten = 85;
    r.PairsWithEmptyEnglish = 10; // pairs without English do not count
    r.LeftOut.resize(4);          // pairs left out do
    QCOMPARE(r.PairsFound(), qint64(79));
    QVERIFY(r.LowPairing());
    QVERIFY(ExtractionWarns(r));
    QVERIFY(RenderExtractionReport(r).startsWith(QStringLiteral("警告：只配對到 79 個有英文的字串對，中文RC檔有 100 行帶有文字（79%）")));
    QCOMPARE(ExtractionSummary(r), RenderExtractionReport(r).section(QLatin1Char('\n'), 0, 0));
    r.LeftOut.resize(5);
    QVERIFY(!r.LowPairing());
    QVERIFY(RenderExtractionReport(r).startsWith(QStringLiteral("製作字典檔的結果")));
    r.TextLines = 0; // not counted: no warning
    r.PairsWritten = 1;
    QVERIFY(!r.LowPairing());
}

void TestRcReader::translationAsTheInterpreterWritesIt_data()
{
    QTest::addColumn<QString>("dictionary"); // a file, or the corpus program whose pair makes it
    QTest::addColumn<QString>("script");
    QTest::addColumn<bool>("font");
    const QStringList cases = QDir(QStringLiteral(CONVERT_DATA_DIR)).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &c : cases) {
        if (!QFile::exists(caseDir(c) + QStringLiteral("/new.rc")))
            continue;
        for (const bool font : {false, true})
            QTest::newRow(qPrintable(c + (font ? QStringLiteral(" font") : QString())))
                << caseDir(c) + QStringLiteral("/dict.txt") << caseDir(c) + QStringLiteral("/new.rc") << font;
    }
    for (const char *app : CorpusApps)
        QTest::newRow(app) << QString::fromLatin1(app) << corpusDir(QLatin1String(app)) + QStringLiteral("/en.rc")
                           << true;
    // Dictionaries of other programs: most texts stay English.
    QTest::newRow("regedit with notepad's") << QStringLiteral("notepad")
                                            << corpusDir(QStringLiteral("regedit")) + QStringLiteral("/en.rc") << false;
    QTest::newRow("calc with taskmgr's") << QStringLiteral("taskmgr")
                                         << corpusDir(QStringLiteral("calc")) + QStringLiteral("/en.rc") << false;
}

void TestRcReader::translationAsTheInterpreterWritesIt()
{
    QFETCH(QString, dictionary);
    QFETCH(QString, script);
    QFETCH(bool, font);
    if (!QFile::exists(script))
        QSKIP("the corpus is not there");
    const QString tag = QString::fromLatin1(QTest::currentDataTag()).replace(QLatin1Char('\''), QLatin1Char('_'));
    if (!dictionary.contains(QLatin1Char('/'))) {
        const QString app = dictionary;
        dictionary = Dir.filePath(tag + QStringLiteral(".dict"));
        const QString error = extract(corpusDir(app) + QStringLiteral("/en.rc"),
                                      corpusDir(app) + QStringLiteral("/zh-TW.rc"), dictionary);
        QVERIFY2(error.isEmpty(), qPrintable(error));
    }
    const QString out = Dir.filePath(tag + QStringLiteral(".rc"));
    const QString error = runPerl(Dir.path(), TranslationScriptName,
                                  TranslationScript({PathBytes(dictionary), PathBytes(script), PathBytes(out), font}));
    QVERIFY2(error.isEmpty(), qPrintable(error));

    const std::string input = readFile(script);
    const std::string output = readFile(out);
    const std::string dictionaryBytes = readFile(dictionary);
    const TranslationReading reading = ReadTranslation(ReadScriptDictionary(dictionaryBytes), input, font);
    QCOMPARE(reading.OutputBytes, output);
    // Read against the interpreter's file instead: it matches, and a file
    // with one byte changed, one byte more or its last byte lost does not.
    const auto matches = [&](const std::string &written) {
        return ReadTranslation(ReadScriptDictionary(dictionaryBytes), input, font, {}, written).MatchesWritten;
    };
    QVERIFY(matches(output));
    std::string changed = output;
    changed[changed.size() / 2] ^= 1;
    QVERIFY(!matches(changed));
    QVERIFY(!matches(output + "\n"));
    QVERIFY(!matches(output.substr(0, output.size() - 1)));

    // Which lines the interpreter left as they were, compared with what the
    // reader says of each text it found.
    const std::vector<std::string> in = ScriptLines(input);
    const std::vector<std::string> written = ScriptLines(output);
    QCOMPARE(written.size(), in.size());
    std::set<int> textLines;
    std::vector<std::string> unchangedTexts;
    std::set<std::string> seen;
    int left = 0;
    for (const FoundText &t : reading.Texts) {
        textLines.insert(t.Line);
        const bool unchanged = written[std::size_t(t.Line)] == in[std::size_t(t.Line)];
        QVERIFY2(unchanged == t.leftInEnglish(), in[std::size_t(t.Line)].c_str());
        if (unchanged && seen.insert(std::string(t.Text)).second)
            unchangedTexts.emplace_back(t.Text);
        left += unchanged ? 1 : 0;
    }
    const std::set<int> fontLines(reading.FontLines.begin(), reading.FontLines.end());
    for (int i = 0; i < int(in.size()); ++i)
        if (!textLines.count(i) && !fontLines.count(i))
            QCOMPARE(written[std::size_t(i)], in[std::size_t(i)]);

    const TranslationReport report = BuildTranslationReport(reading, cp950::decode);
    std::vector<std::string> listed;
    for (const EnglishText &t : report.Left)
        listed.push_back(t.Bytes);
    QCOMPARE(listed, unchangedTexts);
    QCOMPARE(report.LeftInEnglish, qint64(left));
    QCOMPARE(report.Translated + report.LeftInEnglish, report.TextsFound);
    qInfo("%s: %lld texts, %lld translated, %lld left in English (%zu distinct)", qPrintable(tag),
          static_cast<long long>(report.TextsFound), static_cast<long long>(report.Translated),
          static_cast<long long>(report.LeftInEnglish), report.Left.size());
}

void TestRcReader::extractionReportTellsWhereBlocksShift()
{
    const std::string en = readFile(caseDir(QStringLiteral("reader-edges")) + QStringLiteral("/en.rc"));
    const std::string zh = readFile(caseDir(QStringLiteral("reader-edges")) + QStringLiteral("/zh.rc"));
    const ExtractionReport r = BuildExtractionReport(ReadExtraction(en, zh), cp950::decode);
    QCOMPARE(r.Delimiters.Begin, std::string("BEGIN"));
    QCOMPARE(r.Delimiters.Line, 0);
    auto block = [&](const QString &name) -> const BlockCount * {
        for (const BlockCount &b : r.Blocks)
            if (b.Name == name)
                return &b;
        return nullptr;
    };

    // One menu item more in the translation: from it on, every pair is wrong.
    const BlockCount *menu = block(QStringLiteral("IDR_MAIN"));
    QVERIFY(menu);
    QCOMPARE(menu->English, 5);
    QCOMPARE(menu->Chinese, 6);
    QVERIFY(menu->Shift);
    QCOMPARE(menu->Shift->Item, 2);
    QCOMPARE(menu->Shift->EnglishLine, 9);
    QCOMPARE(menu->Shift->ChineseLine, 9);
    QCOMPARE(menu->Shift->ChineseText, QStringLiteral("開新檔案(&N)"));

    // A text of blanks only counts in the English dialog but is skipped in
    // the translated one: same texts, yet shifted from the first on.
    const BlockCount *form = block(QStringLiteral("IDD_FORM"));
    QVERIFY(form);
    QCOMPARE(form->English, 5);
    QCOMPARE(form->Chinese, 4);
    QVERIFY(form->Shift);
    QCOMPARE(form->Shift->Item, 2);
    QVERIFY(form->Shift->EnglishBlankOnly);

    const BlockCount *lonely = block(QStringLiteral("IDD_ENGLISH_ONLY"));
    QVERIFY(lonely && lonely->ChineseHeaderLine == 0 && lonely->English == 1);
    const BlockCount *chineseOnly = block(QStringLiteral("IDD_CHINESE_ONLY"));
    QVERIFY(chineseOnly && chineseOnly->EnglishHeaderLine == 0 && chineseOnly->Chinese == 1);
    QCOMPARE(chineseOnly->Shift->ChineseText, QStringLiteral("許功蓋"));

    QCOMPARE(r.StringIdsOnlyInEnglish, QStringList({QStringLiteral("IDS_ENGLISH_ONLY")}));
    QCOMPARE(r.StringIdsOnlyInChinese, QStringList({QStringLiteral("IDS_CHINESE_ONLY")}));
    QVERIFY(r.BlocksDiffer());

    // The rendered report names the block, the place and the texts, and a
    // text holding %1 is shown as it is.
    const QString text = RenderExtractionReport(r);
    QVERIFY(text.contains(QStringLiteral("MENU IDR_MAIN：5 / 6　數目不同")));
    QVERIFY(text.contains(QStringLiteral("從第 2 個文字起配對錯開：英文第 9 行 \"&Open...\\tCtrl+O\" 配上中文第 9 行 \"開新檔案(&N)\"")));
    QVERIFY(text.contains(QStringLiteral("只有空白")));
    QVERIFY(!text.contains(QStringLiteral("警告")));

    // Files without texts give no pairs, and that is a warning.
    const ExtractionReport empty = BuildExtractionReport(ReadExtraction(std::string_view("// Microsoft\r\n"), std::string_view("\r\n")), cp950::decode);
    QVERIFY(empty.NoPairs());
    QVERIFY(RenderExtractionReport(empty).contains(QStringLiteral("警告：沒有寫出任何字串對")));
}

void TestRcReader::translationReportListsEachEnglishTextOnce()
{
    const QString dir = caseDir(QStringLiteral("reader-edges"));
    const std::string script = readFile(dir + QStringLiteral("/new.rc"));
    const TranslationReading reading =
        ReadTranslation(ReadScriptDictionary(readFile(dir + QStringLiteral("/dict.txt"))), script, false);
    const TranslationReport r = BuildTranslationReport(reading, cp950::decode);
    auto find = [&](const QString &text) -> const EnglishText * {
        for (const EnglishText &t : r.Left)
            if (t.Text == text)
                return &t;
        return nullptr;
    };
    // "&File" appears twice: listed once, at its first line; the later pair
    // of the dictionary translated it, so it is not left at all.
    QVERIFY(!find(QStringLiteral("&File")));
    QCOMPARE(find(QStringLiteral("E&xit"))->Why, TextOutcome::EmptyTranslation);   // translated as "0"
    QCOMPARE(find(QStringLiteral("Form"))->Why, TextOutcome::EmptyTranslation);    // translated as ""
    QCOMPARE(find(QStringLiteral("OK"))->Why, TextOutcome::SameAsSource);
    QCOMPARE(find(QStringLiteral("Bold"))->Why, TextOutcome::EmptyTranslation);    // the odd last line
    QCOMPARE(find(QStringLiteral("&Recent"))->Why, TextOutcome::NotInDictionary);
    QVERIFY(!find(QStringLiteral("0"))); // never looked up
    QVERIFY(!find(QStringLiteral("%1 of %2 done")));

    // In order of first appearance, each once, as untranslated pairs.
    const std::string missing = MissingPairs(r, {});
    QVERIFY(missing.rfind("&Open...\\tCtrl+O\r\n&Open...\\tCtrl+O\r\n", 0) == 0);
    std::set<std::string> sources;
    const std::vector<std::string> lines = ScriptLines(missing);
    for (std::size_t i = 0; i < lines.size(); i += 2) {
        QCOMPARE(lines[i + 1], lines[i]);
        QVERIFY(sources.insert(lines[i]).second);
    }
    QCOMPARE(lines.size(), r.Left.size() * 2);

    const QString text = RenderTranslationReport(r);
    QVERIFY(text.contains(QStringLiteral("第 13 行：\"E&xit\"（字典檔的譯文是空的或 0）")));

    // The distinct texts the reading counts (by the dictionary's pairs met
    // and the texts it lacks) are those of the texts found, each once; a
    // reading that did not count them is counted by the report.
    std::set<std::string_view> distinct;
    for (const FoundText &t : reading.Texts)
        distinct.insert(t.Text);
    QVERIFY(reading.Texts.size() > distinct.size());
    QCOMPARE(r.DistinctTexts, qint64(distinct.size()));
    TranslationReading uncounted = reading;
    uncounted.DistinctTexts = -1;
    QCOMPARE(BuildTranslationReport(uncounted, cp950::decode).DistinctTexts, qint64(distinct.size()));
}

void TestRcReader::reportSaysWhatTheSwitchesLeft()
{
    // Three dialogs: FONT 8 at the line start changes; FONT 9 and an
    // indented FONT 8 stay, and the report names their dialogs.
    const std::string script = "// Microsoft Visual C++\r\n"
                               "IDD_ONE DIALOG 0, 0, 100, 50\r\nFONT 8, \"MS Sans Serif\"\r\nBEGIN\r\nEND\r\n"
                               "IDD_TWO DIALOGEX 0, 0, 100, 50\r\nFONT 9, \"Segoe UI\", 400, 0, 0x1\r\nBEGIN\r\nEND\r\n"
                               "IDD_THREE DIALOG 0, 0, 100, 50\r\n  FONT 8, \"MS Shell Dlg\"\r\nBEGIN\r\nEND\r\n"
                               "FONT 9, \"Outside\"\r\n";
    const TranslationReading reading = ReadTranslation({}, script, true);
    QCOMPARE(reading.FontLines, std::vector<int>{2});
    TranslationReport r = BuildTranslationReport(reading, cp950::decode);
    r.FontSwitch = true;
    QCOMPARE(r.FontsKept.size(), std::size_t(2));
    QString text = RenderTranslationReport(r);
    QVERIFY2(text.contains(QStringLiteral("只改行首為「FONT 8, 」的行，以下 2 個對話框保留原來的字體")), qPrintable(text));
    QVERIFY(text.contains(QStringLiteral("  IDD_TWO（第 7 行：FONT 9, \"Segoe UI\", 400, 0, 0x1）\n")));
    QVERIFY(text.contains(QStringLiteral("  IDD_THREE（第 11 行：FONT 8, \"MS Shell Dlg\"）\n")));
    QVERIFY(!text.contains(QStringLiteral("Outside"))); // not a dialog's
    QVERIFY(!text.contains(QStringLiteral("IDD_ONE")));

    // Without the switch nothing is said of fonts; with it and no FONT line, that nothing changed.
    QVERIFY(ReadTranslation({}, script, false).FontsKept.empty());
    TranslationReport none = BuildTranslationReport(ReadTranslation({}, "IDD_X DIALOG 0, 0, 1, 1\r\nBEGIN\r\nEND\r\n", true),
                                                    cp950::decode);
    none.FontSwitch = true;
    QVERIFY(RenderTranslationReport(none).contains(QStringLiteral("對話框中沒有 FONT 行，沒有改任何一行")));
    none.FontSwitch = false;
    QVERIFY(!RenderTranslationReport(none).contains(QStringLiteral("FONT")));

    // The LANGUAGE switch: lines changed, or none found; nothing when it was off.
    none.Retargeted = true;
    QVERIFY(RenderTranslationReport(none).contains(QStringLiteral("LANGUAGE 改為繁體中文：沒有找到")));
    none.Language.push_back({3, QStringLiteral("LANGUAGE LANG_ENGLISH, SUBLANG_ENGLISH_US"),
                             QStringLiteral("LANGUAGE LANG_CHINESE, SUBLANG_CHINESE_TRADITIONAL")});
    QVERIFY(RenderTranslationReport(none).contains(QStringLiteral("LANGUAGE 改為繁體中文：改了 1 行。")));
    none.Retargeted = false;
    QVERIFY(!RenderTranslationReport(none).contains(QStringLiteral("LANGUAGE 改為繁體中文：")));
}

QTEST_GUILESS_MAIN(TestRcReader)
#include "test_rcreader.moc"
