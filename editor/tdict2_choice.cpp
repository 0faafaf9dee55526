// The choice box of the maintenance window: laid over the focused
// translation cell, filled with the entry's alternatives, and committed into
// the entry table whenever it loses the input focus or Enter is pressed.

#include "editor/entrygrid.h"
#include "editor/tdict2.h"
#include "platform/codepage.h"
#include "platform/messages.h"
#include "widgets/twiatile.h"

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTableView>
#include <QTextCursor>
#include <QTimer>

void TDict2::PlaceChoiceBox(int row, const QRect &rect)
{
    const int e = row - 1;
    if (e < 0 || std::size_t(e) >= Tables.EntryTable.size())
        return;
    const DS &entry = Tables.EntryTable[std::size_t(e)];

    CB->setGeometry(rect);
    CB->show();
    CB->raise();

    CB->clear();
    QStringList items;
    items.reserve(entry.LastTranslation + 1);
    for (std::int32_t i = 0; i <= entry.LastTranslation && std::size_t(i) < entry.Translations.size(); ++i)
        items << cp950::decode(entry.Translations[std::size_t(i)]);
    CB->addItems(items);
    CurrentEntry = e;
    CB->setCurrentIndex(entry.Chosen);
    CB->setEditText(items.value(entry.Chosen));

    Strs->clear();
    Strs->setPlainText(cp950::decode(entry.Source));
    QTextCursor caret(Strs->document());
    caret.setPosition(0);
    caret.movePosition(QTextCursor::Right, QTextCursor::KeepAnchor, 2);
    Strs->setTextCursor(caret);

    if (FocusChoiceOnDraw) {
        CB->setFocus(Qt::OtherFocusReason);
        FocusChoiceOnDraw = false;
    }
}

bool TDict2::CBExit()
{
    const int e = CurrentEntry;
    if (e < 0 || std::size_t(e) >= Tables.EntryTable.size())
        return true;
    DS &entry = Tables.EntryTable[std::size_t(e)];

    const QString text = CB->currentText();
    qsizetype bad = -1;
    const std::optional<std::string> t = cp950::encode(text, &bad);
    if (!t) {
        // A text the dictionary file cannot hold stays in the box, uncommitted.
        const int length = QChar::isHighSurrogate(text.at(bad).unicode()) ? 2 : 1;
        const QString character = text.mid(bad, length);
        CB->setFocus(Qt::OtherFocusReason);
        CB->lineEdit()->setSelection(int(bad), length);
        QTimer::singleShot(0, this, [this, character] {
            messageBoxes().message(this,
                                   QStringLiteral("翻譯文字中的「%1」無法以 Big5 (字碼頁 950) 表示，"
                                                  "字典檔存不下這個字。\n請修改文字後再離開選擇框。")
                                       .arg(character),
                                   QStringLiteral("字典檔維護"));
        });
        return false;
    }

    std::int32_t found = -1;
    for (std::int32_t i = 0; i <= entry.LastTranslation && std::size_t(i) < entry.Translations.size(); ++i) {
        if (entry.Translations[std::size_t(i)] == *t) {
            found = i;
            break;
        }
    }
    if (found >= 0) {
        if (found != entry.Chosen)
            Modified = true;
        entry.Chosen = found;
        CB->setCurrentIndex(found);
    } else {
        entry.Chosen = entry.AppendTranslation(*t);
        Modified = true;
        CB->addItem(text);
        CB->setCurrentIndex(CB->count() - 1);
    }
    entry.Reviewed = true;
    model->EntryChanged(e);

    if (!SG->hasFocus())
        SG->setFocus(Qt::OtherFocusReason);
    const QModelIndex current = SG->currentIndex();
    if (current.isValid() && current.column() != 2)
        SG->setCurrentIndex(model->index(current.row(), 2));
    SG->viewport()->update();
    return true;
}

void TDict2::CBKeyPress(QChar key)
{
    if (key != QChar(u'\r'))
        return;
    const int row = CurrentRow();
    // Leaving the box commits its text to the entry under it.
    SG->setFocus(Qt::OtherFocusReason);
    if (CB->hasFocus())
        return; // the commit was refused; the text stays in the box
    FocusChoiceOnDraw = true;
    // The last row has no next row: editing goes on there.
    const int target = row < model->DataRows() ? row + 1 : row;
    SetCurrentCell(2, target);
    if (FocusChoiceOnDraw) // the cell was current already, so nothing placed the box yet
        SGDrawCell(2, target, cellRectInWindow(SG->currentIndex()), true);
}

bool TDict2::isChoiceBoxWidget(const QObject *object) const
{
    for (const QObject *o = object; o; o = o->parent())
        if (o == CB)
            return true;
    return false;
}

bool TDict2::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::ShortcutOverride:
        // The window's ten shortcuts work whichever control has the focus,
        // also where an edit field would take the key (Ctrl+A, Ctrl+K ...).
        if (isOwnShortcut(static_cast<QKeyEvent *>(event))) {
            event->ignore();
            return true;
        }
        break;
    case QEvent::KeyPress:
        if (isChoiceBoxWidget(watched)) {
            const auto *key = static_cast<QKeyEvent *>(event);
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
                CBKeyPress(QChar(u'\r'));
                return true;
            }
        }
        break;
    case QEvent::MouseMove:
        // Pointer moves over the background; those over the grid are watched
        // with the full-screen mode.
        if (watched == wiaTile1)
            wiaTile1MouseMove(static_cast<QMouseEvent *>(event)->position().toPoint().y());
        break;
    case QEvent::FocusIn:
        if (isChoiceBoxWidget(watched))
            choiceEditing = true;
        break;
    case QEvent::FocusOut:
        if (isChoiceBoxWidget(watched) && choiceEditing && !inputSuspended) {
            const auto reason = static_cast<QFocusEvent *>(event)->reason();
            // Opening the box's own list or switching to another window is
            // not leaving the box.
            if (reason == Qt::PopupFocusReason || reason == Qt::ActiveWindowFocusReason)
                break;
            if (isChoiceBoxWidget(QApplication::focusWidget()))
                break;
            choiceEditing = false;
            CBExit();
        }
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}
