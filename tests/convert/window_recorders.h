#pragma once
// Stand-ins for the progress window and the interpreter start, used by the
// tests of the two conversion windows, and the common set-up of those tests.

#include "convert/launcher.h"
#include "convert/runner.h"
#include "editor/opendictionaryeditor.h"
#include "editor/showentry.h"
#include "editor/tdict2.h"
#include "platform/codepage.h"
#include "platform/fonts.h"
#include "platform/progress.h"
#include "settings/settings.h"
#include "support/recorders.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QList>
#include <QSignalSpy>
#include <QTest>
#include <QWidget>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <memory>
#include <vector>

// Records every progress operation as one line: "show", "close",
// "text <text>", "pos <n>".
class ProgressLog final : public ProgressOperations {
public:
    void ShowProgress() override { log.append(QStringLiteral("show")); }
    void SetProgressText(const QString &text) override
    {
        log.append(QStringLiteral("text ") + text);
        if (onText)
            onText(text);
    }
    void SetProgressPosition(int position) override { log.append(QStringLiteral("pos %1").arg(position)); }
    void ProcessPendingEvents() override {}
    void CloseProgress() override { log.append(QStringLiteral("close")); }

    QStringList log;
    std::function<void(const QString &)> onText;

private:
    const ScopedOverride<ProgressOperations> recording{progressSeam(), *this};
};

// Records interpreter starts instead of running perl; the test ends them.
class LaunchRecorder final : public ScriptLauncher {
public:
    ~LaunchRecorder() override
    {
        // Lets the runner forget the jobs of this test.
        finishAll(0);
    }

    StartResult start(const InterpreterCommand &command,
                      std::function<void(int exitCode, bool crashed)> finished) override
    {
        commands.append(command);
        if (!startError.isEmpty())
            return {false, startError};
        running.push_back(std::move(finished));
        return {true, QString()};
    }

    // Ends the earliest interpreter still running.
    void finish(int exitCode, bool crashed = false)
    {
        if (running.empty())
            return;
        auto finished = std::move(running.front());
        running.erase(running.begin());
        finished(exitCode, crashed);
    }
    void finishAll(int exitCode)
    {
        while (!running.empty())
            finish(exitCode);
    }

    // The file the script of the latest start writes (its $f3 line): the
    // run's own, which the program puts in place after a good end.
    QString output() const
    {
        if (commands.isEmpty())
            return {};
        QFile script(commands.last().arguments.value(0));
        if (!script.open(QIODevice::ReadOnly))
            return {};
        const QByteArray bytes = script.readAll();
        const qsizetype at = bytes.indexOf("$f3=\"");
        if (at < 0)
            return {};
        const qsizetype from = at + 5;
        return QFile::decodeName(bytes.mid(from, bytes.indexOf('"', from) - from));
    }

    QList<InterpreterCommand> commands;
    std::vector<std::function<void(int, bool)>> running;
    QString startError; // non-empty: starts fail with it

private:
    const ScopedOverride<ScriptLauncher> recording{scriptRunner().launcherSeam(), *this};
};

// Settings in a throw-away place, the working folder in a temporary folder,
// and a maintenance window for the switches to show.
struct WindowTestSetting {
    QTemporaryDir config;
    QTemporaryDir work;
    DictionaryDocument document;
    std::unique_ptr<TDict2> editor;

    WindowTestSetting()
    {
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(config.path()));
        InstallFontSubstitutions();
        RegDat = TRegDat();
        RegDat.PerlPath = QStringLiteral("/usr/bin/perl");
        DictionaryFilter = BuildDictionaryFilter();
        WorkDirectory = work.path() + QLatin1Char('/');
        document.SetExtractionWatch(&RunnerExtractionWatch());
        editor = std::make_unique<TDict2>(document);
    }

    // A conversion window wired to the maintenance window as the program wires it.
    template <class Window>
    void Connect(Window &window)
    {
        window.OpenEditor = [this](const QString &fileName) { return OpenDictionaryEditor(*editor, fileName); };
        if constexpr (requires { window.SetEditorEnabled; })
            window.SetEditorEnabled = [this](bool enabled) { editor->SetInputEnabled(enabled); };
        if constexpr (requires { window.AddToDictionary; })
            window.AddToDictionary = [this](const QString &fileName, const std::vector<std::string> &texts,
                                            const SuggestedTranslations &suggested) {
                return AddTextsToDictionary(*editor, fileName, texts, suggested);
            };
        if constexpr (requires { window.ApplyFixes; })
            window.ApplyFixes = [this](const QString &fileName,
                                       const std::vector<std::pair<std::string, QString>> &fixes) {
                return ApplyDictionaryFixes(*editor, fileName, fixes);
            };
    }

    QString path(const QString &name) const { return work.filePath(name); }
    void write(const QString &name, const QByteArray &bytes) const
    {
        QFile f(path(name));
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
    }
};

// The common set-up of the tests of one conversion window: the setting, the
// recorders and a new window for every test, undone in the reverse order.
// Tests derive from it next to QObject and call set up / tear down from their
// init() and cleanup().
template <class Window>
class ConversionWindowTest {
protected:
    void setUpWindow()
    {
        setting = std::make_unique<WindowTestSetting>();
        messages = std::make_unique<MessageRecorder>();
        dialogs = std::make_unique<FileDialogAnswers>();
        progressLog = std::make_unique<ProgressLog>();
        launches = std::make_unique<LaunchRecorder>();
        window = std::make_unique<Window>(setting->document);
        setting->Connect(*window);
    }
    void tearDownWindow()
    {
        window.reset();
        launches.reset();
        progressLog.reset();
        dialogs.reset();
        messages.reset();
        setting.reset();
    }

    std::unique_ptr<WindowTestSetting> setting;
    std::unique_ptr<MessageRecorder> messages;
    std::unique_ptr<FileDialogAnswers> dialogs;
    std::unique_ptr<ProgressLog> progressLog;
    std::unique_ptr<LaunchRecorder> launches;
    std::unique_ptr<Window> window;
};

// An open dialog offers only files that exist: the tests make the files
// they choose to open.
inline void MakeFileToOpen(const QString &path)
{
    QFile f(path);
    if (!f.exists() && f.open(QIODevice::WriteOnly))
        f.write("// Microsoft Visual C++\r\n");
}

// The lines of a script file as written (CR LF after every line).
inline QList<QByteArray> ScriptLines(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QList<QByteArray> lines = f.readAll().split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

// The next control that the Tab key reaches from w.
inline QWidget *NextTabStop(QWidget *w)
{
    QWidget *next = w->nextInFocusChain();
    while (next != w && !(next->focusPolicy() & Qt::TabFocus))
        next = next->nextInFocusChain();
    return next;
}

// The controls the Tab key reaches, pressed `presses` times from `from` in
// a shown, active window.
inline QList<QWidget *> TabbedThrough(QWidget *from, int presses)
{
    from->setFocus(Qt::TabFocusReason);
    QList<QWidget *> reached{from->window()->focusWidget()};
    for (int i = 0; i < presses; ++i) {
        QTest::keyClick(from->window()->focusWidget(), Qt::Key_Tab);
        reached << from->window()->focusWidget();
    }
    return reached;
}

// Every keyboard shortcut of a window's visible controls: the mnemonics of
// labels with a buddy and of buttons, and the buttons' own keys. A key held
// by two controls would reach only one of them.
inline QList<QKeySequence> WindowKeys(QWidget *window)
{
    QList<QKeySequence> keys;
    for (QLabel *label : window->findChildren<QLabel *>())
        if (label->buddy() && label->isVisibleTo(window))
            keys << QKeySequence::mnemonic(label->text());
    for (QAbstractButton *button : window->findChildren<QAbstractButton *>()) {
        if (!button->isVisibleTo(window))
            continue;
        if (!button->shortcut().isEmpty())
            keys << button->shortcut();
    }
    return keys;
}

// Presses a window's start button with the real interpreter (the test has
// no LaunchRecorder then) and waits for the interpreter's end, as the runner
// tells it. An end that never came reads as a crash.
inline RunEnd RunWithInterpreter(QAbstractButton *start)
{
    QSignalSpy ended(&scriptRunner(), &ScriptRunner::RunEnded);
    start->click();
    const bool started = scriptRunner().IsRunning(RunKind::Extraction) || scriptRunner().IsRunning(RunKind::Translation);
    if (!(started || !ended.isEmpty()) || !QTest::qWaitFor([&] { return !ended.isEmpty(); }, 60000))
        return RunEnd{RunKind::Extraction, {}, -1, true, {}, {}, {}, {}};
    return ended.front().at(0).value<RunEnd>();
}

inline QByteArray FileBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}

inline QByteArray Big5(const QString &text)
{
    return QByteArray::fromStdString(cp950::encode(text).value_or("<not Big5>"));
}
