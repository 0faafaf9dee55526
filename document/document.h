#pragma once
// The dictionary open in the maintenance window, apart from the window that
// shows it: its entry tables, its file name, whether it holds edits that are
// not yet in the file, the text waiting in the choice box, and the one thing
// it may be busy with. Every window reaches the open dictionary through it.
//
// No widget code: the questions it asks and the progress it reports go
// through the small interfaces below, which the windows answer, so that its
// rules run, and are tested, without a screen.

#include "dictionary/dictionary.h"
#include "dictionary/untranslated.h"
#include "document/history.h"

#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>
#include <optional>

// The answers of the unsaved-changes prompt.
enum class SaveChoice : unsigned char { Yes = 0, No = 1, Cancel = 2 };

// What the dictionary is busy with. While it is busy, no command anywhere may
// open, load or save a dictionary, nor replace or leave this one.
enum class DocumentBusy { None, Loading, Saving, WaitingForExtraction };

// The questions and reports that reach the user.
class DocumentQuestions {
public:
    virtual ~DocumentQuestions() = default;
    // The unsaved-changes prompt with its two lines.
    virtual SaveChoice AskToSave(const QString &line1, const QString &line2) = 0;
    // Save with no file yet: the file to save to; empty when the user cancelled.
    virtual QString ChooseSaveFile() = 0;
    // A file that could not be read or written: the application's error report.
    virtual void ReportError(const QString &text) = 0;
    // A command that cannot run now: a plain message.
    virtual void Tell(const QString &text, const QString &caption) = 0;
    // A warning with the choice to go on: true for Yes.
    virtual bool Confirm(const QString &text, const QString &caption) = 0;
};

// The progress window around a load (the stages come through LoadProgress)
// and a save.
class DocumentProgress : public LoadProgress {
public:
    virtual void Show() = 0;
    // Shows the window with `text` and lets it be painted now: the step that
    // follows lets no events run.
    virtual void ShowPainted(const QString &text) = 0;
    virtual void Close() = 0;
};

// The conversion runs as far as they write dictionaries.
class ExtractionWatch {
public:
    virtual ~ExtractionWatch() = default;
    // True while a running extraction writes the dictionary at `path`.
    virtual bool Writes(const QString &path) const = 0;
    // Lets events run until that extraction has ended or StopWaiting is called.
    virtual void Wait(const QString &path) = 0;
    virtual void StopWaiting() = 0;
};

// A text in the choice box, typed or picked there, not yet committed to its entry.
struct PendingChoice {
    std::int32_t Entry = -1;
    QString Text;
};

// The outcome of committing a choice.
struct ChoiceCommit {
    bool Committed = true;
    // When refused: the span from the first to the last character that code
    // page 950 cannot hold (positions in the text), and those characters.
    qsizetype BadStart = -1;
    qsizetype BadLength = 0;
    QString BadCharacters;
};

class DictionaryDocument : public QObject {
    Q_OBJECT
public:
    DictionaryDocument();
    ~DictionaryDocument() override;

    DictionaryTables Tables;
    QString DictionaryFileName; // the open dictionary's full path
    bool Modified = false;      // edits not yet in the file

    // The windows' answers; nullptr for none (every prompt is then Cancel,
    // every save dialog cancelled, and reports go nowhere).
    void SetQuestions(DocumentQuestions *questions);
    void SetProgress(DocumentProgress *progress);
    void SetExtractionWatch(ExtractionWatch *watch);

    DocumentBusy Busy() const { return BusyState; }
    // True once the program is to end: nothing new is opened.
    bool Ending() const { return EndRequested; }
    // False, and the user told why, while the dictionary is busy.
    bool Available();

    // The choice box. Its text, once typed or picked (or the box is being
    // edited), is pending until it is committed or the box is filled afresh.
    const std::optional<PendingChoice> &Pending() const { return PendingText; }
    void SetPendingChoice(std::int32_t entry, const QString &text);
    void ClearPendingChoice();
    // Commits `text` as the choice of `entry`: an alternative it has, or a new
    // one appended. A text that code page 950 cannot hold is refused and
    // stays pending. Modified becomes true only when the entry changed.
    ChoiceCommit CommitChoice(std::int32_t entry, const QString &text);
    // Commits the pending text, if any; false when it was refused.
    bool CommitPendingChoice();

    // Undo and redo of the commits that changed an entry. A pending text is
    // committed first, so that undo takes back what the user did last.
    // Modified afterwards tells whether the tables differ from the file (the
    // last load or save). Each returns the entry it restored, or -1 when
    // there was nothing to undo or redo, the pending text was refused or
    // the dictionary is busy. A load empties the history.
    bool CanUndo() const { return History.CanUndo(); }
    bool CanRedo() const { return History.CanRedo(); }
    std::int32_t Undo();
    std::int32_t Redo();

    // The guard that every command runs before it replaces the dictionary,
    // leaves the window or ends the program: refused while busy; commits
    // what is pending, then asks about unsaved edits (Yes saves first).
    // False stops the command.
    bool AskToSave();

    // When an extraction still writes `path`: waits until it has ended (busy
    // meanwhile). False when refused as busy or the program is ending.
    bool WaitUntilWritten(const QString &path);
    // Reads `path` into the tables (after waiting for an extraction that
    // still writes it). On success the file name is `path` and Modified is
    // false; on failure the previous dictionary stays and the error is reported.
    // A file that reads as no dictionary (a resource script, NUL bytes) is
    // taken only when the user confirms the warning; declined, the previous
    // dictionary stays too.
    bool Open(const QString &path, bool showProgress);
    // Writes the tables to DictionaryFileName (asks for a file when there is
    // none yet). The pending text is not written and stays pending. Over a
    // file that read as no dictionary the user is asked once more first.
    bool Save();
    // Saves under `path`; a failed save goes back to the previous name.
    bool SaveAs(const QString &path);

    // The new-version loop with this dictionary open: each text that is not
    // a source yet becomes an untranslated entry (its own translation) at its
    // place in the table. The pending text is committed first (refused: it
    // stays pending and nothing is added); the undo history follows its
    // entries to their new rows. Modified once anything was added. Refused
    // while busy.
    AddedTexts AddUntranslated(const std::vector<std::string> &texts);

    // The program is to end: `end` runs now, or as soon as the dictionary is
    // no longer busy (a wait for an extraction is stopped for it).
    void RequestEnd(std::function<void()> end);
    // The user kept the program running after all.
    void CancelEnd();

    static QString BusyMessage(DocumentBusy busy);
    static QString BusyCaption();
    static QString UnencodableMessage(const QString &characters);

signals:
    // A load replaced the tables.
    void Replaced();
    // Entries were inserted: rows from `first` on show other entries now.
    void EntriesInserted(std::int32_t first);
    // A choice was committed to `entry`.
    void ChoiceCommitted(std::int32_t entry);
    // A choice for `entry` was refused; it stays pending.
    void ChoiceRefused(std::int32_t entry, const ChoiceCommit &refusal);
    // Undo or redo gave `entry` back an earlier choice.
    void EntryRestored(std::int32_t entry);
    void BusyChanged(DocumentBusy busy);

private:
    void setBusy(DocumentBusy busy);
    // Takes a step back (undo) or again; false when the entry is not as
    // the step left it.
    bool apply(const ChoiceStep &step, bool undo);
    std::int32_t restore(const ChoiceStep *step, bool undo);

    DocumentQuestions *Questions = nullptr;
    DocumentProgress *Progress = nullptr;
    ExtractionWatch *Watch = nullptr;
    DocumentBusy BusyState = DocumentBusy::None;
    std::optional<PendingChoice> PendingText;
    // The file opened in spite of the warning that it is no dictionary,
    // until a save over it has been confirmed.
    QString DoubtfulFile;
    ChoiceHistory History;
    std::function<void()> EndAction; // waits for the busy state to end
    bool EndRequested = false;
};
