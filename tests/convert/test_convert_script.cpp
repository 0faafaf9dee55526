// The script templates, the filled-in lines, the path checks and the script
// file, without running the interpreter.

#include "convert/conversion.h"
#include "convert/encoding.h"
#include "convert/script.h"
#include "platform/codepage.h"
#include "support/filesizelimit.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string big5(const QString &text) { return cp950::encode(text).value(); }

std::string readAll(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return "<unreadable>";
    const QByteArray data = f.readAll();
    return std::string(data.constData(), std::size_t(data.size()));
}

bool touch(const std::string &path)
{
    QFile f(PathFromBytes(path));
    return f.open(QIODevice::WriteOnly) && f.write("x") == 1;
}

} // namespace

class TestConvertScript : public QObject {
    Q_OBJECT
private slots:
    void templatesHaveTheirLinesAsBig5();
    void scriptBytesEndEveryLineInCrLf();
    void escapingKeepsEveryPathByte_data();
    void escapingKeepsEveryPathByte();
    void filledLinesAndWholeScripts();
    void sameFileThroughOtherSpellingsAndLinks();
    void unsafePathsAreRefused();
    void typedPathsReadAsADialogWouldGiveThem();
    void refusalsInTheirOrder();
    void scriptFileIsWrittenWholeOrNotAtAll();
    void encodingsGuessedFromTheBytesOrChosen();
    void retargetedLines();
};

void TestConvertScript::templatesHaveTheirLinesAsBig5()
{
    const ScriptTemplate ex = ExtractionTemplate();
    const ScriptTemplate tr = TranslationTemplate();
    QCOMPARE(ex.size(), std::size_t(186));
    QCOMPARE(tr.size(), std::size_t(134));

    QCOMPARE(ex.line(0), big5(QStringLiteral("# 產生字典檔 9/16/1998")));
    QCOMPARE(ex.line(0).substr(2, 6), std::string("\xB2\xA3\xA5\xCD\xA6\x72")); // 產生字
    QCOMPARE(ex.line(9), big5(QStringLiteral("#==== 使用前請修改下列檔案路徑(目錄以\\\\做分隔) =================")));
    QCOMPARE(ex.line(17), std::string("open(FH,$f1);"));
    QCOMPARE(ex.line(85), std::string(R"(      if(/\s*[\d\w]+\s+\"(.+)\",.*/ || /\s*[\d\w]+\s+\"(.+)\"$/) {)"));
    QCOMPARE(ex.line(161), std::string(R"(         print TR "$MenuString{$WhatMenu}[$MenuI++]\n$1\n";)"));
    QCOMPARE(ex.line(185), std::string("print 'OK!';"));
    QCOMPARE(tr.line(11), big5(QStringLiteral("$ChangeFont=-1;  # 是:-1 , 否:0")));
    QCOMPARE(tr.line(116), std::string("      if(/^FONT 8, \\\".+\\\"(.*?)$/ && $ChangeFont) { $_='FONT 9, \""
                                       "\xB7\x73\xB2\xD3\xA9\xFA\xC5\xE9\"'.$1; }"));
    QCOMPARE(tr.line(133), std::string("print 'OK!';"));

    // Banner lines 2 to 7 of both are one 64-byte frame; line 6 is ours.
    for (const ScriptTemplate *pl : {&ex, &tr}) {
        QCOMPARE(pl->line(2), std::string(64, '#'));
        QCOMPARE(pl->line(7), std::string(64, '#'));
        for (std::size_t i = 3; i <= 6; ++i) {
            QCOMPARE(pl->line(i).size(), std::size_t(64));
            QCOMPARE(pl->line(i).front(), '#');
            QCOMPARE(pl->line(i).back(), '#');
        }
        QVERIFY(pl->line(1).empty() && pl->line(8).empty());
    }
    // Placeholders are patch lines of their own variable.
    QVERIFY(ex.line(11).rfind("$f1=\"", 0) == 0 && ex.line(13).rfind("$f3=\"", 0) == 0);
    QVERIFY(tr.line(15).rfind("$f1=\"", 0) == 0 && tr.line(17).rfind("$f3=\"", 0) == 0);
}

void TestConvertScript::scriptBytesEndEveryLineInCrLf()
{
    const ScriptTemplate ex = ExtractionTemplate();
    const std::string bytes = ex.bytes();
    QVERIFY(bytes.size() >= 2 && bytes.substr(bytes.size() - 2) == "\r\n");
    std::size_t lines = 0;
    std::size_t lone = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n') {
            ++lines;
            if (i == 0 || bytes[i - 1] != '\r')
                ++lone;
        }
    }
    QCOMPARE(lines, std::size_t(186));
    QCOMPARE(lone, std::size_t(0));
    QCOMPARE(TranslationTemplate().bytes().substr(0, 12), big5(QStringLiteral("# 自動翻譯")) + " 9");
}

void TestConvertScript::escapingKeepsEveryPathByte_data()
{
    QTest::addColumn<QByteArray>("path");
    QTest::addColumn<QByteArray>("escaped");
    QTest::newRow("empty") << QByteArray() << QByteArray();
    QTest::newRow("plain") << QByteArray("/home/a/en.rc") << QByteArray("/home/a/en.rc");
    QTest::newRow("backslashes") << QByteArray("C:\\rc\\a.rc") << QByteArray("C:\\\\rc\\\\a.rc");
    QTest::newRow("quote dollar at") << QByteArray("/t/\"q\" $HOME @ARGV") << QByteArray("/t/\\\"q\\\" \\$HOME \\@ARGV");
    // 許 B3 5C and 功 A5 5C: the second byte is a backslash.
    QTest::newRow("big5 trail 5C") << QByteArray("/t/\xB3\x5C\xA5\x5C.rc") << QByteArray("/t/\xB3\x5C\x5C\xA5\x5C\x5C.rc");
    // 一 A4 40: the second byte is an at sign.
    QTest::newRow("big5 trail 40") << QByteArray("/t/\xA4\x40.rc") << QByteArray("/t/\xA4\x5C\x40.rc");
    QTest::newRow("blanks stay") << QByteArray("/a b/c d.rc") << QByteArray("/a b/c d.rc");
}

void TestConvertScript::escapingKeepsEveryPathByte()
{
    QFETCH(QByteArray, path);
    QFETCH(QByteArray, escaped);
    QCOMPARE(QByteArray::fromStdString(EscapeBackslashes(path.toStdString())), escaped);
}

void TestConvertScript::filledLinesAndWholeScripts()
{
    QCOMPARE(PatchLine("$f1", "C:\\rc\\a.rc"), std::string("$f1=\"C:\\\\rc\\\\a.rc\";"));
    QCOMPARE(ChangeFontLine(true), std::string("$ChangeFont=-1;  # \xAC\x4F:-1 , \xA7\x5F:0"));
    QCOMPARE(ChangeFontLine(false), std::string("$ChangeFont=0;  # \xAC\x4F:-1 , \xA7\x5F:0"));

    // Two scripts with different paths differ only in the filled lines.
    const ExtractionPaths a{"/a/en.rc", "/a/zh.rc", "/a/out.txt"};
    const ExtractionPaths b{"/b/\xB3\x5C.rc", "/b/zh$.rc", "/b/out@.txt"};
    const std::string sa = ExtractionScript(a);
    const std::string sb = ExtractionScript(b);
    const QList<QByteArray> la = QByteArray::fromStdString(sa).split('\n');
    const QList<QByteArray> lb = QByteArray::fromStdString(sb).split('\n');
    QCOMPARE(la.size(), 187); // 186 lines and what follows the last line end
    QCOMPARE(lb.size(), 187);
    for (int i = 0; i < la.size(); ++i) {
        if (i >= 11 && i <= 13)
            continue;
        QCOMPARE(la[i], lb[i]);
    }
    QCOMPARE(lb[11], QByteArray("$f1=\"/b/\xB3\x5C\x5C.rc\";\r"));
    QCOMPARE(lb[12], QByteArray("$f2=\"/b/zh\\$.rc\";\r"));
    QCOMPARE(lb[13], QByteArray("$f3=\"/b/out\\@.txt\";\r"));

    const std::string st = TranslationScript({"/d.txt", "/n.rc", "/o.rc", true});
    const QList<QByteArray> lt = QByteArray::fromStdString(st).split('\n');
    QCOMPARE(lt.size(), 135);
    QCOMPARE(lt[11], QByteArray::fromStdString(ChangeFontLine(true) + "\r"));
    QCOMPARE(lt[15], QByteArray("$f1=\"/d.txt\";\r"));
    QCOMPARE(lt[16], QByteArray("$f2=\"/n.rc\";\r"));
    QCOMPARE(lt[17], QByteArray("$f3=\"/o.rc\";\r"));
    const std::string unticked = TranslationScript({"/d.txt", "/n.rc", "/o.rc", false});
    QCOMPARE(QByteArray::fromStdString(unticked).split('\n')[11], QByteArray::fromStdString(ChangeFontLine(false) + "\r"));
}

void TestConvertScript::sameFileThroughOtherSpellingsAndLinks()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const std::string root = PathBytes(dir.path());
    const std::string file = root + "/en.rc";
    QVERIFY(touch(file));
    QVERIFY(touch(root + "/zh.rc"));
    QVERIFY(::mkdir((root + "/sub").c_str(), 0700) == 0);
    QVERIFY(::symlink(file.c_str(), (root + "/link.rc").c_str()) == 0);
    QVERIFY(::symlink((root + "/sub").c_str(), (root + "/sublink").c_str()) == 0);

    QVERIFY(NameTheSameFile(file, file));
    QVERIFY(NameTheSameFile(file, root + "/sub/../en.rc"));
    QVERIFY(NameTheSameFile(file, root + "//./en.rc"));
    QVERIFY(NameTheSameFile(file, root + "/link.rc"));
    QVERIFY(!NameTheSameFile(file, root + "/zh.rc"));
    // Outputs that do not exist yet: judged by their real folder and name.
    QVERIFY(NameTheSameFile(root + "/sub/new.txt", root + "/sublink/new.txt"));
    QVERIFY(!NameTheSameFile(root + "/sub/new.txt", root + "/sub/other.txt"));
    QVERIFY(!NameTheSameFile(file, root + "/missing.rc"));
    // A case-sensitive file system tells these apart.
    QVERIFY(!NameTheSameFile(file, root + "/EN.rc"));
}

void TestConvertScript::unsafePathsAreRefused()
{
    QVERIFY(PathSafeForScript("/a b/c \"d\" $e @f.rc"));
    QVERIFY(PathSafeForScript("C:\\rc\\a.rc"));
    QVERIFY(PathSafeForScript("/t/\xB3\x5C\xA4\x40.rc"));
    for (const char *bad : {"", " /a.rc", "/a.rc ", "/a.rc|", "|cat /etc/passwd", ">/a.rc", "<x", "&STDOUT",
                            "-", "+</a", "/a\n.rc", "/a\r", "/a\t.rc"})
        QVERIFY2(!PathSafeForScript(bad), bad);
}

void TestConvertScript::refusalsInTheirOrder()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const std::string root = PathBytes(dir.path());
    QVERIFY(touch(root + "/en.rc"));
    QVERIFY(touch(root + "/zh.rc"));
    QVERIFY(touch(root + "/d.txt"));

    auto ex = ExtractionRefusal({root + "/en.rc", "", root + "/out.txt"});
    QVERIFY(ex);
    QCOMPARE(ex->text, QStringLiteral("資料未輸入妥當：「翻譯後Resource檔」沒有填。"));
    QCOMPARE(ex->caption, QStringLiteral("錯誤"));
    QVERIFY(!ExtractionRefusal({root + "/en.rc", root + "/zh.rc", root + "/out.txt"}));
    QVERIFY(ExtractionRefusal({root + "/en.rc", root + "/zh.rc", root + "/./zh.rc"}));
    QVERIFY(ExtractionRefusal({root + "/en.rc", root + "/zh.rc", root + "/en.rc"}));
    QVERIFY(ExtractionRefusal({root + "/en.rc", root + "/zh.rc", root + "/out.txt|"}));

    auto tr = TranslationRefusal({"", root + "/en.rc", root + "/en.rc"});
    QVERIFY(tr);
    QCOMPARE(tr->text, QStringLiteral("資料未輸入妥當：「字典檔」沒有填。"));
    tr = TranslationRefusal({root + "/d.txt", root + "/en.rc", root + "/en.rc"});
    QVERIFY(tr);
    QCOMPARE(tr->text, QStringLiteral("新版本RC檔及翻譯後RC檔的路徑不能相同。"));
    QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("x"))));
    tr = TranslationRefusal({root + "/d.txt", root + "/en.rc", root + "/x/../en.rc"});
    QVERIFY(tr);
    QCOMPARE(tr->text, QStringLiteral("新版本RC檔及翻譯後RC檔的路徑不能相同。"));
    tr = TranslationRefusal({root + "/d.txt", root + "/en.rc", root + "/./d.txt"});
    QVERIFY(tr);
    QVERIFY(tr->text != QStringLiteral("新版本RC檔及翻譯後RC檔的路徑不能相同。"));
    QVERIFY(!TranslationRefusal({root + "/d.txt", root + "/en.rc", root + "/out.rc"}));
}

void TestConvertScript::scriptFileIsWrittenWholeOrNotAtAll()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("TRANS.PL"));
    QVERIFY(touch(PathBytes(path)));
    const std::string script = TranslationScript({"/d", "/n", "/o", false});
    QVERIFY(WriteScriptFile(path, script).ok);
    QCOMPARE(readAll(path), script);

    const QString nowhere = dir.filePath(QStringLiteral("no/such/Glossary.pl"));
    const WriteResult missing = WriteScriptFile(nowhere, script);
    QVERIFY(!missing.ok);
    QCOMPARE(missing.error, QStringLiteral("Cannot create file ") + nowhere);

    // A full disk (here: a file size limit, which binds the super-user too)
    // under a script of a few KiB: the old script stays whole.
    QVERIFY(touch(PathBytes(path)));
    WriteResult full;
    {
        const FileSizeLimit noRoom(0);
        QVERIFY(noRoom.ok());
        full = WriteScriptFile(path, script);
    }
    QVERIFY(!full.ok);
    QCOMPARE(full.error, QStringLiteral("Cannot create file ") + path);
    QCOMPARE(readAll(path), std::string("x"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("TRANS.PL")});

    // A folder that cannot be written: the error names the script, and the
    // script already there is not touched.
    const QString locked = dir.filePath(QStringLiteral("locked"));
    QVERIFY(QDir().mkpath(locked));
    const QString lockedScript = locked + QStringLiteral("/Glossary.pl");
    QVERIFY(touch(PathBytes(lockedScript)));
    QVERIFY(::chmod(QFile::encodeName(locked).constData(), 0500) == 0);
    const WriteResult failed = WriteScriptFile(lockedScript, script);
    ::chmod(QFile::encodeName(locked).constData(), 0700);
    if (::geteuid() == 0)
        QSKIP("the super-user writes into any folder");
    QVERIFY(!failed.ok);
    QCOMPARE(failed.error, QStringLiteral("Cannot create file ") + lockedScript);
    QCOMPARE(readAll(lockedScript), std::string("x"));

}

void TestConvertScript::encodingsGuessedFromTheBytesOrChosen()
{
    const ScriptEncoding big5Encoding{TextEncoding::Cp950, false};
    const ScriptEncoding utf8{TextEncoding::Utf8, false};
    const std::string chinese = "MENUITEM \"\xE6\xAA\x94\xE6\xA1\x88\", 1\n"; // 檔案 in UTF-8

    // UTF-8 without a marker: read as UTF-8, written back without a mark.
    DecodedScript d = DecodeScript(chinese);
    QCOMPARE(d.Encoding, utf8);
    QCOMPARE(d.Text, QStringLiteral("MENUITEM \"檔案\", 1\n"));
    QVERIFY(d.Problem.isEmpty());
    QVERIFY(d.Note.contains(QStringLiteral("當作UTF-8讀取")));
    QCOMPARE(EncodeText(d.Text, d.Encoding), chinese);
    // Big5 with Chinese is no UTF-8: it stays Big5, untouched.
    d = DecodeScript(big5(QStringLiteral("MENUITEM \"檔案(&F)\", 1\r\n")));
    QCOMPARE(d.Encoding, big5Encoding);
    QVERIFY(d.Text.isEmpty());
    // Big5 that happens to be valid UTF-8 as well (聽 is C5 A5) stays Big5,
    // and the note says it could be either.
    d = DecodeScript(big5(QStringLiteral("// 聽\n")));
    QCOMPARE(d.Encoding, big5Encoding);
    QVERIFY(d.Note.contains(QStringLiteral("也可以是Big5")));
    // ASCII alone: LF line ends are taken for a project's UTF-8 file, CR LF
    // for Big5 as ever, and a pragma naming another code page wins.
    QCOMPARE(DecodeScript("A MENU\nBEGIN\nEND\n").Encoding, utf8);
    QCOMPARE(DecodeScript("A MENU\r\nBEGIN\r\nEND\r\n").Encoding, big5Encoding);
    QCOMPARE(DecodeScript("#pragma code_page(950)\nA MENU\n").Encoding, big5Encoding);
    QCOMPARE(DecodeScript("#pragma code_page(65001)\nA MENU\n").Encoding, utf8);
    // The pragma is looked for on lines that begin with #, anywhere in the
    // file, blanks before it allowed, in either case; a # elsewhere on a
    // line, or a # line without it, does not stop the search.
    QCOMPARE(DecodeScript("// a #\r\n#include \"r.h\"\r\n \t# PRAGMA Code_Page( 65001 )\r\nA MENU\r\n").Encoding, utf8);
    QCOMPARE(DecodeScript("X \"#pragma code_page(65001)\"\r\nA MENU\r\n").Encoding, big5Encoding);
    QCOMPARE(DecodeScript("A MENU\n#pragma code_page(950)").Encoding, big5Encoding);
    // One Big5 character anywhere in an otherwise ASCII file with LF ends
    // keeps it Big5: looked at eight bytes at a time, none is missed.
    for (int at = 0; at < 20; ++at)
        QCOMPARE(DecodeScript(std::string(std::size_t(at), 'a') + "\xA4\x40\n" + std::string(std::size_t(at % 9), 'b'))
                     .Encoding,
                 big5Encoding);
    // UTF-8 as the decoder takes it: an overlong form, a surrogate, a code
    // past U+10FFFF and a cut sequence are no UTF-8; the longest forms are.
    const auto asUtf8 = [](const std::string &bytes) {
        return DecodeScript("x " + bytes + " y\n", EncodingChoice::Utf8).Problem.isEmpty();
    };
    QVERIFY(asUtf8("\xE6\xAA\x94\xF0\x9F\x98\x80\xF4\x8F\xBF\xBF\xC2\x80"));
    for (const char *bad : {"\xC0\x80", "\xE0\x80\x80", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xF0\x80\x80\x80",
                            "\xE6\xAA", "\xFF", "\x80"})
        QVERIFY2(!asUtf8(bad), bad);

    // The user's choice wins over the guess.
    QCOMPARE(DecodeScript(chinese, EncodingChoice::Big5).Encoding, big5Encoding);
    QVERIFY(DecodeScript(big5(QStringLiteral("檔案\r\n")), EncodingChoice::Utf8).Problem.contains(
        QStringLiteral("不是有效的UTF-8")));
    d = DecodeScript(std::string("\xEF\xBB\xBF") + chinese, EncodingChoice::Utf8);
    QCOMPARE(d.Encoding, (ScriptEncoding{TextEncoding::Utf8, true}));
    QCOMPARE(d.Text, QStringLiteral("MENUITEM \"檔案\", 1\n"));
    d = DecodeScript(std::string("A\0\n\0", 4), EncodingChoice::Utf16);
    QCOMPARE(d.Encoding, (ScriptEncoding{TextEncoding::Utf16LE, false}));
    QCOMPARE(d.Text, QStringLiteral("A\n"));
    d = DecodeScript(std::string("\xFE\xFF\0A", 4), EncodingChoice::Utf16);
    QCOMPARE(d.Encoding, (ScriptEncoding{TextEncoding::Utf16BE, true}));
    QCOMPARE(d.Text, QStringLiteral("A"));
    QVERIFY(!DecodeScript(std::string("A\0B", 3), EncodingChoice::Big5).Problem.isEmpty());
}

void TestConvertScript::typedPathsReadAsADialogWouldGiveThem()
{
    QCOMPARE(TypedPath(QStringLiteral("  /data/app one/en.rc\r\n")), QStringLiteral("/data/app one/en.rc"));
    QCOMPARE(TypedPath(QStringLiteral("\"/data/app one/en.rc\"")), QStringLiteral("/data/app one/en.rc"));
    QCOMPARE(TypedPath(QStringLiteral("'/data/en.rc'")), QStringLiteral("/data/en.rc"));
    QCOMPARE(TypedPath(QStringLiteral("file:///data/app%20one/%E4%B8%AD.rc")), QStringLiteral("/data/app one/中.rc"));
    QCOMPARE(TypedPath(QStringLiteral("~/en.rc")), QDir::homePath() + QStringLiteral("/en.rc"));
    // Quotes that do not pair, and signs inside, stay for the checks to see.
    QCOMPARE(TypedPath(QStringLiteral("\"/data/en.rc")), QStringLiteral("\"/data/en.rc"));
    QCOMPARE(TypedPath(QStringLiteral("/data/$HOME/@a \"b\".rc")), QStringLiteral("/data/$HOME/@a \"b\".rc"));
    QCOMPARE(TypedPath(QStringLiteral("~user/en.rc")), QStringLiteral("~user/en.rc"));
    QCOMPARE(TypedPath(QStringLiteral("\"")), QStringLiteral("\""));
}

QTEST_GUILESS_MAIN(TestConvertScript)

void TestConvertScript::retargetedLines()
{
    // The English LANGUAGE line and a pragma that names another code page
    // change; the rest of each line, its indent and its blanks stay. Lines
    // that only look alike do not.
    const ScriptEncoding big5{TextEncoding::Cp950, false};
    const ScriptEncoding utf8{TextEncoding::Utf8, false};
    const ScriptEncoding utf16{TextEncoding::Utf16LE, true};
    const QString chinese = QStringLiteral("LANGUAGE LANG_CHINESE, SUBLANG_CHINESE_TRADITIONAL");
    const struct {
        const char *line;
        ScriptEncoding written;
        const char *expected; // nullptr: the line fits
    } cases[] = {
        {"LANGUAGE LANG_ENGLISH, SUBLANG_ENGLISH_US", big5, ""},
        {" \tLANGUAGE\tLANG_ENGLISH ,\tSUBLANG_NEUTRAL // us", big5, " \t@ // us"},
        {"LANGUAGE LANG_ENGLISH, SUBLANG_ENGLISH_US2x", big5, "@x"},
        {"LANGUAGELANG_ENGLISH, SUBLANG_ENGLISH_US", big5, nullptr},
        {"LANGUAGE LANG_ENGLISH, SUBLANG_", big5, nullptr},
        {"LANGUAGE LANG_GERMAN, SUBLANG_GERMAN", big5, nullptr},
        {"language LANG_ENGLISH, SUBLANG_ENGLISH_US", big5, nullptr},
        {"#pragma code_page(1252)", big5, "#pragma code_page(950)"},
        {"  #  PRAGMA\tCode_Page ( 1252 )  // west", utf8, "  #  PRAGMA\tCode_Page ( 65001 )  // west"},
        {"#pragma code_page()", big5, "#pragma code_page(950)"},
        {"#pragma code_page(950)", big5, nullptr},
        {"#pragma code_page(1252)", utf16, nullptr},
        {"#pragma code_page(1252 x)", big5, nullptr},
        {"#pragma code_page 1252", big5, nullptr},
        {"#pragmacode_page(1252)", big5, nullptr},
        {"// #pragma code_page(1252)", big5, nullptr},
    };
    for (const auto &c : cases) {
        const std::optional<QString> got = RetargetedLine(QString::fromUtf8(c.line), c.written);
        if (!c.expected) {
            QVERIFY2(!got, c.line);
            continue;
        }
        QString expected = QString::fromUtf8(c.expected);
        if (expected.isEmpty() || expected.contains(QLatin1Char('@')))
            expected = expected.isEmpty() ? chinese : expected.replace(QLatin1Char('@'), chinese);
        QVERIFY2(got, c.line);
        QCOMPARE(*got, expected);
    }
}

#include "test_convert_script.moc"
