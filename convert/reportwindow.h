#pragma once
// The report of a conversion run that went well, in a small window owned by
// the conversion window that started the run: a line that says how it
// went, the whole report as text that scrolls, and, where the window offers
// one, a button for what may follow (adding the texts left in English to
// the dictionary). It blocks nothing: the other windows take input while
// it is open, and Escape or its button closes it.

#include <QDialog>

class QLabel;
class QPlainTextEdit;
class QPushButton;

class RunReportWindow : public QDialog {
    Q_OBJECT
public:
    explicit RunReportWindow(QWidget *owner);

    QLabel *Summary;
    QPlainTextEdit *Text;
    QPushButton *Offer; // hidden unless a report offers something
    QPushButton *Preview; // "預覽", hidden unless the window that owns the report shows it
    QPushButton *ApplyFixes; // "套用熱鍵建議", hidden unless the owner shows it
    QPushButton *CloseButton;

    // Shows a report in place of the one shown before. `warns` shows the
    // summary as a warning. An empty `offer` hides the offer button.
    void ShowReport(const QString &title, const QString &summary, bool warns, const QString &text,
                    const QString &offer = QString(), const QString &offerHint = QString());
    // The offer has been taken up: it stands no more.
    void EndOffer();
};
