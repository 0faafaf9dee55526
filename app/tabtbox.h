#pragma once
// The About window: version, release date and three credit rows. The name
// box under the pointer lights up; a click on a name starts a mail message to
// that row's address in the desktop's mail program.

#include "platform/seam.h"
#include <QDialog>
#include <QUrl>

class QFrame;
class QLabel;
class QPushButton;
class TwiaTile;

// What opens a "mailto:" address: the desktop's mail program unless a test
// installed its own. A failure is ignored, as no message is wanted for it.
class UrlOpener {
public:
    virtual ~UrlOpener() = default;
    virtual void openUrl(const QUrl &url) = 0;
};

UrlOpener &urlOpener();
// Where a test records the addresses opened (ScopedOverride in platform/seam.h).
Overridable<UrlOpener> &urlOpenerSeam();

class TAbtBox : public QDialog {
    Q_OBJECT
public:
    explicit TAbtBox(QWidget *parent = nullptr);

    // The colour of the name box under the pointer; the others are white.
    static QColor highlightColor() { return QColor(0xFB, 0xD1, 0x84); }
    // The mail address of credit row 0 to 2.
    static QString creditAddress(int row);

    TwiaTile *wiaTile1;
    QLabel *Image1;
    QFrame *Bevel1;
    QLabel *Label1;
    QLabel *Label2;
    QLabel *Back1, *Label6, *Label12;  // the black bands
    QLabel *Label3, *Label5, *Label9;  // the role labels
    QFrame *Fore1, *Fore2, *Fore3;     // the name boxes
    QLabel *N1, *N2, *N3;              // the names
    QLabel *Label13;
    QPushButton *SpeedButton1;

    // Mouse move over row 0 to 2's name box or name; -1 for any other part
    // of the window.
    void NameMouseMove(int row);
    void NameClick(int row);
    void SpeedButton1Click();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    int rowOf(QObject *object) const;
    void trackMouse(QWidget *widget);
};
