#pragma once
// The translate-new-version window: picks a dictionary, a new English
// resource script and the translated resource script to write, with the
// switch that turns the dialogs' 8-point font into 新細明體 9, and starts the
// translation run. It also leads to the maintenance window and to the
// make-dictionary window.

#include "convert/script.h"
#include "dictionary/untranslated.h"
#include "platform/filedialog.h"

#include <QWidget>

#include <functional>
#include <string>
#include <vector>

class DictionaryDocument;
class PreviewWindow;
class RunReportWindow;
struct RunEnd;
class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QToolButton;
class TwiaTile;

class TDict3 : public QWidget {
    Q_OBJECT
public:
    explicit TDict3(DictionaryDocument &document, QWidget *parent = nullptr);

    // The dictionary open in the maintenance window.
    DictionaryDocument &Document;

    // Controls, by their names in the window's design.
    TwiaTile *wiaTile1;
    QFrame *Bevel1;
    QLabel *Label1, *Label2, *Label3, *Label4, *Label5;
    QLineEdit *T1, *T2, *T3;
    QToolButton *B1, *B2, *B3, *EditDict;
    QCheckBox *SizeChange;
    // Rewrites the translated script's English LANGUAGE lines and a code
    // page pragma that does not fit its bytes; clear whenever the program
    // starts, like SizeChange.
    QCheckBox *Retarget;
    QComboBox *Encoding; // how the new script is read and its translation written
    QCheckBox *Adapt; // adapted matches written into the script too
    QToolButton *SpeedButton4, *SpeedButton5, *SpeedButton6;
    QLabel *RunLine;         // while the interpreter runs,
    QToolButton *StopButton; // with 停止 in the start button's place
    ScriptTemplate pl;   // the translation template, patched by every run
    FileDialog DD{FileDialog::Kind::Open}; // B1
    FileDialog OD{FileDialog::Kind::Open}; // B2
    FileDialog SD{FileDialog::Kind::Save}; // B3
    // The old English version to compare with by identifier (舊版本): the
    // button shows whether one is chosen, its hint names it; choosing
    // none (the dialog cancelled) leaves the comparison out.
    QToolButton *OldButton;
    FileDialog OldD{FileDialog::Kind::Open};
    QString OldEnglish;
    void OldButtonClick();

    // Where SpeedButton6 leads and how the maintenance window opens a
    // dictionary (OpenDictionaryEditor); set by the program.
    std::function<void()> ShowMakeDictionary;
    std::function<bool(const QString &fileName)> OpenEditor;
    // The new-version loop's way into the maintenance window
    // (AddTextsToDictionary); set by the program.
    std::function<AddedTexts(const QString &fileName, const std::vector<std::string> &texts,
                             const SuggestedTranslations &suggested)>
        AddToDictionary;

    // The maintenance window's switch hands over its open dictionary.
    void SetDictionary(const QString &path);

    void B1Click();
    void B2Click();
    void B3Click();
    void SpeedButton4Click();
    void EditDictClick();
    void SpeedButton5Click();
    void SpeedButton6Click();
    void Label5Click();
    void Label5DblClick();

    // The report of the last translation that went well; made at the first.
    RunReportWindow *Report = nullptr;
    // What that report offers to add to its dictionary (Big5), and where.
    std::string ReportedDictionary;
    std::vector<std::string> NewTexts;
    SuggestedTranslations NewSuggestions;
    // A translation interpreter has ended: its report is shown.
    void TranslationEnded(const RunEnd &end);
    // The report's "加入字典檔": the texts go into the dictionary as
    // untranslated pairs and the maintenance window comes up on the first.
    void AddTextsClick();

    // The report's "預覽": the pictures of the script written, the new
    // English version beside it; a click on a text shows its entry of the
    // run's dictionary (ShowEntry, set by the program).
    PreviewWindow *Preview = nullptr;
    QToolButton *PreviewButton; // beside the switches, shown once a run has been reported
    std::string PreviewedScript; // the last run's output and English script, path bytes
    QString PreviewedEnglish;
    std::function<bool(const QString &dictionary, const std::string &source)> ShowEntry;
    void PreviewClick();

    // The report's "套用熱鍵建議": the hot-key clashes it found mended in the
    // run's dictionary, each as an ordinary commit of the maintenance window
    // (ApplyFixes, set by the program; it returns how many it committed).
    std::vector<std::pair<std::string, QString>> ClashFixes;
    std::function<int(const QString &dictionary, const std::vector<std::pair<std::string, QString>> &fixes)>
        ApplyFixes;
    void ApplyFixesClick();

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool shownBefore = false;
};
