#include "settings/settings.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <memory>

#ifdef Q_OS_UNIX
#include "support/filesizelimit.h"
#endif

// Each case gets a config folder of its own, so the store starts from nothing.
class TestSettings : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void firstRunCreatesEmptyStore();
    void extensionFallbacks_data();
    void extensionFallbacks();
    void flagsAreCaseSensitive();
    void numbers_data();
    void numbers();
    void badValueStopsLoadThere_data();
    void badValueStopsLoadThere();
    void storeThatCannotBeCreated();
    void saveWritesTextForms();
    void roundTripKeepsEveryValue();
    void saveDoesNotApplyFallbacks();
    void failedSaveKeepsOldStore();
    void saveWritesThroughLink();
    void workDirectoryEndsInSeparator();

private:
    QString storeFile() const { return configDir->path() + QStringLiteral("/Tavisorn/Tavisorn.ini"); }
    void writeStore(const QByteArray &lines);
    QByteArray readStore() const;

    std::unique_ptr<QTemporaryDir> configDir;
};

void TestSettings::init()
{
    configDir = std::make_unique<QTemporaryDir>();
    QVERIFY(configDir->isValid());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(configDir->path()));
    RegDat = TRegDat{};
    DictionaryFilter.clear();
}

void TestSettings::cleanup()
{
    configDir.reset();
}

void TestSettings::writeStore(const QByteArray &lines)
{
    QVERIFY(QDir().mkpath(configDir->path() + QStringLiteral("/Tavisorn")));
    QFile file(storeFile());
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("[General]\n" + lines);
}

QByteArray TestSettings::readStore() const
{
    QFile file(storeFile());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void TestSettings::firstRunCreatesEmptyStore()
{
    const SettingsResult result = StartSettings();
    QVERIFY2(result.ok, qPrintable(result.error));
    QVERIFY(QFileInfo(storeFile()).isFile());
    QCOMPARE(readStore(), QByteArray());
    QCOMPARE(RegDat.PerlPath, QString());
    QCOMPARE(RegDat.UserFont, QString());
    QCOMPARE(RegDat.DictLUPath, QString());
    QCOMPARE(RegDat.NewVerTranlatedRCDefPath, QString());
    QCOMPARE(RegDat.ChangeFontFace, false);
    QCOMPARE(RegDat.InsertSpace, false);
    QCOMPARE(RegDat.UseCustomDefaultPath, false);
    QCOMPARE(RegDat.UserSize, 9);
    QCOMPARE(RegDat.NoOfLines, std::uint8_t(3));
    QCOMPARE(RegDat.DicExt, QStringLiteral("txt"));
    QCOMPARE(RegDat.DicExtDescription, QStringLiteral("文字檔 (*.txt)"));
    QCOMPARE(DictionaryFilter, QStringLiteral("文字檔 (*.txt)|*.txt|所有檔案 (*.*)|*.*"));
}

void TestSettings::extensionFallbacks_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QString>("ext");
    QTest::addColumn<QString>("description");
    QTest::newRow("description missing") << QByteArray("DicExt=dic\n") << QStringLiteral("dic")
                                         << QStringLiteral("dic");
    QTest::newRow("extension missing") << QByteArray("DicExtDescription=字典檔 (*.dic)\n")
                                       << QStringLiteral("txt") << QStringLiteral("文字檔 (*.txt)");
    QTest::newRow("both empty") << QByteArray("DicExt=\nDicExtDescription=\n") << QStringLiteral("txt")
                                << QStringLiteral("文字檔 (*.txt)");
    QTest::newRow("both stored") << QByteArray("DicExt=dic\nDicExtDescription=字典檔 (*.dic)\n")
                                 << QStringLiteral("dic") << QStringLiteral("字典檔 (*.dic)");
}

void TestSettings::extensionFallbacks()
{
    QFETCH(QByteArray, stored);
    QFETCH(QString, ext);
    QFETCH(QString, description);
    writeStore(stored);
    QVERIFY(LoadSettings().ok);
    QCOMPARE(RegDat.DicExt, ext);
    QCOMPARE(RegDat.DicExtDescription, description);
    QCOMPARE(DictionaryFilter, description + QStringLiteral("|*.") + ext + QStringLiteral("|所有檔案 (*.*)|*.*"));
}

void TestSettings::flagsAreCaseSensitive()
{
    writeStore("ChangeFontFace=true\nUseCustomDefaultPath=TRUE\nInsertSpace=True\n");
    QVERIFY(LoadSettings().ok);
    QCOMPARE(RegDat.ChangeFontFace, false);
    QCOMPARE(RegDat.UseCustomDefaultPath, false);
    QCOMPARE(RegDat.InsertSpace, true);
}

void TestSettings::numbers_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<int>("userSize");
    QTest::addColumn<int>("lines");
    QTest::newRow("plain") << QByteArray("UserSize=12\nNoOfLines=2\n") << 12 << 2;
    QTest::newRow("low 8 bits") << QByteArray("UserSize=9\nNoOfLines=260\n") << 9 << 4;
    QTest::newRow("negative lines wrap") << QByteArray("NoOfLines=-1\n") << 9 << 255;
    QTest::newRow("empty keeps defaults") << QByteArray("UserSize=\nNoOfLines=\n") << 9 << 3;
    QTest::newRow("negative size") << QByteArray("UserSize=-11\n") << -11 << 3;
}

void TestSettings::numbers()
{
    QFETCH(QByteArray, stored);
    QFETCH(int, userSize);
    QFETCH(int, lines);
    writeStore(stored);
    const SettingsResult result = LoadSettings();
    QVERIFY2(result.ok, qPrintable(result.error));
    QCOMPARE(RegDat.UserSize, userSize);
    QCOMPARE(int(RegDat.NoOfLines), lines);
}

void TestSettings::badValueStopsLoadThere_data()
{
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QString>("valueName");
    // UserFont is read before the numbers, DicExt after them.
    QTest::newRow("size not a number") << QByteArray("UserSize=abc\n") << QStringLiteral("UserSize");
    QTest::newRow("lines too large") << QByteArray("NoOfLines=99999999999\n") << QStringLiteral("NoOfLines");
    QTest::newRow("lines with unit") << QByteArray("NoOfLines=3 lines\n") << QStringLiteral("NoOfLines");
    QTest::newRow("size as list") << QByteArray("UserSize=9,10\n") << QStringLiteral("UserSize");
    QTest::newRow("size as variant") << QByteArray("UserSize=@Variant(\\0\\0\\0\\x2\\0\\0\\0\\t)\n")
                                     << QStringLiteral("UserSize");
    QTest::newRow("font as byte array") << QByteArray("UserFont=@ByteArray(abc)\nUserSize=12\n")
                                        << QStringLiteral("UserFont");
}

void TestSettings::badValueStopsLoadThere()
{
    QFETCH(QByteArray, stored);
    QFETCH(QString, valueName);
    writeStore("PerlPath=/usr/bin/perl\nInsertSpace=True\nDicExt=dic\n" + stored);
    const SettingsResult result = LoadSettings();
    QVERIFY(!result.ok);
    QVERIFY2(result.error.contains(QLatin1Char('"') + valueName + QLatin1Char('"')), qPrintable(result.error));
    // Values read before the bad one are taken, the rest keep what they held.
    QCOMPARE(RegDat.PerlPath, QStringLiteral("/usr/bin/perl"));
    QCOMPARE(RegDat.InsertSpace, true);
    QCOMPARE(RegDat.DicExt, QStringLiteral("txt"));
    QCOMPARE(RegDat.NoOfLines, std::uint8_t(3));
    QCOMPARE(DictionaryFilter, QString());
}

void TestSettings::storeThatCannotBeCreated()
{
    // A config folder below a plain file cannot be made, not even by root.
    QFile blocker(configDir->path() + QStringLiteral("/plain"));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(blocker.fileName() + QStringLiteral("/config")));

    const QString expected = QStringLiteral("無法建立登錄: \"\\Software\\Tavisorn\"");
    const SettingsResult start = StartSettings();
    QVERIFY(!start.ok);
    QCOMPARE(start.error, expected);
    QCOMPARE(start.error.toUtf8(), QByteArray("\xE7\x84\xA1\xE6\xB3\x95\xE5\xBB\xBA\xE7\xAB\x8B\xE7\x99\xBB"
                                              "\xE9\x8C\x84: \"\\Software\\Tavisorn\""));
    QCOMPARE(RegDat.ChangeFontFace, true);
    QCOMPARE(RegDat.UserFont, QStringLiteral("新細明體"));
    QCOMPARE(DictionaryFilter, QString());

    RegDat.PerlPath = QStringLiteral("/usr/bin/perl");
    const SettingsResult save = SaveSettings();
    QVERIFY(!save.ok);
    QCOMPARE(save.error, expected);
    QCOMPARE(RegDat.PerlPath, QStringLiteral("/usr/bin/perl"));
}

void TestSettings::saveWritesTextForms()
{
    RegDat.InsertSpace = true;
    RegDat.UserSize = -12;
    RegDat.NoOfLines = 200;
    QVERIFY(SaveSettings().ok);
    QSettings store(storeFile(), QSettings::IniFormat);
    QCOMPARE(store.allKeys().size(), qsizetype(19));
    QCOMPARE(store.value(QStringLiteral("InsertSpace")), QVariant(QStringLiteral("True")));
    QCOMPARE(store.value(QStringLiteral("ChangeFontFace")), QVariant(QStringLiteral("True")));
    QCOMPARE(store.value(QStringLiteral("UseCustomDefaultPath")), QVariant(QStringLiteral("False")));
    QCOMPARE(store.value(QStringLiteral("UserSize")), QVariant(QStringLiteral("-12")));
    QCOMPARE(store.value(QStringLiteral("NoOfLines")), QVariant(QStringLiteral("200")));
    QCOMPARE(store.value(QStringLiteral("PerlPath")), QVariant(QString()));
    QCOMPARE(store.value(QStringLiteral("NewVerTranlatedRCDefPath")), QVariant(QString()));
}

void TestSettings::roundTripKeepsEveryValue()
{
    const QString awkward[] = {
        QStringLiteral("C:\\Program Files\\Perl\\bin\\perl.exe"),
        QStringLiteral("/home/使用者/許功蓋/字典"),
        QStringLiteral("a, b, c"),
        QStringLiteral("  blanks around  "),
        QStringLiteral("\"quoted\" and 'single'"),
        QStringLiteral("@Variant(not really)"),
        QStringLiteral("@ByteArray(x)"),
        QStringLiteral("semi;colon=equals#hash[section]"),
        QStringLiteral("tab\there\nnew line"),
        QStringLiteral("$HOME/@dir/%PATH%"),
        QString(QChar(0x10FF)) + QString::fromUcs4(U"\U0010FF81"),
    };
    TRegDat saved;
    saved.PerlPath = awkward[0];
    saved.SourceRCDefPath = awkward[1];
    saved.DestRCDefPath = awkward[2];
    saved.DictDefPath = awkward[3];
    saved.NewVerRCDefPath = awkward[4];
    saved.NewVerTranlatedRCDefPath = awkward[5];
    saved.SourceRCLUPath = awkward[6];
    saved.DestRCLUPath = awkward[7];
    saved.DictLUPath = awkward[8];
    saved.NewRCPath = awkward[9];
    saved.NewRCTransLUPath = awkward[10];
    saved.DicExt = QStringLiteral("dic");
    saved.DicExtDescription = QStringLiteral("字典檔, 舊版 (*.dic)");
    saved.UserFont = QStringLiteral("標楷體");
    saved.UserSize = 14;
    saved.NoOfLines = 1;
    saved.ChangeFontFace = false;
    saved.InsertSpace = true;
    saved.UseCustomDefaultPath = true;

    RegDat = saved;
    QVERIFY(SaveSettings().ok);
    RegDat = TRegDat{};
    QVERIFY(LoadSettings().ok);
    const auto compare = [](const TRegDat &a, const TRegDat &b) {
        QCOMPARE(a.PerlPath, b.PerlPath);
        QCOMPARE(a.ChangeFontFace, b.ChangeFontFace);
        QCOMPARE(a.InsertSpace, b.InsertSpace);
        QCOMPARE(a.UseCustomDefaultPath, b.UseCustomDefaultPath);
        QCOMPARE(a.SourceRCDefPath, b.SourceRCDefPath);
        QCOMPARE(a.DestRCDefPath, b.DestRCDefPath);
        QCOMPARE(a.DictDefPath, b.DictDefPath);
        QCOMPARE(a.NewVerRCDefPath, b.NewVerRCDefPath);
        QCOMPARE(a.NewVerTranlatedRCDefPath, b.NewVerTranlatedRCDefPath);
        QCOMPARE(a.SourceRCLUPath, b.SourceRCLUPath);
        QCOMPARE(a.DestRCLUPath, b.DestRCLUPath);
        QCOMPARE(a.DictLUPath, b.DictLUPath);
        QCOMPARE(a.NewRCPath, b.NewRCPath);
        QCOMPARE(a.NewRCTransLUPath, b.NewRCTransLUPath);
        QCOMPARE(a.DicExt, b.DicExt);
        QCOMPARE(a.DicExtDescription, b.DicExtDescription);
        QCOMPARE(a.UserFont, b.UserFont);
        QCOMPARE(a.UserSize, b.UserSize);
        QCOMPARE(a.NoOfLines, b.NoOfLines);
    };
    compare(RegDat, saved);
    QCOMPARE(DictionaryFilter, QStringLiteral("字典檔, 舊版 (*.dic)|*.dic|所有檔案 (*.*)|*.*"));

    // Saving what was loaded gives the same store again.
    const QByteArray first = readStore();
    QVERIFY(SaveSettings().ok);
    QCOMPARE(readStore(), first);
    RegDat = TRegDat{};
    QVERIFY(LoadSettings().ok);
    compare(RegDat, saved);
}

void TestSettings::saveDoesNotApplyFallbacks()
{
    RegDat.DicExt.clear();
    RegDat.DicExtDescription = QStringLiteral("空的");
    DictionaryFilter = QStringLiteral("unchanged");
    QVERIFY(SaveSettings().ok);
    QCOMPARE(RegDat.DicExt, QString());
    QCOMPARE(DictionaryFilter, QStringLiteral("unchanged"));
    QSettings store(storeFile(), QSettings::IniFormat);
    QCOMPARE(store.value(QStringLiteral("DicExt")), QVariant(QString()));
    QCOMPARE(store.value(QStringLiteral("DicExtDescription")), QVariant(QStringLiteral("空的")));
}

void TestSettings::failedSaveKeepsOldStore()
{
#ifdef Q_OS_UNIX
    RegDat.PerlPath = QStringLiteral("/old/perl");
    QVERIFY(SaveSettings().ok);
    const QByteArray before = readStore();
    QVERIFY(before.contains("/old/perl"));

    // A disk that fills up half way through the new store: files may not grow
    // beyond 4 KiB (a limit that binds root too) and the new store is larger.
    RegDat.PerlPath = QStringLiteral("/new/") + QString(6000, QLatin1Char('p'));
    SettingsResult result;
    {
        const FileSizeLimit room(4096);
        QVERIFY(room.ok());
        result = SaveSettings();
    }
    QVERIFY(!result.ok);
    // The store's name and the reason follow on a line of their own.
    QVERIFY2(result.error.startsWith(QStringLiteral("無法寫入登錄: \"\\Software\\Tavisorn\"\n")
                                      + QDir::toNativeSeparators(storeFile()) + QStringLiteral("：")),
             qPrintable(result.error));
    QCOMPARE(readStore(), before);
    QVERIFY(RegDat.PerlPath.startsWith(QStringLiteral("/new/")));
    // No temporary file is left beside the store.
    QCOMPARE(QDir(configDir->path() + QStringLiteral("/Tavisorn")).entryList(QDir::Files),
             QStringList{QStringLiteral("Tavisorn.ini")});

    // With room again the same save goes through.
    QVERIFY(SaveSettings().ok);
    QVERIFY(readStore().contains("/new/ppp"));
#else
    QSKIP("needs a file size limit");
#endif
}

// A store kept elsewhere and linked into the config folder (dotfiles under
// version control): the save changes the file linked to, the link stays.
void TestSettings::saveWritesThroughLink()
{
#ifdef Q_OS_UNIX
    const QString real = configDir->path() + QStringLiteral("/dotfiles/Tavisorn.ini");
    QVERIFY(QDir().mkpath(configDir->path() + QStringLiteral("/dotfiles")));
    QVERIFY(QDir().mkpath(configDir->path() + QStringLiteral("/Tavisorn")));
    QVERIFY(QFile::link(real, storeFile()));
    RegDat.PerlPath = QStringLiteral("/linked/perl");
    const SettingsResult result = SaveSettings();
    QVERIFY2(result.ok, qPrintable(result.error));
    QVERIFY(QFileInfo(storeFile()).isSymLink());
    QFile file(real);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll().contains("/linked/perl"));
    RegDat = TRegDat{};
    QVERIFY(LoadSettings().ok);
    QCOMPARE(RegDat.PerlPath, QStringLiteral("/linked/perl"));
#else
    QSKIP("symbolic links are a POSIX matter here");
#endif
}

void TestSettings::workDirectoryEndsInSeparator()
{
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(configDir->path()));
    StartSettings();
    QCOMPARE(WorkDirectory, QDir::toNativeSeparators(configDir->path()) + QDir::separator());
    QVERIFY(QDir::setCurrent(QStringLiteral("/")));
    StartSettings();
    QCOMPARE(WorkDirectory, QDir::toNativeSeparators(QDir::rootPath()));
    QVERIFY(QDir::setCurrent(previous));
}

QTEST_GUILESS_MAIN(TestSettings)
#include "test_settings.moc"
