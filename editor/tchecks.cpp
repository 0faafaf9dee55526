#include "editor/tchecks.h"

#include "document/checkreport.h"
#include "platform/fonts.h"
#include "widgets/artwork.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QTableView>
#include <QVBoxLayout>

namespace {
// The filter item of the untranslated entries with suggestions to pick from.
constexpr int kSuggestedFilter = -2;
} // namespace

TChecks::TChecks(CheckReport &report, QWidget *parent)
    : QWidget(parent, Qt::Window), Report(report)
{
    setWindowTitle(CheckReport::Caption());
    setWindowIcon(QIcon(Artwork::AppIcon()));
    setFont(MingFont(12));
    resize(640, 420);

    Totals = new QLabel(this);
    KindCounts = new QLabel(this);
    FilterLabel = new QLabel(QStringLiteral("顯示："), this);
    Filter = new QComboBox(this);
    Filter->addItem(QStringLiteral("所有問題"), -1);
    for (const CheckKind kind : CheckReport::EntryKinds())
        Filter->addItem(CheckName(kind), int(kind));
    Filter->addItem(CheckReport::SuggestedName(), kSuggestedFilter);
    Filter->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    FilterLabel->setBuddy(Filter);

    List = new QTableView(this);
    List->setModel(&Report);
    List->setSelectionBehavior(QAbstractItemView::SelectRows);
    List->setSelectionMode(QAbstractItemView::SingleSelection);
    List->setEditTriggers(QAbstractItemView::NoEditTriggers);
    List->setTabKeyNavigation(false);
    List->setWordWrap(false);
    List->verticalHeader()->hide();
    List->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    List->verticalHeader()->setDefaultSectionSize(20);
    QHeaderView *header = List->horizontalHeader();
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    header->setHighlightSections(false);
    header->resizeSection(CheckReport::EntryColumn, 50);
    header->resizeSection(CheckReport::KindColumn, 100);
    header->resizeSection(CheckReport::SourceColumn, 230);
    header->setStretchLastSection(true);

    Detail = new QLabel(this);
    Detail->setWordWrap(true);
    Detail->setTextFormat(Qt::PlainText);
    ApplyFix = new QPushButton(QStringLiteral("套用建議(&A)"), this);
    ApplyFix->setEnabled(false);
    List->installEventFilter(this);

    auto *filterRow = new QHBoxLayout;
    filterRow->addWidget(FilterLabel);
    filterRow->addWidget(Filter);
    filterRow->addStretch(1);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Totals);
    layout->addWidget(KindCounts);
    layout->addLayout(filterRow);
    layout->addWidget(List, 1);
    auto *fixRow = new QHBoxLayout;
    fixRow->addWidget(Detail, 1);
    fixRow->addWidget(ApplyFix);
    layout->addLayout(fixRow);

    connect(Filter, &QComboBox::currentIndexChanged, this, &TChecks::FilterChange);
    connect(List, &QAbstractItemView::activated, this, &TChecks::ListActivated);
    connect(ApplyFix, &QPushButton::clicked, this, &TChecks::ApplyFixClick);
    connect(List->selectionModel(), &QItemSelectionModel::currentChanged, this, &TChecks::ShowDetail);
    // Rows come and go with commits: the detail follows the current row.
    connect(&Report, &QAbstractItemModel::modelReset, this, &TChecks::ShowDetail);
    connect(&Report, &QAbstractItemModel::rowsRemoved, this, &TChecks::ShowDetail);
    connect(&Report, &QAbstractItemModel::rowsInserted, this, &TChecks::ShowDetail);
    connect(&Report, &QAbstractItemModel::dataChanged, this, &TChecks::ShowDetail);
    connect(&Report, &CheckReport::CountsChanged, this, [this] {
        // A load dropped the report; while the window shows it, it is made again.
        if (isVisible() && !Report.Built())
            Report.Build();
        ShowCounts();
    });
    ShowCounts();
}

void TChecks::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    FormShow();
}

void TChecks::placeBesideOwner()
{
    // First shown beside the maintenance window, so that both can be seen;
    // where the screen has no room there, as far right as it allows.
    QWidget *owner = parentWidget() ? parentWidget()->window() : nullptr;
    QScreen *where = owner ? owner->screen() : screen();
    if (!owner || !where)
        return;
    const QRect room = where->availableGeometry();
    const QRect beside = owner->frameGeometry();
    const int x = qBound(room.left(), beside.right() + 1, room.right() - width());
    const int y = qBound(room.top(), beside.top(), room.bottom() - height());
    move(x, y);
}

void TChecks::FormShow()
{
    if (!placed) {
        placed = true;
        placeBesideOwner();
    }
    Report.Build();
    ShowCounts();
    if (!List->currentIndex().isValid() && Report.rowCount() > 0)
        List->setCurrentIndex(Report.index(0, 0));
    List->setFocus(Qt::OtherFocusReason);
}

void TChecks::ShowCounts()
{
    const CheckReport::Counts &c = Report.Totals();
    Totals->setText(QStringLiteral("項目：%1　多譯：%2　未翻譯：%3　已檢閱：%4　有問題：%5")
                        .arg(c.Entries)
                        .arg(c.Several)
                        .arg(c.Untranslated)
                        .arg(c.Reviewed)
                        .arg(c.WithProblems));
    // The kinds in two lines: the hot-key and markup checks, then the rest.
    QString kinds;
    const std::vector<CheckKind> entryKinds = CheckReport::EntryKinds();
    for (std::size_t i = 0; i < entryKinds.size(); ++i) {
        const CheckKind kind = entryKinds[i];
        const int n = c.PerKind[std::size_t(kind)];
        if (i > 0)
            kinds += i == 6 ? QStringLiteral("\n") : QStringLiteral("　");
        kinds += QStringLiteral("%1：%2").arg(CheckName(kind)).arg(n);
        Filter->setItemText(int(i) + 1, QStringLiteral("%1 (%2)").arg(CheckName(kind)).arg(n));
    }
    Filter->setItemText(int(entryKinds.size()) + 1,
                        QStringLiteral("%1 (%2)").arg(CheckReport::SuggestedName()).arg(c.Suggested));
    // A list of texts kept in English that could not be read is said, not passed over.
    if (!Report.KeepListProblem().isEmpty())
        kinds += QLatin1Char('\n') + Report.KeepListProblem();
    KindCounts->setText(kinds);
}

void TChecks::FilterChange(int index)
{
    const int kind = Filter->itemData(index).toInt();
    if (kind == kSuggestedFilter)
        Report.SetFilter(std::nullopt, true);
    else
        Report.SetFilter(kind < 0 ? std::nullopt : std::optional<CheckKind>(CheckKind(kind)));
    if (Report.rowCount() > 0)
        List->setCurrentIndex(Report.index(0, 0));
}

void TChecks::ListActivated(const QModelIndex &index)
{
    if (!index.isValid())
        return;
    emit JumpRequested(index.data(CheckReport::EntryRole).toInt());
}

void TChecks::ShowDetail()
{
    const int row = List->currentIndex().isValid() ? List->currentIndex().row() : -1;
    const QString detail = Report.DetailAt(row);
    Detail->setText(detail);
    ApplyFix->setEnabled(Report.FixAt(row).has_value());
}

void TChecks::ApplyFixClick()
{
    const QModelIndex current = List->currentIndex();
    if (!current.isValid())
        return;
    const std::optional<QString> fix = Report.FixAt(current.row());
    if (!fix)
        return;
    const int row = current.row();
    emit FixRequested(Report.EntryAt(row), *fix);
    // The mended row leaves the list: the next one is current, ready for its own fix.
    if (Report.rowCount() > 0)
        List->setCurrentIndex(Report.index(std::min(row, Report.rowCount() - 1), 0));
    List->setFocus(Qt::OtherFocusReason);
    ShowDetail();
}

bool TChecks::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == List && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
            && key->modifiers() & Qt::ControlModifier) {
            ApplyFixClick();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TChecks::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}
