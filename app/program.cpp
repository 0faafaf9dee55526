#include "app/program.h"

#include "app/tabtbox.h"
#include "app/tprogress.h"
#include "app/ttoolmenu.h"
#include "convert/runner.h"
#include "convert/tdict1.h"
#include "convert/tdict3.h"
#include "editor/opendictionaryeditor.h"
#include "editor/showentry.h"
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
#include <QEvent>
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

std::unique_ptr<Program> StartProgram()
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
    return program;
}

void FinishProgram(Program &program)
{
    if (program.Settings)
        return;
    DictionaryDocument &document = program.Document;
    auto *settingsDialog = new TSettings;
    program.Settings = settingsDialog;
    auto *dict1 = new TDict1(document);
    program.Dict1 = dict1;
    auto *dict2 = new TDict2(document);
    program.Dict2 = dict2;
    settingsDialog->SetStringAreaHost(dict2);
    auto *dict3 = new TDict3(document);
    program.Dict3 = dict3;
    program.Progress = new TProgress;
    program.ShowsProgress.emplace(progressSeam(), *program.Progress);
    program.AbtBox = new TAbtBox;
    program.Saving = new TSaving;
    program.SavingPrompt = std::make_unique<SavingWindowPrompt>(*program.Saving);
    program.AsksToSave.emplace(savePromptSeam(), *program.SavingPrompt);

    TToolMenu *menu = program.ToolMenu;
    menu->MakeDictionaryWindow = program.Dict1;
    menu->TranslateWindow = program.Dict3;
    menu->SettingsDialog = program.Settings;
    menu->AboutWindow = program.AbtBox;
    menu->MaintenanceWindow = dict2;

    // The three windows that open a dictionary in the maintenance window.
    const auto openEditor = [dict2](const QString &fileName) { return OpenDictionaryEditor(*dict2, fileName); };
    menu->OpenEditor = openEditor;
    dict1->OpenEditor = openEditor;
    dict3->OpenEditor = openEditor;
    dict1->SetEditorEnabled = [dict2](bool enabled) { dict2->SetInputEnabled(enabled); };
    dict3->AddToDictionary = [dict2](const QString &fileName, const std::vector<std::string> &texts,
                                     const SuggestedTranslations &suggested) {
        return AddTextsToDictionary(*dict2, fileName, texts, suggested);
    };
    dict3->ShowEntry = [dict2](const QString &fileName, const std::string &source) {
        return ShowDictionaryEntry(*dict2, fileName, source);
    };
    dict3->ApplyFixes = [dict2](const QString &fileName, const std::vector<std::pair<std::string, QString>> &fixes) {
        return ApplyDictionaryFixes(*dict2, fileName, fixes);
    };

    // The three work windows switch to each other.
    dict1->ShowTranslateNewVersion = [dict3] { ShowWindow(dict3); };
    dict3->ShowMakeDictionary = [dict1] { ShowWindow(dict1); };
    dict2->ShowMakeDictionary = [dict1] { ShowWindow(dict1); };
    dict2->ShowTranslateNewVersion = [dict3](const QString &dictionary) {
        ShowWindow(dict3);
        dict3->SetDictionary(dictionary);
    };
}

std::unique_ptr<Program> CreateProgram()
{
    std::unique_ptr<Program> program = StartProgram();
    FinishProgram(*program);
    return program;
}

namespace {

// Input that can start a command. The pointer coming to rest over the new
// window, or passing over it, cannot, and must not hold up its first frame.
bool startsSomething(const QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TabletPress:
        return true;
    default:
        return false;
    }
}

// Makes the rest of the program once the main menu has painted its first
// frame, or before the first input that can start a command, whichever
// comes first: no handler can run before the windows it may open exist.
class RestOfProgram final : public QObject {
public:
    RestOfProgram(Program &program) : QObject(program.ToolMenu), program_(program)
    {
        qApp->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (startsSomething(event)) {
            finish();
        } else if (event->type() == QEvent::Paint && !posted_ && watched->isWidgetType()
                   && static_cast<QWidget *>(watched)->window() == program_.ToolMenu) {
            // Queued, so that the frame is finished and shown first.
            posted_ = true;
            QMetaObject::invokeMethod(this, &RestOfProgram::finish, Qt::QueuedConnection);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    void finish()
    {
        if (done_)
            return;
        done_ = true; // making the windows sends events of its own
        qApp->removeEventFilter(this);
        FinishProgram(program_);
    }

    Program &program_;
    bool posted_ = false;
    bool done_ = false;
};

} // namespace

void FinishProgramOnceShown(Program &program)
{
    new RestOfProgram(program);
}
