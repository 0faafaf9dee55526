#include "editor/tsaving.h"

#include "platform/fonts.h"
#include "platform/seam.h"
#include "platform/windowplacement.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

unsigned char SaveAnswer = 0;

TSaving::TSaving(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setWindowTitle(QStringLiteral("訊息"));
    setModal(true);
    setFont(MingFont(12));
    setFixedSize(297, 101);

    Label1 = new QLabel(this);
    Label1->move(8, 16);
    Label2 = new QLabel(QStringLiteral("已被修改。要儲存檔案？"), this);
    Label2->move(8, 40);

    SpeedButton1 = new QPushButton(QStringLiteral("是 (&Y)"), this);
    SpeedButton1->setGeometry(8, 64, 85, 23);
    SpeedButton2 = new QPushButton(QStringLiteral("否 (&N)"), this);
    SpeedButton2->setGeometry(104, 64, 85, 23);
    SpeedButton3 = new QPushButton(QStringLiteral("取消"), this);
    SpeedButton3->setGeometry(200, 64, 85, 23);
    // Enter presses the button with the focus (是 when the prompt opens).
    for (QPushButton *b : {SpeedButton1, SpeedButton2, SpeedButton3})
        b->setAutoDefault(true);

    connect(SpeedButton1, &QPushButton::clicked, this, &TSaving::SpeedButton1Click);
    connect(SpeedButton2, &QPushButton::clicked, this, &TSaving::SpeedButton2Click);
    connect(SpeedButton3, &QPushButton::clicked, this, &TSaving::SpeedButton3Click);
}

void TSaving::showEvent(QShowEvent *event)
{
    SaveAnswer = 2;
    QDialog::showEvent(event);
}

void TSaving::keyPressEvent(QKeyEvent *event)
{
    // Y and N answer as their buttons' Alt+Y and Alt+N do, Escape as 取消;
    // each presses its button, so that what the button does stays the answer.
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier);
    QPushButton *button = nullptr;
    if (modifiers == Qt::NoModifier) {
        switch (event->key()) {
        case Qt::Key_Y:
            button = SpeedButton1;
            break;
        case Qt::Key_N:
            button = SpeedButton2;
            break;
        case Qt::Key_Escape:
            button = SpeedButton3;
            break;
        default:
            break;
        }
    }
    if (!button) {
        QDialog::keyPressEvent(event);
        return;
    }
    button->click();
}

void TSaving::SpeedButton1Click()
{
    SaveAnswer = 0;
    close();
}

void TSaving::SpeedButton2Click()
{
    SaveAnswer = 1;
    close();
}

void TSaving::SpeedButton3Click()
{
    SaveAnswer = 2;
    close();
}

namespace {

unsigned char askIn(TSaving &window, const QString &line1, const QString &line2)
{
    window.Label1->setText(line1);
    window.Label1->adjustSize();
    window.Label2->setText(line2);
    window.Label2->adjustSize();
    // A long file name widens the prompt rather than being cut off.
    const int needed = window.Label1->x() + window.Label1->width() + 8;
    window.setFixedSize(qMax(297, needed), 101);
    CentreOnScreen(&window);
    window.exec();
    return SaveAnswer;
}

// Without the program's window (a test of the maintenance window alone),
// the prompt makes one of its own. It is never deleted: this prompt lives
// until after the application object, when no window may be destroyed.
class OwnWindowPrompt final : public SavePrompt {
public:
    unsigned char Ask(const QString &line1, const QString &line2) override
    {
        if (!window)
            window = new TSaving;
        return askIn(*window, line1, line2);
    }

private:
    TSaving *window = nullptr;
};

Seam<SavePrompt, OwnWindowPrompt> seam;

} // namespace

SavingWindowPrompt::SavingWindowPrompt(TSaving &window) : Window(window) {}

unsigned char SavingWindowPrompt::Ask(const QString &line1, const QString &line2)
{
    return askIn(Window, line1, line2);
}

SavePrompt &savePrompt()
{
    return seam.get();
}

Overridable<SavePrompt> &savePromptSeam()
{
    return seam;
}
