#pragma once
// The program's modeless find dialog.
//
// It offers a "find what" field, the direction (up or down, down preselected)
// and a match-case box that is always ticked and cannot be changed: searches
// of dictionary text are always case-sensitive. There is no whole-word option.
// The dialog keeps its text and direction between uses. It only asks: its
// find-next button (or Enter in the field) emits findNext, and the window that
// owns it searches. Cancel or Escape hides it.

#include <QDialog>
#include <QString>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

class FindDialog : public QDialog {
    Q_OBJECT
public:
    explicit FindDialog(QWidget *parent = nullptr);

    QString text() const;
    bool isDown() const;
    void setText(const QString &text);
    void setDown(bool down);

    // Shows the dialog modelessly with the given caption (e.g. "尋找"),
    // brings it to the front and selects the text of its field.
    void Execute(const QString &caption);

    // The controls, for tests and for the owner's layout needs.
    QLineEdit *findField() const { return FindText; }
    QRadioButton *upButton() const { return UpBtn; }
    QRadioButton *downButton() const { return DownBtn; }
    QCheckBox *matchCaseBox() const { return MatchCase; }
    QPushButton *findNextButton() const { return FindNextBtn; }
    QPushButton *cancelButton() const { return CancelBtn; }

signals:
    void findNext(const QString &text, bool down);

private:
    void FindNextBtnClick();
    void FindTextChange();

    QLineEdit *FindText;
    QRadioButton *UpBtn;
    QRadioButton *DownBtn;
    QCheckBox *MatchCase;
    QPushButton *FindNextBtn;
    QPushButton *CancelBtn;
};
