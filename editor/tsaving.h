#pragma once
// The small Yes/No/Cancel prompt that the maintenance window shows before
// unsaved changes could be lost.

#include <QDialog>

class QLabel;
class QPushButton;

// 0 = Yes, 1 = No, 2 = Cancel. Only the three buttons set it; closing the
// prompt by its title bar leaves the previous answer in force.
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
