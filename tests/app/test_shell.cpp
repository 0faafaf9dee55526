// The application shell: start-up, the main menu, the progress window and
// the save prompt.

#include "app/program.h"
#include "app/tprogress.h"
#include "app/ttoolmenu.h"
#include "convert/tdict1.h"
#include "convert/window_recorders.h"
#include "editor/opendictionaryeditor.h"
#include "editor/tdict2.h"
#include "editor/tsaving.h"
#include "settings/settings.h"
#include "support/recorders.h"

#include <QComboBox>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <QTableView>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QApplication>
#include <QTest>
#include <QWindow>
#include <QTimer>
#include <QToolButton>

#include <functional>
#include <utility>

namespace {

// The program's progress window, with a hook that runs once, the first time
// a text is set: the user acting while the work goes on.
class ProgressHook final : public ProgressOperations {
public:
    explicit ProgressHook(ProgressOperations &real) : real(real) {}
    void ShowProgress() override { real.ShowProgress(); }
    void SetProgressText(const QString &text) override
    {
        real.SetProgressText(text);
        if (onText && text.startsWith(prefix))
            std::exchange(onText, {})();
    }
    void SetProgressPosition(int position) override { real.SetProgressPosition(position); }
    void ProcessPendingEvents() override { real.ProcessPendingEvents(); }
    void CloseProgress() override { real.CloseProgress(); }

    ProgressOperations &real;
    QString prefix;
    std::function<void()> onText;

private:
    const ScopedOverride<ProgressOperations> hooked{progressSeam(), *this};
};

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

} // namespace

class TestShell : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void startUpCreatesTheWindowsAndLoadsSettings();
    void aSettingsStoreThatCannotBeCreatedIsReported();
    void theOtherWindowsFollowTheMenusFirstFrame();
    void inputBeforeTheFirstFrameFindsTheWindows();
    void conversionWindowsNeedThePerlPath();
    void maintainButtonOnlyActivatesAVisibleEditor();
    void titlePictureDragsTheWindowWithAnyButton();
    void leavingAsksAboutUnsavedEdits();
    void leavingWhileBusyEndsTheProgram_data();
    void leavingWhileBusyEndsTheProgram();
    void saveTextIsPaintedBeforeTheWrite();
    void leavingDuringASlowRunWaitsForItsOutput();
    void progressWindow();
    void savePromptAnswers();

private:
    QTemporaryDir dir;
    std::unique_ptr<MessageRecorder> messages;
    std::unique_ptr<FileDialogAnswers> dialogs;
    std::unique_ptr<Program> program;
};

void TestShell::initTestCase()
{
    QVERIFY(dir.isValid());
}

void TestShell::init()
{
    qputenv("XDG_CONFIG_HOME", dir.filePath(QStringLiteral("config")).toLocal8Bit());
    RegDat = TRegDat();
    messages = std::make_unique<MessageRecorder>();
    dialogs = std::make_unique<FileDialogAnswers>();
}

void TestShell::cleanup()
{
    program.reset();
    dialogs.reset();
    messages.reset();
}

void TestShell::startUpCreatesTheWindowsAndLoadsSettings()
{
    program = CreateProgram();
    QVERIFY(program->ToolMenu && program->Settings && program->Dict1 && program->Dict2 && program->Dict3
            && program->Progress && program->AbtBox && program->Saving);
    QCOMPARE(program->ToolMenu->windowTitle(), QStringLiteral("Tavisorn v2.0 選單"));
    QCOMPARE(program->Settings->windowTitle(), QStringLiteral("設定"));
    QCOMPARE(program->Dict1->windowTitle(), QStringLiteral("製作字典檔"));
    QCOMPARE(program->Dict2->windowTitle(), QStringLiteral("字典檔維護"));
    QCOMPARE(program->Dict3->windowTitle(), QStringLiteral("翻譯新版本"));
    QCOMPARE(program->Progress->windowTitle(), QStringLiteral("進度"));
    QCOMPARE(program->AbtBox->windowTitle(), QStringLiteral("關於..."));
    QCOMPARE(program->Saving->windowTitle(), QStringLiteral("訊息"));
    // Captions stay plain: a display name set for the application would be
    // appended to each of them on the screen.
    QCOMPARE(QApplication::applicationDisplayName(), QApplication::applicationName());
    // Settings were loaded: the filter is built, WorkDirectory ends in a separator.
    QCOMPARE(DictionaryFilter, QStringLiteral("文字檔 (*.txt)|*.txt|所有檔案 (*.*)|*.*"));
    QVERIFY(WorkDirectory.endsWith(QLatin1Char('/')));
    QVERIFY(messages->messages.isEmpty());

    TToolMenu *menu = program->ToolMenu;
    QVERIFY(menu->windowFlags() & Qt::FramelessWindowHint);
    QCOMPARE(menu->size(), QSize(348, 233));
    const QStringList captions{menu->SpeedButton1->text(), menu->SpeedButton2->text(), menu->SpeedButton3->text(),
                               menu->SpeedButton4->text(), menu->SpeedButton5->text(), menu->SpeedButton6->text()};
    QCOMPARE(captions, QStringList({QStringLiteral("製作字典檔"), QStringLiteral("字典檔維護"), QStringLiteral("翻譯新版本"),
                                    QStringLiteral("設定"), QStringLiteral("關於"), QStringLiteral("離開")}));
    // The caption stands in the button's last 22 pixels, from 200 on; the
    // picture above it belongs to the button too.
    const QRect settingsButton = menu->SpeedButton4->geometry();
    QCOMPARE(settingsButton.left(), 16);
    QCOMPARE(settingsButton.width(), 89);
    QCOMPARE(settingsButton.bottom(), 200 + 22 - 1);
    QVERIFY(settingsButton.top() <= menu->Image10->mapTo(menu, QPoint()).y());
}

void TestShell::aSettingsStoreThatCannotBeCreatedIsReported()
{
    // A config folder below a plain file cannot be created, not even by root.
    QFile blocker(dir.filePath(QStringLiteral("blocker")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    qputenv("XDG_CONFIG_HOME", dir.filePath(QStringLiteral("blocker/config")).toLocal8Bit());
    program = CreateProgram();
    QCOMPARE(messages->messages.size(), qsizetype(1));
    QCOMPARE(messages->messages.first().kind, QStringLiteral("error"));
    QCOMPARE(messages->messages.first().text, QStringLiteral("無法建立登錄: \"\\Software\\Tavisorn\""));
    QCOMPARE(messages->messages.first().caption, QStringLiteral("Tavisorn 2.0"));
    // The program goes on with the defaults.
    QVERIFY(program->ToolMenu);
    QCOMPARE(RegDat.UserSize, 9);
    QVERIFY(RegDat.ChangeFontFace);
}

// The program's own start shows the main menu first and makes the other
// seven windows once it has painted.
void TestShell::theOtherWindowsFollowTheMenusFirstFrame()
{
    program = StartProgram();
    QVERIFY(program->ToolMenu);
    QVERIFY(!program->Settings && !program->Dict1 && !program->Dict2 && !program->Saving);
    FinishProgramOnceShown(*program);
    program->ToolMenu->show();
    QTRY_VERIFY(program->Saving);
    QVERIFY(program->Settings && program->Dict1 && program->Dict2 && program->Dict3 && program->Progress
            && program->AbtBox);
    QCOMPARE(program->ToolMenu->MaintenanceWindow, program->Dict2);
    QCOMPARE(program->ToolMenu->MakeDictionaryWindow, program->Dict1);
    QCOMPARE(program->ToolMenu->AboutWindow, program->AbtBox);
    QWidget *const dict1 = program->Dict1;
    FinishProgram(*program); // a second time makes nothing new
    QCOMPARE(program->Dict1, dict1);
}

// A click that comes before the menu has painted must not find the window it
// opens missing; the pointer merely resting on the menu makes nothing.
void TestShell::inputBeforeTheFirstFrameFindsTheWindows()
{
    program = StartProgram();
    FinishProgramOnceShown(*program);
    QPushButton *button = program->ToolMenu->SpeedButton1;
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), button->mapToGlobal(QPointF(5, 5)));
    QCoreApplication::sendEvent(button, &enter);
    QTest::mouseMove(button, QPoint(6, 6));
    QVERIFY(!program->Dict1);

    RegDat.PerlPath = QStringLiteral("/usr/bin/perl");
    QTest::mouseClick(button, Qt::LeftButton);
    QVERIFY(program->Dict1);
    QVERIFY(program->Dict1->isVisible());
}

void TestShell::conversionWindowsNeedThePerlPath()
{
    program = CreateProgram();
    TToolMenu *menu = program->ToolMenu;
    menu->show();
    RegDat.PerlPath.clear();
    QTest::mouseClick(menu->SpeedButton1, Qt::LeftButton);
    QTest::mouseClick(menu->SpeedButton3, Qt::LeftButton);
    QCOMPARE(messages->messages.size(), qsizetype(2));
    for (const RecordedMessage &m : messages->messages) {
        QCOMPARE(m.kind, QStringLiteral("message"));
        QCOMPARE(m.text, QStringLiteral("未設定Perl路徑。請先到按[設定]按鈕，設定Perl軟件路徑。"));
        QCOMPARE(m.caption, QStringLiteral("Perl路徑錯誤"));
        QCOMPARE(m.owner, menu);
    }
    QVERIFY(!program->Dict1->isVisible() && !program->Dict3->isVisible());

    RegDat.PerlPath = QStringLiteral("/usr/bin/perl");
    QTest::mouseClick(menu->SpeedButton1, Qt::LeftButton);
    QVERIFY(program->Dict1->isVisible());
    QTest::mouseClick(menu->SpeedButton3, Qt::LeftButton);
    QVERIFY(program->Dict3->isVisible());
    QCOMPARE(messages->messages.size(), qsizetype(2));
}

void TestShell::maintainButtonOnlyActivatesAVisibleEditor()
{
    program = CreateProgram();
    TToolMenu *menu = program->ToolMenu;
    menu->show();
    dialogs->answers.push_back(QString());
    QTest::mouseClick(menu->SpeedButton2, Qt::LeftButton);
    QCOMPARE(dialogs->shown.size(), qsizetype(1)); // asks for a dictionary
    QCOMPARE(messages->messages.last().text, QStringLiteral("使用者取消。"));
    QVERIFY(!program->Dict2->isVisible());

    program->Dict2->show();
    QTest::mouseClick(menu->SpeedButton2, Qt::LeftButton);
    QCOMPARE(dialogs->shown.size(), qsizetype(1)); // no second dialog
}

void TestShell::titlePictureDragsTheWindowWithAnyButton()
{
    program = CreateProgram();
    TToolMenu *menu = program->ToolMenu;
    menu->move(100, 100);
    menu->show();
    QVERIFY(QTest::qWaitForWindowExposed(menu));
    const QPoint start = menu->pos();
    QTest::mousePress(menu->Image13, Qt::RightButton, {}, QPoint(20, 10));
    QVERIFY(menu->Dragging);
    QMouseEvent move(QEvent::MouseMove, QPointF(50, 30), menu->Image13->mapToGlobal(QPointF(50, 30)), Qt::NoButton,
                     Qt::RightButton, Qt::NoModifier);
    QCoreApplication::sendEvent(menu->Image13, &move);
    QCOMPARE(menu->pos(), start + QPoint(30, 20));
    QTest::mouseRelease(menu->Image13, Qt::RightButton, {}, QPoint(50, 30));
    QVERIFY(!menu->Dragging);
    QCoreApplication::sendEvent(menu->Image13, &move);
    QCOMPARE(menu->pos(), start + QPoint(30, 20)); // no button held: no move
}

void TestShell::leavingAsksAboutUnsavedEdits()
{
    program = CreateProgram();
    struct Prompt final : SavePrompt {
        unsigned char answer = 2;
        int asked = 0;
        unsigned char Ask(const QString &, const QString &) override
        {
            ++asked;
            return answer;
        }
    } prompt;
    const ScopedOverride<SavePrompt> answering(savePromptSeam(), prompt);
    TToolMenu *menu = program->ToolMenu;
    int ended = 0;
    menu->EndProgram = [&ended] { ++ended; };
    menu->show();
    const QString dictionary = dir.filePath(QStringLiteral("d.txt"));
    writeFile(dictionary, "File\r\n\xC0\xC9\xAE\xD7\r\n");
    QVERIFY(OpenDictionaryEditor(*program->Dict2, dictionary));
    TDict2 *editor = program->Dict2;
    editor->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(editor));
    // Text typed into the choice box, not yet committed, is asked about too.
    editor->SG->setFocus();
    editor->SetCurrentCell(2, 1);
    QVERIFY(editor->CB->isVisible());
    editor->CB->setFocus();
    editor->CB->lineEdit()->selectAll();
    QTest::keyClicks(editor->CB->lineEdit(), QStringLiteral("xyz"));
    QTest::mouseClick(menu->SpeedButton6, Qt::LeftButton);
    QCOMPARE(prompt.asked, 1);
    QVERIFY(menu->isVisible()); // Cancel: the program keeps running
    QCOMPARE(ended, 0);
    QCOMPARE(program->Document.Tables.EntryTable[0].ChosenTranslation(), std::string("xyz"));
    prompt.answer = 1;
    QTest::mouseClick(menu->SpeedButton6, Qt::LeftButton);
    QCOMPARE(prompt.asked, 2);
    QVERIFY(!menu->isVisible());
    QCOMPARE(ended, 1);
}


void TestShell::leavingWhileBusyEndsTheProgram_data()
{
    QTest::addColumn<QString>("work");
    QTest::newRow("load") << QStringLiteral("load");
    QTest::newRow("save") << QStringLiteral("save");
    QTest::newRow("wait for an extraction") << QStringLiteral("wait");
}

void TestShell::leavingWhileBusyEndsTheProgram()
{
    // 離開 while the progress window is up: the program ends, in the real
    // event loop, once the work has stopped.
    QFETCH(QString, work);
    program = CreateProgram();
    LaunchRecorder launches;
    RegDat.PerlPath = QStringLiteral("/usr/bin/perl");
    WorkDirectory = dir.path() + QLatin1Char('/');
    const QString dictionary = dir.filePath(QStringLiteral("d.txt"));
    writeFile(dictionary, "File\r\n\xC0\xC9\xAE\xD7\r\n");
    TToolMenu *menu = program->ToolMenu;
    auto *dict1 = static_cast<TDict1 *>(program->Dict1);
    menu->show();
    ProgressHook hook(*program->Progress);
    const auto leaveAt = [&](const QString &prefix) {
        hook.prefix = prefix;
        hook.onText = [menu] { menu->SpeedButton6->click(); };
    };

    if (work == QLatin1String("load")) {
        leaveAt(QStringLiteral("正在"));
        dialogs->answers = {dictionary};
        QTimer::singleShot(0, menu->SpeedButton2, &QPushButton::click);
    } else if (work == QLatin1String("save")) {
        QVERIFY(OpenDictionaryEditor(*program->Dict2, dictionary));
        program->Document.Modified = true;
        leaveAt(QStringLiteral("儲存檔案中"));
        QTimer::singleShot(0, program->Dict2, [&] { program->Dict2->SaveBtnClick(); });
    } else {
        dict1->E1->setText(dir.filePath(QStringLiteral("a.rc")));
        dict1->E2->setText(dir.filePath(QStringLiteral("b.rc")));
        dict1->E3->setText(dictionary);
        writeFile(dict1->E1->text(), "");
        writeFile(dict1->E2->text(), "");
        dict1->show();
        dict1->SpeedButton4Click();
        QVERIFY(scriptRunner().IsRunning(RunKind::Extraction));
        leaveAt(QStringLiteral("等待字典檔製作完成"));
        QTimer::singleShot(0, dict1->EditDict, &QToolButton::click);
        messages->choiceAnswer = 1; // stop the run: its output is not written
    }
    // A program that does not end is stopped after a while, as a failure.
    QTimer::singleShot(20000, qApp, [] { QCoreApplication::exit(99); });
    QCOMPARE(QApplication::exec(), 0);
    QVERIFY(!hook.onText); // 離開 was pressed while the work went on
    if (work == QLatin1String("wait")) {
        // Asked about the run, which was stopped; nothing was loaded.
        QCOMPARE(messages->messages.first().kind, QStringLiteral("choice 等它完成/停止/取消"));
        QVERIFY(!scriptRunner().IsRunning(RunKind::Extraction));
        QCOMPARE(QFile(dictionary).size(), qint64(12)); // the old dictionary
        QVERIFY(!program->Dict2->isVisible());
    }
}

// 離開 while a slow interpreter (a wrapper that sleeps, then runs perl)
// works: the user is asked; Cancel keeps the program and the run, waiting
// ends the program once the new dictionary is in place.
void TestShell::leavingDuringASlowRunWaitsForItsOutput()
{
    if (QStandardPaths::findExecutable(QStringLiteral("perl")).isEmpty())
        QSKIP("no perl on the PATH");
    program = CreateProgram();
    const QString slow = dir.filePath(QStringLiteral("slow perl"));
    writeFile(slow, "#!/bin/sh\nsleep 2\nexec perl \"$@\"\n");
    QVERIFY(QFile::setPermissions(slow, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
    RegDat.PerlPath = slow;
    WorkDirectory = dir.path() + QLatin1Char('/');
    const QByteArray head("// Microsoft Visual C++ generated resource script.\r\nSTRINGTABLE\r\nBEGIN\r\n");
    auto *dict1 = static_cast<TDict1 *>(program->Dict1);
    dict1->E1->setText(dir.filePath(QStringLiteral("slow-en.rc")));
    dict1->E2->setText(dir.filePath(QStringLiteral("slow-zh.rc")));
    dict1->E3->setText(dir.filePath(QStringLiteral("slow.txt")));
    writeFile(dict1->E1->text(), head + "    IDS_OPEN \"Open\"\r\nEND\r\n");
    writeFile(dict1->E2->text(), head + "    IDS_OPEN \"\xB6}\xB1\xD2\"\r\nEND\r\n");
    writeFile(dict1->E3->text(), "old\r\n");
    TToolMenu *menu = program->ToolMenu;
    menu->show();
    dict1->show();
    dict1->SpeedButton4->click();
    QVERIFY(scriptRunner().IsRunning(RunKind::Extraction));
    QVERIFY(dict1->StopButton->isVisible());

    messages->choiceAnswer = 2;
    QTest::mouseClick(menu->SpeedButton6, Qt::LeftButton);
    QCOMPARE(messages->messages.size(), qsizetype(1));
    QCOMPARE(messages->messages.first().text, ScriptRunner::EndWhileRunningQuestion());
    QVERIFY(menu->isVisible());
    QVERIFY(scriptRunner().IsRunning(RunKind::Extraction));

    messages->choiceAnswer = 0;
    QTimer::singleShot(0, menu->SpeedButton6, &QPushButton::click);
    QTimer::singleShot(20000, qApp, [] { QCoreApplication::exit(99); });
    QCOMPARE(QApplication::exec(), 0);
    QVERIFY(!scriptRunner().IsRunning(RunKind::Extraction));
    QFile written(dict1->E3->text());
    QVERIFY(written.open(QIODevice::ReadOnly));
    QCOMPARE(written.readAll(), QByteArray("Open\r\n\xB6}\xB1\xD2\r\n"));
}

void TestShell::saveTextIsPaintedBeforeTheWrite()
{
    program = CreateProgram();
    const QString dictionary = dir.filePath(QStringLiteral("d.txt"));
    writeFile(dictionary, "File\r\n\xC0\xC9\xAE\xD7\r\n");
    QVERIFY(OpenDictionaryEditor(*program->Dict2, dictionary));
    struct PaintLog final : QObject {
        QStringList painted;
        bool eventFilter(QObject *watched, QEvent *event) override
        {
            if (event->type() == QEvent::Paint)
                painted << static_cast<QLabel *>(watched)->text();
            return false;
        }
    } log;
    program->Progress->Text->installEventFilter(&log);
    program->Document.Modified = true;
    QVERIFY(program->Dict2->SaveBtnClick());
    QVERIFY(log.painted.contains(QStringLiteral("儲存檔案中，請稍候...")));
}

void TestShell::progressWindow()
{
    TProgress p;
    QCOMPARE(p.windowTitle(), QStringLiteral("進度"));
    QCOMPARE(p.size(), QSize(327, 59));
    QVERIFY(!(p.windowFlags() & Qt::WindowCloseButtonHint));
    QCOMPARE(p.Text->text(), QStringLiteral("..."));
    QCOMPARE(p.PB->value(), 10);
    QCOMPARE(p.PB->geometry(), QRect(16, 32, 297, 18));
    p.CloseProgress(); // closing while hidden does nothing
    QVERIFY(!p.isVisible());
    p.ShowProgress();
    p.ShowProgress();
    QVERIFY(p.isVisible());
    p.SetProgressText(QStringLiteral("正在排列字串..."));
    p.SetProgressPosition(40);
    QCOMPARE(p.Text->text(), QStringLiteral("正在排列字串..."));
    QCOMPARE(p.PB->value(), 40);
    p.close(); // no close box: only the work that showed it closes it
    QVERIFY(p.isVisible());
    p.CloseProgress();
    QVERIFY(!p.isVisible());
    QCOMPARE(p.PB->value(), 40); // keeps its last state while hidden

    // It belongs to the window at work when it is shown, and stays above
    // that one under a window manager (a box that window opens raises it).
    QWidget first, second;
    for (QWidget *w : {&first, &second}) {
        w->show();
        w->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w));
        p.ShowProgress();
        QVERIFY(p.windowHandle());
        QCOMPARE(p.windowHandle()->transientParent(), w->windowHandle());
        p.ShowProgress(); // shown again while up: still the same window's
        QCOMPARE(p.windowHandle()->transientParent(), w->windowHandle());
        p.CloseProgress();
        // The window at work stays active, its shortcuts in force.
        QTRY_COMPARE(QApplication::activeWindow(), w);
    }
}

void TestShell::savePromptAnswers()
{
    TSaving s;
    QCOMPARE(s.size(), QSize(297, 101));
    QCOMPARE(s.SpeedButton1->text(), QStringLiteral("是 (&Y)"));
    QCOMPARE(s.SpeedButton2->text(), QStringLiteral("否 (&N)"));
    QCOMPARE(s.SpeedButton3->text(), QStringLiteral("取消"));
    SaveAnswer = 0;
    s.show();
    QTest::mouseClick(s.SpeedButton3, Qt::LeftButton);
    QCOMPARE(SaveAnswer, (unsigned char)2);
    QVERIFY(!s.isVisible());
    s.show();
    QTest::mouseClick(s.SpeedButton1, Qt::LeftButton);
    QCOMPARE(SaveAnswer, (unsigned char)0);
    s.show();
    QTest::mouseClick(s.SpeedButton2, Qt::LeftButton);
    QCOMPARE(SaveAnswer, (unsigned char)1);
    // Closing it any other way is Cancel, not the previous answer.
    s.show();
    s.close();
    QCOMPARE(SaveAnswer, (unsigned char)2);
}

QTEST_MAIN(TestShell)
#include "test_shell.moc"
