#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QHash>
#include <QStandardPaths>
#include <QTest>

// The desktop entry, the AppStream description and the manual pages are
// written by hand beside the programs; these checks keep them valid for the
// tools a desktop reads them with, and in step with the programs.
class TestInstallFiles : public QObject {
    Q_OBJECT
private slots:
    void desktopEntryAndMetainfoValidate_data();
    void desktopEntryAndMetainfoValidate();
    void menuEntryFindsProgramAndIcon();
    void manPagesFormatWithoutWarnings_data();
    void manPagesFormatWithoutWarnings();
    void manPagesNameEveryCommandAndOption_data();
    void manPagesNameEveryCommandAndOption();

private:
    struct Run {
        bool finished = false;
        int status = -1;
        QByteArray out, err;
    };
    static Run run(const QString &program, const QStringList &arguments);
};

namespace {

QString desktopEntry()
{
    return QStringLiteral(TAVISORN_DIST_SOURCE_DIR "/" TAVISORN_APP_ID ".desktop");
}

QString metainfo()
{
    return QStringLiteral(TAVISORN_DIST_BINARY_DIR "/" TAVISORN_APP_ID ".metainfo.xml");
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

TestInstallFiles::Run TestInstallFiles::run(const QString &program, const QStringList &arguments)
{
    QProcess p;
    p.start(program, arguments);
    Run r;
    if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit)
        return r;
    r.finished = true;
    r.status = p.exitCode();
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

void TestInstallFiles::desktopEntryAndMetainfoValidate_data()
{
    QTest::addColumn<QString>("tool");
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("desktop entry") << QStringLiteral("desktop-file-validate") << QStringList{desktopEntry()};
    QTest::newRow("metainfo") << QStringLiteral("appstreamcli")
                              << QStringList{QStringLiteral("validate"), QStringLiteral("--no-net"),
                                             QStringLiteral("--no-color"), metainfo()};
}

void TestInstallFiles::desktopEntryAndMetainfoValidate()
{
    QFETCH(QString, tool);
    QFETCH(QStringList, arguments);
    const QString program = QStandardPaths::findExecutable(tool);
    if (program.isEmpty())
        QSKIP("validator not installed (scripts/install-deps.sh brings it)");
    const Run r = run(program, arguments);
    QVERIFY(r.finished);
    if (r.status != 0)
        qWarning("%s\n%s", r.out.constData(), r.err.constData());
    QCOMPARE(r.status, 0);
    // desktop-file-validate reports hints with status 0; none are expected.
    QVERIFY2(r.out.trimmed().isEmpty() || tool == QStringLiteral("appstreamcli"), r.out.constData());
}

// The menu shows the entry only with its program and icon: the names in the
// entry and the AppStream description must be the ones installed.
void TestInstallFiles::menuEntryFindsProgramAndIcon()
{
    QHash<QString, QString> entry;
    for (const QByteArray &line : readFile(desktopEntry()).split('\n')) {
        const qsizetype equals = line.indexOf('=');
        if (equals > 0)
            entry.insert(QString::fromUtf8(line.left(equals)), QString::fromUtf8(line.mid(equals + 1)));
    }
    QCOMPARE(entry.value(QStringLiteral("Exec")), QStringLiteral("tavisorn"));
    const QString icon = entry.value(QStringLiteral("Icon"));
    QCOMPARE(icon, QStringLiteral(TAVISORN_APP_ID));
    for (int size : {16, 32, 48, 64, 128, 256}) {
        const QImage image(QStringLiteral(TAVISORN_DIST_BINARY_DIR "/icons/%1x%1/apps/%2.png").arg(size).arg(icon));
        QCOMPARE(image.size(), QSize(size, size));
        QVERIFY(image.hasAlphaChannel());
        // Drawn to the edges of its box, not a small picture in a corner.
        QVERIFY(qAlpha(image.pixel(size / 2, size / 2)) == 255);
        QVERIFY(qAlpha(image.pixel(size - 1 - size / 8, size - 1 - size / 8)) == 255);
    }
    const QByteArray info = readFile(metainfo());
    QVERIFY(info.contains("<id>" TAVISORN_APP_ID "</id>"));
    QVERIFY(info.contains("<launchable type=\"desktop-id\">" TAVISORN_APP_ID ".desktop</launchable>"));
    QVERIFY(!info.contains('@')); // every placeholder was filled in
}

void TestInstallFiles::manPagesFormatWithoutWarnings_data()
{
    QTest::addColumn<QString>("page");
    for (const char *page : {"tavisorn.1", "tavisorn-cli.1", "zh_TW/tavisorn-cli.1"})
        QTest::newRow(page) << QStringLiteral(TAVISORN_DIST_SOURCE_DIR "/") + QLatin1String(page);
}

void TestInstallFiles::manPagesFormatWithoutWarnings()
{
    QFETCH(QString, page);
    const QString groff = QStandardPaths::findExecutable(QStringLiteral("groff"));
    if (groff.isEmpty())
        QSKIP("groff not installed");
    const Run r = run(groff, {QStringLiteral("-k"), QStringLiteral("-man"), QStringLiteral("-Tutf8"),
                              QStringLiteral("-ww"), QStringLiteral("-z"), page});
    QVERIFY(r.finished);
    QVERIFY2(r.err.isEmpty(), r.err.constData());
    QCOMPARE(r.status, 0);
}

void TestInstallFiles::manPagesNameEveryCommandAndOption_data()
{
    QTest::addColumn<QString>("page");
    QTest::newRow("English") << QStringLiteral(TAVISORN_DIST_SOURCE_DIR "/tavisorn-cli.1");
    QTest::newRow("Traditional Chinese") << QStringLiteral(TAVISORN_DIST_SOURCE_DIR "/zh_TW/tavisorn-cli.1");
}

// A command or option added to tavisorn-cli without a word in its manual
// fails here.
void TestInstallFiles::manPagesNameEveryCommandAndOption()
{
    QFETCH(QString, page);
    const Run help = run(QStringLiteral(TAVISORN_CLI), {QStringLiteral("--help")});
    QVERIFY(help.finished);
    QCOMPARE(help.status, 0);
    const QString usage = QString::fromUtf8(help.out);

    // Command lines of the usage read "  name [word] ARG...": the lower-case
    // words before the first argument name the command.
    QStringList commands;
    const QRegularExpression commandLine(QStringLiteral("^  ([a-z][a-z-]*(?: [a-z]+)?)(?= [A-Z]| *$)"),
                                         QRegularExpression::MultilineOption);
    for (auto it = commandLine.globalMatch(usage); it.hasNext();)
        commands << it.next().captured(1);
    QVERIFY2(commands.size() >= 6, qPrintable(usage));
    QStringList options;
    const QRegularExpression option(QStringLiteral("--[a-z]+"));
    for (auto it = option.globalMatch(usage); it.hasNext();)
        options << it.next().captured(0);
    options.removeDuplicates();
    QVERIFY(!options.isEmpty());

    // In the page's source a minus is written \- .
    const QString source = QString::fromUtf8(readFile(page)).replace(QStringLiteral("\\-"), QStringLiteral("-"));
    QVERIFY(source.contains(QStringLiteral(".SH ")));
    for (const QString &command : commands) {
        const QStringList words = command.split(QLatin1Char(' '));
        const QString bold = words.size() == 1 ? QStringLiteral(".BI %1 ").arg(command)
                                               : QStringLiteral(".BI \"%1\" ").arg(command);
        QVERIFY2(source.contains(bold), qPrintable(QStringLiteral("no entry for the command ") + command));
        QVERIFY2(source.contains(QStringLiteral(".B tavisorn-cli ") + command),
                 qPrintable(QStringLiteral("no synopsis for the command ") + command));
    }
    for (const QString &name : options)
        QVERIFY2(source.contains(QStringLiteral(".B ") + name) || source.contains(QStringLiteral(".BI ") + name),
                 qPrintable(QStringLiteral("no entry for the option ") + name));
    // Every exit status the program gives is explained.
    for (const char *status : {"\n.B 0\n", "\n.B 1\n", "\n.B 2\n"})
        QVERIFY2(source.contains(QLatin1String(status)), status);
}

QTEST_MAIN(TestInstallFiles)
#include "test_install_files.moc"
