#pragma once
// The entry grid of the maintenance window: a table model over the entry
// table (row r shows entry r; the header row carries "來源" and "翻譯") and
// the delegate that draws the status marks and tells the window when the
// focused translation cell is painted.

#include "dictionary/checks.h"
#include "dictionary/dictionary.h"

#include <QAbstractTableModel>

#include <QPixmap>
#include <QStyledItemDelegate>

#include <functional>

class EntryModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit EntryModel(DictionaryTables &tables, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // The number of data rows shown (the grid's row count less the header).
    int DataRows() const { return rows; }
    // Sets the row count after a load: one row per entry.
    void SetDataRows(int count);
    // Repaints the cells of one entry after the table changed.
    void EntryChanged(int entry);

    // Whether entry e shows the pointing hand: several translations, none picked yet.
    bool NeedsChoice(int entry) const;
    // The texts kept in English that the row tips pass over, as the check
    // report has them (it outlives the model's use of them).
    void SetKeepEnglish(const KeepEnglish *keep) { keepEnglish = keep; }

private:
    DictionaryTables &tables;
    const KeepEnglish *keepEnglish = nullptr;
    int rows = 9; // the grid shows nine empty rows until the first load
};

class EntryDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    EntryDelegate(const EntryModel *model, QPixmap pointingHand, QPixmap smilingFace, QObject *parent = nullptr);

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;

    // Called after the focused current cell of the translation column was painted.
    std::function<void(const QModelIndex &)> focusedTranslationPainted;

private:
    const EntryModel *model;
    QPixmap I1;
    QPixmap I3;
};
