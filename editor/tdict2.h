#pragma once
// The dictionary maintenance window: the entry grid with its choice box, the
// string memo, the tool bar and the file commands. It shows the dictionary
// document and hands its commands to it.

#include "document/document.h"
#include "editor/search.h"
#include "platform/filedialog.h"
#include "settings/stringarea.h"

#include <QWidget>

#include <functional>
#include <memory>

class DocumentAnswers;
class EntryDelegate;
class EntryModel;
class FindDialog;
class QAction;
class QComboBox;
class QLabel;
class QModelIndex;
class QPlainTextEdit;
class QTableView;
class QTimer;
class QToolBar;
class QToolButton;
class TwiaTile;
class BlinkingCue;
class ScreenModeWatch;
class CheckReport;
class ExchangeCommands;
class TChecks;

class TDict2 : public QWidget, public StringAreaHost {
    Q_OBJECT
public:
    explicit TDict2(DictionaryDocument &document, QWidget *parent = nullptr);
    ~TDict2() override;

    DictionaryDocument &Document;
    DictionaryTables &Tables; // the document's

    // Controls, by their names in the window's design.
    QWidget *CoolBar1;
    QToolBar *DictBar;
    QToolButton *OpenBtn, *SaveBtn, *SaveAsBtn, *AddHotKey, *AddShortCut, *AddHotShort, *ToDict1, *ToDict3, *Full;
    TwiaTile *wiaTile1;
    QLabel *Help1, *Help2;
    QTableView *SG;
    QWidget *EPanel, *CPanel;
    QToolButton *EFind, *EFindNext, *CFind, *CFindNext, *NextMulti, *SpeedButton1;
    QToolButton *CheckBtn; // opens the check window
    QComboBox *CB;
    QLabel *StrLabel;
    QPlainTextEdit *Strs;
    QAction *N11, *N21, *N31, *N41, *N51, *N61, *D11, *D31, *Full1, *Bx1;
    // Ctrl+Z, Ctrl+Y (and Ctrl+Shift+Z), Ctrl+E, Ctrl+J.
    QAction *Undo1, *Redo1, *Chk1, *Jp1;
    FileDialog BOD{FileDialog::Kind::Open};
    FileDialog SD{FileDialog::Kind::Save};
    FindDialog *FD;  // source search
    FindDialog *CFD; // translation search
    BlinkingCue *BlinkingTimer;
    CheckReport *Report; // the checks of the open dictionary
    TChecks *Checks;     // the check window
    ExchangeCommands *Exchange; // 匯出 and 匯入 (the grid's context menu)

    EntryModel *Model() const { return model; }

    // Window state.
    std::int32_t CurrentEntry = -1;  // entry under the choice box
    bool FocusChoiceOnDraw = false;  // the next placement focuses the box
    SearchDirections Directions;     // SourceSearchDown, TranslationSearchDown
    bool FullScreen = false;
    // The client area's place and size before full-screen mode.
    int SavedLeft = 0, SavedTop = 0, SavedClientWidth = 0, SavedClientHeight = 0;

    // Where the window switches lead; set by the program.
    std::function<void()> ShowMakeDictionary;
    std::function<void(const QString &dictionary)> ShowTranslateNewVersion;

    // Layout.
    void FormShow();
    void FormResize();
    void ArrangeStringArea() override;
    // The string memo's font, as the settings dialog sees it.
    QFont StringFont() const override;
    void ApplyStringFont(const QFont &font) override;

    // Grid and choice box.
    void SGDrawCell(int column, int row, const QRect &rect, bool focused);
    void SGTopLeftChanged();
    void PlaceChoiceBox(int row, const QRect &rect);
    bool CBExit();
    void CBKeyPress(QChar key);
    // A key or input-method text that reached the grid on a translation
    // cell goes into the choice box as the first of an edit there; false
    // for what stays the grid's.
    bool TypeIntoChoiceBox(QEvent *event);

    // File commands.
    void ToolButton3Click();
    void OpenBtnClick();
    bool SaveBtnClick();
    void SaveAsBtnClick();
    void ToDict1Click();
    void ToDict3Click();
    // The title names the open file and marks unsaved edits.
    void UpdateTitle();
    // Before the dictionary is replaced or the window left: the choice box's
    // text is committed, then unsaved edits are asked about; false stops the
    // command.
    bool AskToSave();

    // Search and navigation.
    void EFindClick();
    void FDFind(const QString &text, bool down);
    void EFindNextClick();
    void CFindClick();
    void CFDFind(const QString &text, bool down);
    void CFindNextClick();
    void NextMultiClick();
    void SpeedButton1Click();
    // The grid on entry `entry`, its translation cell current, as after a
    // jump to the next untranslated entry; nothing for -1.
    void GoToEntry(std::int32_t entry);
    // The check window, and the jump to the next entry below with a problem
    // the check window's filter lets through.
    void ChecksClick();
    void NextProblemClick();
    // Undo and redo of commits. While the choice box is being edited, its
    // own typing is undone and redone first, as in any edit field.
    void UndoClick();
    void RedoClick();

    // Hot keys and shortcuts carried over from the source into the choice box.
    void AddHotKeyClick();
    void AddShortCutClick();
    void AddHotShortClick();

    // Full-screen mode and the blinking cue.
    void FullClick();
    void wiaTile1MouseMove(int y);
    void StartBlink();

    // Disables the window while a load or save runs (no second command can
    // start on it) and enables it again, keeping the input focus where it
    // was: an uncommitted text in the choice box stays there, uncommitted.
    void SetInputEnabled(bool enabled);

    // The grid's current cell as the window sees it: row 0 is the header,
    // entry k is row k + 1.
    int CurrentRow() const;
    int CurrentColumn() const;
    void SetCurrentCell(int column, int row);

protected:
    void showEvent(QShowEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createToolBar();
    void createGrid();
    void createShortcuts();
    void createTools();
    void connectDocument();
    void jumpTo(std::int32_t entry, bool blink);
    void leaveFullScreen();
    void textSearch(MatchRule rule, const QString &text, bool down, SearchStart start);
    std::string_view currentSource() const;
    QRect cellRectInWindow(const QModelIndex &index) const;
    void replaceChoiceBox();
    // Where a column caption of the header row ends, in window coordinates.
    int headerCaptionEnd(int column) const;
    void requestPlacement();
    bool isChoiceBoxWidget(const QObject *object) const;
    bool isOwnShortcut(const QKeyEvent *event) const;
    // The choice box filled afresh from entry e.
    void fillChoiceBox(std::int32_t e);
    // Before a command moves away from the choice box: its pending text is
    // committed; false (the command stops) when it was refused.
    bool leaveChoiceBox();
    void choiceCommitted(std::int32_t entry);
    void choiceRefused(std::int32_t entry, const ChoiceCommit &refusal);
    void showRefusedChoice(const ChoiceCommit &refusal);
    void tablesReplaced();
    void entryRestored(std::int32_t entry);
    // A row of the check window chosen: the grid goes there as on a search hit.
    void checkFix(std::int32_t entry, const QString &text);
    void checkHit(std::int32_t entry);

    EntryModel *model;
    EntryDelegate *delegate;
    bool placementPending = false;
    bool choiceEditing = false;
    bool shownBefore = false;
    bool inputSuspended = false;
    bool switchingScreenMode = false; // the window is re-shown for full-screen mode
    bool fillingBox = false;          // the window itself sets the box's text
    bool refusalShowing = false;      // a refused choice is being shown to the user
    bool keepingRefusedChoice = false; // the grid scrolls back to a refused choice
    ScreenModeWatch *screenModeWatch = nullptr;
    QWidget *focusBeforeSuspend = nullptr;
    std::unique_ptr<DocumentAnswers> answers;
};

// Minimum client height of the maintenance window.
constexpr int MinimumClientHeight = 201;
// Height of the string memo for a font line height h and a number of lines.
int StringAreaHeight(int lineHeight, int lines);
// Width of each text column for a grid width.
int TextColumnWidth(int gridWidth);
