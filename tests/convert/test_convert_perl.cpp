// The two scripts run by the real interpreter through tavisorn-cli: small
// resource-script cases compared byte for byte, paths that need escaping, the
// refusals, and the real corpus translated with its own dictionary.

#include "convert/rcjoin.h"
#include "convert/script.h"
#include "platform/codepage.h"

#include <QDir>
#include <QFile>
#include <QProcess>

#include "settings/settings.h"
#include "support/rawfiles.h"
#include <QRegularExpression>
#include <QStandardPaths>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <QtTest>

#include <dirent.h>
#include <fcntl.h>
#include <map>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Runs tavisorn-cli with arguments given as raw bytes.
Outcome cli(const std::vector<std::string> &args)
{
    return RunWithByteArguments(QStringLiteral(TAVISORN_CLI), args);
}


bool everyLineEndIsCrLf(const QByteArray &data)
{
    for (qsizetype i = 0; i < data.size(); ++i) {
        if (data[i] == '\n' && (i == 0 || data[i - 1] != '\r'))
            return false;
        if (data[i] == '\r' && (i + 1 == data.size() || data[i + 1] != '\n'))
            return false;
    }
    return true;
}

std::string caseFile(const QString &caseName, const char *file)
{
    return PathBytes(QStringLiteral(CONVERT_DATA_DIR "/") + caseName + QLatin1Char('/') + QLatin1String(file));
}

// --- An independent reading of resource scripts for the corpus check -------

// A text of a menu, dialog or string table: the string literal that stands
// right after the statement's first word (and the identifier's comma in a
// string table). Blocks are told apart by kind and name, string tables by
// their number; texts by their order in the block.
struct RcText {
    std::string block;
    int ordinal = 0;
    std::string text; // as written between the quotes, doubled quotes kept
    int line = 0;
    qsizetype start = 0; // offset of the text within its line
    qsizetype end = 0;   // offset of the closing quote
};

std::vector<std::string> splitLines(const QByteArray &data)
{
    std::vector<std::string> lines;
    for (const QByteArray &l : data.split('\n')) {
        QByteArray line = l;
        if (line.endsWith('\r'))
            line.chop(1);
        lines.push_back(line.toStdString());
    }
    if (!lines.empty() && lines.back().empty())
        lines.pop_back();
    return lines;
}

std::vector<RcText> readTexts(const std::vector<std::string> &lines)
{
    static const QRegularExpression header(QStringLiteral("^(\\w+)\\s+(MENU|MENUEX|DIALOG|DIALOGEX)\\b"));
    static const QRegularExpression stringTable(QStringLiteral("^STRINGTABLE\\b"));
    static const QRegularExpression textStart(QStringLiteral("^\\s*\\w+,?\\s+\""));
    std::vector<RcText> texts;
    std::string block;
    bool dialog = false;
    int depth = 0;
    int ordinal = 0;
    int tables = 0;
    for (int i = 0; i < int(lines.size()); ++i) {
        const QString line = QString::fromLatin1(lines[std::size_t(i)]);
        const QString trimmed = line.trimmed();
        if (block.empty()) {
            if (const auto m = header.match(line); m.hasMatch()) {
                block = (m.captured(2) + QLatin1Char(' ') + m.captured(1)).toStdString();
                dialog = m.captured(2).startsWith(QLatin1String("DIALOG"));
            } else if (stringTable.match(line).hasMatch()) {
                block = "STRINGTABLE " + std::to_string(++tables);
                dialog = false;
            }
            depth = 0;
            ordinal = 0;
            continue;
        }
        if (trimmed == QLatin1String("BEGIN") || trimmed == QLatin1String("{")) {
            ++depth;
            continue;
        }
        if (trimmed == QLatin1String("END") || trimmed == QLatin1String("}")) {
            if (--depth == 0)
                block.clear();
            continue;
        }
        if (depth == 0 && !(dialog && trimmed.startsWith(QLatin1String("CAPTION"))))
            continue;
        const auto m = textStart.match(line);
        if (!m.hasMatch())
            continue;
        const qsizetype start = m.capturedEnd();
        qsizetype j = start;
        while (j < line.size()) {
            if (line[j] == QLatin1Char('"')) {
                if (j + 1 < line.size() && line[j + 1] == QLatin1Char('"')) {
                    j += 2;
                    continue;
                }
                break;
            }
            ++j;
        }
        if (j >= line.size())
            continue; // the literal goes on in the next line
        texts.push_back({block, ordinal++, lines[std::size_t(i)].substr(std::size_t(start), std::size_t(j - start)), i,
                         start, j});
    }
    return texts;
}

bool blankOnly(const std::string &s)
{
    return s.find_first_not_of(" \t") == std::string::npos;
}

// A Big5 file's text in another encoding, by Qt's own converters, with its
// line ends made LF when asked.
QByteArray reencoded(const QByteArray &big5, QStringConverter::Encoding to, bool bom, bool lf = false)
{
    QString text = cp950::decode(std::string_view(big5.constData(), std::size_t(big5.size())));
    if (lf)
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QStringEncoder encoder(to, bom ? QStringConverter::Flag::WriteBom : QStringConverter::Flag::Default);
    return encoder.encode(text);
}

QByteArray big5(const QString &text)
{
    return QByteArray::fromStdString(cp950::encode(text).value());
}

QStringList three(const char *a, const char *b, const char *c)
{
    return {QString::fromUtf8(a), QString::fromUtf8(b), QString::fromUtf8(c)};
}

// An interpreter stand-in that only notes that it was started.
std::string markerPerl(const std::string &folder)
{
    const std::string perl = folder + "/marker perl";
    writeRaw(perl, QByteArray::fromStdString("#!/bin/sh\ntouch '" + folder + "/started'\n"));
    ::chmod(perl.c_str(), 0700);
    return perl;
}

} // namespace

class TestConvertPerl : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cleanupTestCase();
    void extractionCases_data();
    void extractionCases();
    void translationCases_data();
    void translationCases();
    void scriptCommandPrintsTheWindowsScript();
    void pathsThatNeedEscapingReachTheScript();
    void refusalsAndFailures();
    void refusalsBeforeAnythingStarts_data();
    void refusalsBeforeAnythingStarts();
    void relativePerlIsTakenFromTheStartingFolder();
    void strictMakesMismatchesAFailure();
    void outputsToStandardOutput();
    void otherEncodingsConvertLikeBig5_data();
    void otherEncodingsConvertLikeBig5();
    void charactersBig5CannotHoldSurvive();
    void retargetRewritesOnlyTheDeclarations();
    void missingTextsFeedTheNextRun();
    void adaptedMatchesWrittenOnRequest();
    void oldVersionByIdentifier();
    void corpusTranslatesLikeItsChineseVersion_data();
    void corpusTranslatesLikeItsChineseVersion();
    void failingWritesLeaveTheOldOutput_data();
    void failingWritesLeaveTheOldOutput();
    void twoRunsIntoOneOutputLeaveOneOfThem();
    void utf8CutInsideItsLastCharacterIsRefused();
    void untouchedOriginalsGiveTheWholeDictionary_data();
    void untouchedOriginalsGiveTheWholeDictionary();
    void fewPairsWarnFirstAndFailUnderStrict();
    void encodingGuessedOrChosen();

private:
    // An executable shell script under the test's folder.
    std::string wrapper(const char *name, const std::string &body);
    QTemporaryDir Dir;
    std::string root;
};

void TestConvertPerl::initTestCase()
{
    if (QStandardPaths::findExecutable(QStringLiteral("perl")).isEmpty())
        QSKIP("no perl on the PATH");
    QVERIFY(Dir.isValid());
    root = PathBytes(Dir.path());
    // tavisorn-cli reads the program's settings when no --perl is given:
    // an empty settings folder of this test's own, not the user's.
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(root + "/no-settings"));
}

void TestConvertPerl::cleanupTestCase()
{
    // Qt cannot remove names that are not UTF-8; the folder's own name is.
    QProcess::execute(QStringLiteral("/bin/rm"), {QStringLiteral("-rf"), Dir.path()});
}

void TestConvertPerl::extractionCases_data()
{
    QTest::addColumn<QString>("name");
    const QStringList cases = QDir(QStringLiteral(CONVERT_DATA_DIR)).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &c : cases)
        if (QFile::exists(QStringLiteral(CONVERT_DATA_DIR "/") + c + QStringLiteral("/expected.dict")))
            QTest::newRow(qPrintable(c)) << c;
}

void TestConvertPerl::extractionCases()
{
    QFETCH(QString, name);
    const std::string out = root + "/" + PathBytes(name) + ".dict";
    const Outcome o = cli({"make-dictionary", caseFile(name, "en.rc"), caseFile(name, "zh.rc"), out});
    QVERIFY2(o.status == 0, o.err.constData());
    QCOMPARE(o.out, QByteArray("OK!\n")); // not run into the shell's prompt
    QVERIFY2(QString::fromUtf8(o.err).contains(QStringLiteral("寫出的字串對：")), o.err.constData());
    const QByteArray dictionary = readRaw(out);
    QCOMPARE(dictionary, readRaw(caseFile(name, "expected.dict")));
    QVERIFY(everyLineEndIsCrLf(dictionary));
}

void TestConvertPerl::translationCases_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("font");
    const QStringList cases = QDir(QStringLiteral(CONVERT_DATA_DIR)).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &c : cases) {
        if (!QFile::exists(QStringLiteral(CONVERT_DATA_DIR "/") + c + QStringLiteral("/expected.rc")))
            continue;
        QTest::newRow(qPrintable(c)) << c << false;
        QTest::newRow(qPrintable(c + QStringLiteral(" --font"))) << c << true;
    }
}

void TestConvertPerl::translationCases()
{
    QFETCH(QString, name);
    QFETCH(bool, font);
    const std::string out = root + "/" + PathBytes(name) + (font ? "-font.rc" : ".rc");
    std::vector<std::string> args{"translate", caseFile(name, "dict.txt"), caseFile(name, "new.rc"), out};
    if (font)
        args.insert(args.begin() + 1, "--font"); // options may come first
    const Outcome o = cli(args);
    QVERIFY2(o.status == 0, o.err.constData());
    const QByteArray translated = readRaw(out);
    QCOMPARE(translated, readRaw(caseFile(name, font ? "expected-font.rc" : "expected.rc")));
    QVERIFY(everyLineEndIsCrLf(translated));
}

void TestConvertPerl::scriptCommandPrintsTheWindowsScript()
{
    QVERIFY(QDir::setCurrent(Dir.path()));
    const Outcome ex = cli({"script", "extraction", "en.rc", "/x/zh.rc", "out.txt"});
    QCOMPARE(ex.status, 0);
    // Relative paths are made absolute against the command's folder.
    QCOMPARE(ex.out.toStdString(), ExtractionScript({root + "/en.rc", "/x/zh.rc", root + "/out.txt"}));
    const Outcome tr = cli({"script", "translation", "/d.txt", "/n.rc", "--font", "/o.rc"});
    QCOMPARE(tr.status, 0);
    QCOMPARE(tr.out.toStdString(), TranslationScript({"/d.txt", "/n.rc", "/o.rc", true}));
    QCOMPARE(cli({"script", "translation", "/d.txt", "/n.rc"}).status, 2);
    QCOMPARE(cli({"script", "other", "/a", "/b", "/c"}).status, 2);
    QCOMPARE(cli({"script", "extraction", "/a", "/b", "/c", "--font"}).status, 2);
}

void TestConvertPerl::pathsThatNeedEscapingReachTheScript()
{
    // A folder and files whose names hold blanks, quotes, $ and @, and Big5
    // characters whose second byte is a backslash (許 B3 5C, 功 A5 5C) or an
    // at sign (一 A4 40).
    const std::string folder = root + "/a b \"q\" $HOME @ARGV \xB3\x5C\xA5\x5C\xA4\x40";
    QVERIFY(::mkdir(folder.c_str(), 0700) == 0);
    const std::string en = folder + "/\xB3\x5C en$1.rc";
    const std::string zh = folder + "/\xA5\x5C@zh\".rc";
    const std::string dict = folder + "/\xA4\x40 dict $x @y.txt";
    const std::string out = folder + "/\xA5\x5C\xA4\x40 out\\n.rc";
    const QString name = QStringLiteral("ms-menu-dialog-strings");
    QVERIFY(writeRaw(en, readRaw(caseFile(name, "en.rc"))));
    QVERIFY(writeRaw(zh, readRaw(caseFile(name, "zh.rc"))));

    Outcome o = cli({"make-dictionary", en, zh, dict});
    QVERIFY2(o.status == 0, o.err.constData());
    QCOMPARE(readRaw(dict), readRaw(caseFile(name, "expected.dict")));

    o = cli({"translate", dict, en, out});
    QVERIFY2(o.status == 0, o.err.constData());
    const QByteArray translated = readRaw(out);
    QVERIFY(translated.contains(QByteArray("POPUP \"\xC0\xC9\xAE\xD7(&F)\""))); // 檔案(&F)
    QCOMPARE(translated.count('\n'), readRaw(en).count('\n'));

    // Nothing else appeared in the folder: every name was taken as written.
    QCOMPARE(countEntries(folder), 4);
}

void TestConvertPerl::refusalsAndFailures()
{
    const QString name = QStringLiteral("ms-menu-dialog-strings");
    const std::string en = root + "/refuse-en.rc";
    const std::string zh = root + "/refuse-zh.rc";
    const QByteArray enBytes = readRaw(caseFile(name, "en.rc"));
    QVERIFY(writeRaw(en, enBytes));
    QVERIFY(writeRaw(zh, readRaw(caseFile(name, "zh.rc"))));
    QVERIFY(::symlink(en.c_str(), (root + "/refuse-link.txt").c_str()) == 0);

    Outcome o = cli({"make-dictionary", en, zh, root + "/refuse-link.txt"});
    QCOMPARE(o.status, 1);
    QVERIFY(!o.err.isEmpty());
    o = cli({"make-dictionary", en, zh, root + "/./refuse-zh.rc"});
    QCOMPARE(o.status, 1);
    o = cli({"translate", zh, en, root + "//refuse-en.rc"});
    QCOMPARE(o.status, 1);
    QVERIFY(o.err.contains(QStringLiteral("新版本RC檔及翻譯後RC檔的路徑不能相同。").toUtf8()));
    o = cli({"translate", zh, en, root + "/refuse-zh.rc"});
    QCOMPARE(o.status, 1);
    o = cli({"translate", "", en, root + "/x.rc"});
    QCOMPARE(o.status, 1);
    QVERIFY(o.err.contains(QStringLiteral("資料未輸入妥當").toUtf8()));
    o = cli({"make-dictionary", en, zh, root + "/x.txt|"});
    QCOMPARE(o.status, 1);
    QCOMPARE(readRaw(en), enBytes); // the inputs stay as they were

    // An interpreter that cannot be started is a failure, and so is a
    // script that ends in an error.
    o = cli({"make-dictionary", "--perl", root + "/no such perl", en, zh, root + "/y.txt"});
    QCOMPARE(o.status, 1);
    // Said in the user's words, the system's own text beside them.
    QVERIFY2(QString::fromUtf8(o.err).contains(QStringLiteral("找不到這個檔案")), o.err.constData());
    QVERIFY(!QFile::exists(PathFromBytes(root + "/y.txt")));
    const std::string failing = root + "/failing perl";
    QVERIFY(writeRaw(failing, "#!/bin/sh\nexit 7\n"));
    QVERIFY(::chmod(failing.c_str(), 0700) == 0);
    o = cli({"translate", zh, en, root + "/z.rc", "--perl", failing});
    QCOMPARE(o.status, 7);
    // Without --perl, the interpreter of the program's settings runs.
    const QByteArray config = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", QByteArray::fromStdString(root + "/config"));
    RegDat = TRegDat();
    RegDat.PerlPath = PathFromBytes(failing);
    QVERIFY(SaveSettings().ok);
    o = cli({"translate", zh, en, root + "/z.rc"});
    if (config.isNull())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", config);
    QCOMPARE(o.status, 7);
    QCOMPARE(cli({"translate", zh, en}).status, 2);

    // The interpreter ends well, but its output is cut short (a full disk):
    // that is no success.
    const std::string cutting = root + "/cutting perl";
    QVERIFY(writeRaw(cutting, "#!/bin/sh\nperl \"$@\"\n"
                              "f=$(grep -a '^.f3=' \"$1\" | sed 's/^.f3=\"//; s/\";.$//')\n"
                              "head -c 20 \"$f\" > \"$f.cut\" && mv \"$f.cut\" \"$f\"\n"));
    QVERIFY(::chmod(cutting.c_str(), 0700) == 0);
    o = cli({"make-dictionary", "--perl", cutting, en, zh, root + "/cut.txt"});
    QCOMPARE(o.status, 1);
    QVERIFY2(QString::fromUtf8(o.err).contains(QStringLiteral("可能不完整")), o.err.constData());
    QCOMPARE(cli({"make-dictionary", en, zh, root + "/w.txt", "--perl"}).status, 2);
}

void TestConvertPerl::refusalsBeforeAnythingStarts_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QStringList>("files"); // three paths under the test's folder, or absolute
    QTest::addColumn<QString>("message");
    const QString make = QStringLiteral("make-dictionary");
    const QString translate = QStringLiteral("translate");
    QTest::newRow("English script missing") << make << three("gone.rc", "zh.rc", "out.txt")
                                            << QStringLiteral("找不到來源Resource檔");
    QTest::newRow("translated script is a folder") << make << three("en.rc", "folder", "out.txt")
                                                   << QStringLiteral("是資料夾，不是檔案");
    QTest::newRow("dictionary is a folder") << make << three("en.rc", "zh.rc", "folder")
                                            << QStringLiteral("是資料夾，不是檔案");
    QTest::newRow("dictionary's folder missing") << make << three("en.rc", "zh.rc", "none/out.txt")
                                                 << QStringLiteral("所在的資料夾不存在");
    QTest::newRow("dictionary's folder takes no files")
        << make << three("en.rc", "zh.rc", "/proc/self/out.txt") << QStringLiteral("無法在輸出的字典檔");
    QTest::newRow("dictionary missing") << translate << three("gone.txt", "en.rc", "out.rc")
                                        << QStringLiteral("找不到字典檔");
    QTest::newRow("new script missing") << translate << three("zh.rc", "gone.rc", "out.rc")
                                        << QStringLiteral("找不到新版本來源Resource檔");
    QTest::newRow("output is a folder") << translate << three("zh.rc", "en.rc", "folder")
                                        << QStringLiteral("翻譯後的RC檔「");
    QTest::newRow("output's folder missing") << translate << three("zh.rc", "en.rc", "none/out.rc")
                                             << QStringLiteral("所在的資料夾不存在");
    QTest::newRow("UTF-16 dictionary") << translate << three("dict16.txt", "en.rc", "out.rc")
                                       << QStringLiteral("字典檔必須是Big5");
    QTest::newRow("binary input") << make << three("binary.rc", "zh.rc", "out.txt")
                                  << QStringLiteral("NUL");
    QTest::newRow("UTF-16 cut in half") << make << three("en.rc", "half.rc", "out.txt")
                                        << QStringLiteral("不是偶數位元組");
}

void TestConvertPerl::refusalsBeforeAnythingStarts()
{
    QFETCH(QString, command);
    QFETCH(QStringList, files);
    QFETCH(QString, message);
    static int row = 0;
    const std::string folder = root + "/refuse " + std::to_string(++row);
    QVERIFY(::mkdir(folder.c_str(), 0700) == 0);
    QVERIFY(::mkdir((folder + "/folder").c_str(), 0700) == 0);
    const QString name = QStringLiteral("ms-menu-dialog-strings");
    QVERIFY(writeRaw(folder + "/en.rc", readRaw(caseFile(name, "en.rc"))));
    QVERIFY(writeRaw(folder + "/zh.rc", readRaw(caseFile(name, "zh.rc"))));
    QVERIFY(writeRaw(folder + "/binary.rc", QByteArray("MZ\x90\0\3\0\0\0", 8)));
    QVERIFY(writeRaw(folder + "/half.rc", QByteArray("\xFF\xFE/\0/\0 ", 7)));
    QVERIFY(writeRaw(folder + "/dict16.txt", QByteArray("\xFF\xFEO\0K\0\r\0\n\0", 10)));
    std::vector<std::string> args{PathBytes(command)};
    for (const QString &f : files)
        args.push_back(f.startsWith(QLatin1Char('/')) ? PathBytes(f) : folder + "/" + PathBytes(f));
    args.push_back("--perl");
    args.push_back(markerPerl(folder));
    const int before = countEntries(folder);

    const Outcome o = cli(args);
    QCOMPARE(o.status, 1);
    QVERIFY2(QString::fromUtf8(o.err).contains(message), o.err.constData());
    QVERIFY(!QFile::exists(PathFromBytes(folder + "/started")));
    QCOMPARE(countEntries(folder), before); // nothing written
}

void TestConvertPerl::relativePerlIsTakenFromTheStartingFolder()
{
    const std::string folder = root + "/relative perl";
    QVERIFY(::mkdir(folder.c_str(), 0700) == 0);
    QVERIFY(::mkdir((folder + "/bin").c_str(), 0700) == 0);
    QVERIFY(writeRaw(folder + "/bin/my perl", "#!/bin/sh\nexec perl \"$@\"\n"));
    QVERIFY(::chmod((folder + "/bin/my perl").c_str(), 0700) == 0);
    const QString name = QStringLiteral("ms-menu-dialog-strings");
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(PathFromBytes(folder)));
    const Outcome o = cli({"make-dictionary", "--perl", "./bin/my perl", caseFile(name, "en.rc"),
                           caseFile(name, "zh.rc"), "made.dict"});
    const Outcome bare = cli({"make-dictionary", "--perl=perl", caseFile(name, "en.rc"), caseFile(name, "zh.rc"),
                              "bare.dict"});
    QDir::setCurrent(previous);
    QVERIFY2(o.status == 0, o.err.constData());
    QCOMPARE(readRaw(folder + "/made.dict"), readRaw(caseFile(name, "expected.dict")));
    QVERIFY2(bare.status == 0, bare.err.constData()); // a bare name is found on the PATH
}

void TestConvertPerl::strictMakesMismatchesAFailure()
{
    // One menu item more in the translation, and a dialog whose blank text
    // moves its pairs: the dictionary is written, and --strict says so.
    const QString name = QStringLiteral("reader-edges");
    const std::string dict = root + "/strict.dict";
    Outcome o = cli({"make-dictionary", caseFile(name, "en.rc"), caseFile(name, "zh.rc"), dict});
    QCOMPARE(o.status, 0);
    const QByteArray written = readRaw(dict);
    QVERIFY(!written.isEmpty());
    const QString report = QString::fromUtf8(o.err);
    QVERIFY2(report.contains(QStringLiteral("MENU IDR_MAIN：5 / 6　數目不同")), o.err.constData());
    QVERIFY(report.contains(QStringLiteral("從第 2 個文字起配對錯開")));
    o = cli({"make-dictionary", "--strict", caseFile(name, "en.rc"), caseFile(name, "zh.rc"), dict});
    QCOMPARE(o.status, 3);
    QCOMPARE(readRaw(dict), written);

    // Pairs that line up pass --strict; no pairs at all do not.
    QCOMPARE(cli({"make-dictionary", "--strict", caseFile(QStringLiteral("inprise-braces"), "en.rc"),
                  caseFile(QStringLiteral("inprise-braces"), "zh.rc"), dict})
                 .status,
             0);
    QVERIFY(writeRaw(root + "/empty.rc", "// Microsoft\r\n"));
    o = cli({"make-dictionary", "--strict", root + "/empty.rc", root + "/empty.rc", dict});
    QCOMPARE(o.status, 3);
    QVERIFY(QString::fromUtf8(o.err).contains(QStringLiteral("警告：沒有寫出任何字串對")));

    // A string identifier twice in one file: written, and a failure under --strict.
    const QString twice = QStringLiteral("duplicate-string-id");
    QCOMPARE(cli({"make-dictionary", caseFile(twice, "en.rc"), caseFile(twice, "zh.rc"), dict}).status, 0);
    QCOMPARE(cli({"make-dictionary", "--strict", caseFile(twice, "en.rc"), caseFile(twice, "zh.rc"), dict}).status, 3);
}

// Standard output cannot be read back for the report: the interpreter
// writes into the run's folder and the result is passed on, with the
// script's OK! kept out of it.
void TestConvertPerl::outputsToStandardOutput()
{
    QString name = QStringLiteral("ms-menu-dialog-strings");
    Outcome o = cli({"make-dictionary", caseFile(name, "en.rc"), caseFile(name, "zh.rc"), "/dev/stdout"});
    QCOMPARE(o.status, 0);
    QCOMPARE(o.out, readRaw(caseFile(name, "expected.dict")));
    QVERIFY(o.err.startsWith("OK!\n"));
    name = QStringLiteral("translate-microsoft");
    o = cli({"translate", caseFile(name, "dict.txt"), caseFile(name, "new.rc"), "/dev/stdout"});
    QCOMPARE(o.status, 0);
    QCOMPARE(o.out, readRaw(caseFile(name, "expected.rc")));
}

void TestConvertPerl::otherEncodingsConvertLikeBig5_data()
{
    QTest::addColumn<QString>("app");
    QTest::addColumn<int>("encoding");
    QTest::addColumn<bool>("bom");
    QTest::addColumn<bool>("lf");
    for (const char *app : {"calc", "mspaint", "notepad", "regedit", "sndvol32", "taskmgr"}) {
        const QString a = QString::fromLatin1(app);
        QTest::newRow(qPrintable(a + QStringLiteral(" UTF-16 LE"))) << a << int(QStringConverter::Utf16LE) << true << false;
        QTest::newRow(qPrintable(a + QStringLiteral(" UTF-16 BE"))) << a << int(QStringConverter::Utf16BE) << true << false;
        QTest::newRow(qPrintable(a + QStringLiteral(" UTF-8 BOM"))) << a << int(QStringConverter::Utf8) << true << false;
        QTest::newRow(qPrintable(a + QStringLiteral(" UTF-8 pragma LF"))) << a << int(QStringConverter::Utf8) << false << true;
    }
}

void TestConvertPerl::otherEncodingsConvertLikeBig5()
{
    QFETCH(QString, app);
    QFETCH(int, encoding);
    QFETCH(bool, bom);
    QFETCH(bool, lf);
    const QString dir = QStringLiteral(TAVISORN_CORPUS_DIR "/") + app;
    if (!QFile::exists(dir + QStringLiteral("/en.rc")))
        QSKIP("the corpus is not there");
    const auto to = QStringConverter::Encoding(encoding);
    const QByteArray en = readRaw(PathBytes(dir + QStringLiteral("/en.rc")));
    const QByteArray zh = readRaw(PathBytes(dir + QStringLiteral("/zh-TW.rc")));
    // Without a byte order mark the UTF-8 copy says what it is by a pragma
    // line, outside every block.
    const QByteArray pragma = bom ? QByteArray() : QByteArray("#pragma code_page(65001)\r\n");
    const std::string tag = PathBytes(QString::fromLatin1(QTest::currentDataTag()).replace(QLatin1Char(' '), QLatin1Char('-')));
    const std::string big5En = root + "/" + tag + "-big5-en.rc", big5Zh = root + "/" + tag + "-big5-zh.rc";
    const std::string otherEn = root + "/" + tag + "-en.rc", otherZh = root + "/" + tag + "-zh.rc";
    QVERIFY(writeRaw(big5En, en) && writeRaw(big5Zh, zh));
    QVERIFY(writeRaw(otherEn, reencoded(pragma + en, to, bom, lf)) && writeRaw(otherZh, reencoded(pragma + zh, to, bom, lf)));

    // The same dictionary as from the Big5 pair.
    Outcome o = cli({"make-dictionary", big5En, big5Zh, root + "/" + tag + "-big5.dict"});
    QVERIFY2(o.status == 0, o.err.constData());
    o = cli({"make-dictionary", otherEn, otherZh, root + "/" + tag + ".dict"});
    QVERIFY2(o.status == 0, o.err.constData());
    const QByteArray dictionary = readRaw(root + "/" + tag + "-big5.dict");
    QVERIFY(dictionary.size() > 100);
    QCOMPARE(readRaw(root + "/" + tag + ".dict"), dictionary);
    QVERIFY2(QString::fromUtf8(o.err).contains(QStringLiteral("UTF-")), o.err.constData()); // the encoding read

    // The translation is today's Big5 translation in the script's own
    // encoding, byte order mark and line ends included.
    o = cli({"translate", "--font", root + "/" + tag + "-big5.dict", big5En, root + "/" + tag + "-big5-out.rc"});
    QVERIFY2(o.status == 0, o.err.constData());
    o = cli({"translate", "--font", root + "/" + tag + "-big5.dict", otherEn, root + "/" + tag + "-out.rc"});
    QVERIFY2(o.status == 0, o.err.constData());
    QCOMPARE(readRaw(root + "/" + tag + "-out.rc"),
             reencoded(pragma + readRaw(root + "/" + tag + "-big5-out.rc"), to, bom, lf));
}

void TestConvertPerl::charactersBig5CannotHoldSurvive()
{
    // UTF-8 scripts with characters that code page 950 lacks, and with user-
    // defined Big5 codes used by the dictionary, so that the stand-ins must
    // avoid them. The last line has no line end.
    const QString en = QStringLiteral(
        "\uFEFF// Microsoft Visual C++\r\n"
        "STRINGTABLE\r\nBEGIN\r\n"
        "    IDS_A \"Ångström\"\r\n"
        "    IDS_B \"Open\"\r\n"
        "    IDS_C \"Smile 😀 please\"\r\n"
        "    IDS_D \"Snow ☃ and Å\"\r\n"
        "END\r\n"
        "// Å ☃ 😀 in a comment, last line");
    const QString zh = QStringLiteral(
        "\uFEFF// Microsoft Visual C++\r\n"
        "STRINGTABLE\r\nBEGIN\r\n"
        "    IDS_A \"埃\"\r\n"
        "    IDS_B \"開啟\"\r\n"
        "    IDS_C \"微笑\"\r\n"
        "    IDS_D \"雪\"\r\n"
        "END\r\n");
    const std::string enPath = root + "/stand-in en.rc", zhPath = root + "/stand-in zh.rc";
    QVERIFY(writeRaw(enPath, en.toUtf8()) && writeRaw(zhPath, zh.toUtf8()));
    Outcome o = cli({"make-dictionary", enPath, zhPath, root + "/stand-in.dict"});
    QVERIFY2(o.status == 0, o.err.constData());
    // Only the pair that code page 950 can hold is written; the others are listed.
    QCOMPARE(readRaw(root + "/stand-in.dict"), QByteArray("Open\r\n") + big5(QStringLiteral("開啟")) + "\r\n");
    const QString report = QString::fromUtf8(o.err);
    QVERIFY2(report.contains(QStringLiteral("沒有寫入字典檔的字串對（含有Big5沒有的字元）：3")), o.err.constData());
    QVERIFY(report.contains(QStringLiteral("\"Smile 😀 please\" → \"微笑\"")));

    // The dictionary holds user-defined codes (FA A1, 8E A1) of its own.
    const QByteArray dictionary = QByteArray("Open\r\n\xFA\xA1\x8E\xA1") + big5(QStringLiteral("開")) + "\r\n";
    QVERIFY(writeRaw(root + "/stand-in-2.dict", dictionary));
    o = cli({"translate", root + "/stand-in-2.dict", enPath, root + "/stand-in out.rc"});
    QVERIFY2(o.status == 0, o.err.constData());
    QString expected = en;
    expected.replace(QStringLiteral("\"Open\""), QLatin1Char('"') + cp950::decodeForUnicodeFile(std::string_view("\xFA\xA1\x8E\xA1", 4))
                                                    + QStringLiteral("開\""));
    QCOMPARE(readRaw(root + "/stand-in out.rc"), expected.toUtf8()); // the byte order mark too
}

void TestConvertPerl::retargetRewritesOnlyTheDeclarations()
{
    const QString dir = QStringLiteral(TAVISORN_CORPUS_DIR "/notepad");
    if (!QFile::exists(dir + QStringLiteral("/en.rc")))
        QSKIP("the corpus is not there");
    const std::string en = PathBytes(dir + QStringLiteral("/en.rc"));
    const std::string dict = root + "/retarget.dict";
    QCOMPARE(cli({"make-dictionary", en, PathBytes(dir + QStringLiteral("/zh-TW.rc")), dict}).status, 0);
    Outcome o = cli({"translate", dict, en, root + "/plain.rc"});
    QCOMPARE(o.status, 0);
    QVERIFY(QString::fromUtf8(o.err).contains(QStringLiteral("--retarget")));
    o = cli({"translate", "--retarget", dict, en, root + "/retargeted.rc"});
    QCOMPARE(o.status, 0);
    QByteArray expected = readRaw(root + "/plain.rc");
    expected.replace("LANGUAGE LANG_ENGLISH, SUBLANG_ENGLISH_US", "LANGUAGE LANG_CHINESE, SUBLANG_CHINESE_TRADITIONAL");
    QCOMPARE(readRaw(root + "/retargeted.rc"), expected);
    QVERIFY(QString::fromUtf8(o.err).contains(QStringLiteral("第 2 行由「LANGUAGE LANG_ENGLISH")));

    // A pragma is made to name the bytes written: 950 for Big5, and a UTF-8
    // script keeps 65001.
    const QByteArray head = "// Microsoft Visual C++\r\n#pragma code_page(1252)\r\nLANGUAGE LANG_ENGLISH, SUBLANG_ENGLISH_US\r\n";
    QVERIFY(writeRaw(root + "/pragma.rc", head + "STRINGTABLE\r\nBEGIN\r\n    IDS_A \"Open\"\r\nEND\r\n"));
    // A dictionary is Big5 whatever its texts say.
    QVERIFY(writeRaw(root + "/pragma.dict", QByteArray("#pragma code_page(65001)\r\n#pragma code_page(65001)\r\nOpen\r\n")
                                                + big5(QStringLiteral("開啟")) + "\r\n"));
    QCOMPARE(cli({"translate", "--retarget", root + "/pragma.dict", root + "/pragma.rc", root + "/pragma-out.rc"}).status, 0);
    QCOMPARE(readRaw(root + "/pragma-out.rc"),
             "// Microsoft Visual C++\r\n#pragma code_page(950)\r\nLANGUAGE LANG_CHINESE, SUBLANG_CHINESE_TRADITIONAL\r\n"
             "STRINGTABLE\r\nBEGIN\r\n    IDS_A \"" + big5(QStringLiteral("開啟")) + "\"\r\nEND\r\n");
    QVERIFY(writeRaw(root + "/pragma8.rc", "#pragma code_page(65001)\n// Microsoft\nLANGUAGE LANG_ENGLISH, SUBLANG_NEUTRAL\n"));
    QCOMPARE(cli({"translate", "--retarget", root + "/pragma.dict", root + "/pragma8.rc", root + "/pragma8-out.rc"}).status, 0);
    QCOMPARE(readRaw(root + "/pragma8-out.rc"),
             QByteArray("#pragma code_page(65001)\n// Microsoft\nLANGUAGE LANG_CHINESE, SUBLANG_CHINESE_TRADITIONAL\n"));

    // Declarations among other # lines, the last one after the texts: each
    // is found on its own line, and every other line stays as it was.
    QVERIFY(writeRaw(root + "/later.rc", "// Microsoft Visual C++\n#include \"a.h\"\n\n#define X 1\n"
                                         "LANGUAGE LANG_ENGLISH, SUBLANG_ENGLISH_US\n#pragma code_page(1252)\n"
                                         "STRINGTABLE\nBEGIN\n    IDS_A \"Open\"\nEND\n"
                                         "  LANGUAGE LANG_ENGLISH, SUBLANG_ENGLISH_UK\n"));
    o = cli({"translate", "--retarget", root + "/pragma.dict", root + "/later.rc", root + "/later-out.rc"});
    QCOMPARE(o.status, 0);
    QCOMPARE(readRaw(root + "/later-out.rc"),
             "// Microsoft Visual C++\n#include \"a.h\"\n\n#define X 1\n"
             "LANGUAGE LANG_CHINESE, SUBLANG_CHINESE_TRADITIONAL\n#pragma code_page(950)\n"
             "STRINGTABLE\nBEGIN\n    IDS_A \"" + big5(QStringLiteral("開啟")) + "\"\nEND\n"
             "  LANGUAGE LANG_CHINESE, SUBLANG_CHINESE_TRADITIONAL\n");
    QVERIFY2(QString::fromUtf8(o.err).contains(QStringLiteral("第 11 行由「  LANGUAGE LANG_ENGLISH, SUBLANG_ENGLISH_UK")),
             o.err.constData());
}

void TestConvertPerl::missingTextsFeedTheNextRun()
{
    const QString corpus = QStringLiteral(TAVISORN_CORPUS_DIR);
    if (!QFile::exists(corpus + QStringLiteral("/regedit/en.rc")))
        QSKIP("the corpus is not there");
    const std::string dict = root + "/notepad-for-regedit.dict";
    QCOMPARE(cli({"make-dictionary", PathBytes(corpus + QStringLiteral("/notepad/en.rc")),
                  PathBytes(corpus + QStringLiteral("/notepad/zh-TW.rc")), dict})
                 .status,
             0);
    const std::string en = PathBytes(corpus + QStringLiteral("/regedit/en.rc"));
    const std::string missing = root + "/missing.txt";
    Outcome o = cli({"translate", dict, en, root + "/regedit-1.rc", "--missing", missing});
    QVERIFY2(o.status == 0, o.err.constData());

    // Untranslated pairs, each text once, and each one on a line that the
    // translation left as it was; after a text's pair its suggested
    // translations, one pair each.
    const QByteArray pairs = readRaw(missing);
    QVERIFY(everyLineEndIsCrLf(pairs));
    const std::vector<std::string> lines = splitLines(pairs);
    QVERIFY(lines.size() > 100 && lines.size() % 2 == 0);
    const std::vector<std::string> in = splitLines(readRaw(en));
    const std::vector<std::string> out = splitLines(readRaw(root + "/regedit-1.rc"));
    QCOMPARE(out.size(), in.size());
    const JoinedScript join = JoinStatements(readRaw(en).toStdString());
    const std::vector<std::string> joinedIn = splitLines(QByteArray::fromStdString(join.Bytes));
    std::set<std::string> once;
    QByteArray filled = readRaw(dict);
    std::size_t texts = 0;
    std::size_t suggestions = 0;
    for (std::size_t i = 0; i < lines.size(); i += 2) {
        if (i > 0 && lines[i] == lines[i - 2]) {
            QVERIFY(lines[i + 1] != lines[i]);
            ++suggestions;
            continue;
        }
        ++texts;
        QCOMPARE(lines[i + 1], lines[i]);
        QVERIFY(once.insert(lines[i]).second);
        bool onAnUnchangedLine = false;
        for (std::size_t k = 0; k < in.size() && !onAnUnchangedLine; ++k)
            onAnUnchangedLine = in[k] == out[k] && in[k].find("\"" + lines[i] + "\"") != std::string::npos;
        // A string continued over several lines: on the joined line, and
        // those lines left as they were.
        for (std::size_t k = 0; k < join.Joined.size() && !onAnUnchangedLine; ++k) {
            const auto first = std::size_t(join.Joined[k].FirstLine);
            const auto count = std::size_t(join.Joined[k].Count);
            onAnUnchangedLine = joinedIn[std::size_t(join.Joined[k].CopyLine)].find("\"" + lines[i] + "\"") != std::string::npos
                                && std::equal(in.begin() + long(first), in.begin() + long(first + count),
                                              out.begin() + long(first));
        }
        QVERIFY2(onAnUnchangedLine, lines[i].c_str());
        filled += QByteArray::fromStdString(lines[i]) + "\r\n" + big5(QStringLiteral("譯")) + QByteArray::fromStdString(lines[i]) + "\r\n";
    }
    // Notepad's dictionary holds some of regedit's texts with other markup
    // or nearly so.
    QVERIFY(suggestions > 0);
    QVERIFY2(QString::fromUtf8(o.err).contains(QStringLiteral("（%1 個不同的文字）\n").arg(texts)), o.err.constData());

    // The translator fills them in: the next run leaves nothing in English.
    QVERIFY(writeRaw(root + "/filled.dict", filled));
    o = cli({"translate", root + "/filled.dict", en, root + "/regedit-2.rc", "--missing", root + "/missing-2.txt"});
    QVERIFY2(o.status == 0, o.err.constData());
    QVERIFY2(QString::fromUtf8(o.err).contains(QStringLiteral("仍是英文：0 處")), o.err.constData());
    QCOMPARE(readRaw(root + "/missing-2.txt"), QByteArray());
    QCOMPARE(cli({"translate", dict, en, root + "/regedit-3.rc", "--missing", dict}).status, 1);
}

// --adapt writes the translation of a source that differs by markup only,
// with the new markup, on every line of the text; a near match never. A
// UTF-8 script gets it in UTF-8.
void TestConvertPerl::adaptedMatchesWrittenOnRequest()
{
    const QByteArray dict = "Cl&ose\r\n" + big5(QStringLiteral("關閉(&O)")) + "\r\nZoo\r\n" + big5(QStringLiteral("動物園")) + "\r\n";
    QVERIFY(writeRaw(root + "/adapt.dict", dict));
    const QByteArray rc = "// Microsoft Visual C++\r\nIDR_MAIN MENU\r\nBEGIN\r\n    MENUITEM \"&Close\", 1\r\n"
                          "    MENUITEM \"Zoom\", 2\r\n    MENUITEM \"&Close\", 3\r\nEND\r\n";
    QVERIFY(writeRaw(root + "/adapt.rc", rc));
    QCOMPARE(cli({"translate", root + "/adapt.dict", root + "/adapt.rc", root + "/plain-out.rc"}).status, 0);
    QCOMPARE(readRaw(root + "/plain-out.rc"), rc); // without --adapt nothing changes

    Outcome o = cli({"translate", "--adapt", root + "/adapt.dict", root + "/adapt.rc", root + "/adapt-out.rc", "--missing",
                     root + "/adapt-missing.txt"});
    QVERIFY2(o.status == 0, o.err.constData());
    QByteArray expected = rc;
    expected.replace("\"&Close\"", "\"" + big5(QStringLiteral("關閉(&C)")) + "\"");
    QCOMPARE(readRaw(root + "/adapt-out.rc"), expected);
    const QString err = QString::fromUtf8(o.err);
    QVERIFY2(err.contains(QStringLiteral("寫入調整後的譯文：2 處")), o.err.constData());
    QVERIFY2(err.contains(QStringLiteral("（來自 \"Cl&ose\"），已寫入RC檔 2 處")), o.err.constData());
    // The dictionary still lacks the text: --missing offers it for the next round.
    QVERIFY(readRaw(root + "/adapt-missing.txt").startsWith("&Close\r\n&Close\r\n&Close\r\n" + big5(QStringLiteral("關閉(&C)"))));

    QByteArray utf8 = "\xEF\xBB\xBF" + rc;
    QVERIFY(writeRaw(root + "/adapt8.rc", utf8));
    o = cli({"translate", "--adapt", root + "/adapt.dict", root + "/adapt8.rc", root + "/adapt8-out.rc"});
    QVERIFY2(o.status == 0, o.err.constData());
    utf8.replace("\"&Close\"", "\"" + QStringLiteral("關閉(&C)").toUtf8() + "\"");
    QCOMPARE(readRaw(root + "/adapt8-out.rc"), utf8);
}

// --old compares the versions by identifier and offers the translation of
// the text an identifier held before; an old file that cannot be read is
// refused before anything is written.
void TestConvertPerl::oldVersionByIdentifier()
{
    const QByteArray head = "// Microsoft Visual C++\r\nIDR_MAIN MENU\r\nBEGIN\r\n    MENUITEM \"&Open\", ID_OPEN\r\n";
    QVERIFY(writeRaw(root + "/old.rc", head + "    MENUITEM \"E&xit\", ID_EXIT\r\nEND\r\n"));
    QVERIFY(writeRaw(root + "/new.rc", head + "    MENUITEM \"&Quit\", ID_EXIT\r\nEND\r\n"));
    QVERIFY(writeRaw(root + "/old.dict", "E&xit\r\n" + big5(QStringLiteral("結束(&X)")) + "\r\n"));
    Outcome o = cli({"translate", "--old", root + "/old.rc", root + "/old.dict", root + "/new.rc", root + "/new-out.rc"});
    QVERIFY2(o.status == 0, o.err.constData());
    const QString err = QString::fromUtf8(o.err);
    QVERIFY2(err.contains(QStringLiteral("與舊版本比較（依識別字）：新增 0，刪除 0，改變 1，不變 1")), o.err.constData());
    QVERIFY2(err.contains(QStringLiteral("同識別字的舊譯文：\"結束(&Q)\"（相似度 50，舊版本是 \"E&xit\"）")), o.err.constData());

    o = cli({"translate", "--old", root + "/no-such.rc", root + "/old.dict", root + "/new.rc", root + "/new-out-2.rc"});
    QCOMPARE(o.status, 1);
    QVERIFY(!QFile::exists(QString::fromStdString(root + "/new-out-2.rc")));
}

void TestConvertPerl::corpusTranslatesLikeItsChineseVersion_data()
{
    QTest::addColumn<QString>("app");
    for (const char *app : {"calc", "mspaint", "notepad", "regedit", "sndvol32", "taskmgr"})
        QTest::newRow(app) << QString::fromLatin1(app);
}

void TestConvertPerl::corpusTranslatesLikeItsChineseVersion()
{
    QFETCH(QString, app);
    const QString dir = QStringLiteral(TAVISORN_CORPUS_DIR "/") + app;
    if (!QFile::exists(dir + QStringLiteral("/en.rc")))
        QSKIP("the corpus is not there");
    const std::string en = PathBytes(dir + QStringLiteral("/en.rc"));
    const std::string zh = PathBytes(dir + QStringLiteral("/zh-TW.rc"));
    const std::string dict = root + "/" + PathBytes(app) + ".dict";
    const std::string out = root + "/" + PathBytes(app) + ".rc";
    Outcome o = cli({"make-dictionary", en, zh, dict});
    QVERIFY2(o.status == 0, o.err.constData());
    QVERIFY(everyLineEndIsCrLf(readRaw(dict)));
    o = cli({"translate", dict, en, out});
    QVERIFY2(o.status == 0, o.err.constData());

    const std::vector<std::string> enLines = splitLines(readRaw(en));
    const std::vector<std::string> outLines = splitLines(readRaw(out));
    QCOMPARE(outLines.size(), enLines.size());
    const std::vector<RcText> enTexts = readTexts(enLines);
    const std::vector<RcText> zhTexts = readTexts(splitLines(readRaw(zh)));

    // What each English text becomes in the Chinese file, at the same place.
    std::map<std::pair<std::string, int>, std::string> zhAt;
    for (const RcText &t : zhTexts)
        zhAt[{t.block, t.ordinal}] = t.text;
    std::map<std::string, std::set<std::string>> translations;
    for (const RcText &t : enTexts)
        if (const auto it = zhAt.find({t.block, t.ordinal}); it != zhAt.end())
            translations[t.text].insert(it->second);

    int oneToOne = 0;
    int matched = 0;
    int ambiguous = 0;
    std::set<int> textLines;
    for (const RcText &t : enTexts) {
        textLines.insert(t.line);
        const std::string &enLine = enLines[std::size_t(t.line)];
        const std::string &outLine = outLines[std::size_t(t.line)];
        // The line keeps everything around its text.
        const std::string head = enLine.substr(0, std::size_t(t.start));
        const std::string tail = enLine.substr(std::size_t(t.end));
        QVERIFY2(outLine.size() >= head.size() + tail.size() && outLine.compare(0, head.size(), head) == 0
                     && outLine.compare(outLine.size() - tail.size(), tail.size(), tail) == 0,
                 outLine.c_str());
        const std::string got = outLine.substr(head.size(), outLine.size() - head.size() - tail.size());
        const auto &candidates = translations[t.text];
        if (t.text.empty() || blankOnly(t.text) || t.text == "0" || candidates.size() != 1) {
            ++ambiguous;
            QVERIFY2(got == t.text || candidates.count(got), outLine.c_str());
            continue;
        }
        const std::string &expected = *candidates.begin();
        if (expected.empty() || expected == "0") {
            QCOMPARE(got, t.text);
            continue;
        }
        ++oneToOne;
        if (got == expected)
            ++matched;
        else
            qWarning("%s line %d: got \"%s\", zh-TW.rc has \"%s\"", qPrintable(app), t.line + 1, got.c_str(),
                     expected.c_str());
    }
    // A string continued over several lines is translated on its first
    // line, the others left empty, or all of them stay as they were.
    const JoinedScript join = JoinStatements(readRaw(en).toStdString());
    int continued = 0;
    for (const JoinedLine &joined : join.Joined) {
        const auto first = std::size_t(joined.FirstLine);
        for (int j = 1; j < joined.Count; ++j) {
            const std::size_t line = first + std::size_t(j);
            textLines.insert(int(line));
            QVERIFY(outLines[line].empty() || outLines[line] == enLines[line]);
            QCOMPARE(outLines[line].empty(), outLines[first] != enLines[first]);
        }
        if (outLines[first] != enLines[first])
            ++continued;
        textLines.insert(int(first));
    }
    if (join.Continuations > 0 && app != QLatin1String("regedit"))
        QVERIFY(continued > 0); // regedit's usage text is English in its translation too
    for (std::size_t i = 0; i < enLines.size(); ++i)
        if (!textLines.count(int(i)))
            QCOMPARE(outLines[i], enLines[i]);
    qInfo("%s: %d of %d one-to-one texts translated as in zh-TW.rc; %d texts with several or no translations",
          qPrintable(app), matched, oneToOne, ambiguous);
    QVERIFY(oneToOne > 0);
    QCOMPARE(matched, oneToOne);
}


std::string TestConvertPerl::wrapper(const char *name, const std::string &body)
{
    const std::string path = root + "/" + name;
    if (!writeRaw(path, QByteArray::fromStdString("#!/bin/sh\n" + body + "\n")) || ::chmod(path.c_str(), 0700) != 0)
        return {};
    return path;
}

void TestConvertPerl::failingWritesLeaveTheOldOutput_data()
{
    QTest::addColumn<QString>("perl"); // the wrapper's body: it runs perl on "$@"
    QTest::addColumn<QString>("reason");
    // The output the script writes: its $f3 line.
    const QString f3 = QStringLiteral("f=$(grep -a '^.f3=' \"$1\" | sed 's/^.f3=\"//; s/\";.$//')\n");
    QTest::newRow("write fails, disk full")
        << QStringLiteral("exec strace -f -qq -o /dev/null -e trace=write -e inject=write:error=ENOSPC:when=1 perl \"$@\"")
        << QStringLiteral("磁碟空間不足");
    QTest::newRow("close of the output fails")
        << f3 + QStringLiteral("exec strace -f -qq -o /dev/null -P \"$f\" -e trace=close -e inject=close:error=EIO perl \"$@\"")
        << QStringLiteral("磁碟讀寫錯誤");
    QTest::newRow("file size limit") << QStringLiteral("ulimit -f 1\nexec perl \"$@\"") << QString();
}

// The interpreter's writes fail: the old output stays byte for byte, and the
// user is told, for both conversions.
void TestConvertPerl::failingWritesLeaveTheOldOutput()
{
    QFETCH(QString, perl);
    QFETCH(QString, reason);
    if (QStandardPaths::findExecutable(QStringLiteral("strace")).isEmpty() && perl.contains(QLatin1String("strace")))
        QSKIP("no strace");
    const std::string failing = wrapper("failing writes", perl.toStdString());
    QVERIFY(!failing.empty());
    // Large enough that the size limit of 512 bytes cuts both outputs.
    std::string en = "// Microsoft Visual C++ generated resource script.\r\nSTRINGTABLE\r\nBEGIN\r\n", zh = en, dict;
    for (int i = 0; i < 60; ++i) {
        en += "    IDS_" + std::to_string(i) + " \"Text number " + std::to_string(i) + "\"\r\n";
        zh += "    IDS_" + std::to_string(i) + " \"\xA4\xE5\xA6r " + std::to_string(i) + "\"\r\n";
        dict += "Text number " + std::to_string(i) + "\r\n\xA4\xE5\xA6r " + std::to_string(i) + "\r\n";
    }
    en += "END\r\n";
    zh += "END\r\n";
    QVERIFY(writeRaw(root + "/fail-en.rc", QByteArray::fromStdString(en)));
    QVERIFY(writeRaw(root + "/fail-zh.rc", QByteArray::fromStdString(zh)));
    QVERIFY(writeRaw(root + "/fail-dict.txt", QByteArray::fromStdString(dict)));
    const QByteArray old("the old output\r\nstays\r\n");
    const std::string output = root + "/fail-out.txt";
    for (const std::vector<std::string> &args :
         {std::vector<std::string>{"make-dictionary", root + "/fail-en.rc", root + "/fail-zh.rc", output},
          std::vector<std::string>{"translate", root + "/fail-dict.txt", root + "/fail-en.rc", output}}) {
        QVERIFY(writeRaw(output, old));
        std::vector<std::string> withPerl = args;
        withPerl.insert(withPerl.begin() + 1, {"--perl", failing});
        const Outcome o = cli(withPerl);
        QVERIFY2(o.status != 0, o.err.constData());
        QCOMPARE(readRaw(output), old);
        const QString err = QString::fromUtf8(o.err);
        QVERIFY2(err.contains(QStringLiteral("輸出檔沒有改變")), o.err.constData());
        if (!reason.isEmpty())
            QVERIFY2(err.contains(reason), o.err.constData());
        QVERIFY2(!err.contains(QStringLiteral("寫出的字串對")), o.err.constData()); // no report of a failed run
    }
    // The same runs with the plain interpreter replace it.
    QCOMPARE(cli({"translate", root + "/fail-dict.txt", root + "/fail-en.rc", output}).status, 0);
    QVERIFY(readRaw(output).contains("\xA4\xE5\xA6r 59"));
}

void TestConvertPerl::twoRunsIntoOneOutputLeaveOneOfThem()
{
    // Two dictionaries that translate one script differently, into outputs
    // of some hundred kilobytes, so that the two runs overlap.
    std::string en = "// Microsoft Visual C++ generated resource script.\r\nSTRINGTABLE\r\nBEGIN\r\n", a, b;
    for (int i = 0; i < 8000; ++i) {
        const std::string text = "Text number " + std::to_string(i);
        en += "    IDS_" + std::to_string(i) + " \"" + text + "\"\r\n";
        a += text + "\r\n\xA5\xD2 " + std::to_string(i) + "\r\n";
        b += text + "\r\n\xA4\x41 " + std::to_string(i) + "\r\n";
    }
    en += "END\r\n";
    QVERIFY(writeRaw(root + "/both-en.rc", QByteArray::fromStdString(en)));
    QVERIFY(writeRaw(root + "/both-a.txt", QByteArray::fromStdString(a)));
    QVERIFY(writeRaw(root + "/both-b.txt", QByteArray::fromStdString(b)));
    QCOMPARE(cli({"translate", root + "/both-a.txt", root + "/both-en.rc", root + "/alone-a.rc"}).status, 0);
    QCOMPARE(cli({"translate", root + "/both-b.txt", root + "/both-en.rc", root + "/alone-b.rc"}).status, 0);
    const QByteArray alone[] = {readRaw(root + "/alone-a.rc"), readRaw(root + "/alone-b.rc")};
    QVERIFY(alone[0] != alone[1] && alone[0].size() == alone[1].size());

    const QString output = PathFromBytes(root + "/both.rc");
    for (int round = 0; round < 4; ++round) {
        QProcess runs[2];
        for (int i = 0; i < 2; ++i)
            runs[i].start(QStringLiteral(TAVISORN_CLI),
                          {QStringLiteral("translate"), PathFromBytes(root + (i == 0 ? "/both-a.txt" : "/both-b.txt")),
                           PathFromBytes(root + "/both-en.rc"), output});
        for (QProcess &run : runs) {
            QVERIFY(run.waitForFinished(60000));
            QCOMPARE(run.exitCode(), 0);
        }
        const QByteArray written = readRaw(root + "/both.rc");
        QVERIFY2(written == alone[0] || written == alone[1], qPrintable(QStringLiteral("round %1").arg(round)));
    }
}

void TestConvertPerl::utf8CutInsideItsLastCharacterIsRefused()
{
    const std::string dict = root + "/cut-dict.txt";
    QVERIFY(writeRaw(dict, "Open\r\n\xB6}\xB1\xD2\r\n"));
    const std::string body = "// Microsoft\r\nSTRINGTABLE\r\nBEGIN\r\n    IDS_A \"Open\"\r\nEND\r\n// \xE4\xB8\xAD";
    struct Case {
        const char *name;
        std::string bytes;
    };
    const Case cases[] = {
        {"marked", "\xEF\xBB\xBF" + body},
        {"declared", "#pragma code_page(65001)\r\n" + body},
        // Neither: the UTF-8 before the cut is no Big5.
        {"unmarked", "// \xE4\xB8\xAD\xE6\x96\x87\xE8\xAA\xAA\xE6\x98\x8E\r\n" + body},
    };
    for (const Case &c : cases) {
        const std::string whole = root + "/cut-" + c.name + ".rc";
        QVERIFY(writeRaw(whole, QByteArray::fromStdString(c.bytes)));
        // Whole, the last character stays, and so does the missing line end.
        Outcome o = cli({"translate", dict, whole, root + "/cut-out.rc"});
        QVERIFY2(o.status == 0, o.err.constData());
        QVERIFY2(readRaw(root + "/cut-out.rc").endsWith("// \xE4\xB8\xAD"), c.name);
        // Cut inside it: refused, and said why.
        const std::string cut = root + "/cut-" + c.name + "-short.rc";
        QVERIFY(writeRaw(cut, QByteArray::fromStdString(c.bytes.substr(0, c.bytes.size() - 1))));
        o = cli({"translate", dict, cut, root + "/cut-refused.rc"});
        QCOMPARE(o.status, 1);
        QVERIFY2(QString::fromUtf8(o.err).contains(QStringLiteral("在最後一個字元的中間結束")), o.err.constData());
        QVERIFY(!QFile::exists(PathFromBytes(root + "/cut-refused.rc")));
    }
}

void TestConvertPerl::untouchedOriginalsGiveTheWholeDictionary_data()
{
    QTest::addColumn<QString>("app");
    for (const char *app : {"calc", "mspaint", "notepad", "regedit", "sndvol32", "taskmgr"})
        QTest::newRow(app) << QString::fromLatin1(app);
}

// The originals as projects keep them (UTF-8 without a marker, LF, no
// generator comment) give the dictionary and the translation of their
// Big5 test forms; only pairs with characters code page 950 lacks differ,
// and the report lists them.
void TestConvertPerl::untouchedOriginalsGiveTheWholeDictionary()
{
    QFETCH(QString, app);
    const QString dir = QStringLiteral(TAVISORN_CORPUS_DIR "/") + app;
    if (!QFile::exists(dir + QStringLiteral("/orig/en-US.rc")))
        QSKIP("the corpus is not there");
    const std::string a = root + "/orig-" + PathBytes(app);
    const std::string formEn = PathBytes(dir + QStringLiteral("/en.rc"));
    const std::string origEn = PathBytes(dir + QStringLiteral("/orig/en-US.rc"));
    Outcome o = cli({"make-dictionary", formEn, PathBytes(dir + QStringLiteral("/zh-TW.rc")), a + "-form.dict"});
    QVERIFY2(o.status == 0, o.err.constData());
    o = cli({"make-dictionary", "--strict", origEn, PathBytes(dir + QStringLiteral("/orig/zh-TW.rc")), a + ".dict"});
    QVERIFY2(o.status == 0, o.err.constData());
    const QString report = QString::fromUtf8(o.err);
    QVERIFY2(report.startsWith(QStringLiteral("製作字典檔的結果")), o.err.constData()); // no warning first
    QVERIFY2(report.contains(QStringLiteral("中文RC檔：") + dir + QStringLiteral("/orig/zh-TW.rc（UTF-8）")),
             o.err.constData());
    QVERIFY2(report.contains(QStringLiteral("區塊分隔字：BEGIN 與 END（英文RC檔沒有")), o.err.constData());
    qsizetype leftOut = 0;
    static const QRegularExpression leftOutLine(QStringLiteral("沒有寫入字典檔的字串對（含有Big5沒有的字元）：(\\d+)"));
    if (const auto m = leftOutLine.match(report); m.hasMatch())
        leftOut = m.captured(1).toLongLong();

    // The form's pairs in order, less those the originals could not write,
    // are the originals' pairs.
    const std::vector<std::string> form = splitLines(readRaw(a + "-form.dict"));
    const std::vector<std::string> orig = splitLines(readRaw(a + ".dict"));
    QByteArray kept;
    std::size_t j = 0;
    qsizetype skipped = 0;
    for (std::size_t i = 0; i + 1 < form.size(); i += 2) {
        if (j + 1 < orig.size() && form[i] == orig[j] && form[i + 1] == orig[j + 1]) {
            kept += QByteArray::fromStdString(form[i] + "\r\n" + form[i + 1] + "\r\n");
            j += 2;
        } else {
            ++skipped;
        }
    }
    QCOMPARE(j, orig.size());
    QCOMPARE(skipped, leftOut);
    QVERIFY(orig.size() > 100);
    QVERIFY(writeRaw(a + "-kept.dict", kept));
    QCOMPARE(cli({"normalize", a + "-kept.dict", a + "-kept.norm"}).status, 0);
    QCOMPARE(cli({"normalize", a + ".dict", a + ".norm"}).status, 0);
    QCOMPARE(readRaw(a + ".norm"), readRaw(a + "-kept.norm"));
    qInfo("%s: %zu pairs, %lld left out", qPrintable(app), orig.size() / 2, static_cast<long long>(leftOut));

    // The translation of the original is the form's translation in UTF-8
    // with LF, without the form's comment line; a line differs only where
    // the original keeps its English text because its pair was left out.
    o = cli({"translate", a + "-form.dict", formEn, a + "-form.rc"});
    QVERIFY2(o.status == 0, o.err.constData());
    o = cli({"translate", a + ".dict", origEn, a + ".rc"});
    QVERIFY2(o.status == 0, o.err.constData());
    const QByteArray translated = readRaw(a + ".rc");
    QVERIFY(!translated.contains('\r'));
    QVERIFY(!translated.startsWith("\xEF\xBB\xBF"));
    QVERIFY(QString::fromUtf8(translated).contains(QStringLiteral("說明")));
    QByteArray expected = reencoded(readRaw(a + "-form.rc"), QStringConverter::Utf8, false, true);
    QVERIFY(expected.startsWith("// Microsoft"));
    expected = expected.mid(expected.indexOf('\n') + 1);
    const std::vector<std::string> got = splitLines(translated);
    const std::vector<std::string> want = splitLines(expected);
    const std::vector<std::string> english = splitLines(readRaw(origEn));
    QCOMPARE(got.size(), want.size());
    qsizetype differing = 0;
    for (std::size_t i = 0; i < got.size(); ++i) {
        if (got[i] == want[i])
            continue;
        ++differing;
        QVERIFY2(got[i] == english[i], got[i].c_str());
    }
    QVERIFY(differing <= leftOut + 1); // mspaint's comment names a Mário
}

void TestConvertPerl::fewPairsWarnFirstAndFailUnderStrict()
{
    // A tool's name the templates look for in the last line only: the
    // English file is read with empty block words, the translated one with
    // braces it does not have, and most texts are lost.
    const QString dir = QStringLiteral(TAVISORN_CORPUS_DIR "/notepad/orig");
    if (!QFile::exists(dir + QStringLiteral("/en-US.rc")))
        QSKIP("the corpus is not there");
    const std::string en = root + "/late-word-en.rc";
    QVERIFY(writeRaw(en, readRaw(PathBytes(dir + QStringLiteral("/en-US.rc"))) + "// Borland\n"));
    const std::string zh = PathBytes(dir + QStringLiteral("/zh-TW.rc"));
    Outcome o = cli({"make-dictionary", en, zh, root + "/late-word.dict"});
    QVERIFY2(o.status == 0, o.err.constData());
    const QString first = QString::fromUtf8(o.err).section(QLatin1Char('\n'), 0, 0);
    QVERIFY2(first.startsWith(QStringLiteral("警告：只配對到 ")), o.err.constData());
    // 94 lines, and the 5 strings that go on over a second line.
    QVERIFY2(first.contains(QStringLiteral("中文RC檔有 99 行帶有文字")), o.err.constData());
    o = cli({"make-dictionary", "--strict", en, zh, root + "/late-word.dict"});
    QCOMPARE(o.status, 3);
}

// The guesses themselves are tested on the encoding module; here the
// option reaches the run.
void TestConvertPerl::encodingGuessedOrChosen()
{
    const std::string dict = caseFile(QStringLiteral("translate-microsoft"), "dict.txt");
    const QByteArray comment = big5(QStringLiteral("// 新版本的說明\r\n"));
    const QByteArray script = comment + readRaw(caseFile(QStringLiteral("translate-microsoft"), "new.rc")) + "\r\n";
    QByteArray expected = comment + readRaw(caseFile(QStringLiteral("translate-microsoft"), "expected.rc"));
    expected += "\r\n"; // the script ends in a line end, and so does its translation
    const std::string out = root + "/encoding-out.rc";

    // UTF-16 without a byte order mark, as the user says it is.
    QVERIFY(writeRaw(root + "/utf16.rc", reencoded(script, QStringConverter::Utf16LE, false)));
    Outcome o = cli({"translate", "--encoding", "utf-16", dict, root + "/utf16.rc", out});
    QVERIFY2(o.status == 0, o.err.constData());
    QCOMPARE(readRaw(out), reencoded(expected, QStringConverter::Utf16LE, false));
    // A UTF-8 file read as Big5 as asked: its bytes go through untouched.
    QVERIFY(writeRaw(root + "/plain-utf8.rc", reencoded(script, QStringConverter::Utf8, false)));
    o = cli({"translate", "--encoding=big5", dict, root + "/plain-utf8.rc", out});
    QVERIFY2(o.status == 0, o.err.constData());
    QVERIFY2(QString::fromUtf8(o.err).contains(QStringLiteral("plain-utf8.rc（Big5")), o.err.constData());
    QVERIFY(readRaw(out).startsWith(reencoded(comment, QStringConverter::Utf8, false)));
    QCOMPARE(cli({"make-dictionary", "--encoding", "latin1", dict, dict, out}).status, 2);
    QCOMPARE(cli({"translate", dict, dict, out, "--encoding"}).status, 2);
}

QTEST_GUILESS_MAIN(TestConvertPerl)
#include "test_convert_perl.moc"
