#include "editor/exchangecommands.h"

#include "editor/tdict2.h"
#include "interchange/exchange.h"
#include "platform/messages.h"
#include "settings/settings.h"
#include "settings/startdir_dialog.h"

#include <QAction>
#include <QFileInfo>
#include <QTableView>

namespace {

const QString kFormatsFilter = QStringLiteral(
    "TMX 1.4b (*.tmx)|*.tmx|PO (*.po)|*.po|XLIFF 1.2 (*.xlf, *.xliff)|*.xlf;*.xliff|CSV (*.csv)|*.csv");
const ExchangeFormat kFilterFormats[] = {ExchangeFormat::Tmx, ExchangeFormat::Po, ExchangeFormat::Xliff,
                                         ExchangeFormat::Csv};

// The format a chosen file is in: its extension tells, else the filter
// chosen in the dialog.
std::optional<ExchangeFormat> formatOf(const FileDialog &dialog)
{
    const QByteArray suffix = QFileInfo(dialog.FileName).suffix().toLower().toUtf8();
    if (const auto byName = ExchangeFormatByName(suffix.toStdString()))
        return byName;
    if (dialog.FilterIndex >= 1 && dialog.FilterIndex <= 4)
        return kFilterFormats[dialog.FilterIndex - 1];
    return std::nullopt;
}

// A message box shows the first lines of a long list and how many more.
QString shortened(const QStringList &lines)
{
    constexpr qsizetype kShown = 20;
    if (lines.size() <= kShown + 1)
        return lines.join(QLatin1Char('\n'));
    return (lines.mid(0, kShown) << QStringLiteral("……（還有 %1 行）").arg(lines.size() - kShown - 1) << lines.last())
        .join(QLatin1Char('\n'));
}

} // namespace

ExchangeCommands::ExchangeCommands(TDict2 &window) : QObject(&window), window(window)
{
    const auto action = [&](const QString &text, QKeySequence keys, void (ExchangeCommands::*handler)()) {
        auto *a = new QAction(text, &window);
        a->setShortcut(keys);
        a->setShortcutContext(Qt::WindowShortcut);
        window.addAction(a);
        window.SG->addAction(a);
        connect(a, &QAction::triggered, this, handler);
        return a;
    };
    Export1 = action(QStringLiteral("匯出(&E)..."), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E), &ExchangeCommands::ExportClick);
    Import1 = action(QStringLiteral("匯入(&I)..."), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_I), &ExchangeCommands::ImportClick);
    window.SG->setContextMenuPolicy(Qt::ActionsContextMenu);

    ED.Title = QStringLiteral("匯出字典檔");
    ED.Filter = kFormatsFilter;
    ED.Options = FileDialog::OverwritePrompt | FileDialog::PathMustExist | FileDialog::NoReadOnlyReturn
                 | FileDialog::HideReadOnly | FileDialog::EnableSizing;
    ID.Title = QStringLiteral("匯入到字典檔");
    ID.Filter = kFormatsFilter + QStringLiteral("|所有檔案 (*.*)|*.*");
    ID.Options = FileDialog::FileMustExist | FileDialog::PathMustExist | FileDialog::HideReadOnly
                 | FileDialog::EnableSizing;
    // No overwrite prompt: an existing dictionary is merged into, not replaced.
    DD.Title = QStringLiteral("匯入後寫入的字典檔");
    DD.Options = FileDialog::PathMustExist | FileDialog::NoReadOnlyReturn | FileDialog::HideReadOnly
                 | FileDialog::EnableSizing;
}

void ExchangeCommands::ExportClick()
{
    DictionaryDocument &document = window.Document;
    if (!document.Available() || !document.CommitPendingChoice())
        return;
    ChooseInitialDir(ED, RegDat.DictDefPath, RegDat.DictLUPath);
    const QFileInfo dictionary(document.DictionaryFileName);
    const ExchangeFormat offered = kFilterFormats[ED.FilterIndex >= 1 && ED.FilterIndex <= 4 ? ED.FilterIndex - 1 : 0];
    ED.DefaultExt = QStringLiteral("*.") + ExchangeFormatExtension(offered);
    ED.FileName = document.DictionaryFileName.isEmpty()
                      ? QString()
                      : dictionary.completeBaseName() + QLatin1Char('.') + ExchangeFormatExtension(offered);
    if (!ED.Execute(&window))
        return;
    const ExchangeFormat format = formatOf(ED).value_or(offered);
    ExportOptions options;
    options.Name = dictionary.fileName();
    const std::vector<ExchangeEntry> entries = ExchangeEntries(document.Tables);
    std::int64_t pairs = 0;
    const FileResult saved = ExportExchange(entries, format, ED.FileName, options, &pairs);
    messageBoxes().message(&window,
                           saved.ok ? QStringLiteral("已把 %1 個條目、%2 個字串對匯出為 %3：\n%4")
                                          .arg(qint64(entries.size()))
                                          .arg(pairs)
                                          .arg(ExchangeFormatLabel(format), ED.FileName)
                                    : shortened(saved.error.split(QLatin1Char('\n'))),
                           QStringLiteral("匯出"));
}

void ExchangeCommands::ImportClick()
{
    DictionaryDocument &document = window.Document;
    if (!window.AskToSave())
        return;
    ChooseInitialDir(ID, RegDat.DictDefPath, RegDat.DictLUPath);
    if (!ID.Execute(&window))
        return;
    const std::optional<ExchangeFormat> format = formatOf(ID);
    if (!format) {
        messageBoxes().message(&window,
                               QStringLiteral("看不出 %1 是哪一種格式；請在檔案類型中選 TMX、PO、XLIFF 或 CSV。").arg(ID.FileName),
                               QStringLiteral("匯入"));
        return;
    }
    QString target = document.DictionaryFileName;
    if (target.isEmpty()) {
        ChooseInitialDir(DD, RegDat.DictDefPath, RegDat.DictLUPath);
        DD.Filter = DictionaryFilter;
        DD.DefaultExt = QStringLiteral("*.") + RegDat.DicExt;
        DD.FileName = QFileInfo(ID.FileName).completeBaseName() + QLatin1Char('.') + RegDat.DicExt;
        if (!DD.Execute(&window))
            return;
        target = DD.FileName;
    }
    if (!document.WaitUntilWritten(target))
        return;
    ImportReport report = ImportExchange(ID.FileName, *format, target, ImportOptions());
    if (report.StandInsWouldDo
        && messageBoxes().question(&window,
                                   shortened(ImportReportLines(report))
                                       + QStringLiteral("\n\n要把 Big5 無法表示的字元寫成字典檔沒有用到的造字區代碼，照樣匯入嗎？"),
                                   QStringLiteral("匯入"))) {
        ImportOptions standIns;
        standIns.StandIns = true;
        report = ImportExchange(ID.FileName, *format, target, standIns);
    } else if (report.StandInsWouldDo) {
        return;
    }
    QStringList lines = ImportReportLines(report);
    if (report.Ok)
        lines.prepend(QStringLiteral("%1 → %2").arg(ID.FileName, target));
    messageBoxes().message(&window, shortened(lines), QStringLiteral("匯入"));
    if (report.Ok && (report.Written > 0 || report.Created || target != document.DictionaryFileName))
        document.Open(target, true);
}
