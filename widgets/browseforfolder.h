#pragma once
// The folder picker: asks the user for a file-system folder and gives its
// full path. The settings dialog creates one for each "位置" button, sets its
// prompt, executes it, reads the path on success and frees it.

#include "platform/seam.h"
#include <QDialog>
#include <QString>

class QFileSystemModel;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeView;
class QWidget;

// The program's own folder chooser: the prompt above a tree of the
// file-system folders, the chosen folder's path below it (it may also be
// typed), OK and Cancel. The prompt stands inside the window, so it shows
// also where no window manager draws window titles.
class FolderChooserDialog : public QDialog {
    Q_OBJECT
public:
    FolderChooserDialog(const QString &prompt, QWidget *owner);

    QLabel *Prompt;
    QTreeView *Tree;
    QLineEdit *PathEdit;
    QPushButton *OkButton;
    QPushButton *CancelButton;

    // The folder chosen on OK.
    QString Folder() const { return Chosen; }
    // Makes a folder the tree's current one, unfolding the way to it.
    void SelectFolder(const QString &path);

    void accept() override;

private:
    QFileSystemModel *Model;
    QString Chosen;
};

// What shows the folder chooser: FolderChooserDialog unless a test
// installed its own.
class FolderPickerService {
public:
    virtual ~FolderPickerService() = default;
    // Shows a modal folder chooser over owner with the one-line prompt;
    // returns the chosen folder, or empty text when the user cancelled.
    virtual QString run(QWidget *owner, const QString &prompt) = 0;
};

FolderPickerService &folderPickers();
// Where a test answers the folder picker (ScopedOverride in platform/seam.h).
Overridable<FolderPickerService> &folderPickerSeam();

class TBrowseForFolderDialog {
public:
    TBrowseForFolderDialog() = default;
    ~TBrowseForFolderDialog() = default;
    TBrowseForFolderDialog(const TBrowseForFolderDialog &) = delete;
    TBrowseForFolderDialog &operator=(const TBrowseForFolderDialog &) = delete;

    // The text shown above the folder choice.
    void SetPrompt(const QString &prompt);
    // Shows the chooser modally over the active window; true when a folder
    // was chosen.
    bool Execute();
    // The chosen folder's full path in this platform's form, without a
    // trailing separator except for a root ("/", "C:\"); empty when no
    // folder was chosen.
    QString GetPath() const;

private:
    QString Prompt;
    QString Path;
};

// A chosen folder as the picker hands it on: absolute, cleaned, native
// separators, a root keeping its separator. Empty stays empty.
QString NormalizeFolderPath(const QString &path);
