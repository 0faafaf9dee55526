#include "convert/previewwindow.h"

#include "files/filename.h"
#include "platform/codepage.h"
#include "platform/fonts.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QScrollArea>
#include <QSplitter>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// The English text on a line, from the English layout's controls and items.
std::optional<std::string> englishOn(const LaidResources &english, int line)
{
    for (const LaidDialog &d : english.Dialogs)
        for (const LaidControl &c : d.Controls)
            if (c.Line == line && !c.Text.empty())
                return c.Text;
    std::optional<std::string> found;
    const auto look = [&](auto &self, const std::vector<MenuItem> &items) -> void {
        for (const MenuItem &i : items) {
            if (i.Line == line && !i.Quoted.empty())
                found = i.Quoted;
            self(self, i.Items);
        }
    };
    for (const LaidMenu &m : english.Menus)
        look(look, m.Bar);
    return found;
}

template <typename List>
const typename List::value_type *named(const List &list, const std::string &name)
{
    for (const auto &r : list)
        if (r.Name == name)
            return &r;
    return nullptr;
}

} // namespace

PreviewWindow::PreviewWindow(QWidget *owner) : QDialog(owner)
{
    setModal(false);
    setWindowTitle(QStringLiteral("預覽"));
    setFont(MingFont(12));
    resize(980, 620);

    List = new QListWidget(this);
    List->setFont(MingFont(13));
    English = new QCheckBox(QStringLiteral("英文對照"), this);
    English->setToolTip(QStringLiteral("把英文版本中同名的對話框或選單畫在左邊"));
    Picture = new QLabel;
    Picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Picture->setCursor(Qt::PointingHandCursor);
    Picture->installEventFilter(this);
    Scroll = new QScrollArea(this);
    Scroll->setWidget(Picture);
    Scroll->setWidgetResizable(false);
    Scroll->setBackgroundRole(QPalette::Base);
    Status = new QLabel(this);
    Status->setTextFormat(Qt::PlainText);
    Status->setWordWrap(true);
    Status->setText(QStringLiteral("按圖中的文字，在字典檔維護中找它的條目。"));

    auto *left = new QWidget(this);
    auto *leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    leftLayout->addWidget(List, 1);
    leftLayout->addWidget(English);
    auto *split = new QSplitter(this);
    split->addWidget(left);
    split->addWidget(Scroll);
    split->setStretchFactor(1, 1);
    split->setSizes({260, 700});
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(split, 1);
    layout->addWidget(Status);

    connect(List, &QListWidget::currentRowChanged, this, [this] { showCurrent(); });
    connect(English, &QCheckBox::toggled, this, [this] { showCurrent(); });
}

bool PreviewWindow::ShowScripts(const FileName &translated, const std::optional<FileName> &english)
{
    QString problem;
    translatedLayout = LayOutScriptFile(translated, false, problem);
    englishLayout.reset();
    entries.clear();
    List->clear();
    if (!translatedLayout) {
        Status->setText(problem);
        showCurrent();
        return false;
    }
    if (english) {
        QString englishProblem;
        englishLayout = LayOutScriptFile(*english, false, englishProblem);
        if (englishLayout) {
            // Widths are measured for 新細明體 9, which English dialogs do not have.
            for (LaidDialog &d : englishLayout->Dialogs)
                for (LaidControl &c : d.Controls)
                    c.TooWide = false;
        } else {
            Status->setText(englishProblem);
        }
    }
    English->setEnabled(englishLayout.has_value());
    if (!englishLayout)
        English->setChecked(false);

    struct Row {
        Entry E;
        ProblemCount N;
        std::string Name;
    };
    std::vector<Row> rows;
    for (std::size_t i = 0; i < translatedLayout->Dialogs.size(); ++i)
        rows.push_back({{false, i}, ProblemsOf(translatedLayout->Dialogs[i]), translatedLayout->Dialogs[i].Name});
    for (std::size_t i = 0; i < translatedLayout->Menus.size(); ++i)
        rows.push_back({{true, i}, ProblemsOf(translatedLayout->Menus[i]), translatedLayout->Menus[i].Name});
    std::stable_sort(rows.begin(), rows.end(), [](const Row &a, const Row &b) { return a.N.total() > b.N.total(); });
    for (const Row &r : rows) {
        entries.push_back(r.E);
        const QString name = QString::fromStdString(r.Name) + (r.E.Menu ? QStringLiteral("（選單）") : QString());
        QStringList parts;
        if (r.N.TooWide)
            parts << QStringLiteral("過寬 %1").arg(r.N.TooWide);
        if (r.N.Clashes)
            parts << QStringLiteral("熱鍵 %1").arg(r.N.Clashes);
        if (r.N.Overlaps)
            parts << QStringLiteral("重疊 %1").arg(r.N.Overlaps);
        auto *item = new QListWidgetItem(parts.isEmpty() ? name : name + QStringLiteral("　") + parts.join(QStringLiteral("、")));
        if (!parts.isEmpty())
            item->setForeground(QColor(176, 0, 0));
        List->addItem(item);
    }
    if (List->count() > 0)
        List->setCurrentRow(0);
    else
        Status->setText(QStringLiteral("這個RC檔沒有對話框或選單。"));
    showCurrent();
    show();
    raise();
    activateWindow();
    return true;
}

void PreviewWindow::showCurrent()
{
    spots.clear();
    const int row = List->currentRow();
    if (!translatedLayout || row < 0 || row >= int(entries.size())) {
        Picture->clear();
        Picture->adjustSize();
        return;
    }
    const Entry &e = entries[std::size_t(row)];
    ::Picture pic;
    std::optional<QImage> before;
    if (e.Menu) {
        const LaidMenu &m = translatedLayout->Menus[e.Index];
        pic = DrawMenu(m);
        if (englishLayout && English->isChecked())
            if (const LaidMenu *en = named(englishLayout->Menus, m.Name))
                before = DrawMenu(*en).Image;
    } else {
        const LaidDialog &d = translatedLayout->Dialogs[e.Index];
        pic = DrawDialog(d);
        if (englishLayout && English->isChecked())
            if (const LaidDialog *en = named(englishLayout->Dialogs, d.Name))
                before = DrawDialog(*en).Image;
    }
    QImage image = pic.Image;
    QPoint offset;
    if (before)
        image = SideBySide(*before, QStringLiteral("英文"), pic.Image, QStringLiteral("翻譯後"), &offset);
    for (PictureSpot s : pic.Spots) {
        s.Area.translate(offset);
        spots.push_back(std::move(s));
    }
    Picture->setPixmap(QPixmap::fromImage(image));
    Picture->adjustSize();
}

void PreviewWindow::ClickAt(const QPoint &at)
{
    for (const PictureSpot &s : spots) {
        if (!s.Area.contains(at))
            continue;
        const std::optional<std::string> english = englishLayout ? englishOn(*englishLayout, s.Line) : std::nullopt;
        const std::string source = english.value_or(s.Text);
        Status->setText(QStringLiteral("第 %1 行：%2").arg(s.Line).arg(cp950::decode(source)));
        if (OpenEntry)
            OpenEntry(source);
        return;
    }
}

bool PreviewWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Picture && event->type() == QEvent::MouseButtonPress) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton) {
            ClickAt(mouse->position().toPoint());
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
