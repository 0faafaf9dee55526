#include "widgets/browseforfolder.h"

#include "support/folder_answers.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

class TestBrowseForFolder : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void cancelledGivesNothing();
    void chosenFolderGivesItsFullPath_data();
    void chosenFolderGivesItsFullPath();
    void promptAndOwnerReachTheChooser();
    void qtChooserShowsPromptAndReturnsFolder();
    void qtChooserCancelled();

private:
    QTemporaryDir config;
};

// Qt's folder chooser keeps its history in the user's settings folder: the
// test gives it one of its own.
void TestBrowseForFolder::initTestCase()
{
    QVERIFY(config.isValid());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
}

void TestBrowseForFolder::cancelledGivesNothing()
{
    FolderAnswers answers;
    TBrowseForFolderDialog picker;
    QCOMPARE(picker.GetPath(), QString());
    QVERIFY(!picker.Execute());
    QCOMPARE(picker.GetPath(), QString());

    // A later cancelled run does not hand back an earlier choice.
    answers.answers = {QDir::tempPath(), QString()};
    QVERIFY(picker.Execute());
    QVERIFY(!picker.GetPath().isEmpty());
    QVERIFY(!picker.Execute());
    QCOMPARE(picker.GetPath(), QString());
}

void TestBrowseForFolder::chosenFolderGivesItsFullPath_data()
{
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("path");
    QTest::newRow("root keeps its separator") << QStringLiteral("/") << QDir::toNativeSeparators(QStringLiteral("/"));
    QTest::newRow("folder") << QStringLiteral("/usr/share") << QDir::toNativeSeparators(QStringLiteral("/usr/share"));
    QTest::newRow("trailing separator dropped")
        << QStringLiteral("/usr/share/") << QDir::toNativeSeparators(QStringLiteral("/usr/share"));
    QTest::newRow("blanks and quotes") << QStringLiteral("/tmp/a b/\"q\" $x@y")
                                       << QDir::toNativeSeparators(QStringLiteral("/tmp/a b/\"q\" $x@y"));
    QTest::newRow("dots resolved") << QStringLiteral("/usr/share/../lib") << QDir::toNativeSeparators(QStringLiteral("/usr/lib"));
#ifdef Q_OS_WIN
    QTest::newRow("drive root") << QStringLiteral("C:/") << QStringLiteral("C:\\");
#endif
}

void TestBrowseForFolder::chosenFolderGivesItsFullPath()
{
    QFETCH(QString, answer);
    QFETCH(QString, path);
    FolderAnswers answers;
    answers.answers = {answer};
    TBrowseForFolderDialog picker;
    QVERIFY(picker.Execute());
    QCOMPARE(picker.GetPath(), path);
}

void TestBrowseForFolder::promptAndOwnerReachTheChooser()
{
    FolderAnswers answers;
    QWidget window;
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    TBrowseForFolderDialog picker;
    picker.SetPrompt(QStringLiteral("請選擇字典檔資料夾:"));
    picker.Execute();
    QCOMPARE(answers.prompts, QStringList{QStringLiteral("請選擇字典檔資料夾:")});
    QCOMPARE(answers.owners.value(0), &window);
}

void TestBrowseForFolder::qtChooserShowsPromptAndReturnsFolder()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString folder = dir.path() + QStringLiteral("/選 擇");
    QVERIFY(QDir().mkpath(folder));

    QString title;
    bool directoriesOnly = false;
    QTimer::singleShot(0, this, [&] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        title = dialog->windowTitle();
        directoriesOnly = dialog->fileMode() == QFileDialog::Directory && dialog->testOption(QFileDialog::ShowDirsOnly);
        dialog->setDirectory(folder);
        dialog->selectFile(folder);
        static_cast<QDialog *>(dialog)->accept();
    });
    TBrowseForFolderDialog picker;
    picker.SetPrompt(QStringLiteral("請選擇來源 Resource 檔資料夾:"));
    QVERIFY(picker.Execute());
    QCOMPARE(title, QStringLiteral("請選擇來源 Resource 檔資料夾:"));
    QVERIFY(directoriesOnly);
    QCOMPARE(picker.GetPath(), QDir::toNativeSeparators(folder));
}

void TestBrowseForFolder::qtChooserCancelled()
{
    QTimer::singleShot(0, this, [] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        dialog->reject();
    });
    TBrowseForFolderDialog picker;
    QVERIFY(!picker.Execute());
    QCOMPARE(picker.GetPath(), QString());
}

QTEST_MAIN(TestBrowseForFolder)
#include "test_browseforfolder.moc"
