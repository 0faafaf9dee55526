#pragma once
// The program's open and save file dialogs, behind a seam that tests answer.
//
// A FileDialog is one named dialog of a window (BOD, SD, OD, DD ...). Like a
// common dialog it keeps its settings between uses: the title, the filter in
// the program's text form ("description|pattern|description|pattern"), the
// default extension in its "*.ext" form, the initial folder and the file
// name. Execute shows it; on OK FileName holds the chosen full path.

#include "platform/seam.h"
#include <QString>
#include <functional>

class QWidget;

// How a pattern of the program's filter text is matched on this platform.
// The default keeps every pattern but turns "*.*" into "*" (any file).
using FilterPatternMap = std::function<QString(const QString &pattern)>;

class FileDialog {
public:
    enum class Kind { Open, Save };
    enum Option : unsigned {
        FileMustExist = 1u << 0,
        PathMustExist = 1u << 1,
        OverwritePrompt = 1u << 2,
        HideReadOnly = 1u << 3,
        NoReadOnlyReturn = 1u << 4,
        EnableSizing = 1u << 5,
    };

    explicit FileDialog(Kind kind = Kind::Open) : DialogKind(kind) {}

    Kind DialogKind;
    QString Title;
    QString Filter;       // "文字檔 (*.txt)|*.txt|所有檔案 (*.*)|*.*"
    QString DefaultExt;   // "*.txt"
    QString InitialDir;   // empty: the platform's own start folder
    QString FileName;     // offered on show; the chosen path after OK
    unsigned Options = 0;
    int FilterIndex = 1;  // 1-based, as chosen last
    // Patterns of Filter as this platform's files are named (for example a
    // Windows "*.exe" stands for any executable elsewhere); empty: the default.
    FilterPatternMap PatternMap;

    // Shows the dialog modally over owner; true when a file was chosen.
    bool Execute(QWidget *owner);

    // The extension added to a typed name that has none: DefaultExt's, but
    // only where this platform names such files so (the pattern map keeps
    // "*.ext" as it is). A program elsewhere has no ".exe", and a typed
    // "/usr/bin/perl" must be taken as it is.
    QString DefaultSuffix() const;
};

// What shows the dialogs: Qt's file dialogs unless a test installed its own.
class FileDialogService {
public:
    virtual ~FileDialogService() = default;
    // Runs the dialog; on OK sets dialog.FileName (and FilterIndex) and returns true.
    virtual bool run(FileDialog &dialog, QWidget *owner) = 0;
};

FileDialogService &fileDialogs();
// Where a test answers the dialogs (ScopedOverride in platform/seam.h).
Overridable<FileDialogService> &fileDialogSeam();

// Why a save dialog may not close on `path`: with PathMustExist, a folder
// that does not exist. Empty when the choice is fine.
QString SaveChoiceProblem(const FileDialog &dialog, const QString &path);

// Turns the program's filter text into the name filters Qt's dialogs take:
// each entry becomes "description (patterns)"; with the dialog option that
// hides filter details the description shows as it is.
QStringList toQtNameFilters(const QString &filter, const FilterPatternMap &map = {});

// "*.txt" -> "txt"; anything without an extension -> empty.
QString defaultSuffixOf(const QString &defaultExt);
