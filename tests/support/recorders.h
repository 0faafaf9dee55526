#pragma once
// Stand-ins for the program's message boxes, file dialogs and save prompt:
// they record what was asked and answer as the test says.

#include "platform/filedialog.h"
#include "platform/messages.h"

#include <QList>
#include <QString>

#include <deque>
#include <functional>

struct RecordedMessage {
    QString kind; // "message", "error" or "question"
    QString text;
    QString caption;
    QWidget *owner = nullptr;
};

class MessageRecorder final : public MessageBoxes {
public:
    void message(QWidget *owner, const QString &text, const QString &caption) override
    {
        messages.append({QStringLiteral("message"), text, caption, owner});
    }
    void error(QWidget *owner, const QString &text, const QString &caption) override
    {
        messages.append({QStringLiteral("error"), text, caption, owner});
    }
    bool question(QWidget *owner, const QString &text, const QString &caption) override
    {
        messages.append({QStringLiteral("question"), text, caption, owner});
        return questionAnswer;
    }
    int choose(QWidget *owner, const QString &text, const QString &caption, const QStringList &buttons) override
    {
        messages.append({QStringLiteral("choice ") + buttons.join(QLatin1Char('/')), text, caption, owner});
        if (whileChoosing)
            whileChoosing();
        return choiceAnswer;
    }

    QList<RecordedMessage> messages;
    bool questionAnswer = true;
    int choiceAnswer = -1;
    // Runs while a choice is up, as a real box's own events would.
    std::function<void()> whileChoosing;

private:
    const ScopedOverride<MessageBoxes> answering{messageBoxSeam(), *this};
};

// Answers file dialogs in order: a path chooses it, an empty text cancels.
class FileDialogAnswers final : public FileDialogService {
public:
    bool run(FileDialog &dialog, QWidget *) override
    {
        shown.append(dialog); // a copy: title, filter, folder as shown
        if (whileShown)
            whileShown();
        if (answers.empty())
            return false;
        const QString answer = answers.front();
        answers.pop_front();
        if (answer.isEmpty())
            return false;
        dialog.FileName = answer;
        return true;
    }

    std::deque<QString> answers;
    QList<FileDialog> shown;
    // Runs while the dialog is up, as a real dialog's own events would.
    std::function<void()> whileShown;

private:
    const ScopedOverride<FileDialogService> answering{fileDialogSeam(), *this};
};
