#include "convert/runwindows.h"

#include "convert/runner.h"
#include "platform/messages.h"
#include "platform/progress.h"

namespace {

const QString ShownMark = QStringLiteral("RunsShownInWindows");

} // namespace

void ShowRunsInWindows(ScriptRunner &runner)
{
    if (runner.findChild<QObject *>(ShownMark, Qt::FindDirectChildrenOnly))
        return;
    // The connections end with this child, and so with the runner.
    auto *shown = new QObject(&runner);
    shown->setObjectName(ShownMark);

    QObject::connect(&runner, &ScriptRunner::ProgressOpened, shown, [](RunKind) { progress().ShowProgress(); });
    QObject::connect(&runner, &ScriptRunner::StageReached, shown, [](RunKind, int position, const QString &text) {
        ProgressOperations &p = progress();
        if (position != ScriptRunner::KeepPosition)
            p.SetProgressPosition(position);
        p.SetProgressText(text);
    });
    // The next showing starts with an empty bar.
    QObject::connect(&runner, &ScriptRunner::ProgressClosed, shown, [](RunKind) {
        ProgressOperations &p = progress();
        p.CloseProgress();
        p.SetProgressPosition(0);
    });
    QObject::connect(&runner, &ScriptRunner::Stopped, shown, [](const RunResult &result) {
        if (result.Reached == RunStep::ScriptNotWritten)
            ReportError(result.Text);
        else
            messageBoxes().message(activeWindow(), result.Text, result.Caption);
    });
    // A run's report is shown by the window that started it.
    QObject::connect(&runner, &ScriptRunner::RunEnded, shown, [](const RunEnd &end) {
        if (end.Stopped)
            messageBoxes().message(activeWindow(), ScriptRunner::StoppedMessage(end.Kind), RefusalCaption());
        else if (!end.Succeeded())
            messageBoxes().message(activeWindow(),
                                   ScriptRunner::FailedMessage(end.Kind, end.ExitCode, end.Crashed, end.Reason),
                                   RefusalCaption());
        else if (!end.FinishError.isEmpty())
            messageBoxes().message(activeWindow(), end.FinishError, RefusalCaption());
    });
}
