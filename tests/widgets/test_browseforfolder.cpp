#include "widgets/browseforfolder.h"

#include "support/folder_answers.h"
#include "support/recorders.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeView>

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
    const QString folder = dir.path() + QStringLiteral("/選 擇 \"q\" $x@y");
    QVERIFY(QDir().mkpath(folder));

    // The prompt stands inside the window, above the folder tree, also where
    // no window manager shows a title.
    QString prompt;
    bool promptAboveTree = false;
    QTimer::singleShot(0, this, [&] {
        auto *dialog = qobject_cast<FolderChooserDialog *>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        prompt = dialog->Prompt->isVisible() ? dialog->Prompt->text() : QString();
        promptAboveTree = dialog->Prompt->geometry().bottom() < dialog->Tree->geometry().top()
                          && dialog->Prompt->sizeHint().width() <= dialog->Prompt->width();
        dialog->SelectFolder(folder);
        QTest::mouseClick(dialog->OkButton, Qt::LeftButton);
    });
    TBrowseForFolderDialog picker;
    picker.SetPrompt(QStringLiteral("請選擇來源 Resource 檔資料夾:"));
    QVERIFY(picker.Execute());
    QCOMPARE(prompt, QStringLiteral("請選擇來源 Resource 檔資料夾:"));
    QVERIFY(promptAboveTree);
    QCOMPARE(picker.GetPath(), QDir::toNativeSeparators(folder));

    // A typed folder counts; one that does not exist is refused and the
    // chooser stays open.
    MessageRecorder messages;
    QTimer::singleShot(0, this, [&] {
        auto *dialog = qobject_cast<FolderChooserDialog *>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        dialog->PathEdit->setText(folder + QStringLiteral("/missing"));
        QTest::mouseClick(dialog->OkButton, Qt::LeftButton);
        QVERIFY(dialog->isVisible());
        dialog->PathEdit->setText(dir.path());
        QTest::keyClick(dialog->PathEdit, Qt::Key_Return);
    });
    QVERIFY(picker.Execute());
    QCOMPARE(messages.messages.size(), qsizetype(1));
    QCOMPARE(picker.GetPath(), QDir::toNativeSeparators(dir.path()));
}

void TestBrowseForFolder::qtChooserCancelled()
{
    QTimer::singleShot(0, this, [] {
        auto *dialog = qobject_cast<FolderChooserDialog *>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        QTest::mouseClick(dialog->CancelButton, Qt::LeftButton);
    });
    TBrowseForFolderDialog picker;
    QVERIFY(!picker.Execute());
    QCOMPARE(picker.GetPath(), QString());
}

QTEST_MAIN(TestBrowseForFolder)
#include "test_browseforfolder.moc"
