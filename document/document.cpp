#include "document/document.h"

#include "platform/codepage.h"

#include <QMetaObject>

#include <algorithm>
#include <unordered_set>
#include <utility>

namespace {

// Where in `text` the characters lie that code page 950 cannot hold.
ChoiceCommit Refusal(const QString &text)
{
    ChoiceCommit refusal;
    refusal.Committed = false;
    qsizetype end = -1;
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype length = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QStringView character = QStringView(text).mid(i, length);
        if (!cp950::encode(character)) {
            if (refusal.BadStart < 0)
                refusal.BadStart = i;
            end = i + length;
            if (!refusal.BadCharacters.contains(character))
                refusal.BadCharacters += character;
        }
        i += length;
    }
    refusal.BadLength = end - refusal.BadStart;
    return refusal;
}

} // namespace

DictionaryDocument::DictionaryDocument() = default;

DictionaryDocument::~DictionaryDocument() = default;

void DictionaryDocument::SetQuestions(DocumentQuestions *questions)
{
    Questions = questions;
}

void DictionaryDocument::SetProgress(DocumentProgress *progress)
{
    Progress = progress;
}

void DictionaryDocument::SetExtractionWatch(ExtractionWatch *watch)
{
    Watch = watch;
}

QString DictionaryDocument::BusyMessage(DocumentBusy busy)
{
    switch (busy) {
    case DocumentBusy::Loading:
        return QStringLiteral("字典檔正在載入中，請等載入完成後再試一次。");
    case DocumentBusy::Saving:
        return QStringLiteral("字典檔正在儲存中，請等儲存完成後再試一次。");
    case DocumentBusy::WaitingForExtraction:
        return QStringLiteral("正在等待字典檔製作完成，請等製作完成後再試一次。");
    case DocumentBusy::None:
        break;
    }
    return {};
}

QString DictionaryDocument::BusyCaption()
{
    return QStringLiteral("字典檔維護");
}

QString DictionaryDocument::UnencodableMessage(const QString &characters)
{
    const bool several = characters.size() > (characters.at(0).isHighSurrogate() ? 2 : 1);
    return QStringLiteral("翻譯文字中的「%1」無法以 Big5 (字碼頁 950) 表示，字典檔存不下%2。\n請修改文字後再離開選擇框。")
        .arg(characters, several ? QStringLiteral("這些字") : QStringLiteral("這個字"));
}

bool DictionaryDocument::Available()
{
    if (BusyState == DocumentBusy::None)
        return true;
    if (Questions && !EndRequested)
        Questions->Tell(BusyMessage(BusyState), BusyCaption());
    return false;
}

void DictionaryDocument::setBusy(DocumentBusy busy)
{
    BusyState = busy;
    emit BusyChanged(busy);
    if (busy == DocumentBusy::None && EndAction) {
        // The end runs once the work that kept it waiting has returned.
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (BusyState == DocumentBusy::None && EndAction)
                    std::exchange(EndAction, {})();
            },
            Qt::QueuedConnection);
    }
}

void DictionaryDocument::SetPendingChoice(std::int32_t entry, const QString &text)
{
    if (entry < 0 || std::size_t(entry) >= Tables.EntryTable.size())
        return;
    PendingText = PendingChoice{entry, text};
}

void DictionaryDocument::ClearPendingChoice()
{
    PendingText.reset();
}

ChoiceCommit DictionaryDocument::CommitChoice(std::int32_t entry, const QString &text)
{
    if (entry < 0 || std::size_t(entry) >= Tables.EntryTable.size())
        return {};
    const std::optional<std::string> bytes = cp950::encode(text);
    if (!bytes) {
        PendingText = PendingChoice{entry, text};
        const ChoiceCommit refusal = Refusal(text);
        emit ChoiceRefused(entry, refusal);
        return refusal;
    }

    DS &e = Tables.EntryTable[std::size_t(entry)];
    std::int32_t found = -1;
    for (std::int32_t i = 0; i <= e.LastTranslation && std::size_t(i) < e.Translations.size(); ++i) {
        if (e.Translations[std::size_t(i)] == *bytes) {
            found = i;
            break;
        }
    }
    if (found < 0 || found != e.Chosen) {
        ChoiceStep step;
        step.Entry = entry;
        step.ChosenBefore = e.Chosen;
        step.ReviewedBefore = e.Reviewed;
        if (found < 0) {
            step.Appended = true;
            step.AppendedText = *bytes;
            e.Chosen = e.AppendTranslation(*bytes);
        } else {
            e.Chosen = found;
        }
        step.ChosenAfter = e.Chosen;
        History.Record(std::move(step));
        Modified = true;
    }
    e.Reviewed = true;
    if (PendingText && PendingText->Entry == entry)
        PendingText.reset();
    emit ChoiceCommitted(entry);
    return {};
}

bool DictionaryDocument::CommitPendingChoice()
{
    if (!PendingText)
        return true;
    const PendingChoice pending = *PendingText;
    return CommitChoice(pending.Entry, pending.Text).Committed;
}

bool DictionaryDocument::apply(const ChoiceStep &step, bool undo)
{
    if (step.Entry < 0 || std::size_t(step.Entry) >= Tables.EntryTable.size())
        return false;
    DS &e = Tables.EntryTable[std::size_t(step.Entry)];
    if (e.Chosen != (undo ? step.ChosenAfter : step.ChosenBefore))
        return false;
    if (step.Appended) {
        const bool lastSlotIsAllThereIs = e.LastTranslation >= 0 && e.Translations.size() == std::size_t(e.LastTranslation) + 1;
        if (!lastSlotIsAllThereIs)
            return false;
        if (undo) {
            if (e.LastTranslation == 0 || e.Translations.back() != step.AppendedText)
                return false;
            // The typed text's slot goes again, so that the entry's list is
            // what it was before the text was typed.
            e.Translations = TranslationList(std::vector<std::string>(e.Translations.begin(), e.Translations.end() - 1));
            --e.LastTranslation;
        } else if (e.AppendTranslation(step.AppendedText) != step.ChosenAfter) {
            return false;
        }
    }
    e.Chosen = undo ? step.ChosenBefore : step.ChosenAfter;
    e.Reviewed = undo ? step.ReviewedBefore : step.ReviewedAfter;
    return true;
}

std::int32_t DictionaryDocument::restore(const ChoiceStep *step, bool undo)
{
    if (!step)
        return -1;
    const std::int32_t entry = step->Entry;
    if (!apply(*step, undo)) {
        // The entry is no longer as the history knows it: stepping on would
        // change the wrong text. The history goes; what the tables hold stays.
        History.Clear(false);
        return -1;
    }
    Modified = !History.AtClean();
    emit EntryRestored(entry);
    return entry;
}

std::int32_t DictionaryDocument::Undo()
{
    if (!Available() || !CommitPendingChoice())
        return -1;
    return restore(History.Undo(), true);
}

std::int32_t DictionaryDocument::Redo()
{
    if (!Available() || !CommitPendingChoice())
        return -1;
    return restore(History.Redo(), false);
}

bool DictionaryDocument::AskToSave()
{
    if (!Available())
        return false;
    if (!CommitPendingChoice())
        return false;
    if (!Modified)
        return true;
    const SaveChoice answer =
        Questions ? Questions->AskToSave(QStringLiteral("檔案 ") + DictionaryFileName + QStringLiteral(" 的內文已經變更。"),
                                         QStringLiteral("要儲存檔案?"))
                  : SaveChoice::Cancel;
    switch (answer) {
    case SaveChoice::Yes:
        // The command goes on only once the edits are safely in the file.
        return Save();
    case SaveChoice::No:
        return true;
    case SaveChoice::Cancel:
        break;
    }
    return false;
}

bool DictionaryDocument::WaitUntilWritten(const QString &path)
{
    if (!Available() || EndRequested)
        return false;
    if (!Watch || !Watch->Writes(path))
        return true;
    setBusy(DocumentBusy::WaitingForExtraction);
    Watch->Wait(path);
    setBusy(DocumentBusy::None);
    return !EndRequested;
}

bool DictionaryDocument::Open(const QString &path, bool showProgress)
{
    if (!WaitUntilWritten(path))
        return false;
    setBusy(DocumentBusy::Loading);
    if (showProgress && Progress)
        Progress->Show();
    SilentLoadProgress silent;
    DictionaryTables loaded;
    FileShape shape;
    const FileResult result = LoadDictionary(path, loaded, Progress ? static_cast<LoadProgress &>(*Progress) : silent, &shape);
    bool taken = result.ok;
    if (result.ok && shape.Doubt() != FileDoubt::None) {
        if (Progress)
            Progress->Close();
        taken = Questions
                && Questions->Confirm(QStringLiteral("檔案 %1 不像是字典檔：%2。\n"
                                                     "以字典檔開啟後，儲存時它原來的內容會被字串對取代。\n"
                                                     "仍要開啟它嗎？")
                                          .arg(path, FileDoubtText(shape.Doubt())),
                                      BusyCaption());
    }
    if (taken) {
        Tables = std::move(loaded);
        DoubtfulFile = shape.Doubt() != FileDoubt::None ? path : QString();
        // An empty dictionary still has one empty entry for the choice box to stand on.
        while (Tables.EntryTable.empty() || Tables.EntryTable.size() < std::size_t(Tables.LastEntry + 1))
            Tables.EntryTable.push_back(DS{std::string(), {std::string()}, 0, 0, false});
        DictionaryFileName = path;
        Modified = false;
        PendingText.reset();
        History.Clear();
        emit Replaced();
    }
    setBusy(DocumentBusy::None);
    if (Progress)
        Progress->Close();
    if (!result.ok && Questions)
        Questions->ReportError(result.error);
    return taken;
}

bool DictionaryDocument::Save()
{
    if (!Available())
        return false;
    if (DictionaryFileName.isEmpty()) {
        // Nothing was opened or saved yet: ask where to save.
        const QString path = Questions ? Questions->ChooseSaveFile() : QString();
        return !path.isEmpty() && SaveAs(path);
    }
    if (!DoubtfulFile.isEmpty() && DictionaryFileName == DoubtfulFile) {
        const bool overwrite =
            Questions
            && Questions->Confirm(QStringLiteral("檔案 %1 開啟時不像是字典檔。\n"
                                                 "儲存會以字串對取代它原來的內容。仍要儲存嗎？")
                                      .arg(DictionaryFileName),
                                  BusyCaption());
        if (!overwrite)
            return false;
        DoubtfulFile.clear();
    }
    setBusy(DocumentBusy::Saving);
    if (Progress)
        Progress->ShowPainted(QStringLiteral("儲存檔案中，請稍候..."));
    const FileResult result = SaveDictionary(DictionaryFileName, Tables);
    if (Progress)
        Progress->Close();
    setBusy(DocumentBusy::None);
    if (!result.ok) {
        if (Questions)
            Questions->ReportError(result.error);
        return false;
    }
    Modified = false;
    History.MarkClean();
    return true;
}

bool DictionaryDocument::SaveAs(const QString &path)
{
    if (path.isEmpty() || !Available())
        return false;
    const QString previous = std::exchange(DictionaryFileName, path);
    if (Save())
        return true;
    DictionaryFileName = previous; // the dictionary is not in the new file
    return false;
}

AddedTexts DictionaryDocument::AddUntranslated(const std::vector<std::string> &texts)
{
    AddedTexts result;
    if (!Available() || EndRequested || !CommitPendingChoice()) {
        result.Refused = true;
        return result;
    }
    std::vector<DS> &table = Tables.EntryTable;
    // An empty dictionary keeps one empty entry for the choice box only.
    table.resize(std::size_t(std::max(Tables.LastEntry + 1, 0)));
    const auto isSource = [&table](const std::string &text) {
        const auto at = std::lower_bound(table.begin(), table.end(), text,
                                         [](const DS &e, const std::string &t) { return SourceLess(e.Source, t); });
        return at != table.end() && at->Source == text;
    };
    std::unordered_set<std::string> taken;
    for (const std::string &text : texts) {
        if (!FitsDictionaryLine(text)) {
            ++result.Unfit;
        } else if (taken.insert(text).second) {
            if (isSource(text))
                ++result.AlreadyThere;
            else
                result.Added.push_back(text);
        }
    }

    if (!result.Added.empty()) {
        std::vector<std::string> sorted = result.Added;
        std::sort(sorted.begin(), sorted.end(),
                  [](const std::string &a, const std::string &b) { return SourceLess(a, b); });
        std::vector<DS> merged;
        merged.reserve(table.size() + sorted.size());
        std::vector<std::int32_t> newIndex(table.size());
        std::int32_t firstNew = -1;
        std::size_t old = 0;
        for (const std::string &text : sorted) {
            while (old < table.size() && SourceLess(table[old].Source, text)) {
                newIndex[old] = std::int32_t(merged.size());
                merged.push_back(std::move(table[old++]));
            }
            if (firstNew < 0)
                firstNew = std::int32_t(merged.size());
            merged.push_back(DS{text, {std::string_view(text)}, 0, 0, false});
        }
        while (old < table.size()) {
            newIndex[old] = std::int32_t(merged.size());
            merged.push_back(std::move(table[old++]));
        }
        table.swap(merged);
        Tables.LastEntry = std::int32_t(table.size()) - 1;
        History.EntriesMoved(newIndex);
        Modified = true;
        emit EntriesInserted(firstNew);
    } else if (table.empty()) {
        table.push_back(DS{std::string(), {std::string()}, 0, 0, false});
    }
    result.FirstEntry = FirstEntryOf(Tables, texts);
    return result;
}

void DictionaryDocument::RequestEnd(std::function<void()> end)
{
    EndRequested = true;
    if (BusyState == DocumentBusy::None) {
        end();
        return;
    }
    EndAction = std::move(end);
    if (BusyState == DocumentBusy::WaitingForExtraction && Watch)
        Watch->StopWaiting();
}

void DictionaryDocument::CancelEnd()
{
    EndRequested = false;
    EndAction = nullptr;
}
