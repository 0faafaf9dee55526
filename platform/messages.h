#pragma once
// Message boxes of the program, behind a seam that tests answer.
//
// Plain messages: Traditional Chinese text and caption, one OK button, no
// icon, over the owner window. The application's error report: the same
// with an error icon and the application title as caption.

#include "platform/seam.h"
#include <QString>
#include <QStringList>

class QWidget;

class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // One OK button, no icon. A null owner means no owner window.
    virtual void message(QWidget *owner, const QString &text, const QString &caption) = 0;
    // One OK button, error icon.
    virtual void error(QWidget *owner, const QString &text, const QString &caption) = 0;
    // Yes and No buttons, question icon; true for Yes.
    virtual bool question(QWidget *owner, const QString &text, const QString &caption) = 0;
    // One button for each of `buttons`, question icon: the index of the one
    // pressed; the last one (or -1) when the box is closed otherwise.
    virtual int choose(QWidget *owner, const QString &text, const QString &caption, const QStringList &buttons)
    {
        (void)owner, (void)text, (void)caption;
        return int(buttons.size()) - 1;
    }
};

// The boxes in use; Qt's message boxes unless a test installed its own.
MessageBoxes &messageBoxes();
// Where a test answers the boxes (ScopedOverride in platform/seam.h).
Overridable<MessageBoxes> &messageBoxSeam();

// The application title, caption of the error report.
QString applicationTitle();

// The application's default error report for a failure no window handles.
void ReportError(const QString &text);

// The window that is active now (the owner of boxes "owned by the active window").
QWidget *activeWindow();
