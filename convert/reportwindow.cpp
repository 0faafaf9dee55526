#include "convert/reportwindow.h"

#include "platform/fonts.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

RunReportWindow::RunReportWindow(QWidget *owner) : QDialog(owner)
{
    setModal(false);
    setFont(MingFont(12));
    resize(600, 420);

    Summary = new QLabel(this);
    Summary->setWordWrap(true);
    Summary->setFont(MingFont(14));
    Summary->setTextFormat(Qt::PlainText);
    Summary->setTextInteractionFlags(Qt::TextSelectableByMouse);

    Text = new QPlainTextEdit(this);
    Text->setReadOnly(true);
    Text->setFont(MingFont(13));
    // Long texts of a resource script read whole, one finding a line.
    Text->setLineWrapMode(QPlainTextEdit::NoWrap);

    Offer = new QPushButton(this);
    Offer->setAutoDefault(false);
    Offer->hide();
    Preview = new QPushButton(QStringLiteral("預覽"), this);
    Preview->setAutoDefault(false);
    Preview->hide();
    ApplyFixes = new QPushButton(QStringLiteral("套用熱鍵建議(&H)"), this);
    ApplyFixes->setAutoDefault(false);
    ApplyFixes->hide();
    CloseButton = new QPushButton(QStringLiteral("關閉"), this);
    CloseButton->setDefault(true);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(Offer);
    buttons->addWidget(Preview);
    buttons->addWidget(ApplyFixes);
    buttons->addStretch();
    buttons->addWidget(CloseButton);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Summary);
    layout->addWidget(Text, 1);
    layout->addLayout(buttons);

    connect(CloseButton, &QPushButton::clicked, this, &QDialog::reject);
}

void RunReportWindow::ShowReport(const QString &title, const QString &summary, bool warns, const QString &text,
                                 const QString &offer, const QString &offerHint)
{
    setWindowTitle(title);
    Summary->setText(summary);
    QPalette colours = Summary->palette();
    colours.setColor(QPalette::WindowText, warns ? QColor(176, 0, 0) : palette().color(QPalette::WindowText));
    Summary->setPalette(colours);
    Text->setPlainText(text);
    Offer->setText(offer);
    Offer->setToolTip(offerHint);
    Offer->setVisible(!offer.isEmpty());
    Offer->setEnabled(true);
    show();
    raise();
    activateWindow();
    CloseButton->setFocus(Qt::OtherFocusReason);
}

void RunReportWindow::EndOffer()
{
    Offer->setEnabled(false);
}
