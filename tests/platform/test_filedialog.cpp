#include "platform/filedialog.h"
#include "support/recorders.h"

#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

class TestFileDialogFilters : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void dictionaryFilter();
    void customPatternMap();
    void defaultSuffix();
    void saveDialogWantsAnExistingFolder();

private:
    QTemporaryDir config;
};

// Qt's file dialog keeps its history in the user's config folder.
void TestFileDialogFilters::initTestCase()
{
    QVERIFY(config.isValid());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
}

void TestFileDialogFilters::dictionaryFilter()
{
    const QStringList filters = toQtNameFilters(QStringLiteral("文字檔 (*.txt)|*.txt|所有檔案 (*.*)|*.*"));
    QCOMPARE(filters, QStringList({QStringLiteral("文字檔 (*.txt) (*.txt)"), QStringLiteral("所有檔案 (*.*) (*)")}));
    // A filter whose extension is empty still offers its entry.
    QCOMPARE(toQtNameFilters(QStringLiteral("|*.|所有檔案 (*.*)|*.*")).size(), qsizetype(2));
    QVERIFY(toQtNameFilters(QString()).isEmpty());
}

void TestFileDialogFilters::customPatternMap()
{
    const auto filters = toQtNameFilters(QStringLiteral("Perl程式檔 (Perl.exe)|Perl.exe|執行檔 (*.exe)|*.exe"),
                                         [](const QString &p) {
                                             return p == QStringLiteral("Perl.exe") ? QStringLiteral("perl perl5*")
                                                                                    : QStringLiteral("*");
                                         });
    QCOMPARE(filters.at(0), QStringLiteral("Perl程式檔 (Perl.exe) (perl perl5*)"));
    QCOMPARE(filters.at(1), QStringLiteral("執行檔 (*.exe) (*)"));
}

void TestFileDialogFilters::defaultSuffix()
{
    QCOMPARE(defaultSuffixOf(QStringLiteral("*.txt")), QStringLiteral("txt"));
    QCOMPARE(defaultSuffixOf(QStringLiteral("*.rc")), QStringLiteral("rc"));
    QCOMPARE(defaultSuffixOf(QStringLiteral("*.")), QString());
    QCOMPARE(defaultSuffixOf(QStringLiteral("*.*")), QString());
}

// The user types a name in a folder that does not exist and presses Enter:
// the dialog says so and stays; the next name, in a folder that exists, is
// taken.
void TestFileDialogFilters::saveDialogWantsAnExistingFolder()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    MessageRecorder messages;
    FileDialog d(FileDialog::Kind::Save);
    d.Title = QStringLiteral("儲存RC檔");
    d.Options = FileDialog::OverwritePrompt | FileDialog::HideReadOnly | FileDialog::PathMustExist;
    d.InitialDir = dir.path();
    QStringList typed{dir.filePath(QStringLiteral("none/out.rc")), dir.filePath(QStringLiteral("out.rc"))};
    QTimer user;
    user.setInterval(20);
    int tries = 0;
    QObject::connect(&user, &QTimer::timeout, [&] {
        auto *shown = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        auto *name = shown ? shown->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")) : nullptr;
        if (!name || !shown->isVisible())
            return;
        if (typed.isEmpty() || ++tries > 200) {
            shown->reject();
            return;
        }
        // The completer's list would take the Enter key; the user closes it.
        name->setCompleter(nullptr);
        name->clear();
        QTest::keyClicks(name, typed.first());
        QTest::keyClick(name, Qt::Key_Return);
        // A dialog not yet ready for keys stays open: the user presses again.
        if (!shown->isVisible())
            typed.removeFirst();
    });
    user.start();
    QVERIFY(d.Execute(nullptr));
    QCOMPARE(d.FileName, dir.filePath(QStringLiteral("out.rc")));
    QCOMPARE(messages.messages.size(), qsizetype(1));
    QVERIFY(messages.messages.at(0).text.contains(dir.filePath(QStringLiteral("none"))));
    QCOMPARE(messages.messages.at(0).caption, QStringLiteral("儲存RC檔"));

    // Without the option, such a name is taken as it is.
    QVERIFY(SaveChoiceProblem(FileDialog(FileDialog::Kind::Save), dir.filePath(QStringLiteral("none/x"))).isEmpty());
}

QTEST_MAIN(TestFileDialogFilters)
#include "test_filedialog.moc"
