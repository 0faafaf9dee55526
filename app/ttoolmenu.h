#pragma once
// The main menu: a small borderless panel with six buttons that open the
// three work windows, the settings dialog and the About window, or end the
// program. It is the program's main window; closing it ends the program.

#include <QWidget>

#include <functional>

class DictionaryDocument;
class QDialog;
class QLabel;
class QPushButton;
class TwiaTile;

class TToolMenu : public QWidget {
    Q_OBJECT
public:
    explicit TToolMenu(DictionaryDocument &document, QWidget *parent = nullptr);

    // The dictionary open in the maintenance window.
    DictionaryDocument &Document;

    TwiaTile *wiaTile1;
    QLabel *Image13; // title picture, the handle for moving the window
    QLabel *Image5, *Image6, *Image7, *Image10, *Image11, *Image12;
    QWidget *Image14, *Image15, *Image16, *Image17, *Image18;
    QPushButton *SpeedButton1, *SpeedButton2, *SpeedButton3, *SpeedButton4, *SpeedButton5, *SpeedButton6;

    // The windows the buttons open; set by the program once they exist.
    QWidget *MakeDictionaryWindow = nullptr;
    QWidget *TranslateWindow = nullptr;
    QDialog *SettingsDialog = nullptr;
    QDialog *AboutWindow = nullptr;
    QWidget *MaintenanceWindow = nullptr;
    // How the maintenance window opens a dictionary (OpenDictionaryEditor).
    std::function<bool(const QString &fileName)> OpenEditor;
    // Ends the program at once: the event loop stops, whatever window is up.
    std::function<void()> EndProgram;

    void SpeedButton1Click();
    void SpeedButton2Click();
    void SpeedButton3Click();
    void SpeedButton4Click();
    void SpeedButton5Click();
    void SpeedButton6Click();

    void Image13MouseDown(QPoint position);
    void Image13MouseMove(QPoint position);
    void Image13MouseUp();

    bool Dragging = false;
    int DragStartX = 0;
    int DragStartY = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    bool perlPathSet();
    // The end of the program, once the dictionary is not busy: the
    // unsaved-changes question while the maintenance window is visible, then
    // the end; Cancel keeps the program running.
    void leave();
    // While a conversion runs: asks whether to wait for it, stop it, or
    // keep the program; false for the last.
    bool endRuns();
    bool Leaving = false;
};

// Shows a window that is not modal, or brings it to the front.
void ShowWindow(QWidget *window);
