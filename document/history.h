#pragma once
// The undo history of the open dictionary: every commit that changed an
// entry (another alternative chosen, a typed text appended), in order, with
// the point the user has stepped back to and the point that matches the
// file (the last load or save).

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// One commit that changed an entry, as undo and redo need it.
struct ChoiceStep {
    std::int32_t Entry = -1;
    std::int32_t ChosenBefore = 0;
    std::int32_t ChosenAfter = 0;
    bool ReviewedBefore = false;
    bool ReviewedAfter = true;
    // The commit appended a slot holding this text; undo removes it again.
    bool Appended = false;
    std::string AppendedText;
};

class ChoiceHistory {
public:
    // Nothing to undo or redo. After a load the tables match the file;
    // otherwise (atFile false) no position does any more.
    void Clear(bool atFile = true);
    // A new commit: the steps undone before it can no longer be redone.
    void Record(ChoiceStep step);

    bool CanUndo() const { return Position > 0; }
    bool CanRedo() const { return Position < Steps.size(); }
    // The step to take back, or nullptr; the position moves before it.
    const ChoiceStep *Undo();
    // The step to take again, or nullptr; the position moves after it.
    const ChoiceStep *Redo();

    // Entries were inserted into the table: each step follows its entry to
    // its new index (`newIndex[old]`). The tables now hold entries that the
    // file does not, so no position matches the file any more.
    void EntriesMoved(const std::vector<std::int32_t> &newIndex);

    // A save: the tables as they are now match the file.
    void MarkClean();
    // Whether the tables match the file again (the position is the last
    // load's or save's).
    bool AtClean() const;

private:
    std::vector<ChoiceStep> Steps;
    std::size_t Position = 0; // the steps before it are in effect
    // The position that matches the file; none once a new commit has
    // discarded the steps that led back to it.
    std::ptrdiff_t Clean = 0;
};
