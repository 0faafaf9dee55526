#pragma once
// The small Yes/No/Cancel prompt that the maintenance window shows before
// unsaved changes could be lost.

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
};

// What asks the question: the TSaving window unless a test installed its own.
class SavePrompt {
public:
    virtual ~SavePrompt() = default;
    // Shows the two prompt lines modally and returns SaveAnswer afterwards.
    virtual unsigned char Ask(const QString &line1, const QString &line2) = 0;
};

SavePrompt &savePrompt();
void setSavePrompt(SavePrompt *prompt);
// The window the default prompt shows (created by the program at start).
void setSavingWindow(TSaving *window);
