#pragma once
// The folder picker: asks the user for a file-system folder and gives its
// full path. The settings dialog creates one for each "位置" button, sets its
// prompt, executes it, reads the path on success and frees it.

#include <QString>

class QWidget;

// What shows the folder chooser: Qt's directory dialog unless a test
// installed its own.
class FolderPickerService {
public:
    virtual ~FolderPickerService() = default;
    // Shows a modal folder chooser over owner with the one-line prompt;
    // returns the chosen folder, or empty text when the user cancelled.
    virtual QString run(QWidget *owner, const QString &prompt) = 0;
};

FolderPickerService &folderPickers();
// Installs another chooser (tests); nullptr returns to Qt's.
void setFolderPickers(FolderPickerService *service);

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
