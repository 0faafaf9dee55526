#include "platform/finddialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

FindDialog::FindDialog(QWidget *parent)
    : QDialog(parent)
{
    setModal(false);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setWindowTitle(QStringLiteral("尋找"));

    auto *label = new QLabel(QStringLiteral("尋找目標(&N):"), this);
    FindText = new QLineEdit(this);
    label->setBuddy(FindText);

    MatchCase = new QCheckBox(QStringLiteral("大小寫須相符(&C)"), this);
    MatchCase->setChecked(true);
    MatchCase->setEnabled(false);

    auto *direction = new QGroupBox(QStringLiteral("方向"), this);
    UpBtn = new QRadioButton(QStringLiteral("向上(&U)"), direction);
    DownBtn = new QRadioButton(QStringLiteral("向下(&D)"), direction);
    DownBtn->setChecked(true);
    auto *directionLayout = new QHBoxLayout(direction);
    directionLayout->addWidget(UpBtn);
    directionLayout->addWidget(DownBtn);

    FindNextBtn = new QPushButton(QStringLiteral("找下一個(&F)"), this);
    FindNextBtn->setDefault(true);
    FindNextBtn->setEnabled(false);
    CancelBtn = new QPushButton(QStringLiteral("取消"), this);

    // The usual arrangement: field and options on the left, buttons on the right.
    auto *grid = new QGridLayout(this);
    auto *fieldRow = new QHBoxLayout;
    fieldRow->addWidget(label);
    fieldRow->addWidget(FindText, 1);
    grid->addLayout(fieldRow, 0, 0, 1, 2);
    grid->addWidget(MatchCase, 1, 0, Qt::AlignBottom);
    grid->addWidget(direction, 1, 1);
    auto *buttons = new QVBoxLayout;
    buttons->addWidget(FindNextBtn);
    buttons->addWidget(CancelBtn);
    buttons->addStretch(1);
    grid->addLayout(buttons, 0, 2, 2, 1);
    grid->setSizeConstraint(QLayout::SetFixedSize);

    connect(FindNextBtn, &QPushButton::clicked, this, &FindDialog::FindNextBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &QDialog::reject);
    connect(FindText, &QLineEdit::textChanged, this, &FindDialog::FindTextChange);
}

QString FindDialog::text() const
{
    return FindText->text();
}

bool FindDialog::isDown() const
{
    return DownBtn->isChecked();
}

void FindDialog::setText(const QString &text)
{
    FindText->setText(text);
}

void FindDialog::setDown(bool down)
{
    (down ? DownBtn : UpBtn)->setChecked(true);
}

void FindDialog::Execute(const QString &caption)
{
    setWindowTitle(caption);
    show();
    raise();
    activateWindow();
    FindText->setFocus();
    FindText->selectAll();
}

void FindDialog::FindNextBtnClick()
{
    // An empty field has nothing to look for; the button is disabled then.
    if (FindText->text().isEmpty())
        return;
    emit findNext(FindText->text(), isDown());
}

void FindDialog::FindTextChange()
{
    FindNextBtn->setEnabled(!FindText->text().isEmpty());
}
