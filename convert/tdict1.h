#pragma once
// The make-dictionary window: picks an English resource script, its
// translated counterpart and the dictionary to write, and starts the
// extraction run. It also leads to the maintenance window and to the
// translate-new-version window.
//
// The helpers at the end are shared with the translate-new-version window,
// which is built the same way.

#include "convert/runner.h"
#include "convert/script.h"
#include "platform/filedialog.h"

#include <QFont>
#include <QKeySequence>
#include <QWidget>

#include <functional>
#include <initializer_list>

class DictionaryDocument;
class RunReportWindow;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QToolButton;
class TwiaTile;

class TDict1 : public QWidget {
    Q_OBJECT
public:
    explicit TDict1(DictionaryDocument &document, QWidget *parent = nullptr);

    // The dictionary open in the maintenance window.
    DictionaryDocument &Document;

    // Controls, by their names in the window's design.
    TwiaTile *wiaTile1;
    QFrame *Bevel1;
    QLabel *Label1, *Label2, *Label3, *Label4;
    QLineEdit *E1, *E2, *E3;
    QToolButton *Browse1, *Browse2, *Browse3, *EditDict;
    QToolButton *SpeedButton4, *SpeedButton5, *SpeedButton6;
    // While the interpreter runs: a line that says so, and 停止 in the
    // start button's place.
    QLabel *RunLine;
    QToolButton *StopButton;
    QComboBox *Encoding; // how the two resource scripts are read
    ScriptTemplate pl;   // the extraction template, patched by every run
    FileDialog OD{FileDialog::Kind::Open}; // Browse1 and Browse2
    FileDialog SD{FileDialog::Kind::Save}; // Browse3

    // Where SpeedButton6 leads, how the maintenance window opens a
    // dictionary (OpenDictionaryEditor), and how it takes no input during a
    // run; set by the program.
    std::function<void()> ShowTranslateNewVersion;
    std::function<bool(const QString &fileName)> OpenEditor;
    std::function<void(bool enabled)> SetEditorEnabled;

    void Browse1Click();
    void Browse2Click();
    void Browse3Click();
    void SpeedButton4Click();
    void EditDictClick();
    void SpeedButton5Click();
    void SpeedButton6Click();

    // The report of the last extraction that went well; made at the first.
    RunReportWindow *Report = nullptr;
    // An extraction interpreter has ended: its report is shown, and the
    // dictionary open in the maintenance window is reloaded when the run
    // replaced it (after a question when it holds edits).
    void ExtractionEnded(const RunEnd &end);

    // The question before a run replaces the open dictionary with edits,
    // and the one after it.
    static QString ReplaceEditedQuestion(const QString &path);
    static QString ReloadQuestion(const QString &path);
    static QString QuestionCaption();

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    bool writesOpenDictionary(const std::string &path) const;
    void reloadOpenDictionary(const RunEnd &end);
    bool shownBefore = false;
};

namespace ConversionWindow {

// Window frame, size, font and caption common to both conversion windows.
void SetUpWindow(QWidget *window, const QString &caption, int clientWidth, int clientHeight);

// `text` with the mnemonic "(&X)" of `letter`, before a closing " :".
QString WithMnemonic(const QString &text, QChar letter);
// A transparent label at x, y that sizes itself to its text; with a buddy,
// the label carries the mnemonic `letter` that takes the keyboard there.
QLabel *Caption(QWidget *parent, const QString &text, int x, int y, QWidget *buddy = nullptr, QChar letter = {});
// A path field: the browse buttons fill it, and a path may be typed or
// pasted into it (TakeTypedPaths checks it before a run).
QLineEdit *PathField(QWidget *parent, int x, int y);
// A flat button showing a picture, with a hint that names its key.
QToolButton *ImageButton(QWidget *parent, const QRect &geometry, const QPixmap &picture, const QString &hint,
                         const QKeySequence &key);
// A flat button with dark blue text that switches to another window.
QToolButton *SwitchButton(QWidget *parent, const QRect &geometry, const QString &text, QChar letter);
// The start button: picture and caption "開始製作(&G)" at 16 pixels.
QToolButton *StartButton(QWidget *parent, const QRect &geometry);
// The line "Perl程式執行中.." and the button 停止(&P), shown instead of `start`
// while an interpreter of `kind` works; 停止 ends it. It takes the
// keyboard from `start` when that had it, and gives it back at the end.
void RunIndicator(QWidget *window, RunKind kind, QToolButton *start, QLabel *&line, QToolButton *&stop,
                  QWidget *place = nullptr);

// How resource scripts are read: "編碼：自動" (by their bytes), then Big5,
// UTF-8 and UTF-16; the first is chosen.
QComboBox *EncodingBox(QWidget *parent, const QRect &geometry);
EncodingChoice ChosenEncoding(const QComboBox *box);

// The filter and default extension of the resource-script dialogs.
QString ResourceFilter();    // "Resource 檔 (*.rc)|*.rc|所有檔案 (*.*)|*.*"
QString ResourceDefaultExt(); // "*.rc"
// Options of the open dialogs and of the save dialogs of both windows.
unsigned OpenOptions();
unsigned SaveOptions();

// The Tab order of a window, in this order.
void ChainTabOrder(std::initializer_list<QWidget *> widgets);

// A path field with its name in messages; `output` for the file a run writes.
struct TypedField {
    QLineEdit *field;
    QString name;
    bool output = false;
};
// Before a run: each field's text as TypedPath reads it goes back into the
// field; a relative path is refused, and a typed output that exists is
// asked about as the save dialog asks. False (with the keyboard on that
// field) when the run may not go ahead.
bool TakeTypedPaths(QWidget *window, std::initializer_list<TypedField> fields);
// After a refusal: the keyboard goes to the first empty field.
void FocusFirstEmpty(std::initializer_list<QLineEdit *> fields);

// One browse: the starting folder by the custom / last-used rule, the
// dialog, and on OK the field gets the full path and the last-used setting
// its folder. A cancelled dialog changes nothing. True on OK.
bool Browse(FileDialog &dialog, QWidget *owner, QLineEdit *field, const QString &customDir,
            QString &lastUsedDir);

// What a run needs besides its paths: the interpreter, the working folder
// and, for the extraction, the switch of the maintenance window.
RunSetup CurrentRunSetup(const std::function<void(bool enabled)> &setEditorEnabled = {});

// Before the maintenance window opens `path`: when an extraction still
// writes that dictionary, waits for it with the progress window, the window
// `waiting` taking no input meanwhile, so that the editor never loads half
// a dictionary. False when the document refused (busy) or the program is ending.
bool WaitUntilWritten(QWidget *waiting, DictionaryDocument &document, const QString &path);

} // namespace ConversionWindow
