#include "editor/entrygrid.h"

#include "platform/bytemarks.h"
#include "document/checkreport.h"
#include "platform/codepage.h"

#include <QApplication>
#include <QPainter>

EntryModel::EntryModel(DictionaryTables &tables, QObject *parent) : QAbstractTableModel(parent), tables(tables)
{
}

int EntryModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : rows;
}

int EntryModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 3;
}

QVariant EntryModel::data(const QModelIndex &index, int role) const
{
    if ((role != Qt::DisplayRole && role != Qt::ToolTipRole) || !index.isValid())
        return {};
    const int e = index.row();
    // Rows beyond the table (possible only for a moment while a load swaps
    // its tables in) show nothing.
    if (e < 0 || std::size_t(e) >= tables.EntryTable.size())
        return {};
    const DS &entry = tables.EntryTable[std::size_t(e)];
    if (role == Qt::ToolTipRole) {
        // The row of an entry with a problem names it; checked as shown,
        // so the tip is never behind a commit.
        if (e > tables.LastEntry)
            return {};
        const QString tip = ProblemTip(CheckTranslation(entry.Source, entry.ChosenTranslation(), keepEnglish));
        return tip.isEmpty() ? QVariant() : QVariant(tip);
    }
    switch (index.column()) {
    case 0:
        return cp950::decode(entry.Source);
    case 2:
        return entry.Chosen >= 0 && std::size_t(entry.Chosen) < entry.Translations.size()
                   ? cp950::decode(entry.Translations[std::size_t(entry.Chosen)])
                   : QString();
    default:
        return {};
    }
}

QVariant EntryModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    if (section == 0)
        return QStringLiteral("來源");
    if (section == 2)
        return QStringLiteral("翻譯");
    return QString();
}

void EntryModel::SetDataRows(int count)
{
    beginResetModel();
    rows = qMax(0, count);
    endResetModel();
}

void EntryModel::EntryChanged(int entry)
{
    if (entry >= 0 && entry < rows)
        emit dataChanged(index(entry, 0), index(entry, 2));
}

bool EntryModel::NeedsChoice(int entry) const
{
    if (entry < 0 || std::size_t(entry) >= tables.EntryTable.size())
        return false;
    const DS &e = tables.EntryTable[std::size_t(entry)];
    return e.LastTranslation > 0 && !e.Reviewed;
}

EntryDelegate::EntryDelegate(const EntryModel *model, QPixmap pointingHand, QPixmap smilingFace, QObject *parent)
    : QStyledItemDelegate(parent), model(model), I1(std::move(pointingHand)), I3(std::move(smilingFace))
{
}

void EntryDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const
{
    QStyleOptionViewItem opt(option);
    initStyleOption(&opt, index);
    // The current cell is shown by the choice box or the focus frame, not by
    // a selection colour.
    opt.state &= ~QStyle::State_Selected;
    const QString text = opt.text;
    opt.text.clear();
    const QWidget *widget = opt.widget;
    QStyle *style = widget ? widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);

    if (!text.isEmpty()) {
        // Cell texts stand 2 pixels in from the cell's left and top edges.
        painter->save();
        painter->setFont(opt.font);
        painter->setPen(opt.palette.color(QPalette::Text));
        DrawTextWithByteMarks(*painter, option.rect.adjusted(2, 2, -1, 0), text,
                              ByteMarkColour(opt.palette.color(QPalette::Text), opt.palette.color(QPalette::Base)));
        painter->restore();
    }

    if (index.column() == 1) {
        // The mark sits at the cell's top-left corner, unscaled.
        painter->drawPixmap(option.rect.topLeft(), model->NeedsChoice(index.row()) ? I1 : I3);
    } else if (index.column() == 2 && focusedTranslationPainted) {
        focusedTranslationPainted(index);
    }
}
