// What a save does to targets that are not a plain new file: an existing
// file's permissions, symbolic links, pipes, devices, folders and sockets.

#include "files/readfile.h"
#include "files/savefile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/wait.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

class TestSaveFile : public QObject {
    Q_OBJECT
private slots:
    void init();
    void replacedFileKeepsPermissions();
    void writesThroughSymbolicLinks();
    void streamsAreWrittenStraightInto();
    void pipeNobodyReadsFails();
    void refusesWhatCannotBeReplaced();
    void leftoversOfKilledSavesGo();
    void folderThatTakesNoFilesSaysSo();
    void scratchFilesSayWhyTheyFail();
    void mappedFilesHoldTheirBytes();

private:
    QByteArray read(const QString &path) const;
    std::unique_ptr<QTemporaryDir> dir;
    QString at(const QString &name) const { return dir->filePath(name); }
};

void TestSaveFile::init()
{
    dir = std::make_unique<QTemporaryDir>();
    QVERIFY(dir->isValid());
}

QByteArray TestSaveFile::read(const QString &path) const
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArrayLiteral("<unreadable>");
}

void TestSaveFile::replacedFileKeepsPermissions()
{
    const QString path = at(QStringLiteral("shared.dic"));
    QVERIFY(SaveBytes(path, "old").ok);
    QCOMPARE(::chmod(QFile::encodeName(path).constData(), 0640), 0);
    QVERIFY(SaveBytes(path, "new").ok);
    struct stat st {};
    QCOMPARE(::stat(QFile::encodeName(path).constData(), &st), 0);
    QCOMPARE(st.st_mode & 07777, mode_t(0640));
    QCOMPARE(read(path), QByteArray("new"));
    QCOMPARE(QDir(dir->path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("shared.dic")});
}

// The file linked to gets the new text and the link stays a link, also when
// it points to a file not made yet.
void TestSaveFile::writesThroughSymbolicLinks()
{
    QVERIFY(QDir(dir->path()).mkdir(QStringLiteral("real")));
    const QString real = at(QStringLiteral("real/dict.txt"));
    QVERIFY(SaveBytes(real, "old").ok);
    const QString link = at(QStringLiteral("link.txt"));
    QCOMPARE(::symlink("real/dict.txt", QFile::encodeName(link).constData()), 0);
    const QString chained = at(QStringLiteral("chained.txt"));
    QVERIFY(QFile::link(link, chained));

    QVERIFY(SaveBytes(chained, "new").ok);
    QVERIFY(QFileInfo(link).isSymLink());
    QVERIFY(QFileInfo(chained).isSymLink());
    QCOMPARE(read(real), QByteArray("new"));

    const QString dangling = at(QStringLiteral("dangling.txt"));
    QCOMPARE(::symlink("real/later.txt", QFile::encodeName(dangling).constData()), 0);
    QVERIFY(SaveBytes(dangling, "made").ok);
    QVERIFY(QFileInfo(dangling).isSymLink());
    QCOMPARE(read(at(QStringLiteral("real/later.txt"))), QByteArray("made"));
}

// A pipe with a reader and /dev/null take the text as it is written; they
// stay what they are.
void TestSaveFile::streamsAreWrittenStraightInto()
{
    const QByteArray fifo = QFile::encodeName(at(QStringLiteral("pipe")));
    QCOMPARE(::mkfifo(fifo.constData(), 0600), 0);
    const int reader = ::open(fifo.constData(), O_RDONLY | O_NONBLOCK);
    QVERIFY(reader >= 0);
    const FileResult piped = SaveBytes(FileName::fromNative(fifo), "a\r\nb\r\n");
    QVERIFY2(piped.ok, qPrintable(piped.error));
    char buffer[64] = {};
    const ssize_t n = ::read(reader, buffer, sizeof buffer);
    ::close(reader);
    QCOMPARE(QByteArray(buffer, int(n)), QByteArray("a\r\nb\r\n"));
    struct stat st {};
    QCOMPARE(::stat(fifo.constData(), &st), 0);
    QVERIFY(S_ISFIFO(st.st_mode));

    QVERIFY(SaveBytes(QStringLiteral("/dev/null"), "x").ok);
    QCOMPARE(::stat("/dev/null", &st), 0);
    QVERIFY(S_ISCHR(st.st_mode));
}

// Nobody reads the pipe: the save says so at once instead of waiting.
void TestSaveFile::pipeNobodyReadsFails()
{
    const QString fifo = at(QStringLiteral("lonely"));
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const FileResult r = SaveBytes(fifo, "x");
    QVERIFY(!r.ok);
    QCOMPARE(r.error, QStringLiteral("無法儲存檔案 %1：沒有程式在讀取這個管道。").arg(fifo));
}

void TestSaveFile::refusesWhatCannotBeReplaced()
{
    const QString folder = at(QStringLiteral("folder.dic"));
    QVERIFY(QDir(dir->path()).mkdir(QStringLiteral("folder.dic")));
    FileResult r = SaveBytes(folder, "x");
    QCOMPARE(r.error, QStringLiteral("無法儲存檔案 %1：這是一個資料夾。").arg(folder));
    QVERIFY(QFileInfo(folder).isDir());

    const QByteArray socketPath = QFile::encodeName(at(QStringLiteral("s")));
    const int s = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    QVERIFY(std::size_t(socketPath.size()) < sizeof address.sun_path);
    std::memcpy(address.sun_path, socketPath.constData(), std::size_t(socketPath.size()));
    QCOMPARE(::bind(s, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
    r = SaveBytes(FileName::fromNative(socketPath), "x");
    ::close(s);
    QVERIFY(!r.ok);
    QCOMPARE(r.error, QStringLiteral("無法儲存檔案 %1：這不是一般檔案，不能取代。").arg(QFile::decodeName(socketPath)));
    struct stat st {};
    QCOMPARE(::lstat(socketPath.constData(), &st), 0);
    QVERIFY(S_ISSOCK(st.st_mode));
    QCOMPARE(QDir(dir->path()).entryList(QDir::Files | QDir::Hidden | QDir::System).size(), 1);
}

// A save that was killed leaves its temporary file; the next save of the
// same target removes it, but neither the file of a save still running nor
// a young one nor one that only looks like ours.
void TestSaveFile::leftoversOfKilledSavesGo()
{
    const QString target = at(QStringLiteral("shared.dic"));
    QVERIFY(SaveBytes(target, "old").ok);
    const auto hidden = [this] {
        QStringList names = QDir(dir->path()).entryList(QDir::Files | QDir::Hidden);
        names.removeAll(QStringLiteral("shared.dic"));
        return names;
    };
    const auto age = [this](const QString &name) {
        const timespec times[2] = {{std::time(nullptr) - 2 * StaleTemporaryAge, 0}, {std::time(nullptr) - 2 * StaleTemporaryAge, 0}};
        return ::utimensat(AT_FDCWD, QFile::encodeName(at(name)).constData(), times, 0) == 0;
    };

    const pid_t child = ::fork();
    if (child == 0) {
        SaveFile killed(target);
        _exit(killed.open() && killed.write("half") ? 0 : 1);
    }
    int status = 0;
    QCOMPARE(::waitpid(child, &status, 0), child);
    QCOMPARE(status, 0);
    const QStringList leftover = hidden();
    QCOMPARE(leftover.size(), qsizetype(1));
    QVERIFY(age(leftover.first()));

    SaveFile running(target);
    QVERIFY(running.open());
    QVERIFY(running.write("running"));
    QStringList others = hidden();
    others.removeAll(leftover.first());
    QCOMPARE(others.size(), qsizetype(1));
    const QString runningTemporary = others.first();
    QVERIFY(age(runningTemporary));

    const QString young = QStringLiteral(".shared.dic.Ab12Cd");
    const QString word = QStringLiteral(".shared.dic.backup");
    QVERIFY(QFile(at(young)).open(QIODevice::WriteOnly));
    QVERIFY(QFile(at(word)).open(QIODevice::WriteOnly));
    QVERIFY(age(word));

    QVERIFY(SaveBytes(target, "new").ok);
    QStringList kept = hidden();
    kept.sort();
    QStringList expected{runningTemporary, young, word};
    expected.sort();
    QCOMPARE(kept, expected);
    QVERIFY(running.commit());
    QCOMPARE(read(target), QByteArray("running"));
}

// /proc exists but makes no files: "no such file" there is no missing folder.
void TestSaveFile::folderThatTakesNoFilesSaysSo()
{
#ifndef Q_OS_LINUX
    QSKIP("/proc is Linux's");
#endif
    QCOMPARE(SaveBytes(QStringLiteral("/proc/forbidden.txt"), "x").error,
             QStringLiteral("無法儲存檔案 /proc/forbidden.txt：這個資料夾不能建立新檔案。"));
    const QString missing = at(QStringLiteral("none/d.txt"));
    QCOMPARE(SaveBytes(missing, "x").error, QStringLiteral("無法儲存檔案 %1：資料夾不存在。").arg(missing));
}

void TestSaveFile::scratchFilesSayWhyTheyFail()
{
    // Written whole, an old file replaced; a full device, a missing folder
    // and a folder in the way each give their reason as a save does.
    const QString copy = at(QStringLiteral("copy.rc"));
    QVERIFY(SaveBytes(copy, "old and longer").ok);
    QVERIFY(WriteScratchFile(copy, "new").ok);
    QCOMPARE(read(copy), QByteArray("new"));
    if (QFileInfo::exists(QStringLiteral("/dev/full")))
        QCOMPARE(WriteScratchFile(QStringLiteral("/dev/full"), "x").error,
                 QStringLiteral("無法儲存檔案 /dev/full：磁碟空間不足。"));
    const QString missing = at(QStringLiteral("none/copy.rc"));
    QCOMPARE(WriteScratchFile(missing, "x").error, QStringLiteral("無法儲存檔案 %1：資料夾不存在。").arg(missing));
    QVERIFY(!WriteScratchFile(dir->path(), "x").ok);
}

void TestSaveFile::mappedFilesHoldTheirBytes()
{
    // A file's every byte, NUL and high bytes among them; an empty file;
    // and what is not a file of limited size says why.
    QByteArray bytes(100000, '\0');
    for (int i = 0; i < bytes.size(); ++i)
        bytes[i] = char(i * 7);
    QFile f(at(QStringLiteral("mapped.rc")));
    QVERIFY(f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size());
    f.close();
    {
        MappedFile mapped;
        QCOMPARE(mapped.open(FileName(at(QStringLiteral("mapped.rc"))), qint64(1) << 20), QString());
        QCOMPARE(QByteArray(mapped.bytes().data(), qsizetype(mapped.bytes().size())), bytes);
        QVERIFY(!mapped.open(FileName(at(QStringLiteral("mapped.rc"))), 1000).isEmpty()); // larger than allowed
        QVERIFY(mapped.bytes().empty());
    }
    QFile empty(at(QStringLiteral("empty.rc")));
    QVERIFY(empty.open(QIODevice::WriteOnly));
    empty.close();
    MappedFile none;
    QCOMPARE(none.open(FileName(at(QStringLiteral("empty.rc"))), 1000), QString());
    QVERIFY(none.bytes().empty());
    QVERIFY(!none.open(FileName(at(QStringLiteral("missing.rc"))), 1000).isEmpty());
    QVERIFY(!none.open(FileName(dir->path()), 1000).isEmpty());
    // An endless device is read, not mapped, up to the limit.
    QVERIFY(!none.open(FileName(QStringLiteral("/dev/zero")), qint64(1) << 20).isEmpty());
}

QTEST_GUILESS_MAIN(TestSaveFile)
#include "test_savefile.moc"
