#pragma once
// The check window of the maintenance window: modeless, beside the grid. It
// shows the counts of the check report, a filter (every problem, or one
// kind) and the list of problems; Enter or a double click on a row asks the
// maintenance window to go to that entry. Below the list, what the current
// row says beyond its kind (the Taiwan words, the suggested hot key); where
// one key mends it, 套用建議 (Alt+A, or Ctrl+Enter in the list) asks the
// maintenance window to commit the mended translation, an ordinary edit
// that Ctrl+Z takes back. The report decides; this window only shows it.

#include <QWidget>

#include <cstdint>

class CheckReport;
class QComboBox;
class QLabel;
class QModelIndex;
class QPushButton;
class QTableView;

class TChecks : public QWidget {
    Q_OBJECT
public:
    TChecks(CheckReport &report, QWidget *parent);

    CheckReport &Report;

    QLabel *Totals;     // entries, several translations, untranslated, reviewed, with problems
    QLabel *KindCounts; // entries per kind
    QLabel *FilterLabel;
    QComboBox *Filter;  // item 0 every problem, then one kind each
    QTableView *List;
    QLabel *Detail;         // the current row's detail
    QPushButton *ApplyFix;  // 套用建議(&A): enabled where the row has a fix

    void FormShow();
    void FilterChange(int index);
    void ListActivated(const QModelIndex &index);
    // The counts and the filter's item texts as the report has them now.
    void ShowCounts();
    // The current row's detail and fix.
    void ShowDetail();
    void ApplyFixClick();

signals:
    // The user chose the row of `entry`.
    void JumpRequested(std::int32_t entry);
    // The user applies the fix: `text` becomes the translation of `entry`.
    void FixRequested(std::int32_t entry, const QString &text);

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void placeBesideOwner();
    bool placed = false;
};
