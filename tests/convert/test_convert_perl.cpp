// The two scripts run by the real interpreter through tavisorn-cli: small
// resource-script cases compared byte for byte, paths that need escaping, the
// refusals, and the real corpus translated with its own dictionary.

#include "convert/script.h"

#include <QDir>
#include <QFile>
#include <QProcess>

#include "settings/settings.h"
#include "support/rawfiles.h"
#include <QRegularExpression>
#include <QStandardPaths>
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
    void corpusTranslatesLikeItsChineseVersion_data();
    void corpusTranslatesLikeItsChineseVersion();

private:
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
    QCOMPARE(o.out, QByteArray("OK!"));
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
    QCOMPARE(cli({"make-dictionary", en, zh, root + "/w.txt", "--perl"}).status, 2);
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
    for (std::size_t i = 0; i < enLines.size(); ++i)
        if (!textLines.count(int(i)))
            QCOMPARE(outLines[i], enLines[i]);
    qInfo("%s: %d of %d one-to-one texts translated as in zh-TW.rc; %d texts with several or no translations",
          qPrintable(app), matched, oneToOne, ambiguous);
    QVERIFY(oneToOne > 0);
    QCOMPARE(matched, oneToOne);
}

QTEST_GUILESS_MAIN(TestConvertPerl)
#include "test_convert_perl.moc"
