#include "platform/messages.h"

#include "platform/seam.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

namespace {

class QtMessageBoxes final : public MessageBoxes {
public:
    void message(QWidget *owner, const QString &text, const QString &caption) override
    {
        QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::Ok, owner);
        box.exec();
    }
    void error(QWidget *owner, const QString &text, const QString &caption) override
    {
        QMessageBox box(QMessageBox::Critical, caption, text, QMessageBox::Ok, owner);
        box.exec();
    }
    bool question(QWidget *owner, const QString &text, const QString &caption) override
    {
        QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::Yes | QMessageBox::No, owner);
        box.setDefaultButton(QMessageBox::No);
        return box.exec() == QMessageBox::Yes;
    }
    int choose(QWidget *owner, const QString &text, const QString &caption, const QStringList &buttons) override
    {
        QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::NoButton, owner);
        QList<QAbstractButton *> added;
        for (const QString &b : buttons)
            added.append(box.addButton(b, QMessageBox::ActionRole));
        if (!added.isEmpty()) {
            box.setDefaultButton(static_cast<QPushButton *>(added.last()));
            box.setEscapeButton(added.last());
        }
        box.exec();
        const int pressed = int(added.indexOf(box.clickedButton()));
        return pressed >= 0 ? pressed : int(buttons.size()) - 1;
    }
};

Seam<MessageBoxes, QtMessageBoxes> seam;

} // namespace

MessageBoxes &messageBoxes()
{
    return seam.get();
}

Overridable<MessageBoxes> &messageBoxSeam()
{
    return seam;
}

QString applicationTitle()
{
    return QStringLiteral("Tavisorn 2.0");
}

void ReportError(const QString &text)
{
    messageBoxes().error(activeWindow(), text, applicationTitle());
}

QWidget *activeWindow()
{
    return QApplication::activeWindow();
}
