#include "dictionary_test_util.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using testutil::readBytes;
using testutil::writeBytes;

class TestDictionaryCli : public QObject {
    Q_OBJECT
private slots:
    void init();
    void stats();
    void normalize();
    void wrongUse_data();
    void wrongUse();
    void failuresLeaveOutputUntouched_data();
    void failuresLeaveOutputUntouched();

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
    QCOMPARE(r.out, QByteArray("pairs: 5\n"
                               "entries: 3\n"
                               "entries with several translations: 1\n"
                               "entries not translated (chosen translation equals source): 1\n"));
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

    // Normalizing a file onto itself works: it is read whole before writing.
    QVERIFY(run({QStringLiteral("normalize"), out, out}).status == 0);
    QCOMPARE(readBytes(out), std::string("a\r\na\r\nb\r\nB\r\nx\r\n1\r\n"));
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

QTEST_GUILESS_MAIN(TestDictionaryCli)
#include "test_dictionary_cli.moc"
