#pragma once
// The check window of the maintenance window: modeless, beside the grid. It
// shows the counts of the check report, a filter (every problem, or one
// kind) and the list of problems; Enter or a double click on a row asks the
// maintenance window to go to that entry. The report decides; this window
// only shows it.

#include <QWidget>

#include <cstdint>

class CheckReport;
class QComboBox;
class QLabel;
class QModelIndex;
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

    void FormShow();
    void FilterChange(int index);
    void ListActivated(const QModelIndex &index);
    // The counts and the filter's item texts as the report has them now.
    void ShowCounts();

signals:
    // The user chose the row of `entry`.
    void JumpRequested(std::int32_t entry);

protected:
    void showEvent(QShowEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void placeBesideOwner();
    bool placed = false;
};
