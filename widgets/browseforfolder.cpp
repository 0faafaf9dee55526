#include "widgets/browseforfolder.h"

#include "platform/fonts.h"
#include "platform/messages.h"
#include "platform/seam.h"
#include "platform/windowplacement.h"

#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeView>

namespace {

class QtFolderPicker final : public FolderPickerService {
public:
    QString run(QWidget *owner, const QString &prompt) override
    {
        FolderChooserDialog dialog(prompt, owner);
        if (dialog.exec() != QDialog::Accepted)
            return QString();
        return dialog.Folder();
    }
};

Seam<FolderPickerService, QtFolderPicker> seam;

} // namespace

FolderPickerService &folderPickers()
{
    return seam.get();
}

Overridable<FolderPickerService> &folderPickerSeam()
{
    return seam;
}

FolderChooserDialog::FolderChooserDialog(const QString &prompt, QWidget *owner)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setWindowTitle(QStringLiteral("瀏覽資料夾"));
    setModal(true);
    setFont(MingFont(12));
    resize(340, 400);

    Prompt = new QLabel(prompt, this);
    Prompt->setWordWrap(true);
    Prompt->setGeometry(12, 10, 316, 32);
    Prompt->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    Model = new QFileSystemModel(this);
    Model->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    Model->setRootPath(QString());
    Tree = new QTreeView(this);
    Tree->setGeometry(12, 46, 316, 280);
    Tree->setModel(Model);
    Tree->setHeaderHidden(true);
    for (int column = 1; column < Model->columnCount(); ++column)
        Tree->hideColumn(column);

    PathEdit = new QLineEdit(this);
    PathEdit->setGeometry(12, 334, 316, 22);

    OkButton = new QPushButton(QStringLiteral("確定"), this);
    OkButton->setGeometry(172, 366, 75, 25);
    OkButton->setDefault(true);
    CancelButton = new QPushButton(QStringLiteral("取消"), this);
    CancelButton->setGeometry(253, 366, 75, 25);
    CancelButton->setAutoDefault(false);
    connect(OkButton, &QPushButton::clicked, this, &FolderChooserDialog::accept);
    connect(CancelButton, &QPushButton::clicked, this, &FolderChooserDialog::reject);

    connect(Tree->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &current) {
                PathEdit->setText(current.isValid() ? QDir::toNativeSeparators(Model->filePath(current)) : QString());
            });
    connect(PathEdit, &QLineEdit::textChanged, this,
            [this](const QString &text) { OkButton->setEnabled(!text.trimmed().isEmpty()); });
    OkButton->setEnabled(false);

    SelectFolder(QDir::homePath());
    Tree->setFocus();
    CentreOnScreen(this);
}

void FolderChooserDialog::SelectFolder(const QString &path)
{
    const QModelIndex index = Model->index(QDir::fromNativeSeparators(path));
    if (!index.isValid())
        return;
    Tree->setCurrentIndex(index);
    Tree->expand(index);
    Tree->scrollTo(index);
}

void FolderChooserDialog::accept()
{
    // The path below the tree counts: chosen in the tree or typed.
    const QString typed = PathEdit->text().trimmed();
    const QFileInfo folder(QDir::fromNativeSeparators(typed));
    if (typed.isEmpty() || !folder.isDir()) {
        messageBoxes().message(this, QStringLiteral("找不到資料夾「%1」。").arg(typed), windowTitle());
        return;
    }
    Chosen = folder.absoluteFilePath();
    QDialog::accept();
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
