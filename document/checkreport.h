#pragma once
// The checks of the open dictionary as the check window shows them: counts
// over all entries, and one row per problem (entry, kind, source, chosen
// translation) for the kinds the filter lets through, in table order.
//
// The report is made when it is first needed after a load (the check window
// is shown, or the user jumps to the next problem); from then on it follows
// every commit, undo and redo by checking that one entry again, so that it
// stays cheap on a dictionary of 100,000 entries.
//
// No widget code: a table model of Qt Core over the document.

#include "dictionary/checks.h"
#include "document/document.h"

#include <QAbstractTableModel>

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

class CheckReport : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit CheckReport(DictionaryDocument &document, QObject *parent = nullptr);

    // The columns of the problem list.
    enum Column { EntryColumn, KindColumn, SourceColumn, TranslationColumn, ColumnCount };
    // The entry a row stands for (an int), under this role.
    static constexpr int EntryRole = Qt::UserRole;

    struct Counts {
        int Entries = 0;
        int Several = 0;      // with several translations
        int Untranslated = 0; // the chosen translation equals the source
        int Reviewed = 0;
        int WithProblems = 0; // entries with a problem of any kind
        int Suggested = 0;    // untranslated, with suggested translations to pick from
        std::array<int, kCheckKinds> PerKind{}; // entries with that kind
    };

    // Makes the report now if it is not up to date (after a load).
    void Build();
    bool Built() const { return IsBuilt; }
    // The texts kept in English: the list beside the dictionary, read at
    // each load; and why it could not be read (empty when it was, or when
    // there is none).
    const KeepEnglish &KeepList() const { return Keep; }
    const QString &KeepListProblem() const { return KeepProblem; }
    const Counts &Totals() const { return Count; }

    // None: every problem; a kind: only that one. With `suggestedOnly`, only
    // the untranslated entries that hold other translations to pick from
    // (the suggestions a translation adds to the dictionary with a new text).
    std::optional<CheckKind> Filter() const { return KindShown; }
    bool SuggestedOnly() const { return SuggestedRows; }
    void SetFilter(std::optional<CheckKind> kind, bool suggestedOnly = false);
    // The name of that filter: "有建議譯文".
    static QString SuggestedName();
    // The kinds the checks of one entry can find, in their order.
    static std::vector<CheckKind> EntryKinds();

    // The problems of entry e as the report knows them (after Build).
    CheckSet ProblemsOf(std::int32_t entry) const;
    // The first entry from the grid's current row R on (entries R .. last,
    // the rows below it, no wrap) with a problem the filter lets through;
    // -1 when there is none. Builds the report if needed.
    std::int32_t NextProblem(std::int32_t currentRow);
    // The list row of entry e's first problem shown, or -1.
    int RowOfEntry(std::int32_t entry) const;
    // The entry of list row `row`, or -1.
    std::int32_t EntryAt(int row) const;
    // What list row `row` says beyond its kind (the Taiwan words, the
    // suggested hot key), and the translation that mends it when one key can:
    // the hot-key kinds, with the source's letter or the next free one.
    QString DetailAt(int row) const;
    std::optional<QString> FixAt(int row) const;

    // The message when the jump finds nothing below, and its caption.
    QString NoMoreProblemsMessage() const;
    static QString Caption();

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

signals:
    // The counts changed (a commit, an undo, a load, the report made).
    void CountsChanged();

private:
    struct Row {
        std::int32_t Entry;
        CheckKind Kind;
    };
    struct EntryState {
        CheckSet Problems;
        bool Several = false;
        bool Untranslated = false;
        bool Reviewed = false;
        bool Suggested = false;
    };

    EntryState stateOf(std::int32_t entry) const;
    void count(const EntryState &state, int sign);
    bool shown(CheckKind kind) const;
    void appendRows(std::int32_t entry, CheckSet problems, std::vector<Row> &rows) const;
    void rebuildRows();
    void entryChanged(std::int32_t entry);
    void replaced();
    std::int32_t lastEntry() const;

    DictionaryDocument &Document;
    bool IsBuilt = false;
    std::optional<CheckKind> KindShown;
    bool SuggestedRows = false;
    KeepEnglish Keep; // read at each load
    QString KeepProblem;
    std::vector<EntryState> States; // one per entry 0 .. LastEntry
    std::vector<Row> Rows;          // ordered by entry, then kind
    Counts Count;
};

// The names of the problems of one entry for the grid's tooltip; empty when
// it has none.
QString ProblemTip(CheckSet problems);
