#include "document/checkreport.h"

#include "dictionary/keeplist.h"
#include "platform/codepage.h"

#include <algorithm>

namespace {

constexpr CheckKind kEntryKinds[] = {
    CheckKind::HotkeyMissing, CheckKind::HotkeyLetter, CheckKind::HotkeyExtra,
    CheckKind::HotkeyTwice,   CheckKind::Shortcut,     CheckKind::Placeholder,
    CheckKind::Escape,        CheckKind::Ending,       CheckKind::Spaces,
    CheckKind::Untranslated,  CheckKind::Vocabulary,
};

} // namespace

CheckReport::CheckReport(DictionaryDocument &document, QObject *parent)
    : QAbstractTableModel(parent), Document(document)
{
    connect(&Document, &DictionaryDocument::ChoiceCommitted, this, &CheckReport::entryChanged);
    connect(&Document, &DictionaryDocument::EntryRestored, this, &CheckReport::entryChanged);
    connect(&Document, &DictionaryDocument::Replaced, this, &CheckReport::replaced);
    // Inserted entries move the rows after them: everything is counted afresh.
    connect(&Document, &DictionaryDocument::EntriesInserted, this, [this](std::int32_t) { replaced(); });
}

std::vector<CheckKind> CheckReport::EntryKinds()
{
    return {std::begin(kEntryKinds), std::end(kEntryKinds)};
}

QString CheckReport::Caption()
{
    return QStringLiteral("檢查翻譯");
}

QString CheckReport::NoMoreProblemsMessage() const
{
    if (SuggestedRows)
        return QStringLiteral("以下沒有其他「%1」的項目。").arg(SuggestedName());
    if (!KindShown)
        return QStringLiteral("以下沒有其他有問題的項目。");
    return QStringLiteral("以下沒有其他「%1」的項目。").arg(CheckName(*KindShown));
}

std::int32_t CheckReport::lastEntry() const
{
    // The fill level, but never past the table.
    return std::int32_t(std::min<std::int64_t>(Document.Tables.LastEntry,
                                               std::int64_t(Document.Tables.EntryTable.size()) - 1));
}

CheckReport::EntryState CheckReport::stateOf(std::int32_t entry) const
{
    const DS &e = Document.Tables.EntryTable[std::size_t(entry)];
    EntryState state;
    state.Problems = CheckTranslation(e.Source, e.ChosenTranslation(), &Keep);
    state.Several = e.LastTranslation > 0;
    state.Untranslated = state.Problems.has(CheckKind::Untranslated);
    state.Reviewed = e.Reviewed;
    if (state.Untranslated)
        for (std::int32_t t = 0; t <= e.LastTranslation && !state.Suggested; ++t)
            state.Suggested = e.Translations[std::size_t(t)].str() != e.Source.str();
    return state;
}

void CheckReport::count(const EntryState &state, int sign)
{
    Count.Several += state.Several ? sign : 0;
    Count.Untranslated += state.Untranslated ? sign : 0;
    Count.Reviewed += state.Reviewed ? sign : 0;
    Count.Suggested += state.Suggested ? sign : 0;
    Count.WithProblems += state.Problems.empty() ? 0 : sign;
    for (const CheckKind kind : kEntryKinds)
        Count.PerKind[std::size_t(kind)] += state.Problems.has(kind) ? sign : 0;
}

bool CheckReport::shown(CheckKind kind) const
{
    return !KindShown || *KindShown == kind;
}

void CheckReport::appendRows(std::int32_t entry, CheckSet problems, std::vector<Row> &rows) const
{
    if (SuggestedRows && !States[std::size_t(entry)].Suggested)
        return;
    for (const CheckKind kind : kEntryKinds)
        if (problems.has(kind) && shown(kind))
            rows.push_back(Row{entry, kind});
}

void CheckReport::rebuildRows()
{
    Rows.clear();
    for (std::size_t e = 0; e < States.size(); ++e)
        appendRows(std::int32_t(e), States[e].Problems, Rows);
}

void CheckReport::Build()
{
    if (IsBuilt)
        return;
    beginResetModel();
    const std::int32_t last = lastEntry();
    States.assign(std::size_t(std::max(last + 1, 0)), EntryState{});
    Count = Counts{};
    Count.Entries = int(States.size());
    for (std::size_t e = 0; e < States.size(); ++e) {
        States[e] = stateOf(std::int32_t(e));
        count(States[e], +1);
    }
    rebuildRows();
    IsBuilt = true;
    endResetModel();
    emit CountsChanged();
}

void CheckReport::replaced()
{
    // The entries are new: the report is made again when it is next needed.
    // The list beside the dictionary is read as it is now: edited, it counts
    // from the next load.
    KeepProblem = Document.DictionaryFileName.isEmpty()
                      ? QString()
                      : ReadKeepList(FileName(Document.DictionaryFileName), Keep);
    beginResetModel();
    IsBuilt = false;
    States.clear();
    Rows.clear();
    Count = Counts{};
    endResetModel();
    emit CountsChanged();
}

QString CheckReport::DetailAt(int row) const
{
    if (row < 0 || std::size_t(row) >= Rows.size())
        return {};
    const Row &r = Rows[std::size_t(row)];
    const DS &e = Document.Tables.EntryTable[std::size_t(r.Entry)];
    return CheckDetail(r.Kind, e.Source, e.ChosenTranslation());
}

std::optional<QString> CheckReport::FixAt(int row) const
{
    if (row < 0 || std::size_t(row) >= Rows.size())
        return std::nullopt;
    const Row &r = Rows[std::size_t(row)];
    const DS &e = Document.Tables.EntryTable[std::size_t(r.Entry)];
    const std::optional<std::string> fixed = SuggestedFix(r.Kind, e.Source, e.ChosenTranslation());
    if (!fixed)
        return std::nullopt;
    return cp950::decode(*fixed);
}

QString CheckReport::SuggestedName()
{
    return QStringLiteral("有建議譯文");
}

void CheckReport::SetFilter(std::optional<CheckKind> kind, bool suggestedOnly)
{
    if (suggestedOnly)
        kind = CheckKind::Untranslated;
    if (kind == KindShown && suggestedOnly == SuggestedRows)
        return;
    beginResetModel();
    KindShown = kind;
    SuggestedRows = suggestedOnly;
    rebuildRows();
    endResetModel();
}

CheckSet CheckReport::ProblemsOf(std::int32_t entry) const
{
    if (entry < 0 || std::size_t(entry) >= States.size())
        return {};
    return States[std::size_t(entry)].Problems;
}

namespace {

template <typename Rows>
auto firstRowOf(Rows &rows, std::int32_t entry)
{
    return std::lower_bound(rows.begin(), rows.end(), entry,
                            [](const auto &row, std::int32_t e) { return row.Entry < e; });
}

} // namespace

void CheckReport::entryChanged(std::int32_t entry)
{
    if (!IsBuilt || entry < 0 || std::size_t(entry) >= States.size())
        return;
    const EntryState now = stateOf(entry);
    count(States[std::size_t(entry)], -1);
    count(now, +1);
    States[std::size_t(entry)] = now;

    // Only this entry's rows change: they are replaced where they stand.
    const auto first = firstRowOf(Rows, entry);
    const auto end = std::find_if(first, Rows.end(), [&](const Row &row) { return row.Entry != entry; });
    const int at = int(first - Rows.begin());
    const int before = int(end - first);
    std::vector<Row> fresh;
    appendRows(entry, now.Problems, fresh);
    const bool sameKinds = std::equal(first, end, fresh.begin(), fresh.end(),
                                      [](const Row &a, const Row &b) { return a.Kind == b.Kind; });
    if (sameKinds) {
        if (before > 0)
            emit dataChanged(index(at, 0), index(at + before - 1, ColumnCount - 1));
    } else {
        if (before > 0) {
            beginRemoveRows({}, at, at + before - 1);
            Rows.erase(first, end);
            endRemoveRows();
        }
        if (!fresh.empty()) {
            beginInsertRows({}, at, at + int(fresh.size()) - 1);
            Rows.insert(Rows.begin() + at, fresh.begin(), fresh.end());
            endInsertRows();
        }
    }
    emit CountsChanged();
}

std::int32_t CheckReport::NextProblem(std::int32_t currentRow)
{
    Build();
    // Grid row R shows entry R - 1, so the rows below it start at entry R.
    const auto hit = firstRowOf(Rows, std::max(currentRow, 0));
    return hit == Rows.end() ? -1 : hit->Entry;
}

int CheckReport::RowOfEntry(std::int32_t entry) const
{
    const auto hit = firstRowOf(Rows, entry);
    return hit != Rows.end() && hit->Entry == entry ? int(hit - Rows.begin()) : -1;
}

std::int32_t CheckReport::EntryAt(int row) const
{
    return row >= 0 && std::size_t(row) < Rows.size() ? Rows[std::size_t(row)].Entry : -1;
}

int CheckReport::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(Rows.size());
}

int CheckReport::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant CheckReport::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= int(Rows.size()))
        return {};
    const Row &row = Rows[std::size_t(index.row())];
    if (role == EntryRole)
        return row.Entry;
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return {};
    const DS &e = Document.Tables.EntryTable[std::size_t(row.Entry)];
    switch (index.column()) {
    case EntryColumn:
        return role == Qt::DisplayRole ? QVariant(row.Entry + 1) : QVariant();
    case KindColumn:
        return CheckName(row.Kind);
    case SourceColumn:
        return cp950::decode(e.Source);
    case TranslationColumn:
        return cp950::decode(e.ChosenTranslation());
    default:
        return {};
    }
}

QVariant CheckReport::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case EntryColumn:
        return QStringLiteral("項目");
    case KindColumn:
        return QStringLiteral("問題");
    case SourceColumn:
        return QStringLiteral("來源");
    case TranslationColumn:
        return QStringLiteral("翻譯");
    default:
        return {};
    }
}

QString ProblemTip(CheckSet problems)
{
    if (problems.empty())
        return {};
    QStringList names;
    for (const CheckKind kind : problems.kinds())
        names << CheckName(kind);
    return QStringLiteral("可能有問題：") + names.join(u'、');
}
