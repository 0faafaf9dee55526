// File commands of the maintenance window: Open, Save, Save As, the switches
// to the two conversion windows, closing, and the unsaved-changes prompt.

#include "editor/entrygrid.h"
#include "editor/tdict2.h"
#include "editor/tsaving.h"
#include "platform/messages.h"
#include "platform/progress.h"
#include "settings/settings.h"
#include "settings/startdir.h"

#include <QComboBox>
#include <QTableView>

namespace {

// Passes the stages of a load on to the progress window.
class ProgressOfLoad final : public LoadProgress {
public:
    void SetText(const QString &text) override { progress().SetProgressText(text); }
    void SetPosition(int position) override { progress().SetProgressPosition(position); }
    void ProcessEvents() override { progress().ProcessPendingEvents(); }
};

void prepareDictionaryDialog(FileDialog &dialog)
{
    ChooseInitialDir(dialog, RegDat.DictDefPath, RegDat.DictLUPath);
    dialog.Filter = DictionaryFilter;
    dialog.DefaultExt = QStringLiteral("*.") + RegDat.DicExt;
}

} // namespace

bool TDict2::AskToSave()
{
    if (!Modified)
        return true;
    const unsigned char answer = savePrompt().Ask(
        QStringLiteral("檔案 ") + DictionaryFileName + QStringLiteral(" 的內文已經變更。"), QStringLiteral("要儲存檔案?"));
    switch (answer) {
    case 0:
        // Yes: the command goes on only once the edits are safely in the file.
        return SaveBtnClick();
    case 1:
        return true;
    default:
        return false;
    }
}

bool TDict2::LoadIntoGrid(const QString &path)
{
    CB->hide();
    const int row = CurrentRow();
    const int column = CurrentColumn();

    ProgressOfLoad report;
    const FileResult result = LoadDictionary(path, Tables, report);
    if (result.ok) {
        while (Tables.EntryTable.empty() || Tables.EntryTable.size() < std::size_t(Tables.LastEntry + 1))
            Tables.EntryTable.push_back(DS{std::string(), {std::string()}, 0, 0, false});
        model->SetDataRows(Tables.LastEntry + 1);
        DictionaryFileName = path;
        Modified = false;
        if (model->DataRows() > 0)
            SetCurrentCell(column, qBound(1, row, model->DataRows()));
        SG->viewport()->update();
    }
    SetInputEnabled(true);
    progress().CloseProgress();
    if (!result.ok)
        ReportError(result.error);
    return result.ok;
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

    progress().ShowProgress();
    SetInputEnabled(false);
    LoadIntoGrid(BOD.FileName);
}

bool TDict2::SaveBtnClick()
{
    if (DictionaryFileName.isEmpty()) {
        // Nothing was opened or saved yet: ask where to save.
        SaveAsBtnClick();
        return !Modified && !DictionaryFileName.isEmpty();
    }
    progress().ShowProgress();
    progress().SetProgressText(QStringLiteral("儲存檔案中，請稍候..."));
    SetInputEnabled(false);

    const FileResult result = SaveDictionary(DictionaryFileName, Tables);

    progress().CloseProgress();
    SetInputEnabled(true);
    if (!result.ok) {
        ReportError(result.error);
        return false;
    }
    Modified = false;
    activateWindow();
    return true;
}

void TDict2::SaveAsBtnClick()
{
    prepareDictionaryDialog(SD);
    if (!SD.Execute(this))
        return;
    const QString previous = DictionaryFileName;
    DictionaryFileName = SD.FileName;
    if (!SaveBtnClick())
        DictionaryFileName = previous; // the dictionary is not in the new file
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
        ShowTranslateNewVersion(DictionaryFileName);
    hide();
}
