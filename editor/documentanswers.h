#pragma once
// The maintenance window's answers to its document: the save prompt, the
// save dialog and the message boxes, and the progress window.

#include "document/document.h"

class TDict2;

class DocumentAnswers final : public DocumentQuestions, public DocumentProgress {
public:
    explicit DocumentAnswers(TDict2 &window) : window(window) {}

    SaveChoice AskToSave(const QString &line1, const QString &line2) override;
    QString ChooseSaveFile() override;
    void ReportError(const QString &text) override;
    void Tell(const QString &text, const QString &caption) override;
    bool Confirm(const QString &text, const QString &caption) override;

    void SetText(const QString &text) override;
    void SetPosition(int position) override;
    void ProcessEvents() override;
    void Show() override;
    void ShowPainted(const QString &text) override;
    void Close() override;

private:
    TDict2 &window;
};
