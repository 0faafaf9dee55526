#pragma once
// Stand-in for the folder picker: answers in order, records what was asked.

#include "widgets/browseforfolder.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <deque>

// Answers folder pickers in order: a path chooses it, empty text cancels.
class FolderAnswers final : public FolderPickerService {
public:
    QString run(QWidget *owner, const QString &prompt) override
    {
        owners.append(owner);
        prompts.append(prompt);
        if (answers.empty())
            return QString();
        const QString answer = answers.front();
        answers.pop_front();
        return answer;
    }
    std::deque<QString> answers;
    QStringList prompts;
    QList<QWidget *> owners;

private:
    const ScopedOverride<FolderPickerService> answering{folderPickerSeam(), *this};
};
