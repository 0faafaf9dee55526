#pragma once
// The small Yes/No/Cancel prompt that the maintenance window shows before
// unsaved changes could be lost.

#include "platform/seam.h"
#include <QDialog>

class QLabel;
class QPushButton;

// 0 = Yes, 1 = No, 2 = Cancel. Each showing of the prompt starts at Cancel
// and only its three buttons change that: closing it by Escape or by its
// title bar neither saves nor discards anything.
extern unsigned char SaveAnswer;

class TSaving : public QDialog {
    Q_OBJECT
public:
    explicit TSaving(QWidget *parent = nullptr);

    QLabel *Label1;
    QLabel *Label2;
    QPushButton *SpeedButton1; // 是 (&Y)
    QPushButton *SpeedButton2; // 否 (&N)
    QPushButton *SpeedButton3; // 取消

    void SpeedButton1Click();
    void SpeedButton2Click();
    void SpeedButton3Click();

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
};

// What asks the question: the TSaving window unless a test installed its own.
class SavePrompt {
public:
    virtual ~SavePrompt() = default;
    // Shows the two prompt lines modally and returns SaveAnswer afterwards.
    virtual unsigned char Ask(const QString &line1, const QString &line2) = 0;
};

SavePrompt &savePrompt();
// Where the program puts its prompt window and a test its answers
// (ScopedOverride in platform/seam.h).
Overridable<SavePrompt> &savePromptSeam();

// The prompt in the program's own TSaving window, which the program puts
// on the seam once the window exists.
class SavingWindowPrompt final : public SavePrompt {
public:
    explicit SavingWindowPrompt(TSaving &window);
    unsigned char Ask(const QString &line1, const QString &line2) override;

private:
    TSaving &Window;
};
