#include "platform/messages.h"

#include "platform/seam.h"

#include <QApplication>
#include <QMessageBox>

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
