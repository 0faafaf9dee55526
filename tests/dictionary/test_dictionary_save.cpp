#include "dictionary_test_util.h"

#include "dictionary/untranslated.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include "support/filesizelimit.h"
#include <unistd.h>
#endif

using testutil::readBytes;
using testutil::writeBytes;

class TestDictionarySave : public QObject {
    Q_OBJECT
private slots:
    void init();
    void writesChosenTranslations();
    void emptyAndOutOfRangeTables();
    void failedCreateLeavesOldFile_data();
    void failedCreateLeavesOldFile();
    void targetIsFolder();
    void writeFailureLeavesOldFile_data();
    void writeFailureLeavesOldFile();
    void untranslatedPairsAppended_data();
    void untranslatedPairsAppended();

private:
    static DictionaryTables sample();
    QTemporaryDir base;
    QDir dir; // a fresh folder for each test
    int tests = 0;
    const std::string oldBytes = std::string("old\r\n\xC2\xC2\r\n\0tail", 14);
};

void TestDictionarySave::init()
{
    QVERIFY(base.isValid());
    const QString name = QString::number(++tests);
    QVERIFY(QDir(base.path()).mkdir(name));
    dir = QDir(base.filePath(name));
}

DictionaryTables TestDictionarySave::sample()
{
    DictionaryTables t;
    t.EntryTable.assign(2, DS());
    t.EntryTable[0].Source = "&Open";
    t.EntryTable[0].Translations = {"\xB6\x7D\xB1\xD2(&O)", "open"};
    t.EntryTable[0].LastTranslation = 1;
    t.EntryTable[0].Chosen = 1;
    t.EntryTable[1].Source = "Save";
    t.EntryTable[1].Translations = {"Save"};
    t.LastEntry = 1;
    return t;
}

void TestDictionarySave::writesChosenTranslations()
{
    DictionaryTables t = sample();
    const std::int32_t added = t.EntryTable[1].AppendTranslation("\xC0\x78\xA6\x73");
    QCOMPARE(added, 1);
    QCOMPARE(t.EntryTable[1].LastTranslation, 1);
    t.EntryTable[1].Chosen = added;

    const QString path = dir.filePath(QStringLiteral("a b $c @d 'e\".dic"));
    QVERIFY(writeBytes(path, oldBytes));
    const FileResult r = SaveDictionary(path, t);
    QVERIFY2(r.ok, qPrintable(r.error));
    QCOMPARE(readBytes(path), std::string("&Open\r\nopen\r\nSave\r\n\xC0\x78\xA6\x73\r\n"));
    // Nothing but the dictionary is left in the folder.
    QCOMPARE(dir.entryList(QDir::Files | QDir::Hidden).size(), 1);
}

void TestDictionarySave::emptyAndOutOfRangeTables()
{
    const QString path = dir.filePath(QStringLiteral("e.dic"));
    DictionaryTables empty;
    empty.LastEntry = -1;
    empty.EntryTable.clear();
    QVERIFY(SaveDictionary(path, empty).ok);
    QCOMPARE(readBytes(path), std::string());

    // A fill level beyond the table or a chosen slot beyond the translations
    // must not read past either.
    DictionaryTables odd = sample();
    odd.LastEntry = 7;
    odd.EntryTable[1].Chosen = 5;
    QVERIFY(SaveDictionary(path, odd).ok);
    QCOMPARE(readBytes(path), std::string("&Open\r\nopen\r\nSave\r\n\r\n"));

    // The fresh tables: one empty entry, an empty pair.
    QVERIFY(SaveDictionary(path, DictionaryTables()).ok);
    QCOMPARE(readBytes(path), std::string("\r\n\r\n"));
}

// The new file cannot be created: the save fails with a message naming the
// file, and whatever was there stays byte for byte.
void TestDictionarySave::failedCreateLeavesOldFile_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<bool>("needsNonRoot");
    QTest::newRow("folder missing") << QStringLiteral("no such folder/x.dic") << false;
    QTest::newRow("folder is a file") << QStringLiteral("plain/x.dic") << false;
    QTest::newRow("read-only folder") << QStringLiteral("locked/x.dic") << true;
}

void TestDictionarySave::failedCreateLeavesOldFile()
{
    QFETCH(QString, target);
    QFETCH(bool, needsNonRoot);
#ifdef Q_OS_UNIX
    if (needsNonRoot && geteuid() == 0)
        QSKIP("permission bits do not stop the administrator; the other rows cover this");
#endif
    QVERIFY(writeBytes(dir.filePath(QStringLiteral("plain")), oldBytes));
    QVERIFY(dir.mkpath(QStringLiteral("locked")));
    const QString locked = dir.filePath(QStringLiteral("locked/x.dic"));
    QVERIFY(writeBytes(locked, oldBytes));
    QFile::setPermissions(dir.filePath(QStringLiteral("locked")), QFileDevice::ReadOwner | QFileDevice::ExeOwner);

    const QString path = dir.filePath(target);
    const FileResult r = SaveDictionary(path, sample());
    QFile::setPermissions(dir.filePath(QStringLiteral("locked")),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QVERIFY(!r.ok);
    QVERIFY2(r.error.startsWith(QStringLiteral("無法儲存檔案 ") + QDir::toNativeSeparators(path) + QStringLiteral("：")),
             qPrintable(r.error));
    QVERIFY(r.error.size() > QStringLiteral("無法儲存檔案 ：").size() + path.size()); // carries a reason
    QCOMPARE(readBytes(dir.filePath(QStringLiteral("plain"))), oldBytes);
    QCOMPARE(readBytes(locked), oldBytes);
    QCOMPARE(QDir(dir.filePath(QStringLiteral("locked"))).entryList(QDir::Files | QDir::Hidden).size(), 1);
}

// A folder stands where the dictionary should go: it cannot be replaced.
void TestDictionarySave::targetIsFolder()
{
    const QString path = dir.filePath(QStringLiteral("taken.dic"));
    QVERIFY(dir.mkpath(QStringLiteral("taken.dic")));
    QVERIFY(writeBytes(path + QStringLiteral("/inside"), oldBytes));
    const FileResult r = SaveDictionary(path, sample());
    QVERIFY(!r.ok);
    QVERIFY2(r.error.contains(QDir::toNativeSeparators(path)), qPrintable(r.error));
    QVERIFY(QFileInfo(path).isDir());
    QCOMPARE(readBytes(path + QStringLiteral("/inside")), oldBytes);
    QCOMPARE(dir.entryList(QDir::Files | QDir::Hidden).size(), 0);
}

// The disk fills up (here: the file size limit, which also stops the
// administrator) while the new file is written: the old file stays as it
// was, and the reason is said. Small files matter most: every real
// dictionary is a few KiB, which a buffered writer hands over only at the
// very end.
void TestDictionarySave::writeFailureLeavesOldFile_data()
{
    QTest::addColumn<int>("size");  // bytes of the new file
    QTest::addColumn<int>("limit"); // bytes a file may have
    QTest::newRow("30 bytes, no room") << 30 << 0;
    QTest::newRow("4 KiB - 1, no room") << 4095 << 0;
    QTest::newRow("16 KiB - 1, 4 KiB of room") << 16383 << 4096;
    QTest::newRow("16 KiB + 1, 8 KiB of room") << 16385 << 8192;
    QTest::newRow("1.4 MB, 4 KiB of room") << 1400000 << 4096;
}

void TestDictionarySave::writeFailureLeavesOldFile()
{
#ifndef Q_OS_UNIX
    QSKIP("needs a file size limit");
#else
    QFETCH(int, size);
    QFETCH(int, limit);
    // Entries of 28 bytes each (source and translation with their line
    // ends), the last one padded to the size wanted.
    DictionaryTables tables;
    tables.EntryTable.clear();
    int left = size;
    for (int k = 0; left > 0; ++k) {
        DS entry;
        const int take = left >= 56 ? 28 : left;
        std::string source = std::string(std::size_t(take - 4), 'a') + std::to_string(k);
        source.resize(std::size_t(take - 4), 'x');
        entry.Source = source;
        entry.Translations = {std::string()};
        tables.EntryTable.push_back(entry);
        left -= take;
    }
    tables.LastEntry = std::int32_t(tables.EntryTable.size()) - 1;

    const QString path = dir.filePath(QStringLiteral("full.dic"));
    QVERIFY(writeBytes(path, oldBytes));

    FileResult r;
    {
        const FileSizeLimit room{rlim_t(limit)};
        QVERIFY(room.ok());
        r = SaveDictionary(path, tables);
    }
    QVERIFY(!r.ok);
    QCOMPARE(r.error, QStringLiteral("無法儲存檔案 %1：檔案超過系統允許的大小。").arg(QDir::toNativeSeparators(path)));
    QCOMPARE(readBytes(path), oldBytes);
    QCOMPARE(dir.entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("full.dic")});

    // With room again the same save writes every byte.
    QVERIFY(SaveDictionary(path, tables).ok);
    QCOMPARE(qsizetype(readBytes(path).size()), qsizetype(size));
#endif
}

void TestDictionarySave::untranslatedPairsAppended_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("after");
    QTest::addColumn<bool>("completed");
    // New texts "Zoom" and "Close"; "Open" is there already.
    QTest::newRow("pairs") << QByteArray("Open\r\nO\r\n") << QByteArray("Open\r\nO\r\nZoom\r\nZoom\r\nClose\r\nClose\r\n")
                           << false;
    QTest::newRow("LF only, no end") << QByteArray("Open\nO") << QByteArray("Open\nO\r\nZoom\r\nZoom\r\nClose\r\nClose\r\n")
                                     << false;
    // A lone last source would take the first new text as its translation.
    QTest::newRow("lone last source") << QByteArray("Open\r\nO\r\nLone")
                                      << QByteArray("Open\r\nO\r\nLone\r\n\r\nZoom\r\nZoom\r\nClose\r\nClose\r\n") << true;
    QTest::newRow("lone last source among the texts")
        << QByteArray("Open\r\nO\r\nZoom\r\n") << QByteArray("Open\r\nO\r\nZoom\r\nZoom\r\nClose\r\nClose\r\n") << false;
    const QByteArray all("Zoom\r\nZ\r\nClose\r\nC\r\nOpen\r\nO");
    QTest::newRow("nothing new: untouched") << all << all << false;
}

void TestDictionarySave::untranslatedPairsAppended()
{
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, after);
    QFETCH(bool, completed);
    const QString path = dir.filePath(QStringLiteral("d.txt"));
    writeBytes(path, before.toStdString());
    // Each text once; one with a line end in it can be no dictionary line.
    const AddedTexts added = AppendUntranslatedPairs(path, {"Zoom", "Open", "Close", "Zoom", "Bad\rtext"});
    QVERIFY(!added.Refused);
    QCOMPARE(QByteArray::fromStdString(readBytes(path)), after);
    QCOMPARE(added.PairCompleted, completed);
    QCOMPARE(added.Unfit, std::int64_t(1));
    QCOMPARE(added.Added.empty(), before == after);
}

QTEST_GUILESS_MAIN(TestDictionarySave)
#include "test_dictionary_save.moc"
