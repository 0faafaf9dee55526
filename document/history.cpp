#include "document/history.h"

#include <utility>

void ChoiceHistory::Clear(bool atFile)
{
    Steps.clear();
    Position = 0;
    Clean = atFile ? 0 : -1;
}

void ChoiceHistory::Record(ChoiceStep step)
{
    if (Clean > std::ptrdiff_t(Position))
        Clean = -1; // the file's state lay among the steps now discarded
    Steps.resize(Position);
    Steps.push_back(std::move(step));
    Position = Steps.size();
}

const ChoiceStep *ChoiceHistory::Undo()
{
    if (!CanUndo())
        return nullptr;
    return &Steps[--Position];
}

const ChoiceStep *ChoiceHistory::Redo()
{
    if (!CanRedo())
        return nullptr;
    return &Steps[Position++];
}

void ChoiceHistory::EntriesMoved(const std::vector<std::int32_t> &newIndex)
{
    for (ChoiceStep &step : Steps)
        if (step.Entry >= 0 && std::size_t(step.Entry) < newIndex.size())
            step.Entry = newIndex[std::size_t(step.Entry)];
    Clean = -1;
}

void ChoiceHistory::MarkClean()
{
    Clean = std::ptrdiff_t(Position);
}

bool ChoiceHistory::AtClean() const
{
    return Clean == std::ptrdiff_t(Position);
}
