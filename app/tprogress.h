#pragma once
// The shared progress window: a one-line status text and a percentage bar
// shown while a dictionary is loaded or saved and while a conversion script
// is prepared and started.

#include "platform/progress.h"

#include <QDialog>

class QLabel;
class QProgressBar;

class TProgress : public QDialog, public ProgressOperations {
    Q_OBJECT
public:
    explicit TProgress(QWidget *parent = nullptr);

    QLabel *Text;
    QProgressBar *PB;

    void ShowProgress() override;
    void SetProgressText(const QString &text) override;
    void SetProgressPosition(int position) override;
    void ProcessPendingEvents() override;
    void PaintNow() override;
    void CloseProgress() override;

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
};
