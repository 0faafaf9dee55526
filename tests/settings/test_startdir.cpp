#include "platform/codepage.h"
#include "settings/settings.h"
#include "settings/startdir.h"

#include <QTest>

class TestStartDir : public QObject {
    Q_OBJECT
private slots:
    void init() { RegDat = TRegDat{}; }

    void chooseInitialDir_data();
    void chooseInitialDir();
    void folderPartHere_data();
    void folderPartHere();
    void folderPartWindows_data();
    void folderPartWindows();
    void folderPartBig5TrailByte();
};

void TestStartDir::chooseInitialDir_data()
{
    QTest::addColumn<bool>("useCustom");
    QTest::addColumn<QString>("custom");
    QTest::addColumn<QString>("lastUsed");
    QTest::addColumn<QString>("expected");
    const QString before = QStringLiteral("/from/last/time");
    const QString custom = QStringLiteral("/custom/字典");
    const QString used = QStringLiteral("/last/used");
    QTest::newRow("custom set") << true << custom << used << custom;
    QTest::newRow("custom empty keeps dialog's") << true << QString() << used << before;
    QTest::newRow("custom empty, nothing used") << true << QString() << QString() << before;
    QTest::newRow("last used") << false << custom << used << used;
    QTest::newRow("last used empty clears") << false << custom << QString() << QString();
}

void TestStartDir::chooseInitialDir()
{
    QFETCH(bool, useCustom);
    QFETCH(QString, custom);
    QFETCH(QString, lastUsed);
    QFETCH(QString, expected);
    RegDat.UseCustomDefaultPath = useCustom;
    QString initialDir = QStringLiteral("/from/last/time");
    ChooseInitialDir(initialDir, custom, lastUsed);
    QCOMPARE(initialDir, expected);
}

void TestStartDir::folderPartHere_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("folder");
    QTest::newRow("root") << QStringLiteral("/a.rc") << QStringLiteral("/");
    QTest::newRow("sub-folder") << QStringLiteral("/x/a.rc") << QStringLiteral("/x");
    QTest::newRow("deep, blanks") << QStringLiteral("/home/my files/$x/@y/a b.rc")
                                  << QStringLiteral("/home/my files/$x/@y");
    QTest::newRow("Chinese") << QStringLiteral("/翻譯/許功蓋/中文.rc") << QStringLiteral("/翻譯/許功蓋");
    QTest::newRow("backslash is a name character") << QStringLiteral("/x/a\\b.rc") << QStringLiteral("/x");
    QTest::newRow("no folder") << QStringLiteral("a.rc") << QString();
    QTest::newRow("empty") << QString() << QString();
}

void TestStartDir::folderPartHere()
{
    QFETCH(QString, path);
    QFETCH(QString, folder);
    QCOMPARE(FolderPart(path, u"/"), folder);
#ifndef Q_OS_WIN
    QCOMPARE(FolderPart(path), folder);
#endif
}

void TestStartDir::folderPartWindows_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("folder");
    QTest::newRow("drive root") << QStringLiteral("C:\\a.rc") << QStringLiteral("C:\\");
    QTest::newRow("sub-folder") << QStringLiteral("C:\\x\\a.rc") << QStringLiteral("C:\\x");
    QTest::newRow("deep") << QStringLiteral("D:\\Program Files\\Tools\\en.rc")
                          << QStringLiteral("D:\\Program Files\\Tools");
    QTest::newRow("forward slashes") << QStringLiteral("C:/x/a.rc") << QStringLiteral("C:/x");
    QTest::newRow("drive-relative") << QStringLiteral("C:a.rc") << QStringLiteral("C:");
    QTest::newRow("root of current drive") << QStringLiteral("\\a.rc") << QStringLiteral("\\");
    QTest::newRow("network share") << QStringLiteral("\\\\server\\share\\a.rc")
                                   << QStringLiteral("\\\\server\\share");
    QTest::newRow("許 in folder") << QStringLiteral("C:\\許\\a.rc") << QStringLiteral("C:\\許");
    QTest::newRow("許 ends the name") << QStringLiteral("C:\\x\\許") << QStringLiteral("C:\\x");
}

void TestStartDir::folderPartWindows()
{
    QFETCH(QString, path);
    QFETCH(QString, folder);
    QCOMPARE(FolderPart(path, u"\\/:"), folder);
#ifdef Q_OS_WIN
    QCOMPARE(FolderPart(path), folder);
#endif
}

void TestStartDir::folderPartBig5TrailByte()
{
    // 許 is B3 5C in code page 950: its second byte is a backslash byte.
    const std::string bytes = "C:\\\xB3\x5C";
    const QString path = cp950::decode(bytes + "\\\xB3\x5C.rc");
    QCOMPARE(path, QStringLiteral("C:\\許\\許.rc"));
    const auto folder = cp950::encode(FolderPart(path, u"\\/:"));
    QVERIFY(folder.has_value());
    QCOMPARE(*folder, bytes);
    // A name ending in 許 right under the root does not lose its last byte.
    QCOMPARE(*cp950::encode(FolderPart(cp950::decode("C:\\\xB3\x5C"), u"\\/:")), std::string("C:\\"));
}

QTEST_GUILESS_MAIN(TestStartDir)
#include "test_startdir.moc"
