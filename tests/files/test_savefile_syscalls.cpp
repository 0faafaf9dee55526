// The save primitive's last steps, seen through the interposing library of
// syscallfaults.h: a flush to the disk or a close that fails leaves the old
// file and no temporary file, and says why; the new file is flushed and
// closed before it takes the target's place.

#include "files/savefile.h"
#include "syscallfaults.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

class TestSaveFileSyscalls : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void failedLastStepKeepsOldFile_data();
    void failedLastStepKeepsOldFile();
    void flushedAndClosedBeforeRename();

private:
    QByteArray read(const QString &path) const;
    QStringList files() const { return QDir(dir->path()).entryList(QDir::Files | QDir::Hidden | QDir::System); }
    // Watches the temporary files of a save of `name` in the test folder.
    void watchSavesOf(const QString &name);
    std::unique_ptr<QTemporaryDir> dir;
};

void TestSaveFileSyscalls::init()
{
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
}

void TestSaveFileSyscalls::cleanup()
{
    SyscallFaultsWatch(nullptr);
}

QByteArray TestSaveFileSyscalls::read(const QString &path) const
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArrayLiteral("<unreadable>");
}

void TestSaveFileSyscalls::watchSavesOf(const QString &name)
{
    const QByteArray folder = QFile::encodeName(QFileInfo(dir->path()).canonicalFilePath());
    SyscallFaultsWatch((folder + "/." + QFile::encodeName(name) + '.').constData());
}

void TestSaveFileSyscalls::failedLastStepKeepsOldFile_data()
{
    QTest::addColumn<bool>("failFsync");
    QTest::addColumn<bool>("existed");
    QTest::newRow("fsync fails, old file") << true << true;
    QTest::newRow("close fails, old file") << false << true;
    QTest::newRow("fsync fails, new file") << true << false;
    QTest::newRow("close fails, new file") << false << false;
}

// Each fault would otherwise pass for a good save, or leave the target
// replaced by a file whose contents never reached the disk.
void TestSaveFileSyscalls::failedLastStepKeepsOldFile()
{
    QFETCH(bool, failFsync);
    QFETCH(bool, existed);
    const QString target = dir->filePath(QStringLiteral("shared.dic"));
    const QByteArray old("source\r\n譯文\r\n");
    if (existed)
        QVERIFY(SaveBytes(target, std::string_view(old.constData(), std::size_t(old.size()))).ok);

    watchSavesOf(QStringLiteral("shared.dic"));
    if (failFsync)
        SyscallFaultsFailFsync(1);
    else
        SyscallFaultsFailClose(1);
    const FileResult r = SaveBytes(target, "new\r\n");
    SyscallFaultsWatch(nullptr);

    QVERIFY(!r.ok);
    QCOMPARE(r.error, QStringLiteral("無法儲存檔案 %1：磁碟讀寫錯誤。").arg(target));
    if (existed) {
        QCOMPARE(read(target), old);
        QCOMPARE(files(), QStringList{QStringLiteral("shared.dic")});
    } else {
        QCOMPARE(files(), QStringList());
    }
}

void TestSaveFileSyscalls::flushedAndClosedBeforeRename()
{
    const QString target = dir->filePath(QStringLiteral("shared.dic"));
    QVERIFY(SaveBytes(target, "old\r\n").ok);
    watchSavesOf(QStringLiteral("shared.dic"));
    QVERIFY(SaveBytes(target, "new\r\n").ok);
    int synced = 0, closed = 0;
    QVERIFY(SyscallFaultsRenamed(&synced, &closed));
    QCOMPARE(SyscallFaultsSyncCalls(), 1);
    QVERIFY2(synced, "renamed before its contents were flushed to the disk");
    QVERIFY2(closed, "renamed while still open");
    QCOMPARE(read(target), QByteArray("new\r\n"));
}

QTEST_GUILESS_MAIN(TestSaveFileSyscalls)
#include "test_savefile_syscalls.moc"
