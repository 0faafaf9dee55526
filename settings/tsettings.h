#pragma once
// The settings dialog: the Perl interpreter's location, last-used or custom
// start folders, the dictionary extension and its description, the blank
// before inserted hot keys, and the lines and font of the maintenance
// window's string box. OK copies the controls into RegDat, saves the record
// and refreshes what depends on it; Cancel discards the edits.

#include "platform/filedialog.h"

#include <QDialog>
#include <QFont>

class QCheckBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QToolButton;
class StringAreaHost;

// Spin buttons beside a read-only number edit: up and down arrows stepping a
// position between a lower and an upper limit, without wrapping around.
class TUpDown : public QWidget {
    Q_OBJECT
public:
    explicit TUpDown(QWidget *parent = nullptr);

    void setRange(int min, int max);
    int position() const { return Position; }
    // Clamped into the range; emits positionChanged when the position moves.
    void setPosition(int position);
    // An arrow pressed: moves within the range and emits stepped, also when
    // the position stays at a limit.
    void stepBy(int steps);

    QToolButton *Up;
    QToolButton *Down;

signals:
    void positionChanged(int position);
    void stepped(int position);

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    int Min = 0;
    int Max = 100;
    int Position = 0;
};

// The patterns of the Perl file dialog's filter as this platform names its
// executables: on Windows as written ("Perl.exe", "*.exe"); elsewhere the
// interpreter is "perl" (or "perl5.x") and any file may be executable.
QString PerlPatternMap(const QString &pattern);

class TSettings : public QDialog {
    Q_OBJECT
public:
    explicit TSettings(QWidget *parent = nullptr);

    // The maintenance window whose string area the font button and OK act
    // on; without one those steps are skipped.
    void SetStringAreaHost(StringAreaHost *host);
    StringAreaHost *StringArea() const { return Host; }

    // Time the maintenance window gets to show a new font before its string
    // area is re-arranged to fit it.
    static constexpr int ArrangeDelayMs = 400;

    QTabWidget *PC;
    QWidget *TabSheet1;
    QWidget *TabSheet2;
    QWidget *TabSheet3;

    QFrame *Panel1;
    QLabel *Label1;
    QLabel *Label2;
    QLineEdit *PerlTxt;
    QPushButton *Button1;
    FileDialog OD;

    QRadioButton *LastUse;
    QRadioButton *Custom;
    QFrame *Panel2;
    QLabel *Label3, *Label4, *Label5, *Label6, *Label7;
    QLineEdit *P1, *P2, *P3, *P4, *P5;
    QPushButton *L1, *L2, *L3, *L4, *L5;

    QGroupBox *GroupBox1;
    QLabel *Label9;
    QLabel *Label10;
    QLineEdit *Ext;
    QLabel *Label11;
    QLineEdit *ExtDesc;
    QGroupBox *GroupBox2;
    QLabel *Label8;
    QCheckBox *AddSpace;
    QGroupBox *GroupBox3;
    QLabel *Label12;
    QLineEdit *StrLineNo;
    TUpDown *UpDown1;
    QPushButton *Button2;
    QFont FD; // the font dialog's font, kept between uses

    QPushButton *Button7;
    QPushButton *Button8;

    void FormShow();
    void Button1Click();
    void LClick(int row); // L1 to L5, row 0 to 4
    void LastUseClick();
    void CustomClick();
    void UpDown1Changed(int position);
    void Button2Click();
    void Button7Click();
    void Button8Click();

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    StringAreaHost *Host = nullptr;
};
