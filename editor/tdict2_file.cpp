// File commands of the maintenance window: Open, Save, Save As, the switches
// to the two conversion windows and closing. The document carries them out;
// the window asks for the files and answers the document's questions.

#include "editor/documentanswers.h"
#include "editor/entrygrid.h"
#include "editor/tdict2.h"
#include "editor/tsaving.h"
#include "platform/messages.h"
#include "platform/progress.h"
#include "settings/settings.h"
#include "settings/startdir_dialog.h"

#include <QComboBox>
#include <QLineEdit>
#include <QTableView>

namespace {

void prepareDictionaryDialog(FileDialog &dialog)
{
    ChooseInitialDir(dialog, RegDat.DictDefPath, RegDat.DictLUPath);
    dialog.Filter = DictionaryFilter;
    dialog.DefaultExt = QStringLiteral("*.") + RegDat.DicExt;
}

} // namespace

SaveChoice DocumentAnswers::AskToSave(const QString &line1, const QString &line2)
{
    switch (savePrompt().Ask(line1, line2)) {
    case 0:
        return SaveChoice::Yes;
    case 1:
        return SaveChoice::No;
    default:
        return SaveChoice::Cancel;
    }
}

QString DocumentAnswers::ChooseSaveFile()
{
    prepareDictionaryDialog(window.SD);
    return window.SD.Execute(&window) ? window.SD.FileName : QString();
}

void DocumentAnswers::ReportError(const QString &text)
{
    ::ReportError(text);
}

void DocumentAnswers::Tell(const QString &text, const QString &caption)
{
    messageBoxes().message(activeWindow(), text, caption);
}

bool DocumentAnswers::Confirm(const QString &text, const QString &caption)
{
    return messageBoxes().question(activeWindow(), text, caption);
}

void DocumentAnswers::SetText(const QString &text)
{
    progress().SetProgressText(text);
}

void DocumentAnswers::SetPosition(int position)
{
    progress().SetProgressPosition(position);
}

void DocumentAnswers::ProcessEvents()
{
    progress().ProcessPendingEvents();
}

void DocumentAnswers::Show()
{
    progress().ShowProgress();
}

void DocumentAnswers::ShowPainted(const QString &text)
{
    progress().ShowProgress();
    progress().SetProgressText(text);
    progress().PaintNow();
}

void DocumentAnswers::Close()
{
    progress().CloseProgress();
}

void TDict2::connectDocument()
{
    answers = std::make_unique<DocumentAnswers>(*this);
    Document.SetQuestions(answers.get());
    Document.SetProgress(answers.get());
    connect(&Document, &DictionaryDocument::Replaced, this, &TDict2::tablesReplaced);
    // Rows moved under the box as they do after a load.
    connect(&Document, &DictionaryDocument::EntriesInserted, this, [this](std::int32_t) { tablesReplaced(); });
    connect(&Document, &DictionaryDocument::ChoiceCommitted, this, &TDict2::choiceCommitted);
    connect(&Document, &DictionaryDocument::ChoiceRefused, this, &TDict2::choiceRefused);
    connect(&Document, &DictionaryDocument::EntryRestored, this, &TDict2::entryRestored);
    // A load, a save or the wait for an extraction: no second command starts here.
    connect(&Document, &DictionaryDocument::BusyChanged, this,
            [this](DocumentBusy busy) { SetInputEnabled(busy == DocumentBusy::None); });
    // Whatever changes the box's text (typing, a pick from its list, a hot
    // key) leaves it pending for the entry under the box.
    connect(CB->lineEdit(), &QLineEdit::textChanged, this, [this](const QString &text) {
        if (!fillingBox && CurrentEntry >= 0 && !CB->isHidden())
            Document.SetPendingChoice(CurrentEntry, text);
    });
}

void TDict2::tablesReplaced()
{
    // The box stood on an entry of the previous dictionary.
    choiceEditing = false;
    CurrentEntry = -1;
    CB->hide();
    const int row = CurrentRow();
    const int column = CurrentColumn();
    model->SetDataRows(Tables.LastEntry + 1);
    if (model->DataRows() > 0)
        SetCurrentCell(column, qBound(1, row, model->DataRows()));
    SG->viewport()->update();
}

bool TDict2::AskToSave()
{
    return Document.AskToSave();
}

void TDict2::ToolButton3Click()
{
    OpenBtnClick();
}

void TDict2::OpenBtnClick()
{
    if (!AskToSave())
        return;
    CB->hide();
    SG->setFocus(Qt::OtherFocusReason);
    SetCurrentCell(0, 1);

    prepareDictionaryDialog(BOD);
    if (!BOD.Execute(this))
        return;
    Document.Open(BOD.FileName, true);
}

bool TDict2::SaveBtnClick()
{
    if (!Document.Save())
        return false;
    activateWindow();
    return true;
}

void TDict2::SaveAsBtnClick()
{
    if (!Document.Available())
        return;
    prepareDictionaryDialog(SD);
    if (!SD.Execute(this))
        return;
    if (Document.SaveAs(SD.FileName))
        activateWindow();
}

void TDict2::ToDict1Click()
{
    if (!AskToSave())
        return;
    if (ShowMakeDictionary)
        ShowMakeDictionary();
    hide();
}

void TDict2::ToDict3Click()
{
    if (!AskToSave())
        return;
    if (ShowTranslateNewVersion)
        ShowTranslateNewVersion(Document.DictionaryFileName);
    hide();
}
