#include "app/program.h"

#include "app/tabtbox.h"
#include "app/tprogress.h"
#include "app/ttoolmenu.h"
#include "convert/runner.h"
#include "convert/tdict1.h"
#include "convert/tdict3.h"
#include "editor/opendictionaryeditor.h"
#include "editor/tdict2.h"
#include "editor/tsaving.h"
#include "platform/fonts.h"
#include "platform/messages.h"
#include "platform/progress.h"
#include "platform/windowactivation.h"
#include "settings/settings.h"
#include "settings/tsettings.h"
#include "widgets/artwork.h"

#include <QApplication>
#include <QDialog>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

const QString ApplicationHelpFile = QStringLiteral("/usr/share/doc/tavisorn/TAVISORN.HLP");

Program::~Program()
{
    AsksToSave.reset();
    ShowsProgress.reset();
    delete Saving;
    delete AbtBox;
    delete Progress;
    delete Dict3;
    delete Dict2;
    delete Dict1;
    delete Settings;
    delete ToolMenu;
}

namespace {

void setUpApplication()
{
    // The name the desktop groups the windows under. No display name is set:
    // the platform would append it to every window caption.
    QApplication::setApplicationName(QStringLiteral("Tavisorn"));
    // The name of the desktop entry and icon that installing puts in the menu.
    QApplication::setDesktopFileName(QStringLiteral("org.tavisorn.Tavisorn"));
    InstallFontSubstitutions();
    KeepReturnedWindowsActive();
    QApplication::setWindowIcon(QIcon(Artwork::AppIcon()));
    // Qt's own dialogs (file dialogs, buttons) speak Traditional Chinese too.
    static QTranslator qtTranslator;
    if (qtTranslator.load(QLocale(QLocale::Chinese, QLocale::Taiwan), QStringLiteral("qtbase"),
                          QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslator);
}

} // namespace

std::unique_ptr<Program> CreateProgram()
{
    setUpApplication();
    auto program = std::make_unique<Program>();

    DictionaryDocument &document = program->Document;
    // Every way of opening a dictionary waits for an extraction still writing it.
    document.SetExtractionWatch(&RunnerExtractionWatch());

    // Creating the main menu starts the settings: defaults, store, WorkDirectory.
    const SettingsResult settings = StartSettings();
    program->ToolMenu = new TToolMenu(document);
    if (!settings.ok)
        ReportError(settings.error);

    auto *settingsDialog = new TSettings;
    program->Settings = settingsDialog;
    auto *dict1 = new TDict1(document);
    program->Dict1 = dict1;
    auto *dict2 = new TDict2(document);
    program->Dict2 = dict2;
    settingsDialog->SetStringAreaHost(dict2);
    auto *dict3 = new TDict3(document);
    program->Dict3 = dict3;
    program->Progress = new TProgress;
    program->ShowsProgress.emplace(progressSeam(), *program->Progress);
    program->AbtBox = new TAbtBox;
    program->Saving = new TSaving;
    program->SavingPrompt = std::make_unique<SavingWindowPrompt>(*program->Saving);
    program->AsksToSave.emplace(savePromptSeam(), *program->SavingPrompt);

    TToolMenu *menu = program->ToolMenu;
    menu->MakeDictionaryWindow = program->Dict1;
    menu->TranslateWindow = program->Dict3;
    menu->SettingsDialog = program->Settings;
    menu->AboutWindow = program->AbtBox;
    menu->MaintenanceWindow = dict2;

    // The three windows that open a dictionary in the maintenance window.
    const auto openEditor = [dict2](const QString &fileName) { return OpenDictionaryEditor(*dict2, fileName); };
    menu->OpenEditor = openEditor;
    dict1->OpenEditor = openEditor;
    dict3->OpenEditor = openEditor;
    dict1->SetEditorEnabled = [dict2](bool enabled) { dict2->SetInputEnabled(enabled); };

    // The three work windows switch to each other.
    dict1->ShowTranslateNewVersion = [dict3] { ShowWindow(dict3); };
    dict3->ShowMakeDictionary = [dict1] { ShowWindow(dict1); };
    dict2->ShowMakeDictionary = [dict1] { ShowWindow(dict1); };
    dict2->ShowTranslateNewVersion = [dict3](const QString &dictionary) {
        ShowWindow(dict3);
        dict3->SetDictionary(dictionary);
    };
    return program;
}
