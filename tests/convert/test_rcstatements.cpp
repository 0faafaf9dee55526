// Statements over several lines joined for the scripts, and the pairing the
// program writes where the scripts' positions go wrong: the joiner on the
// lines that look like continuations but are none, the translation given
// its lines back, and runs whose interpreter output is the scripts' own.

#include "convert/conversion.h"
#include "convert/rcaccount.h"
#include "convert/rcjoin.h"
#include "convert/rcpairing.h"
#include "convert/rcpatterns.h"
#include "convert/runstatements.h"
#include "platform/codepage.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {

std::string readFile(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QByteArray data = f.readAll();
    return std::string(data.constData(), std::size_t(data.size()));
}

bool writeFile(const QString &path, std::string_view bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes.data(), qint64(bytes.size())) == qint64(bytes.size());
}

QString caseFile(const char *name, const char *file)
{
    return QStringLiteral(CONVERT_DATA_DIR "/") + QLatin1String(name) + QLatin1Char('/') + QLatin1String(file);
}

std::string big5(const char *utf8)
{
    return cp950::encode(QString::fromUtf8(utf8)).value();
}

} // namespace

class TestRcStatements : public QObject {
    Q_OBJECT
private slots:
    void linesThatAreNoContinuationStay();
    void continuationsAndSplitEntriesJoin();
    void joiningInPlaceIsJoiningACopy();
    void translationGetsItsLinesBack();
    void extractionWritesTheProgramsPairs();
    void oneCopyJoinedAndEnded();
    void duplicateIdentifiersAreReported();
    void everyTextIsAccountedFor();
    void patternsMatchAsPerlDoes();
};

void TestRcStatements::linesThatAreNoContinuationStay()
{
    // A backslash outside quotes (a macro), in a line comment, a string
    // that ends on its line, a Big5 character whose second byte is a
    // backslash (許 B3 5C) ending an unclosed string, an identifier alone
    // outside a string table, LF ends and a last line without one: the
    // copy is the file, byte for byte.
    const std::string bytes = "#define LONG_ONE \\\r\n    1\r\n"
                              "// a \"comment\\\r\nnext\n"
                              "    LTEXT \"ends here\\\\\" ,IDC_X\r\n"
                              "    LTEXT \"" + big5("許") + "\r\nmore\"\r\n"
                              "IDD_X DIALOG 0, 0, 1, 1\r\nBEGIN\r\n    IDC_ALONE\r\n    \"text\"\r\nEND\r\n"
                              "STRINGTABLE\r\nBEGIN\r\n    IDS_A \"a\"\r\nEND\r\nlast";
    const JoinedScript join = JoinStatements(bytes);
    QVERIFY(!join.joined());
    QCOMPARE(join.Bytes, bytes);
    QCOMPARE(join.OriginalLine(5), 5);
    QCOMPARE(UnjoinTranslation(join.Bytes, join, bytes).substr(0, 30), std::string("#define LONG_ONE \\\r\n    1\r\n// "));
}

void TestRcStatements::continuationsAndSplitEntriesJoin()
{
    // 功 is A5 5C: the backslash after it is the string's own.
    const std::string bytes = "STRINGTABLE\r\nBEGIN\r\n"
                              "    IDS_A \"one\\n\\\r\ntwo\\\n three\"\r\n"
                              "    IDS_B,\r\n        \"split\"\r\n"
                              "    IDS_C \"" + big5("成功") + "\\\r\n" + big5("之後") + "\"\r\n"
                              "END\r\n";
    const JoinedScript join = JoinStatements(bytes);
    QCOMPARE(join.Continuations, 3);
    QCOMPARE(join.SplitStatements, 1);
    QCOMPARE(join.Bytes, "STRINGTABLE\r\nBEGIN\r\n    IDS_A \"one\\ntwo three\"\r\n    IDS_B, \"split\"\r\n"
                         "    IDS_C \"" + big5("成功之後") + "\"\r\nEND\r\n");
    // Lines of the copy lead back to the file's.
    std::vector<int> firstLines;
    for (int k = 0; k < 6; ++k)
        firstLines.push_back(join.OriginalLine(k));
    QCOMPARE(firstLines, (std::vector<int>{0, 1, 2, 5, 7, 9}));
    QCOMPARE(join.Joined.size(), std::size_t(3)); // only the joined lines are held
    QCOMPARE(join.LineCount(2), 3);
    QCOMPARE(join.LineCount(1), 1);
    QCOMPARE(join.OriginalLine(4), 7);
    QCOMPARE(join.OriginalLine(5), 9);
    QCOMPARE(join.OriginalLine(6), 10); // past the last line, one by one
    // A file whose last line, without a line end, ends a continued string;
    // the lines before and after the joined one are copied as they are.
    const JoinedScript last = JoinStatements("A\r\nX \"a\\\r\nb\"");
    QCOMPARE(last.Bytes, std::string("A\r\nX \"ab\""));
    QCOMPARE(JoinStatements("X \"a\\\nb\"\nY\n").Bytes, std::string("X \"ab\"\nY\n"));
    // A continued string whose next line is empty: the line joined still
    // ends in a backslash of its own, and goes on once more.
    const JoinedScript twice = JoinStatements("X \"a\\\\\\\r\n\r\nb\"\r\n");
    QCOMPARE(twice.Bytes, std::string("X \"a\\b\"\r\n"));
    QCOMPARE(twice.Continuations, 2);

    // The readers see the joined strings as any other.
    const std::string dict = big5("one\\ntwo three\r\n一二三\r\n");
    const TranslationReading t = ReadTranslation(ReadScriptDictionary(dict), join.Bytes, false, ChooseDelimiters(join.Bytes));
    QCOMPARE(t.Texts.size(), std::size_t(3));
    QCOMPARE(t.Texts[0].Outcome, TextOutcome::Translated);
    QCOMPARE(t.Texts[1].Text, std::string("split"));
}

void TestRcStatements::joiningInPlaceIsJoiningACopy()
{
    // Joined in the bytes themselves, a script comes out as its joined
    // copy: the bytes written never overtake those still to be read, the
    // line ends of joined lines among them (an entry split after an LF
    // with no blanks joins to a line exactly as long).
    std::vector<std::string> scripts = {
        "STRINGTABLE\r\nBEGIN\r\n    IDS_A \"one\\n\\\r\ntwo\\\n three\"\r\n    IDS_B,\r\n        \"split\"\r\nEND\r\n",
        "STRINGTABLE\nBEGIN\nIDS_C\n\"e\"\nIDS_D\n\"f\\\ng\"\nEND\n",
        "A\r\nX \"a\\\r\nb\"",
        "no join at all\r\n",
    };
    // Real continuations, where the corpus is there.
    for (const char *program : {"notepad", "regedit"})
        if (std::string bytes = readFile(QStringLiteral(TAVISORN_CORPUS_DIR "/") + QLatin1String(program)
                                         + QStringLiteral("/en.rc"));
            !bytes.empty())
            scripts.push_back(std::move(bytes));
    // Line feeds counted eight bytes at a time, among bytes that differ
    // from one in a bit or two (0x0B, 0x8A, 0x0A with the high bit).
    std::string mixed;
    for (int i = 0; i < 301; ++i)
        mixed += "\n\x0B\x8A\xFF\x00\r\x0A\x1A"[(i * 7 + i / 5) % 8];
    for (std::size_t from = 0; from < 9; ++from)
        QCOMPARE(LineFeeds(std::string_view(mixed).substr(from)),
                 std::size_t(std::count(mixed.begin() + std::ptrdiff_t(from), mixed.end(), '\n')));
    for (const std::string &bytes : scripts) {
        QCOMPARE(LineFeeds(bytes), std::size_t(std::count(bytes.begin(), bytes.end(), '\n')));
        const JoinedScript copy = JoinStatements(bytes);
        std::string inPlace = bytes;
        const JoinedScript join = JoinStatementsInPlace(inPlace);
        QCOMPARE(inPlace, copy.Bytes);
        QVERIFY(join.Bytes.empty());
        QCOMPARE(join.Continuations, copy.Continuations);
        QCOMPARE(join.SplitStatements, copy.SplitStatements);
        // Lines given back in order, and out of it, are OriginalLine's.
        const int lines = int(LineFeeds(copy.Bytes)) + 3;
        LineMapper inOrder(copy);
        LineMapper jumping(copy);
        for (int k = 0; k < lines; ++k) {
            QCOMPARE(inOrder(k), copy.OriginalLine(k));
            const int far = int((std::int64_t(k) * 7919 + 13) % lines);
            QCOMPARE(jumping(far), copy.OriginalLine(far));
        }
        QCOMPARE(join.Joined.size(), copy.Joined.size());
        for (std::size_t k = 0; k < join.Joined.size(); ++k) {
            QCOMPARE(join.Joined[k].CopyLine, copy.Joined[k].CopyLine);
            QCOMPARE(join.Joined[k].FirstLine, copy.Joined[k].FirstLine);
            QCOMPARE(join.Joined[k].Count, copy.Joined[k].Count);
        }
    }
}

void TestRcStatements::translationGetsItsLinesBack()
{
    const std::string bytes = "STRINGTABLE\nBEGIN\n    IDS_A \"a\\\nb\"\n    IDS_B \"c\\\nd\"\n    IDS_C\n    \"e\"\nEND\n";
    const JoinedScript join = JoinStatements(bytes);
    QCOMPARE(join.Joined.size(), std::size_t(3));
    QCOMPARE(join.OriginalLine(5), 8); // END
    QCOMPARE(join.LineCount(4), 2);
    // The script translated "ab" and left the others.
    const std::string output = "STRINGTABLE\r\nBEGIN\r\n    IDS_A \"X\"\r\n    IDS_B \"cd\"\r\n    IDS_C \"e\"\r\nEND\r\n";
    QCOMPARE(UnjoinTranslation(output, join, bytes),
             std::string("STRINGTABLE\r\nBEGIN\r\n    IDS_A \"X\"\r\n\r\n    IDS_B \"c\\\r\nd\"\r\n    IDS_C\r\n    \"e\"\r\nEND\r\n"));
}

void TestRcStatements::extractionWritesTheProgramsPairs()
{
    // The interpreter's part is played by the program's own reading of the
    // copies it was handed: what it writes is what the script writes.
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    struct Case {
        const char *name;
        bool pairedByProgram;
    };
    for (const Case c : {Case{"shifted-blocks", true}, Case{"continued-strings", false}, Case{"inprise-braces", false}}) {
        const QString folder = dir.filePath(QLatin1String(c.name));
        QVERIFY(QDir().mkpath(folder));
        ExtractionPaths paths{caseFile(c.name, "en.rc").toStdString(), caseFile(c.name, "zh.rc").toStdString(),
                              dir.filePath(QLatin1String(c.name) + QStringLiteral(".dict")).toStdString()};
        ExtractionRun run;
        QVERIFY(!PrepareExtraction(paths, ExtractionOptions{}, folder, run));
        // The pairing is known before the run, and the interpreter writes into the run's folder.
        QVERIFY(run.Statements);
        QCOMPARE(!run.Statements->Sound.SameAsScript, c.pairedByProgram);
        QVERIFY(QString::fromStdString(run.Script.E3).startsWith(folder));
        const std::string en = readFile(QString::fromStdString(run.Script.E1));
        const std::string zh = readFile(QString::fromStdString(run.Script.E2));
        QVERIFY(!en.empty() && !zh.empty());
        QVERIFY(writeFile(QString::fromStdString(run.Script.E3), ReadExtraction(en, zh, run.Delimiters).DictionaryBytes()));
        const RunOutcome<ExtractionReport> outcome = FinishExtraction(run);
        QVERIFY2(outcome.ok, qPrintable(outcome.error));
        QVERIFY(outcome.report.WrittenAsRead);
        QCOMPARE(outcome.OutputPath, paths.E3);
        QVERIFY(PutOutputInPlace(outcome.OutputPath, outcome.Output).isEmpty());
        QCOMPARE(readFile(QString::fromStdString(paths.E3)), readFile(caseFile(c.name, "expected.dict")));
        QCOMPARE(outcome.report.PairedByProgram, c.pairedByProgram);
    }

    // The report of the shifted blocks: the unpaired texts with their lines
    // in the files, the blocks paired by identifier, no false warning of
    // shifted pairs.
    // The reading's texts are views into the files' bytes, kept here.
    const std::string en = readFile(caseFile("shifted-blocks", "en.rc"));
    const std::string zh = readFile(caseFile("shifted-blocks", "zh.rc"));
    const ExtractionReading reading = ReadExtraction(en, zh);
    ExtractionStatements s;
    s.Reading = reading;
    s.Sound = PairSoundly(reading);
    ExtractionReport r = BuildExtractionReport(reading, cp950::decode);
    AddPairing(r, s, cp950::decode);
    const QString text = RenderExtractionReport(r);
    QVERIFY2(text.contains(QStringLiteral("中文第 8 行（IDR_MAIN）\"多出的項目\"")), qPrintable(text));
    QVERIFY(text.contains(QStringLiteral("英文第 37 行（IDD_BLANKS_ZH）\"Ready\"")));
    QVERIFY(text.contains(QStringLiteral("DIALOG IDD_BLANKS：2 / 2\n")));
    QVERIFY(text.contains(QStringLiteral("MENU IDR_MAIN：5 / 6　數目不同，依命令或控制項的識別字配對")));
    QVERIFY(!text.contains(QStringLiteral("錯開之後的字串對是錯的")));
    QCOMPARE(s.Sound.Unpaired.size(), std::size_t(3));

    // Line numbers of a joined copy are those of the file.
    const std::string cen = readFile(caseFile("continued-strings", "en.rc"));
    const JoinedScript joined = JoinStatements(cen);
    ExtractionReading continued = ReadExtraction(joined.Bytes, joined.Bytes);
    MapLines(continued, joined, joined);
    QCOMPARE(continued.EnglishStrings.back().Id, std::string("IDS_PLAIN"));
    QCOMPARE(continued.EnglishStrings.back().Line, 15);
}

void TestRcStatements::oneCopyJoinedAndEnded()
{
    // A continued string and a last line without a line end: the
    // interpreter reads one copy, joined and ended, the very bytes the
    // program reads; lines in the reading and the output are the file's.
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const std::string en = "STRINGTABLE\r\nBEGIN\r\n    IDS_A \"one \\\r\ntwo\"\r\n    IDS_B \"three\"\r\nEND";
    const std::string zh = "STRINGTABLE\r\nBEGIN\r\n    IDS_A \"" + big5("一二") + "\"\r\n\r\n    IDS_B \"" + big5("三")
                           + "\"\r\nEND";
    const std::string joined = "STRINGTABLE\r\nBEGIN\r\n    IDS_A \"one two\"\r\n    IDS_B \"three\"\r\nEND\r\n";
    QVERIFY(writeFile(dir.filePath(QStringLiteral("en.rc")), en));
    QVERIFY(writeFile(dir.filePath(QStringLiteral("zh.rc")), zh));
    const QString folder = dir.filePath(QStringLiteral("run"));
    QVERIFY(QDir().mkpath(folder));

    ExtractionRun x;
    const ExtractionPaths xpaths{dir.filePath(QStringLiteral("en.rc")).toStdString(),
                                 dir.filePath(QStringLiteral("zh.rc")).toStdString(),
                                 dir.filePath(QStringLiteral("d.txt")).toStdString()};
    QVERIFY(!PrepareExtraction(xpaths, ExtractionOptions{}, folder, x));
    QCOMPARE(x.English.Copy, joined);
    QCOMPARE(readFile(QString::fromStdString(x.Script.E1)), x.English.Copy);
    QCOMPARE(readFile(QString::fromStdString(x.Script.E2)), x.Chinese.Copy);
    QVERIFY(x.Chinese.Copy.ends_with("END\r\n"));
    QCOMPARE(QDir(folder).entryList({QStringLiteral("*.rc")}), (QStringList{QStringLiteral("chinese.rc"), QStringLiteral("english.rc")}));
    QCOMPARE(x.Statements->Reading.EnglishStrings.size(), std::size_t(2));
    QCOMPARE(x.Statements->Reading.EnglishStrings.back().Line, 4);
    QCOMPARE(readFile(QString::fromStdString(xpaths.E1)), en); // the user's file untouched

    TranslationRun t;
    QVERIFY(writeFile(dir.filePath(QStringLiteral("dict.txt")), "one two\r\n" + big5("一二") + "\r\nthree\r\n" + big5("三")));
    const TranslationPaths tpaths{dir.filePath(QStringLiteral("dict.txt")).toStdString(), xpaths.E1,
                                  dir.filePath(QStringLiteral("out.rc")).toStdString(), false};
    const QString tfolder = dir.filePath(QStringLiteral("trun"));
    QVERIFY(QDir().mkpath(tfolder));
    QVERIFY(!PrepareTranslation(tpaths, TranslationOptions{}, tfolder, t));
    QCOMPARE(t.Source.Copy, joined);
    QCOMPARE(readFile(QString::fromStdString(t.Script.T2)), t.Source.Copy);
    QCOMPARE(QDir(tfolder).entryList({QStringLiteral("*.rc")}), QStringList{QStringLiteral("source.rc")});
    // The interpreter's part: the program's own reading of what it was handed.
    const std::string handed = readFile(QString::fromStdString(t.Script.T2));
    const TranslationReading reading = ReadTranslation(ReadScriptDictionary(t.Dictionary), handed, false, t.Delimiters);
    QVERIFY(writeFile(QString::fromStdString(t.Script.T3), reading.OutputBytes));
    const RunOutcome<TranslationReport> outcome = FinishTranslation(t);
    QVERIFY2(outcome.ok, qPrintable(outcome.error));
    QVERIFY(outcome.report.WrittenAsRead);
    QCOMPARE(outcome.OutputPath, tpaths.T3);
    QCOMPARE(outcome.Output, zh);

    // A source whose last line ends and in which nothing joins is read by
    // the interpreter where it is, and held once.
    const std::string plain = "STRINGTABLE\r\nBEGIN\r\n    IDS_B \"three\"\r\nEND\r\n";
    QVERIFY(writeFile(dir.filePath(QStringLiteral("plain.rc")), plain));
    TranslationRun p;
    const TranslationPaths ppaths{tpaths.T1, dir.filePath(QStringLiteral("plain.rc")).toStdString(),
                                  dir.filePath(QStringLiteral("plain-out.rc")).toStdString(), false};
    const QString pfolder = dir.filePath(QStringLiteral("prun"));
    QVERIFY(QDir().mkpath(pfolder));
    QVERIFY(!PrepareTranslation(ppaths, TranslationOptions{}, pfolder, p));
    QVERIFY(p.Source.copyIsFile());
    QCOMPARE(p.Script.T2, ppaths.T2);
    QVERIFY(writeFile(QString::fromStdString(p.Script.T3),
                      ReadTranslation(ReadScriptDictionary(p.Dictionary), plain, false, p.Delimiters).OutputBytes));
    const RunOutcome<TranslationReport> plainOutcome = FinishTranslation(p);
    QVERIFY(plainOutcome.ok && plainOutcome.report.WrittenAsRead);
    QCOMPARE(plainOutcome.Output, "STRINGTABLE\r\nBEGIN\r\n    IDS_B \"" + big5("三") + "\"\r\nEND\r\n");
}

void TestRcStatements::duplicateIdentifiersAreReported()
{
    const std::string en = readFile(caseFile("duplicate-string-id", "en.rc"));
    const std::string zh = readFile(caseFile("duplicate-string-id", "zh.rc"));
    const ExtractionReading reading = ReadExtraction(en, zh);
    ExtractionStatements s;
    s.Reading = reading;
    s.Sound = PairSoundly(reading);
    QCOMPARE(s.Sound.Duplicates.size(), std::size_t(1));
    ExtractionReport r = BuildExtractionReport(reading, cp950::decode);
    AddPairing(r, s, cp950::decode);
    QVERIFY(ExtractionWarns(r));
    const QString text = RenderExtractionReport(r);
    QVERIFY2(text.contains(QStringLiteral("IDS_READY：英文第 5 行 \"Ready\"、英文第 7 行 \"Ready now\"、"
                                          "中文第 5 行 \"就緒\"、中文第 7 行 \"現在就緒\"")),
             qPrintable(text));
}

void TestRcStatements::everyTextIsAccountedFor()
{
    // Texts: the caption, the controls' first arguments, the menu items,
    // the string-table entries and the version values. No texts: the
    // include, the icon's file, the font and class names, the accelerator
    // key, the version keys, comments, an empty text.
    const std::string rc = "// Microsoft Visual C++ \"generated\"\r\n"    // 0
                           "#include \"resource.h\"\r\n"                  // 1
                           "IDI_APP ICON \"app.ico\"\r\n"                 // 2
                           "IDD_A DIALOGEX 0, 0, 10, 10\r\n"              // 3
                           "CAPTION \"Title\"\r\n"                        // 4
                           "FONT 8, \"MS Shell Dlg\"\r\n"                 // 5
                           "BEGIN\r\n"                                    // 6
                           "    CONTROL IDI_APP, -1, \"static\", SS_ICON, 0, 0, 1, 1\r\n" // 7
                           "    CONTROL \"&Wrap\",IDC_W,\"Button\",BS_AUTOCHECKBOX,0,0,1,1\r\n" // 8
                           "    LTEXT \"\",IDC_STATIC,0,0,1,1\r\n"          // 9
                           "    /* LTEXT \"old\",IDC_STATIC,0,0,1,1 */\r\n" // 10
                           "    LTEXT \"Left\", -1, 0, 0, 1, 1\r\n"         // 11
                           "END\r\n"                                      // 12
                           "  IDR_M MENU\r\n"                             // 13: not at the line's start
                           "BEGIN\r\n    MENUITEM \"&Open\", ID_OPEN\r\nEND\r\n" // 14-16
                           "IDR_ACC ACCELERATORS\r\nBEGIN\r\n    \"^C\", ID_COPY\r\nEND\r\n" // 17-20
                           "STRINGTABLE\r\nBEGIN\r\n    IDS_A \"Apple\"\r\n    IDS_Z \"0\"\r\n" // 21-24
                           "    IDS_B \"Banana\"\r\nEND\r\n"               // 25-26
                           "VS_VERSION_INFO VERSIONINFO\r\nBEGIN\r\n  BLOCK \"StringFileInfo\"\r\n  BEGIN\r\n" // 27-30
                           "    VALUE \"FileDescription\", \"Sample\"\r\n" // 31
                           "  END\r\nEND\r\n";
    // Line 10: the extraction rule takes a string out of a comment; no text of the file.
    const StringAccount a = AccountStrings(rc, LinesOf({4, 8, 10, 11, 23}));
    QCOMPARE(a.InFile, 8);
    QCOMPARE(a.Taken, 4);
    QCOMPARE(a.NotReached.size(), std::size_t(4));
    const std::vector<std::pair<int, Unreached>> expected{
        {15, Unreached::BlockUnseen}, {24, Unreached::PerlFalse}, {25, Unreached::LineShape}, {31, Unreached::VersionValue}};
    for (std::size_t i = 0; i < expected.size(); ++i) {
        QCOMPARE(a.NotReached[i].Line, expected[i].first);
        QCOMPARE(a.NotReached[i].Why, expected[i].second);
    }
    QCOMPARE(a.NotReached[3].Text, std::string("Sample"));
    // The string the rules took out of the comment on line 10 is listed
    // as such, and the report says so.
    QCOMPARE(a.TakenFromComments.size(), std::size_t(1));
    QCOMPARE(a.TakenFromComments[0].Line, 10);
    QCOMPARE(a.TakenFromComments[0].Text, std::string("/* LTEXT \"old\",IDC_STATIC,0,0,1,1 */"));
    StringsAccounted shown;
    AddStrings(shown, a, nullptr, cp950::decode);
    QVERIFY(StringsAccountedText(shown, QStringLiteral("英文RC檔"))
                .contains(QStringLiteral("註解中的字串，規則不分註解照樣取到：1 個\n    第 11 行：/* LTEXT \"old\"")));
    // A doubled quote stays in its string, and a quote in a comment after
    // it opens no other.
    const StringAccount q = AccountStrings(
        "IDD_Q DIALOG 0, 0, 1, 1\r\nBEGIN\r\n    LTEXT \"Say \"\"hi\"\"\", -1, 0, 0, 1, 1 // \"x\r\nEND\r\n", {});
    QCOMPARE(q.InFile, 1);
    QCOMPARE(q.NotReached.at(0).Text, std::string("Say \"\"hi\"\""));

    // A run counts the English file's texts, a joined string as one.
    QTemporaryDir dir;
    ExtractionPaths paths{caseFile("continued-strings", "en.rc").toStdString(),
                          caseFile("continued-strings", "zh.rc").toStdString(), dir.filePath(QStringLiteral("d")).toStdString()};
    ExtractionRun run;
    QVERIFY(!PrepareExtraction(paths, ExtractionOptions{}, dir.path(), run));
    QCOMPARE(run.Statements->Strings.InFile, 8);
    QCOMPARE(run.Statements->Strings.Taken, 8);
}

void TestRcStatements::patternsMatchAsPerlDoes()
{
    // The hand matchers against the same patterns in a regular-expression
    // engine with Perl's semantics, on lines whose quotes, commas, blanks
    // and words sit where a matcher can go wrong.
    auto rx = [](const char *perl) {
        QString pattern = QString::fromLatin1(perl);
        pattern.replace(QStringLiteral("%W"), QStringLiteral("[0-9A-Za-z_]"));
        pattern.replace(QStringLiteral("%S"), QStringLiteral("[\\t\\n\\x0B\\f\\r ]"));
        pattern.replace(QStringLiteral("%D"), QStringLiteral("[^\\n]"));
        return QRegularExpression(pattern);
    };
    struct Pattern {
        const char *name;
        LineMatch (*hand)(std::string_view);
        QRegularExpression first, second;
        int text; // the capture holding the text
    };
    const Pattern patterns[] = {
        {"menu", rcpattern::Menu, rx("%S*%W+%S+\"(%D+)\",%D*"), rx("%S*%W+%S+\"(%D+)\"$"), 1},
        {"string", rcpattern::String, rx("(%W+),%S+\"(%D+)\""), rx("(%W+)%S+\"(%D+)\""), 2},
        {"dialog", rcpattern::Dialog, rx("%S*%W+%S+\"(%D*?)\",%D*"), rx("%S*%W+%S+\"(%D*?)\"$"), 1},
        {"whole menu", rcpattern::WholeMenu, rx("^(%S*%W+%S+\")(%D+)(\",%D*)$"), rx("^(%S*%W+%S+\")(%D+)(\")$"), 2},
        {"whole string", rcpattern::WholeString, rx("^(%S*%W+,%S+\")(%D+)(\"%D*)$"), rx("^(%S*%W+%S+\")(%D+)(\"%D*)$"), 2},
        {"whole dialog", rcpattern::WholeDialog, rx("^(%S*%W+%S+\")(%D*?)(\",%D*)$"), rx("^(%S*%W+%S+\")(%D*?)(\")$"), 2},
        {"font", rcpattern::Font8, rx("^FONT 8, \"%D+\"(%D*?)$"), rx("(?!)"), 1},
    };
    const char *const lines[] = {
        "    MENUITEM \"&Open\",  ID_OPEN", "MENUITEM \"a\"", "MENUITEM \"\"", "MENUITEM \"\",", "  X \"a\", \"b\", c",
        "X \"a\",\"b\"", "\"a\" X \"b\"", "X,  \"a\" Y \"b\"", "IDS_A, \"x\"", "IDS_A,\"x\"", "IDS_A , \"x\"",
        "  IDS_A \"he said \"\"hi\"\"\"", "a \"\"\"", "a \"\"", "a \"", "\"x\"", " \t W \t\"t\"\t", "A \"x\",",
        "LTEXT \"\",IDC_STATIC,1,2", "LTEXT \"a\", \"b\",IDC", "CONTROL \"T\",IDC_C,\"Button\",BS_AUTO,1,2",
        "w  \"x\" , \"y\"", "FONT 8, \"MS Shell Dlg\", 0, 0, 0x1", "FONT 8, \"\"", "FONT 8, \"x\"", "FONT 8, \"\"\"",
        "ab,cd  \"q\"", "a, b \"c\"", ",  \"c\"", "word\"x\"", "w \"a\",\"", "w \"a\"\",", "w \"\",\"x\",",
    };
    for (const Pattern &p : patterns) {
        for (const char *l : lines) {
            const std::string line = l;
            const QString subject = QString::fromLatin1(l);
            QRegularExpressionMatch m = p.first.match(subject);
            if (!m.hasMatch())
                m = p.second.match(subject);
            const LineMatch hand = p.hand(line);
            const QByteArray where = QByteArray(p.name) + ": " + l;
            QVERIFY2(hand.Found == m.hasMatch(), where.constData());
            if (!hand.Found)
                continue;
            QVERIFY2(qsizetype(hand.Start) == m.capturedStart(p.text) && qsizetype(hand.End) == m.capturedEnd(p.text),
                     where.constData());
            if (p.text == 2 && QLatin1String(p.name) == QLatin1String("string"))
                QVERIFY2(line.substr(hand.IdStart, hand.IdEnd - hand.IdStart) == m.captured(1).toStdString(),
                         where.constData());
        }
    }
    QCOMPARE(rcpattern::HeaderName("IDD_A DIALOG 0, 0", "DIALOG "), std::size_t(5));
    QCOMPARE(rcpattern::HeaderName("IDD_A DIALOGEX 0", "DIALOG "), std::size_t(0));
    QCOMPARE(rcpattern::HeaderName("IDR_M MENUEX", "MENU"), std::size_t(5));
    QCOMPARE(rcpattern::HeaderName(" IDR_M MENU", "MENU"), std::size_t(0));
    QCOMPARE(rcpattern::HeaderName("IDR_M  MENU", "MENU"), std::size_t(0));
}

QTEST_GUILESS_MAIN(TestRcStatements)
#include "test_rcstatements.moc"
