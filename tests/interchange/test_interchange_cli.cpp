// tavisorn-cli export and import run as a user runs them, on dictionaries
// made from the corpus, and the files read by other tools: translate-toolkit,
// gettext's msgfmt and libxml2's xmllint.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Run {
    int status = -1;
    QByteArray out, err;
};

Run run(const QString &program, const QStringList &arguments, const QString &folder = QString())
{
    QProcess p;
    if (!folder.isEmpty())
        p.setWorkingDirectory(folder);
    p.start(program, arguments);
    Run r;
    if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit)
        return r;
    r.status = p.exitCode();
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

Run cli(const QStringList &arguments)
{
    return run(QStringLiteral(TAVISORN_CLI), arguments);
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

bool write(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

const QStringList kFormats{QStringLiteral("tmx"), QStringLiteral("po"), QStringLiteral("xliff"), QStringLiteral("csv")};

} // namespace

class TestInterchangeCli : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void corpusRoundTrip_data();
    void corpusRoundTrip();
    void peersReadWhatWeWrite();
    void peersWriteWhatWeRead();
    void mergeKeepsTheDictionary();
    void refusedPairsWriteNothing();
    void brokenInputWritesNothing_data();
    void brokenInputWritesNothing();
    void unreadableInputs();
    void wrongUse();

private:
    QString path(const QString &name) const { return dir.filePath(name); }
    // The corpus program's dictionary, made by the extraction script.
    QString corpusDictionary(const QString &app);
    QString tool(const char *name);

    QTemporaryDir base;
    QDir dir;
};

void TestInterchangeCli::initTestCase()
{
    QVERIFY(base.isValid());
    dir = QDir(base.path());
    // The program's settings are not read from the user's home.
    qputenv("XDG_CONFIG_HOME", path(QStringLiteral("no-settings")).toLocal8Bit());
}

QString TestInterchangeCli::corpusDictionary(const QString &app)
{
    if (!QFileInfo::exists(QStringLiteral(TAVISORN_CORPUS_DIR)))
        return QString();
    const QString made = path(app + QStringLiteral(".dic"));
    if (QFile::exists(made))
        return made;
    const QString corpus = QStringLiteral(TAVISORN_CORPUS_DIR "/") + app;
    const QString perl = QStandardPaths::findExecutable(QStringLiteral("perl"));
    const Run r = cli({QStringLiteral("make-dictionary"), QStringLiteral("--perl"), perl, corpus + QStringLiteral("/en.rc"),
                       corpus + QStringLiteral("/zh-TW.rc"), made});
    if (r.status != 0)
        qWarning("make-dictionary: %s", r.err.constData());
    return r.status == 0 ? made : QString();
}

QString TestInterchangeCli::tool(const char *name)
{
    const QString found = QStandardPaths::findExecutable(QString::fromLatin1(name));
    return found;
}

void TestInterchangeCli::corpusRoundTrip_data()
{
    QTest::addColumn<QString>("app");
    QTest::addColumn<QString>("format");
    for (const char *app : {"notepad", "regedit", "calc", "taskmgr"})
        for (const QString &format : kFormats)
            QTest::addRow("%s %s", app, qPrintable(format)) << QString::fromLatin1(app) << format;
}

// Out and in again: the same dictionary as normalize writes, byte for byte;
// and imported into the dictionary itself, nothing is added.
void TestInterchangeCli::corpusRoundTrip()
{
    QFETCH(QString, app);
    QFETCH(QString, format);
    const QString dict = corpusDictionary(app);
    if (dict.isEmpty() && !QFileInfo::exists(QStringLiteral(TAVISORN_CORPUS_DIR)))
        QSKIP("the corpus is not there");
    QVERIFY(!dict.isEmpty());
    const QString normal = path(app + QStringLiteral(".normal"));
    QCOMPARE(cli({QStringLiteral("normalize"), dict, normal}).status, 0);

    const QString out = path(app + QLatin1Char('.') + format);
    const Run exported = cli({QStringLiteral("export"), QStringLiteral("--format"), format, dict, out});
    QCOMPARE(exported.status, 0);
    QVERIFY2(exported.err.contains("個條目"), exported.err.constData());

    const QString back = path(app + QStringLiteral("-back-") + format + QStringLiteral(".dic"));
    QFile::remove(back);
    const Run imported = cli({QStringLiteral("import"), QStringLiteral("--format"), format, out, back});
    QCOMPARE(imported.status, 0);
    QVERIFY2(imported.err.contains("拒絕 0 個"), imported.err.constData());
    // Every translation came back: as the dictionary's own pairs when each
    // source has one, else with the others after the chosen one.
    if (cli({QStringLiteral("stats"), dict}).out.contains("有多個翻譯的條目：0\n"))
        QCOMPARE(readAll(back), readAll(normal));
    const QString backNormal = back + QStringLiteral(".normal");
    QCOMPARE(cli({QStringLiteral("normalize"), back, backNormal}).status, 0);
    QCOMPARE(readAll(backNormal), readAll(normal));
    // Entries, those with several translations, untranslated ones: as in the
    // dictionary (its pair count counts its repeated pairs too).
    QCOMPARE(cli({QStringLiteral("stats"), back}).out.split('\n').mid(1), cli({QStringLiteral("stats"), dict}).out.split('\n').mid(1));

    const QByteArray before = readAll(dict);
    const Run again = cli({QStringLiteral("import"), QStringLiteral("--format=") + format, out, dict});
    QCOMPARE(again.status, 0);
    QVERIFY2(again.err.contains("寫入 0 個"), again.err.constData());
    QCOMPARE(readAll(dict), before);
}

void TestInterchangeCli::peersReadWhatWeWrite()
{
    const QString dict = corpusDictionary(QStringLiteral("regedit"));
    if (dict.isEmpty() && !QFileInfo::exists(QStringLiteral(TAVISORN_CORPUS_DIR)))
        QSKIP("the corpus is not there");
    QVERIFY(!dict.isEmpty());
    for (const QString &format : kFormats)
        QCOMPARE(cli({QStringLiteral("export"), QStringLiteral("--format"), format, dict, path(QStringLiteral("peer.") + format)}).status, 0);
    const Run stats = cli({QStringLiteral("stats"), dict});
    // "條目：299" and "未翻譯的條目（...）：117"
    const QStringList lines = QString::fromUtf8(stats.out).split(QLatin1Char('\n'));
    const int entries = lines.value(1).section(QStringLiteral("："), -1).toInt();
    const int untranslated = lines.value(3).section(QStringLiteral("："), -1).toInt();
    QVERIFY(entries > 200 && untranslated > 50);

    if (const QString xmllint = tool("xmllint"); xmllint.isEmpty()) {
        qWarning("xmllint is not installed (libxml2-utils)");
    } else {
        const Run r = run(xmllint, {QStringLiteral("--noout"), path(QStringLiteral("peer.tmx")), path(QStringLiteral("peer.xliff"))});
        QVERIFY2(r.status == 0, r.err.constData());
    }
    if (const QString msgfmt = tool("msgfmt"); msgfmt.isEmpty()) {
        qWarning("msgfmt is not installed (gettext)");
    } else {
        const Run r = run(msgfmt, {QStringLiteral("--check"), QStringLiteral("--statistics"), QStringLiteral("-o"), path(QStringLiteral("peer.mo")), path(QStringLiteral("peer.po"))});
        QVERIFY2(r.status == 0, r.err.constData());
        QVERIFY2(r.err.contains(QByteArray::number(entries - untranslated) + " translated messages, " + QByteArray::number(untranslated) + " untranslated"),
                 r.err.constData());
    }
    const QString pocount = tool("pocount");
    if (pocount.isEmpty())
        QSKIP("translate-toolkit is not installed");
    // TMX holds a unit per translation, the others a unit per entry.
    const QByteArray tmxText = readAll(path(QStringLiteral("peer.tmx")));
    const int tmxTranslated = int(tmxText.count("xml:lang=\"zh-TW\""));
    const int tmxUnits = int(tmxText.count("<tu>"));
    for (const char *file : {"peer.po", "peer.xliff", "peer.tmx"}) {
        const Run r = run(pocount, {QStringLiteral("--csv"), path(QString::fromLatin1(file))});
        QCOMPARE(r.status, 0);
        const bool isTmx = QByteArray(file).endsWith("tmx");
        // Filename, Translated Messages, Translated Source Words, Translated
        // Target Words, Fuzzy Messages, Fuzzy Source Words, Untranslated Messages, ...
        const QList<QByteArray> fields = r.out.split('\n').value(1).split(',');
        QVERIFY2(fields.size() > 7, r.out.constData());
        QCOMPARE(fields[1].trimmed().toInt(), isTmx ? tmxTranslated : entries - untranslated);
        QCOMPARE(fields[4].trimmed().toInt(), 0);
        QCOMPARE(fields[6].trimmed().toInt(), isTmx ? tmxUnits - tmxTranslated : untranslated);
    }
    // translate-toolkit's own TMX reader sees every translation.
    const Run tmx = run(QStringLiteral("/usr/bin/python3"),
                        {QStringLiteral("-c"), QStringLiteral("import sys\nfrom translate.storage import tmx\n"
                                                              "u = tmx.tmxfile.parsefile(sys.argv[1]).units\n"
                                                              "print(len(u), sum(1 for x in u if x.target))"),
                         path(QStringLiteral("peer.tmx"))});
    QVERIFY2(tmx.status == 0, tmx.err.constData());
    QCOMPARE(tmx.out.trimmed(), QByteArray::number(tmxUnits) + ' ' + QByteArray::number(tmxTranslated));
    QVERIFY(tmxUnits >= entries && tmxTranslated >= entries - untranslated);
}

// Files written by translate-toolkit from ours come back as the dictionary
// (po2tmx keeps the translated entries only, as a memory should).
void TestInterchangeCli::peersWriteWhatWeRead()
{
    const QString po2tmx = tool("po2tmx"), xliff2po = tool("xliff2po"), csv2po = tool("csv2po"), po2xliff = tool("po2xliff");
    if (po2tmx.isEmpty() || xliff2po.isEmpty() || csv2po.isEmpty() || po2xliff.isEmpty())
        QSKIP("translate-toolkit is not installed");
    const QString dict = corpusDictionary(QStringLiteral("notepad"));
    if (dict.isEmpty() && !QFileInfo::exists(QStringLiteral(TAVISORN_CORPUS_DIR)))
        QSKIP("the corpus is not there");
    QVERIFY(!dict.isEmpty());
    const QString normal = path(QStringLiteral("notepad.normal"));
    QCOMPARE(cli({QStringLiteral("normalize"), dict, normal}).status, 0);
    for (const QString &format : kFormats)
        QCOMPARE(cli({QStringLiteral("export"), QStringLiteral("--format"), format, dict, path(QStringLiteral("ours.") + format)}).status, 0);

    struct Step {
        QString program;
        QString from, to, format;
    };
    const QList<Step> steps{
        {xliff2po, QStringLiteral("ours.xliff"), QStringLiteral("xliff2po.po"), QStringLiteral("po")},
        {csv2po, QStringLiteral("ours.csv"), QStringLiteral("csv2po.po"), QStringLiteral("po")},
        {po2xliff, QStringLiteral("ours.po"), QStringLiteral("po2xliff.xlf"), QStringLiteral("xliff")},
    };
    for (const Step &step : steps) {
        const Run converted = run(step.program, {path(step.from), path(step.to)});
        QVERIFY2(converted.status == 0, converted.err.constData());
        const QString back = path(step.to + QStringLiteral(".dic"));
        const Run imported = cli({QStringLiteral("import"), QStringLiteral("--format"), step.format, path(step.to), back});
        QVERIFY2(imported.status == 0, imported.err.constData());
        QCOMPARE(readAll(back), readAll(normal));
    }

    const Run converted = run(po2tmx, {QStringLiteral("-l"), QStringLiteral("zh-TW"), path(QStringLiteral("ours.po")), path(QStringLiteral("po2tmx.tmx"))});
    QVERIFY2(converted.status == 0, converted.err.constData());
    const QString back = path(QStringLiteral("po2tmx.dic"));
    QCOMPARE(cli({QStringLiteral("import"), QStringLiteral("--format"), QStringLiteral("tmx"), path(QStringLiteral("po2tmx.tmx")), back}).status, 0);
    // The normal dictionary without its untranslated pairs.
    const QList<QByteArray> lines = readAll(normal).split('\n');
    QByteArray translated;
    for (qsizetype i = 0; i + 1 < lines.size(); i += 2)
        if (lines[i] != lines[i + 1])
            translated += lines[i] + '\n' + lines[i + 1] + '\n';
    QCOMPARE(readAll(back), translated);
}

// An import into a dictionary keeps its bytes, appends what is new, and a
// new translation of a known source becomes an alternative.
void TestInterchangeCli::mergeKeepsTheDictionary()
{
    const QString dict = path(QStringLiteral("merge me.dic"));
    // Big5 "開啟", "剪下"; the file ends with a source whose translation line is missing.
    const QByteArray existing("Open\r\n\xB6\x7D\xB1\xD2\r\nCut\nCut\nLonely");
    QVERIFY(write(dict, existing));
    const QString csv = path(QStringLiteral("new.csv"));
    QVERIFY(write(csv, "source,target\r\nOpen,開啟\r\nOpen,打開\r\nCut,剪下\r\nNew,新\r\nNew,新\r\nCut,\r\n"));
    const Run r = cli({QStringLiteral("import"), QStringLiteral("--format"), QStringLiteral("csv"), csv, dict});
    QCOMPARE(r.status, 0);
    QVERIFY2(r.err.startsWith("讀入 6 個字串對，寫入 3 個，拒絕 0 個。\n"), r.err.constData());
    QCOMPARE(readAll(dict), existing + "\r\n\r\n" + "Open\r\n\xA5\xB4\xB6\x7D\r\nCut\r\n\xB0\xC5\xA4\x55\r\nNew\r\n\xB7\x73\r\n");
    // The editor still chooses what the dictionary had.
    const Run stats = cli({QStringLiteral("stats"), dict});
    QVERIFY2(stats.out.contains("有多個翻譯的條目：2"), stats.out.constData());
    const Run exported = cli({QStringLiteral("export"), QStringLiteral("--format"), QStringLiteral("po"), dict, path(QStringLiteral("merged.po"))});
    QCOMPARE(exported.status, 0);
    const QByteArray po = readAll(path(QStringLiteral("merged.po")));
    QVERIFY2(po.contains("# 另譯：\"剪下\"\nmsgid \"Cut\"\nmsgstr \"\"\n"), po.constData());
    QVERIFY2(po.contains("# 另譯：\"打開\"\nmsgid \"Open\"\nmsgstr \"開啟\"\n"), po.constData());
}

// A character code page 950 lacks refuses the import with its line and the
// character; the dictionary is not made or stays as it was. With --stand-ins
// it is written as a user-defined code the dictionary does not use.
void TestInterchangeCli::refusedPairsWriteNothing()
{
    const QString po = path(QStringLiteral("emoji.po"));
    QVERIFY(write(po, "msgid \"Smile\"\nmsgstr \"微笑😀\"\n\nmsgid \"ok\"\nmsgstr \"好\"\n\nmsgid \"Caf\xC3\xA9\"\nmsgstr \"咖啡\"\n"));
    const QString fresh = path(QStringLiteral("fresh.dic"));
    const Run refused = cli({QStringLiteral("import"), QStringLiteral("--format"), QStringLiteral("po"), po, fresh});
    QCOMPARE(refused.status, 1);
    QVERIFY2(refused.err.contains("讀入 3 個字串對，寫入 0 個，拒絕 2 個。"), refused.err.constData());
    QVERIFY2(refused.err.contains("第 1 行：「😀」（U+1F600）無法以 Big5（code page 950）儲存：「微笑😀」。"), refused.err.constData());
    QVERIFY2(refused.err.contains("第 7 行：「é」（U+00E9）"), refused.err.constData());
    QVERIFY2(refused.err.contains("加上 --stand-ins"), refused.err.constData());
    QVERIFY(!QFile::exists(fresh));

    const QString dict = path(QStringLiteral("user codes.dic"));
    const QByteArray before("x\r\n\xFA\x40\r\n");
    QVERIFY(write(dict, before));
    QCOMPARE(cli({QStringLiteral("import"), QStringLiteral("--format"), QStringLiteral("po"), po, dict}).status, 1);
    QCOMPARE(readAll(dict), before);

    const Run mapped = cli({QStringLiteral("import"), QStringLiteral("--format"), QStringLiteral("po"), QStringLiteral("--stand-ins"), po, dict});
    QCOMPARE(mapped.status, 0);
    QVERIFY2(mapped.err.contains("寫入 3 個"), mapped.err.constData());
    const QByteArray after = readAll(dict);
    QVERIFY(after.startsWith(before));
    // Two different user-defined codes, neither the 0xFA40 the dictionary uses.
    const QByteArray smile = after.mid(after.indexOf("Smile\r\n") + 7).split('\r').first();
    const QByteArray cafe = after.mid(after.indexOf("Caf") + 3, 2);
    QCOMPARE(smile.left(4), QByteArray("\xB7\x4C\xAF\xBA"));
    QCOMPARE(smile.size(), 6);
    QVERIFY(smile.mid(4) != QByteArray("\xFA\x40") && cafe != QByteArray("\xFA\x40") && smile.mid(4) != cafe);
    const unsigned char lead = static_cast<unsigned char>(cafe[0]);
    QVERIFY((lead >= 0xFA && lead <= 0xFE) || (lead >= 0x8E && lead <= 0xA0));
    QVERIFY2(mapped.err.contains("「é」（U+00E9）寫成 Big5 造字區的代碼 0x" + cafe.toHex().toUpper()), mapped.err.constData());

    // A text with a line break cannot be a dictionary line.
    const QString csv = path(QStringLiteral("break.csv"));
    QVERIFY(write(csv, "source,target\r\nok,好\r\n\"two\r\nlines\",x\r\n"));
    const Run broken = cli({QStringLiteral("import"), QStringLiteral("--format"), QStringLiteral("csv"), csv, fresh});
    QCOMPARE(broken.status, 1);
    QVERIFY2(broken.err.contains("第 3 行：「two↵lines」含有換行"), broken.err.constData());
    QVERIFY(!QFile::exists(fresh));

    // Out: an entry a format cannot carry writes no file at all.
    const QString control = path(QStringLiteral("control.dic"));
    QVERIFY(write(control, "a\r\nb\x01\r\n"));
    const Run out = cli({QStringLiteral("export"), QStringLiteral("--format"), QStringLiteral("tmx"), control, path(QStringLiteral("control.tmx"))});
    QCOMPARE(out.status, 1);
    QVERIFY2(out.err.contains("U+0001"), out.err.constData());
    QVERIFY(!QFile::exists(path(QStringLiteral("control.tmx"))));
}

void TestInterchangeCli::brokenInputWritesNothing_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("message");
    QTest::newRow("broken xml") << QStringLiteral("tmx") << QByteArray("<tmx>\n<body>\n<tu></body>\n</tmx>") << QByteArray("第 3 行：XML 格式錯誤");
    QTest::newRow("xliff root") << QStringLiteral("xliff") << QByteArray("<html/>") << QByteArray("這不是 XLIFF 檔");
    QTest::newRow("po syntax") << QStringLiteral("po") << QByteArray("msgid \"a\"\nmsgstr \"b\"\nmsgid\n") << QByteArray("第 3 行：「msgid」後面沒有字串。");
    QTest::newRow("csv open quote") << QStringLiteral("csv") << QByteArray("source,target\n\"a,b\n") << QByteArray("第 2 行：引號開始的欄位");
    QTest::newRow("not utf-8") << QStringLiteral("csv") << QByteArray("source,target\nOpen,\xB6\x7D\xB1\xD2\n") << QByteArray("第 2 行：不是 UTF-8 文字");
}

void TestInterchangeCli::brokenInputWritesNothing()
{
    QFETCH(QString, format);
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, message);
    const QString in = path(QStringLiteral("broken input"));
    QVERIFY(write(in, bytes));
    const QString dict = path(QStringLiteral("never.dic"));
    const Run r = cli({QStringLiteral("import"), QStringLiteral("--format"), format, in, dict});
    QCOMPARE(r.status, 1);
    QVERIFY2(r.err.contains(message), r.err.constData());
    QVERIFY2(r.err.contains("broken input"), r.err.constData());
    QVERIFY(!QFile::exists(dict));
}

// Inputs that are no file of the format: refused with words, nothing made.
void TestInterchangeCli::unreadableInputs()
{
    const QString dict = path(QStringLiteral("made from nothing.dic"));
    struct Case {
        QString input;
        QByteArray message;
    };
    const QString folder = path(QStringLiteral("a folder"));
    QVERIFY(QDir().mkpath(folder));
    const QString cut = path(QStringLiteral("cut $HOME 'q' @x.csv"));
    QVERIFY(write(cut, "source,target\nOpen,\xE9\x96")); // 開 without its last byte
    const QList<Case> cases{
        {QStringLiteral("/dev/zero"), "256 MB"},
        {folder, "資料夾"},
        {path(QStringLiteral("missing.csv")), "無法讀取檔案"},
        {cut, "第 2 行：不是 UTF-8 文字"},
    };
    for (const Case &c : cases) {
        const Run r = cli({QStringLiteral("import"), QStringLiteral("--format"), QStringLiteral("csv"), c.input, dict});
        QCOMPARE(r.status, 1);
        QVERIFY2(r.err.contains(c.message), r.err.constData());
        QVERIFY(!QFile::exists(dict));
    }
}

void TestInterchangeCli::wrongUse()
{
    const QString dict = path(QStringLiteral("w.dic"));
    QVERIFY(write(dict, "a\r\nb\r\n"));
    QCOMPARE(cli({QStringLiteral("export"), dict, path(QStringLiteral("w.tmx"))}).status, 2);
    QCOMPARE(cli({QStringLiteral("export"), QStringLiteral("--format"), QStringLiteral("docx"), dict, path(QStringLiteral("w.tmx"))}).status, 2);
    QCOMPARE(cli({QStringLiteral("import"), QStringLiteral("--format"), QStringLiteral("po"), dict}).status, 2);
    QCOMPARE(cli({QStringLiteral("export"), QStringLiteral("--format"), QStringLiteral("po"), QStringLiteral("--stand-ins"), dict, path(QStringLiteral("w.po"))}).status, 2);
    QVERIFY(!QFile::exists(path(QStringLiteral("w.tmx"))) && !QFile::exists(path(QStringLiteral("w.po"))));
    // Writing over the dictionary itself is refused.
    const Run same = cli({QStringLiteral("export"), QStringLiteral("--format"), QStringLiteral("csv"), dict, dict});
    QCOMPARE(same.status, 1);
    QCOMPARE(readAll(dict), QByteArray("a\r\nb\r\n"));
    for (const char *command : {"export", "import"}) {
        const Run help = cli({QString::fromLatin1(command), QStringLiteral("--help")});
        QCOMPARE(help.status, 0);
        QVERIFY(help.out.contains("--format"));
    }
}

QTEST_GUILESS_MAIN(TestInterchangeCli)
#include "test_interchange_cli.moc"
