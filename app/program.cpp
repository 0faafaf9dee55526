#include "app/program.h"

#include "app/tabtbox.h"
#include "app/tprogress.h"
#include "app/ttoolmenu.h"
#include "convert/tdict1.h"
#include "convert/tdict3.h"
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
    setProgress(nullptr);
    setSavingWindow(nullptr);
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

    // Creating the main menu starts the settings: defaults, store, WorkDirectory.
    const SettingsResult settings = StartSettings();
    program->ToolMenu = new TToolMenu;
    if (!settings.ok)
        ReportError(settings.error);

    auto *settingsDialog = new TSettings;
    program->Settings = settingsDialog;
    auto *dict1 = new TDict1;
    program->Dict1 = dict1;
    program->Dict2 = new TDict2(program->Tables);
    Dict2 = program->Dict2;
    settingsDialog->SetStringAreaHost(program->Dict2);
    auto *dict3 = new TDict3;
    program->Dict3 = dict3;
    program->Progress = new TProgress;
    setProgress(program->Progress);
    program->AbtBox = new TAbtBox;
    program->Saving = new TSaving;
    setSavingWindow(program->Saving);

    TToolMenu *menu = program->ToolMenu;
    menu->MakeDictionaryWindow = program->Dict1;
    menu->TranslateWindow = program->Dict3;
    menu->SettingsDialog = program->Settings;
    menu->AboutWindow = program->AbtBox;

    // The three work windows switch to each other.
    dict1->ShowTranslateNewVersion = [dict3] { ShowWindow(dict3); };
    dict3->ShowMakeDictionary = [dict1] { ShowWindow(dict1); };
    program->Dict2->ShowMakeDictionary = [dict1] { ShowWindow(dict1); };
    program->Dict2->ShowTranslateNewVersion = [dict3](const QString &dictionary) {
        ShowWindow(dict3);
        dict3->SetDictionary(dictionary);
    };
    return program;
}
