// Telling a file that is no dictionary from a dictionary: every resource
// script of the corpus (test forms and originals) reads as one, the
// dictionaries made from them and dictionaries of look-alike texts do not,
// and NUL bytes anywhere give a file away.

#include "convert/rcreader.h"
#include "dictionary/fileshape.h"

#include <QDir>
#include <QFile>
#include <QTest>

namespace {

FileDoubt doubtOf(std::string_view bytes)
{
    FileShape shape;
    while (!bytes.empty()) {
        std::size_t end = bytes.find('\n');
        const std::string_view line = bytes.substr(0, end);
        shape.AddLine(line.ends_with('\r') ? line.substr(0, line.size() - 1) : line);
        bytes.remove_prefix(end == std::string_view::npos ? bytes.size() : end + 1);
    }
    return shape.Doubt();
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

std::string_view view(const QByteArray &bytes)
{
    return std::string_view(bytes.constData(), std::size_t(bytes.size()));
}

} // namespace

class TestFileShape : public QObject {
    Q_OBJECT
private slots:
    void scriptsAreNoDictionaries();
    void lookAlikeTextsAndNulBytes();
    void corpusScriptsAreNoDictionaries();
    void corpusDictionariesAreDictionaries();
};

namespace {

// A menu and a dialog as the resource tools write them.
const char *const kScript =
    "// Generated resource script.\r\n"
    "#include \"resource.h\"\r\n"
    "\r\n"
    "IDR_MAIN MENU DISCARDABLE\r\n"
    "BEGIN\r\n"
    "    POPUP \"&File\"\r\n"
    "    BEGIN\r\n"
    "        MENUITEM \"&Open...\\tCtrl+O\",       ID_FILE_OPEN\r\n"
    "        MENUITEM SEPARATOR\r\n"
    "        MENUITEM \"E&xit\",                   ID_APP_EXIT\r\n"
    "    END\r\n"
    "END\r\n"
    "\r\n"
    "IDD_ABOUT DIALOG DISCARDABLE  0, 0, 217, 55\r\n"
    "STYLE DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU\r\n"
    "CAPTION \"About\"\r\n"
    "FONT 8, \"MS Sans Serif\"\r\n"
    "BEGIN\r\n"
    "    LTEXT           \"Version 1.0\",IDC_STATIC,40,10,119,8\r\n"
    "    DEFPUSHBUTTON   \"OK\",IDOK,178,7,32,14,WS_GROUP\r\n"
    "END\r\n";

} // namespace

void TestFileShape::scriptsAreNoDictionaries()
{
    QVERIFY(doubtOf(kScript) == FileDoubt::ResourceScript);
    // Without the include and the comment, and with braces for blocks.
    QVERIFY(doubtOf("IDR_MAIN MENU\n{\n POPUP \"&File\"\n {\n  MENUITEM \"E&xit\", 1\n }\n}\n")
            == FileDoubt::ResourceScript);
    // A string table alone, and a script that only includes and defines.
    QVERIFY(doubtOf("STRINGTABLE\r\nBEGIN\r\n    IDS_A \"A\"\r\nEND\r\n") == FileDoubt::ResourceScript);
    QVERIFY(doubtOf("#include <windows.h>\r\nIDI_MAIN ICON \"main.ico\"\r\nIDB_LOGO BITMAP \"logo.bmp\"\r\n#define X 1\r\n")
            == FileDoubt::ResourceScript);
}

void TestFileShape::lookAlikeTextsAndNulBytes()
{
    // Texts that begin like statements, one block word, a hash sign.
    QVERIFY(doubtOf("BEGIN\r\n開始\r\nEND\r\n結束\r\nFont\r\n字型\r\nCAPTION bar\r\n標題列\r\n"
                    "MENU of the day\r\n今日選單\r\n#include files\r\n含入檔案\r\nPOPUP menus\r\n快顯選單\r\n"
                    "&Open...\tCtrl+O\r\n開啟(&O)...\tCtrl+O\r\nAbout Notepad\r\n關於記事本\r\n")
            == FileDoubt::None);
    QVERIFY(doubtOf("") == FileDoubt::None);
    // One NUL, after many good lines.
    std::string late;
    for (int i = 0; i < 20000; ++i)
        late += "text\r\n譯文\r\n";
    QVERIFY(doubtOf(late) == FileDoubt::None);
    late += std::string("bad\0line\r\nx\r\n", 13);
    QVERIFY(doubtOf(late) == FileDoubt::NulBytes);
    // UTF-16 text.
    QVERIFY(doubtOf(std::string_view("a\0\r\0\n\0A\0\r\0\n\0", 12)) == FileDoubt::NulBytes);
}

void TestFileShape::corpusScriptsAreNoDictionaries()
{
    const QDir corpus(QStringLiteral(TAVISORN_CORPUS_DIR));
    if (!corpus.exists(QStringLiteral("notepad/en.rc")))
        QSKIP("the corpus is not there");
    int scripts = 0;
    for (const QString &app : corpus.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        for (const QString &folder : {app, app + QStringLiteral("/orig")}) {
            for (const QString &name : QDir(corpus.filePath(folder)).entryList({QStringLiteral("*.rc")}, QDir::Files)) {
                const QByteArray bytes = readFile(corpus.filePath(folder + QLatin1Char('/') + name));
                QVERIFY2(doubtOf(view(bytes)) == FileDoubt::ResourceScript, qPrintable(folder + QLatin1Char('/') + name));
                ++scripts;
            }
        }
    }
    QCOMPARE(scripts, 24);
}

void TestFileShape::corpusDictionariesAreDictionaries()
{
    const QDir corpus(QStringLiteral(TAVISORN_CORPUS_DIR));
    if (!corpus.exists(QStringLiteral("notepad/en.rc")))
        QSKIP("the corpus is not there");
    for (const QString &app : corpus.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QByteArray en = readFile(corpus.filePath(app + QStringLiteral("/en.rc")));
        const QByteArray zh = readFile(corpus.filePath(app + QStringLiteral("/zh-TW.rc")));
        const std::string dictionary = ReadExtraction(view(en), view(zh)).DictionaryBytes();
        QVERIFY2(dictionary.size() > 100, qPrintable(app));
        QVERIFY2(doubtOf(dictionary) == FileDoubt::None, qPrintable(app));
    }
}

QTEST_GUILESS_MAIN(TestFileShape)
#include "test_fileshape.moc"
