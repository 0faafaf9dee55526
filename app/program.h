#pragma once
// The program: the dictionary document and its eight windows, created once
// in a fixed order and kept until the main menu closes.

#include "document/document.h"
#include "platform/seam.h"

#include <QString>

#include <memory>
#include <optional>

class ProgressOperations;
class QDialog;
class QWidget;
class SavePrompt;
class SavingWindowPrompt;
class TDict2;
class TProgress;
class TSaving;
class TToolMenu;

// The help file of the program: a fixed location, referred to by a help
// button that is never shown.
extern const QString ApplicationHelpFile;

struct Program {
    // Lives longer than the windows that show it.
    DictionaryDocument Document;
    TToolMenu *ToolMenu = nullptr;
    QDialog *Settings = nullptr;
    QWidget *Dict1 = nullptr;
    TDict2 *Dict2 = nullptr;
    QWidget *Dict3 = nullptr;
    TProgress *Progress = nullptr;
    QDialog *AbtBox = nullptr;
    TSaving *Saving = nullptr;

    // The progress window and the save prompt answer their seams for as
    // long as the windows exist.
    std::unique_ptr<SavingWindowPrompt> SavingPrompt;
    std::optional<ScopedOverride<ProgressOperations>> ShowsProgress;
    std::optional<ScopedOverride<SavePrompt>> AsksToSave;

    ~Program();
};

// Sets up the application (title, fonts, translations of Qt's own dialogs)
// and creates the eight windows: main menu (which loads the settings),
// settings, make-dictionary, maintenance, translate-new-version, progress,
// About, save prompt. A settings failure is reported and the program goes on
// with the defaults.
std::unique_ptr<Program> CreateProgram();

// CreateProgram in two steps. StartProgram sets up the application and
// creates the main menu, which loads the settings; FinishProgram creates the
// other seven windows in their order and joins them to the menu (once: a
// second call does nothing).
std::unique_ptr<Program> StartProgram();
void FinishProgram(Program &program);

// The program's own start, called before the main menu is shown:
// FinishProgram runs as soon as the menu has painted its first frame, or
// before the first click or key press in any window, so that
// the menu is on the screen as early as a bare Qt program's window and no
// handler runs before the windows it opens exist.
void FinishProgramOnceShown(Program &program);
