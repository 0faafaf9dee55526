// The choice box of the maintenance window: laid over the focused
// translation cell, filled with the entry's alternatives, and committed into
// the document whenever it loses the input focus or Enter is pressed, or a
// command leaves it. What is typed or picked there is the document's pending
// text until then.

#include "editor/entrygrid.h"
#include "editor/tdict2.h"
#include "platform/codepage.h"
#include "platform/messages.h"
#include "widgets/twiatile.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTableView>
#include <QTextCursor>
#include <QTimer>

#include <algorithm>

void TDict2::PlaceChoiceBox(int row, const QRect &rect)
{
    const int e = row - 1;
    if (e < 0 || std::size_t(e) >= Tables.EntryTable.size())
        return;
    // A text still waiting for another entry is committed before the box
    // moves on; a refused one keeps the box where it is.
    if (Document.Pending() && Document.Pending()->Entry != e && !Document.CommitPendingChoice())
        return;

    CB->setGeometry(rect);
    CB->show();
    CB->raise();

    // Placed again on the entry it edits (a resize, full-screen mode, a
    // repaint), the box keeps its text, caret and selection.
    const bool editing = CurrentEntry == e && Document.Pending() && Document.Pending()->Entry == e;
    if (!editing) {
        fillChoiceBox(e);
        Strs->clear();
        Strs->setPlainText(cp950::decode(Tables.EntryTable[std::size_t(e)].Source));
        QTextCursor caret(Strs->document());
        caret.setPosition(0);
        caret.movePosition(QTextCursor::Right, QTextCursor::KeepAnchor, 2);
        Strs->setTextCursor(caret);
    }

    if (FocusChoiceOnDraw) {
        CB->setFocus(Qt::OtherFocusReason);
        FocusChoiceOnDraw = false;
    }
}

void TDict2::fillChoiceBox(std::int32_t e)
{
    const DS &entry = Tables.EntryTable[std::size_t(e)];
    QStringList items;
    items.reserve(entry.LastTranslation + 1);
    for (std::int32_t i = 0; i <= entry.LastTranslation && std::size_t(i) < entry.Translations.size(); ++i)
        items << cp950::decode(entry.Translations[std::size_t(i)]);
    fillingBox = true;
    CB->clear();
    CB->addItems(items);
    CurrentEntry = e;
    CB->setCurrentIndex(entry.Chosen);
    CB->setEditText(items.value(entry.Chosen));
    fillingBox = false;
    Document.ClearPendingChoice();
}

bool TDict2::CBExit()
{
    choiceEditing = false;
    return Document.CommitChoice(CurrentEntry, CB->currentText()).Committed;
}

bool TDict2::leaveChoiceBox()
{
    if (!Document.CommitPendingChoice())
        return false;
    SG->setFocus(Qt::OtherFocusReason);
    return true;
}

void TDict2::choiceCommitted(std::int32_t entry)
{
    // The commit is the box's, whichever command made it: the box shows the
    // entry's alternatives with the committed one chosen, and the grid takes
    // the focus.
    choiceEditing = false;
    if (!SG->hasFocus())
        SG->setFocus(Qt::OtherFocusReason);
    if (entry == CurrentEntry && !CB->isHidden())
        fillChoiceBox(entry);
    model->EntryChanged(entry);
    const QModelIndex current = SG->currentIndex();
    if (current.isValid() && current.column() != 2)
        SG->setCurrentIndex(model->index(current.row(), 2));
    SG->viewport()->update();
}

void TDict2::entryRestored(std::int32_t entry)
{
    // Undo or redo changed the entry: its row and, if the box stands on it,
    // the box's list and text show what it holds now.
    if (entry == CurrentEntry && !CB->isHidden())
        fillChoiceBox(entry);
    model->EntryChanged(entry);
    SG->viewport()->update();
}

void TDict2::choiceRefused(std::int32_t entry, const ChoiceCommit &refusal)
{
    if (entry != CurrentEntry)
        return;
    // A text the dictionary file cannot hold stays in the box, uncommitted,
    // and the command that wanted to leave it stops.
    choiceEditing = true;
    CB->show();
    CB->setFocus(Qt::OtherFocusReason);
    if (refusalShowing)
        return;
    refusalShowing = true;
    // Once the focus change that led here has run its course.
    QTimer::singleShot(0, this, [this, refusal] {
        showRefusedChoice(refusal);
        messageBoxes().message(this, DictionaryDocument::UnencodableMessage(refusal.BadCharacters),
                               QStringLiteral("字典檔維護"));
        refusalShowing = false;
    });
}

void TDict2::showRefusedChoice(const ChoiceCommit &refusal)
{
    if (CurrentEntry < 0 || CurrentEntry >= model->DataRows())
        return;
    // The grid comes back to the entry, the box over it with the characters
    // it cannot hold selected.
    const QModelIndex index = model->index(CurrentEntry, 2);
    keepingRefusedChoice = true;
    SG->setCurrentIndex(index);
    SG->scrollTo(index);
    keepingRefusedChoice = false;
    CB->setGeometry(cellRectInWindow(index));
    CB->show();
    CB->raise();
    choiceEditing = true;
    CB->setFocus(Qt::OtherFocusReason);
    CB->lineEdit()->setSelection(int(refusal.BadStart), int(refusal.BadLength));
}

void TDict2::CBKeyPress(QChar key)
{
    if (key != QChar(u'\r') || CurrentEntry < 0)
        return;
    // Enter goes on from the box's own row, wherever the grid's current cell is.
    const int row = CurrentEntry + 1;
    if (!CBExit())
        return; // the text stays in the box
    FocusChoiceOnDraw = true;
    // The last row has no next row: editing goes on there.
    const int target = row < model->DataRows() ? row + 1 : row;
    SetCurrentCell(2, target);
    if (FocusChoiceOnDraw) // the cell was current already, so nothing placed the box yet
        SGDrawCell(2, target, cellRectInWindow(SG->currentIndex()), true);
}

bool TDict2::TypeIntoChoiceBox(QEvent *event)
{
    // Printable keys, and what an input method composes, while the grid
    // holds the keyboard on a translation cell: the grid has no use for
    // them, so they start an edit in the choice box, as a click into it and
    // Tab do. Keys with Ctrl, Alt or Meta stay the window's and the grid's.
    const QModelIndex current = SG->currentIndex();
    if (!current.isValid() || current.column() != 2 || !SG->isEnabled())
        return false;
    if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
            return false;
        const QString text = key->text();
        if (text.isEmpty() || !std::all_of(text.begin(), text.end(), [](QChar c) { return c.isPrint(); }))
            return false;
    } else if (event->type() == QEvent::InputMethod) {
        const auto *input = static_cast<QInputMethodEvent *>(event);
        if (input->commitString().isEmpty() && input->preeditString().isEmpty())
            return false;
    } else {
        return false;
    }
    // The box stands on the current cell; out of sight (scrolled away) it
    // comes back there first.
    if (CB->isHidden() || CurrentEntry != current.row()) {
        SG->scrollTo(current);
        replaceChoiceBox();
        if (CB->isHidden() || CurrentEntry != current.row())
            return false;
    }
    QLineEdit *field = CB->lineEdit();
    CB->setFocus(Qt::OtherFocusReason);
    // What is typed replaces the shown translation, as after Tab; the box's
    // undo brings that back.
    field->selectAll();
    QCoreApplication::sendEvent(field, event);
    return true;
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
    case QEvent::InputMethod:
        if (watched == SG && TypeIntoChoiceBox(event))
            return true;
        break;
    case QEvent::KeyPress:
        if (watched == SG && TypeIntoChoiceBox(event))
            return true;
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
        if (isChoiceBoxWidget(watched)) {
            choiceEditing = true;
            // Being edited, the box holds a text that leaving it commits.
            if (!fillingBox && CurrentEntry >= 0)
                Document.SetPendingChoice(CurrentEntry, CB->currentText());
        }
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
