#include "widgets/browseforfolder.h"

#include "platform/messages.h"
#include "platform/seam.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>

namespace {

class QtFolderPicker final : public FolderPickerService {
public:
    QString run(QWidget *owner, const QString &prompt) override
    {
        QFileDialog dialog(owner, prompt);
        dialog.setFileMode(QFileDialog::Directory);
        dialog.setOption(QFileDialog::ShowDirsOnly, true);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        if (dialog.exec() != QDialog::Accepted)
            return QString();
        return dialog.selectedFiles().value(0);
    }
};

Seam<FolderPickerService, QtFolderPicker> seam;

} // namespace

FolderPickerService &folderPickers()
{
    return seam.get();
}

void setFolderPickers(FolderPickerService *service)
{
    seam.install(service);
}

QString NormalizeFolderPath(const QString &path)
{
    if (path.isEmpty())
        return QString();
    // cleanPath drops a trailing separator but keeps the one of a root.
    return QDir::toNativeSeparators(QDir::cleanPath(QFileInfo(path).absoluteFilePath()));
}

void TBrowseForFolderDialog::SetPrompt(const QString &prompt)
{
    Prompt = prompt;
}

bool TBrowseForFolderDialog::Execute()
{
    const QString chosen = folderPickers().run(activeWindow(), Prompt);
    Path = NormalizeFolderPath(chosen);
    return !Path.isEmpty();
}

QString TBrowseForFolderDialog::GetPath() const
{
    return Path;
}
