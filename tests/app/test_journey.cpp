// A translator's whole journey through the real program and the real Perl
// interpreter: make a dictionary from the notepad resource scripts, settle a
// row in the maintenance window and save, switch to the translate window
// with that dictionary, and translate the English script.

#include "app/program.h"
#include "app/ttoolmenu.h"
#include "convert/runner.h"
#include "convert/tdict1.h"
#include "convert/tdict3.h"
#include "editor/tdict2.h"
#include "platform/codepage.h"
#include "settings/settings.h"
#include "support/recorders.h"

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

class TestJourney : public QObject {
    Q_OBJECT
private slots:
    void makeEditAndTranslate();
};

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

void TestJourney::makeEditAndTranslate()
{
    const QString corpus = QStringLiteral(TAVISORN_CORPUS_DIR "/notepad");
    if (!QFile::exists(corpus + QStringLiteral("/en.rc")))
        QSKIP("the resource-script corpus is not beside the project");
    const QString perl = QStandardPaths::findExecutable(QStringLiteral("perl"));
    QVERIFY2(!perl.isEmpty(), "perl is needed for the conversions");

    QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/tavisorn journey $@XXXXXX"));
    QVERIFY(dir.isValid());
    qputenv("XDG_CONFIG_HOME", dir.filePath(QStringLiteral("config")).toLocal8Bit());
    MessageRecorder messages;
    FileDialogAnswers dialogs;
    std::unique_ptr<Program> program = CreateProgram();
    WorkDirectory = dir.path() + QLatin1Char('/');
    RegDat.PerlPath = perl;

    auto *dict1 = static_cast<TDict1 *>(program->Dict1);
    auto *dict3 = static_cast<TDict3 *>(program->Dict3);
    QTest::mouseClick(program->ToolMenu->SpeedButton1, Qt::LeftButton);
    QVERIFY(dict1->isVisible());

    // Make the dictionary.
    const QString dictionary = dir.filePath(QStringLiteral("notepad 字典.txt"));
    dialogs.answers = {corpus + QStringLiteral("/en.rc"), corpus + QStringLiteral("/zh-TW.rc"), dictionary};
    dict1->Browse1Click();
    dict1->Browse2Click();
    dict1->Browse3Click();
    QCOMPARE(dict1->E3->text(), dictionary);
    QSignalSpy ended(&scriptRunner(), &ScriptRunner::RunEnded);
    QTest::mouseClick(dict1->SpeedButton4, Qt::LeftButton);
    QVERIFY(ended.wait(60000));
    QVERIFY(ended.at(0).at(0).value<RunEnd>().Succeeded());
    QVERIFY(QFile::exists(WorkDirectory + QStringLiteral("Glossary.pl")));
    const QByteArray made = readAll(dictionary);
    QVERIFY(made.contains("&File\r\n\xC0\xC9\xAE\xD7(&F)\r\n")); // 檔案(&F)

    // Open it in the maintenance window and give "&File" a new translation.
    QTest::mouseClick(dict1->EditDict, Qt::LeftButton);
    TDict2 *editor = program->Dict2;
    QVERIFY(editor->isVisible());
    QVERIFY(!dict1->isVisible());
    int fileRow = -1;
    for (int e = 0; e <= program->Document.Tables.LastEntry; ++e)
        if (program->Document.Tables.EntryTable[std::size_t(e)].Source == "&File")
            fileRow = e + 1;
    QVERIFY(fileRow > 0);
    editor->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(editor));
    editor->SG->setFocus();
    editor->SetCurrentCell(2, fileRow);
    QVERIFY(editor->CB->isVisible());
    editor->CB->setFocus();
    editor->CB->setEditText(QStringLiteral("檔案夾(&F)"));
    editor->SG->setFocus(); // leaving the box commits
    QVERIFY(program->Document.Modified);
    QTest::keyClick(editor->SG, Qt::Key_S, Qt::ControlModifier);
    QVERIFY(!program->Document.Modified);
    // The progress window was up during the save; the editor is active again.
    QVERIFY(QTest::qWaitForWindowActive(editor));
    QVERIFY(readAll(dictionary).contains("&File\r\n\xC0\xC9\xAE\xD7\xA7\xA8(&F)\r\n"));

    // Translate the English script with it.
    QTest::keyClick(editor->SG, Qt::Key_3, Qt::ControlModifier);
    QVERIFY(dict3->isVisible());
    QCOMPARE(dict3->T1->text(), dictionary);
    const QString translated = dir.filePath(QStringLiteral("translated \"new\".rc"));
    dialogs.answers = {corpus + QStringLiteral("/en.rc"), translated};
    dict3->B2Click();
    dict3->B3Click();
    QTest::mouseClick(dict3->SpeedButton4, Qt::LeftButton);
    QVERIFY(ended.wait(60000));
    QVERIFY(ended.at(1).at(0).value<RunEnd>().Succeeded());
    const QByteArray result = readAll(translated);
    QVERIFY(result.contains("POPUP \"\xC0\xC9\xAE\xD7\xA7\xA8(&F)\""));
    QVERIFY(result.endsWith("\r\n"));
    QVERIFY2(messages.messages.isEmpty(), qPrintable(messages.messages.value(0).text));
}

QTEST_MAIN(TestJourney)
#include "test_journey.moc"
