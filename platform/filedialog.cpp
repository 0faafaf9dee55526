#include "platform/filedialog.h"

#include "platform/messages.h"
#include "platform/seam.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace {

QString mapPatternDefault(const QString &pattern)
{
    return pattern == QStringLiteral("*.*") ? QStringLiteral("*") : pattern;
}

class QtFileDialogs final : public FileDialogService {
public:
    bool run(FileDialog &d, QWidget *owner) override
    {
        QFileDialog dialog(owner, d.Title);
        dialog.setOption(QFileDialog::DontUseNativeDialog, false);
        dialog.setOption(QFileDialog::HideNameFilterDetails, true);
        dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
        const QStringList filters = toQtNameFilters(d.Filter, d.PatternMap);
        if (!filters.isEmpty()) {
            dialog.setNameFilters(filters);
            const int index = qBound(1, d.FilterIndex, int(filters.size()));
            dialog.selectNameFilter(filters.at(index - 1));
        }
        dialog.setDefaultSuffix(d.DefaultSuffix());
        if (d.DialogKind == FileDialog::Kind::Save) {
            dialog.setAcceptMode(QFileDialog::AcceptSave);
            dialog.setFileMode(QFileDialog::AnyFile);
        } else {
            dialog.setAcceptMode(QFileDialog::AcceptOpen);
            dialog.setFileMode((d.Options & FileDialog::FileMustExist) ? QFileDialog::ExistingFile
                                                                       : QFileDialog::AnyFile);
        }
        if (!d.InitialDir.isEmpty())
            dialog.setDirectory(d.InitialDir);
        if (!d.FileName.isEmpty())
            dialog.selectFile(d.FileName);

        for (;;) {
            if (dialog.exec() != QDialog::Accepted)
                return false;
            const QStringList chosen = dialog.selectedFiles();
            if (chosen.isEmpty())
                return false;
            const QString path = chosen.first();
            const QFileInfo info(path);
            if (d.DialogKind == FileDialog::Kind::Save) {
                if (const QString problem = SaveChoiceProblem(d, path); !problem.isEmpty()) {
                    messageBoxes().message(&dialog, problem, d.Title);
                    continue;
                }
                if ((d.Options & FileDialog::NoReadOnlyReturn) && info.exists() && !info.isWritable()) {
                    messageBoxes().message(&dialog, QStringLiteral("檔案 %1 是唯讀檔，請選擇其他檔名。").arg(path),
                                           d.Title);
                    continue;
                }
                if ((d.Options & FileDialog::OverwritePrompt) && info.exists()
                    && !messageBoxes().question(&dialog,
                                                QStringLiteral("檔案 %1 已經存在。\n要取代它嗎？").arg(path),
                                                d.Title)) {
                    continue;
                }
            }
            d.FileName = path;
            d.FilterIndex = int(filters.indexOf(dialog.selectedNameFilter())) + 1;
            return true;
        }
    }
};

Seam<FileDialogService, QtFileDialogs> seam;

} // namespace

bool FileDialog::Execute(QWidget *owner)
{
    return fileDialogs().run(*this, owner);
}

QString FileDialog::DefaultSuffix() const
{
    const QString suffix = defaultSuffixOf(DefaultExt);
    if (suffix.isEmpty() || !PatternMap)
        return suffix;
    const QString pattern = QStringLiteral("*.") + suffix;
    return PatternMap(pattern) == pattern ? suffix : QString();
}

FileDialogService &fileDialogs()
{
    return seam.get();
}

Overridable<FileDialogService> &fileDialogSeam()
{
    return seam;
}

QString SaveChoiceProblem(const FileDialog &dialog, const QString &path)
{
    if (!(dialog.Options & FileDialog::PathMustExist))
        return {};
    // Qt's own save dialog takes a typed name in a folder that does not
    // exist; the run would then write nowhere.
    const QFileInfo folder(QFileInfo(path).absolutePath());
    if (!folder.exists() || !folder.isDir())
        return QStringLiteral("路徑 %1 不存在。\n請確認路徑是否正確。").arg(QDir::toNativeSeparators(folder.filePath()));
    return {};
}

QStringList toQtNameFilters(const QString &filter, const FilterPatternMap &map)
{
    QStringList result;
    const QStringList parts = filter.split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString &description = parts.at(i);
        QStringList patterns;
        for (const QString &p : parts.at(i + 1).split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            const QString mapped = map ? map(p.trimmed()) : mapPatternDefault(p.trimmed());
            if (!mapped.isEmpty())
                patterns << mapped;
        }
        if (patterns.isEmpty())
            patterns << QStringLiteral("*");
        result << description + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) + QLatin1Char(')');
    }
    return result;
}

QString defaultSuffixOf(const QString &defaultExt)
{
    const qsizetype dot = defaultExt.lastIndexOf(QLatin1Char('.'));
    if (dot < 0)
        return QString();
    const QString suffix = defaultExt.mid(dot + 1);
    return suffix.contains(QLatin1Char('*')) ? QString() : suffix;
}
