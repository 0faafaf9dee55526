#include "dictionary_test_util.h"
#include "support/rawfiles.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using testutil::readBytes;
using testutil::writeBytes;

class TestDictionaryCli : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanupTestCase();
    void stats();
    void normalize();
    void wrongUse_data();
    void wrongUse();
    void everyCommandAnswersHelp();
    void failuresLeaveOutputUntouched_data();
    void failuresLeaveOutputUntouched();
    void check();
    void big5FileNames();
    void standardOutput();
    void fullDisk_data();
    void fullDisk();
    void endlessInputsAreRefused_data();
    void endlessInputsAreRefused();

private:
    struct Run {
        int status = -1;
        QByteArray out, err;
    };
    static Run run(const QStringList &arguments);
    QTemporaryDir base;
    QDir dir;
    int tests = 0;
    const std::string sample = "b\r\nB\r\na\r\na\r\nx\r\n1\nx\r\n2\rx\r\n1\r\nodd";
};

void TestDictionaryCli::init()
{
    QVERIFY(base.isValid());
    const QString name = QString::number(++tests);
    QVERIFY(QDir(base.path()).mkdir(name));
    dir = QDir(base.filePath(name));
}

// Qt cannot remove files whose names are not UTF-8.
void TestDictionaryCli::cleanupTestCase()
{
    QProcess::execute(QStringLiteral("/bin/rm"), {QStringLiteral("-rf"), base.path()});
}

TestDictionaryCli::Run TestDictionaryCli::run(const QStringList &arguments)
{
    QProcess p;
    p.start(QStringLiteral(TAVISORN_CLI), arguments);
    Run r;
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit)
        return r;
    r.status = p.exitCode();
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

void TestDictionaryCli::stats()
{
    const QString dict = dir.filePath(QStringLiteral("my dict $1 @home 'q'.dic"));
    QVERIFY(writeBytes(dict, sample));
    const Run r = run({QStringLiteral("stats"), dict});
    QCOMPARE(r.status, 0);
    QCOMPARE(r.err, QByteArray());
    QCOMPARE(QString::fromUtf8(r.out), QStringLiteral("字串對：5\n"
                                                      "條目：3\n"
                                                      "有多個翻譯的條目：1\n"
                                                      "未翻譯的條目（選定的翻譯與原文相同）：1\n"));
}

void TestDictionaryCli::normalize()
{
    const QString dict = dir.filePath(QStringLiteral("in \"x\".dic"));
    const QString out = dir.filePath(QStringLiteral("out $HOME.dic"));
    QVERIFY(writeBytes(dict, sample));
    const Run r = run({QStringLiteral("normalize"), dict, out});
    QCOMPARE(r.status, 0);
    QCOMPARE(r.err, QByteArray());
    QCOMPARE(readBytes(out), std::string("a\r\na\r\nb\r\nB\r\nx\r\n1\r\n"));
    QCOMPARE(readBytes(out), reference::saved(reference::load(sample)));

    // Normalizing a file onto itself is refused unless asked for with
    // --in-place, also when the two names differ in spelling only; asked
    // for, it works: the file is read whole before writing.
    QVERIFY(writeBytes(dict, sample));
    const Run self = run({QStringLiteral("normalize"), dict, dir.path() + QStringLiteral("/./in \"x\".dic")});
    QCOMPARE(self.status, 1);
    QVERIFY2(QString::fromUtf8(self.err).contains(QStringLiteral("--in-place")), self.err.constData());
    QCOMPARE(readBytes(dict), sample);
    QCOMPARE(run({QStringLiteral("normalize"), dict, dict, QStringLiteral("--in-place")}).status, 0);
    QCOMPARE(readBytes(dict), std::string("a\r\na\r\nb\r\nB\r\nx\r\n1\r\n"));
    QVERIFY(writeBytes(dict, sample));
    QCOMPARE(run({QStringLiteral("normalize"), QStringLiteral("--in-place"), dict}).status, 0);
    QCOMPARE(readBytes(dict), std::string("a\r\na\r\nb\r\nB\r\nx\r\n1\r\n"));
}

void TestDictionaryCli::wrongUse_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("stats without file") << QStringList{QStringLiteral("stats")};
    QTest::newRow("stats with two files") << QStringList{QStringLiteral("stats"), QStringLiteral("a"), QStringLiteral("b")};
    QTest::newRow("normalize without output") << QStringList{QStringLiteral("normalize"), QStringLiteral("a")};
    QTest::newRow("normalize with three files")
        << QStringList{QStringLiteral("normalize"), QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")};
}

void TestDictionaryCli::wrongUse()
{
    QFETCH(QStringList, arguments);
    const Run r = run(arguments);
    QCOMPARE(r.status, 2);
    QVERIFY(r.err.contains("用法"));
    QCOMPARE(r.out, QByteArray());
}

// Each command tells its arguments, options, where the interpreter comes
// from and its exit statuses, in Chinese, and does nothing else.
void TestDictionaryCli::everyCommandAnswersHelp()
{
    const QStringList commands{QStringLiteral("stats"), QStringLiteral("normalize"),
                               QStringLiteral("make-dictionary"), QStringLiteral("translate"),
                               QStringLiteral("script")};
    for (const QString &command : commands) {
        const Run r = run({command, QStringLiteral("--help")});
        QCOMPARE(r.status, 0);
        QCOMPARE(r.err, QByteArray());
        const QString help = QString::fromUtf8(r.out);
        QVERIFY2(help.startsWith(QStringLiteral("用法：tavisorn-cli ") + command), qPrintable(help));
        QVERIFY2(help.contains(QStringLiteral("結束狀態")), qPrintable(command));
    }
    const QString translate = QString::fromUtf8(run({QStringLiteral("translate"), QStringLiteral("--help")}).out);
    for (const char *option : {"--font", "--missing FILE", "--retarget", "--perl PATH"})
        QVERIFY2(translate.contains(QLatin1String(option)), option);
    QVERIFY(translate.contains(QStringLiteral("Perl直譯器")));
    const QString make = QString::fromUtf8(run({QStringLiteral("make-dictionary"), QStringLiteral("--help")}).out);
    QVERIFY(make.contains(QStringLiteral("--strict")));
    QVERIFY(make.contains(QStringLiteral("  3 ")));
    QVERIFY(QString::fromUtf8(run({QStringLiteral("normalize"), QStringLiteral("--help")}).out)
                .contains(QStringLiteral("--in-place")));
    // Asking for help runs nothing, even with paths beside it.
    const QString out = dir.filePath(QStringLiteral("made.txt"));
    QCOMPARE(run({QStringLiteral("make-dictionary"), QStringLiteral("a"), QStringLiteral("b"), out,
                  QStringLiteral("--help")})
                 .status,
             0);
    QVERIFY(!QFile::exists(out));
}

void TestDictionaryCli::failuresLeaveOutputUntouched_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("output");
    QTest::addColumn<QString>("message");
    QTest::newRow("stats, missing") << QStringLiteral("stats") << QStringLiteral("missing.dic") << QString()
                                    << QStringLiteral("無法開啟檔案");
    QTest::newRow("stats, folder") << QStringLiteral("stats") << QStringLiteral("folder") << QString()
                                   << QStringLiteral("無法開啟檔案");
    QTest::newRow("normalize, missing input") << QStringLiteral("normalize") << QStringLiteral("missing.dic")
                                              << QStringLiteral("existing.dic") << QStringLiteral("無法開啟檔案");
    QTest::newRow("normalize, output is a folder") << QStringLiteral("normalize") << QStringLiteral("in.dic")
                                                   << QStringLiteral("folder") << QStringLiteral("無法儲存檔案");
    QTest::newRow("normalize, output folder missing") << QStringLiteral("normalize") << QStringLiteral("in.dic")
                                                      << QStringLiteral("none/out.dic") << QStringLiteral("無法儲存檔案");
    QTest::newRow("normalize, output under a file") << QStringLiteral("normalize") << QStringLiteral("in.dic")
                                                    << QStringLiteral("existing.dic/out.dic") << QStringLiteral("無法儲存檔案");
}

void TestDictionaryCli::failuresLeaveOutputUntouched()
{
    QFETCH(QString, command);
    QFETCH(QString, input);
    QFETCH(QString, output);
    QFETCH(QString, message);
    QVERIFY(dir.mkdir(QStringLiteral("folder")));
    QVERIFY(writeBytes(dir.filePath(QStringLiteral("in.dic")), sample));
    const std::string existing("keep\r\nme\r\n\xA4");
    QVERIFY(writeBytes(dir.filePath(QStringLiteral("existing.dic")), existing));

    QStringList arguments{command, dir.filePath(input)};
    if (!output.isEmpty())
        arguments << dir.filePath(output);
    const Run r = run(arguments);
    QCOMPARE(r.status, 1);
    QCOMPARE(r.out, QByteArray());
    QVERIFY2(QString::fromUtf8(r.err).contains(message), r.err.constData());
    // The message names the file that failed.
    const QString failed = message == QStringLiteral("無法開啟檔案") ? input : output;
    QVERIFY2(QString::fromUtf8(r.err).contains(dir.filePath(failed)), r.err.constData());
    QCOMPARE(readBytes(dir.filePath(QStringLiteral("existing.dic"))), existing);
    QCOMPARE(readBytes(dir.filePath(QStringLiteral("in.dic"))), sample);
    QCOMPARE(dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             (QStringList{QStringLiteral("existing.dic"), QStringLiteral("folder"), QStringLiteral("in.dic")}));
    QCOMPARE(QDir(dir.filePath(QStringLiteral("folder"))).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size(), 0);
}

// One line a problem: key, entry number from 1 in table order, source and
// translation as UTF-8; a count per kind on standard error; status 3.
void TestDictionaryCli::check()
{
    const QString dict = dir.filePath(QStringLiteral("d.txt"));
    // Page Set&up... / 版面設定(&T)...   &Save / 儲存   Fine / 好
    QVERIFY(writeBytes(dict, "Page Set&up...\r\n\xAA\xA9\xAD\xB1\xB3\x5D\xA9\x77(&T)...\r\n"
                             "Fine\r\n\xA6\x6E\r\n&Save\r\n\xC0\x78\xA6\x73\r\n"));
    Run r = run({QStringLiteral("check"), dict});
    QCOMPARE(r.status, 3);
    QCOMPARE(QString::fromUtf8(r.out), QStringLiteral("hotkey-missing\t1\t&Save\t儲存\n"
                                                      "hotkey-letter\t3\tPage Set&up...\t版面設定(&T)...\n"));
    QVERIFY2(QString::fromUtf8(r.err).contains(QStringLiteral("hotkey-letter\t熱鍵字母不同\t1\n")), r.err.constData());

    QVERIFY(writeBytes(dict, "Fine\r\n\xA6\x6E\r\n"));
    r = run({QStringLiteral("check"), dict});
    QCOMPARE(r.status, 0);
    QCOMPARE(r.out, QByteArray());
}

// Names in Big5, as they arrive from the original platform, are not UTF-8:
// both commands must reach the very files named.
void TestDictionaryCli::big5FileNames()
{
    const std::string in = QFile::encodeName(dir.path()).toStdString() + "/\xB3\x5C-in.txt";
    const std::string out = QFile::encodeName(dir.path()).toStdString() + "/\xB3\x5C-out.txt";
    QVERIFY(writeRaw(in, QByteArray::fromStdString(sample)));
    const Outcome stats = RunWithByteArguments(QStringLiteral(TAVISORN_CLI), {"stats", in});
    QCOMPARE(stats.status, 0);
    QVERIFY(QString::fromUtf8(stats.out).startsWith(QStringLiteral("字串對：5\n")));
    const Outcome normalized = RunWithByteArguments(QStringLiteral(TAVISORN_CLI), {"normalize", in, out});
    QCOMPARE(normalized.status, 0);
    QCOMPARE(readRaw(out), QByteArray("a\r\na\r\nb\r\nB\r\nx\r\n1\r\n"));
    QCOMPARE(countEntries(QFile::encodeName(dir.path()).toStdString()), 2);
}

// /dev/stdout is a stream: the dictionary goes straight into it.
void TestDictionaryCli::standardOutput()
{
    const QString dict = dir.filePath(QStringLiteral("in.dic"));
    QVERIFY(writeBytes(dict, sample));
    const Run r = run({QStringLiteral("normalize"), dict, QStringLiteral("/dev/stdout")});
    QCOMPARE(r.status, 0);
    QCOMPARE(r.out, QByteArray("a\r\na\r\nb\r\nB\r\nx\r\n1\r\n"));
}

// A real file system of 64 KiB, filled up but for a little room: every save
// either writes the whole dictionary or fails saying the disk is full, and
// the old one stays byte for byte. (A user namespace lets the test mount it
// without being the administrator.)
void TestDictionaryCli::fullDisk_data()
{
    QTest::addColumn<int>("room"); // KiB left free
    QTest::addColumn<int>("size"); // bytes of the new dictionary
    QTest::addColumn<bool>("fits");
    QTest::newRow("no room, 30 bytes") << 0 << 30 << false;
    QTest::newRow("no room, 4 KiB - 1") << 0 << 4095 << false;
    QTest::newRow("no room, 12,100 bytes") << 0 << 12100 << false;
    QTest::newRow("4 KiB, 30 bytes") << 4 << 30 << true;
    QTest::newRow("4 KiB, 16 KiB - 1") << 4 << 16383 << false;
    QTest::newRow("8 KiB, 16 KiB + 1") << 8 << 16385 << false;
    QTest::newRow("8 KiB, 4 KiB - 1") << 8 << 4095 << true;
}

void TestDictionaryCli::fullDisk()
{
    QFETCH(int, room);
    QFETCH(int, size);
    QFETCH(bool, fits);
    if (QProcess::execute(QStringLiteral("unshare"), {QStringLiteral("-rm"), QStringLiteral("true")}) != 0)
        QSKIP("this system lets no user namespace mount a small file system");

    const std::string newText = std::string(std::size_t(size - 4), 'n') + "\r\n\r\n";
    const std::string oldText = std::string(12096, 'o') + "\r\n\r\n";
    QVERIFY(writeBytes(dir.filePath(QStringLiteral("new.dic")), newText));
    QVERIFY(writeBytes(dir.filePath(QStringLiteral("old.dic")), oldText));
    QVERIFY(dir.mkdir(QStringLiteral("disk")));
    // Mount, put the old dictionary there, fill the rest, free `room` KiB,
    // save over the old one, and copy out what is left.
    const QString script = QStringLiteral(
        "set -e; cd \"$1\"; mount -t tmpfs -o size=64k tmpfs disk; cp old.dic disk/target.dic;"
        "dd if=/dev/zero of=disk/fill bs=4096 2>/dev/null || true;"
        "truncate -s -$2K disk/fill; set +e;"
        "\"$3\" normalize new.dic disk/target.dic 2>err; echo $? >status;"
        "cp disk/target.dic after; ls -A disk >listing");
    QCOMPARE(QProcess::execute(QStringLiteral("unshare"),
                               {QStringLiteral("-rm"), QStringLiteral("sh"), QStringLiteral("-c"), script,
                                QStringLiteral("sh"), dir.path(), QString::number(room),
                                QStringLiteral(TAVISORN_CLI)}),
             0);
    const std::string status = readBytes(dir.filePath(QStringLiteral("status")));
    const QString err = QString::fromStdString(readBytes(dir.filePath(QStringLiteral("err"))));
    if (fits) {
        QCOMPARE(status, std::string("0\n"));
        QCOMPARE(readBytes(dir.filePath(QStringLiteral("after"))), newText);
    } else {
        QCOMPARE(status, std::string("1\n"));
        QVERIFY2(err.contains(QStringLiteral("無法儲存檔案 disk/target.dic：磁碟空間不足。")), qPrintable(err));
        QVERIFY(readBytes(dir.filePath(QStringLiteral("after"))) == oldText);
    }
    QCOMPARE(readBytes(dir.filePath(QStringLiteral("listing"))), std::string("fill\ntarget.dic\n"));
}

void TestDictionaryCli::endlessInputsAreRefused_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("input");
    QTest::addColumn<QString>("message");
    QTest::newRow("stats /dev/zero") << QStringLiteral("stats") << QStringLiteral("/dev/zero")
                                     << QStringLiteral("檔案超過 256 MB");
    QTest::newRow("normalize /dev/urandom") << QStringLiteral("normalize") << QStringLiteral("/dev/urandom")
                                            << QStringLiteral("檔案超過 256 MB");
    QTest::newRow("check, a file past the limit") << QStringLiteral("check") << QStringLiteral("huge.dic")
                                                  << QStringLiteral("檔案超過 256 MB");
    QTest::newRow("stats, a pipe nobody writes") << QStringLiteral("stats") << QStringLiteral("pipe")
                                                 << QStringLiteral("沒有程式寫入這個管道");
}

// Each ends with a message instead of growing or waiting for ever.
void TestDictionaryCli::endlessInputsAreRefused()
{
    QFETCH(QString, command);
    QFETCH(QString, input);
    QFETCH(QString, message);
    QFile huge(dir.filePath(QStringLiteral("huge.dic")));
    QVERIFY(huge.open(QIODevice::WriteOnly));
    QVERIFY(huge.resize((qint64(256) << 20) + 1)); // sparse: takes no room on the disk
    huge.close();
    QCOMPARE(::mkfifo(QFile::encodeName(dir.filePath(QStringLiteral("pipe"))).constData(), 0600), 0);
    const QString in = input.startsWith(QLatin1Char('/')) ? input : dir.filePath(input);
    QStringList arguments{command, in};
    if (command == QStringLiteral("normalize"))
        arguments << dir.filePath(QStringLiteral("out.dic"));
    const Run r = run(arguments);
    QCOMPARE(r.status, 1);
    QVERIFY2(QString::fromUtf8(r.err).contains(message), r.err.constData());
    QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("out.dic"))));
}

QTEST_GUILESS_MAIN(TestDictionaryCli)
#include "test_dictionary_cli.moc"
