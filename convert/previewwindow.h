#pragma once
// The preview window: the dialogs and menus of a translated script in a
// list (those with problems first, most problems at the top), the picture
// of the one chosen, and a switch that puts the English script's picture
// of the same resource beside it. A click on a text of the picture asks
// for its dictionary entry: the English text on the same line of the
// English script (the translation keeps every line where it was), else
// the text itself.

#include "convert/rclayout.h"
#include "convert/rcpicture.h"

#include <QDialog>

#include <functional>
#include <optional>
#include <string>

class FileName;
class QCheckBox;
class QLabel;
class QListWidget;
class QScrollArea;

class PreviewWindow : public QDialog {
    Q_OBJECT
public:
    explicit PreviewWindow(QWidget *owner);

    QListWidget *List;
    QCheckBox *English; // "英文對照"
    QScrollArea *Scroll;
    QLabel *Picture;
    QLabel *Status; // what the last click found, or why a script could not be read

    // Reads both scripts and shows the first resource of the list. False
    // (and the reason in Status) when the translated one cannot be read; an
    // English script that cannot be read only turns the switch off.
    bool ShowScripts(const FileName &translated, const std::optional<FileName> &english);

    // Asked with the dictionary source (Big5) of a clicked text; set by the
    // window that opens the preview.
    std::function<void(const std::string &source)> OpenEntry;

    // The text at a point of the picture, as a click there finds it.
    void ClickAt(const QPoint &inPicture);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showCurrent();
    std::optional<LaidResources> translatedLayout;
    std::optional<LaidResources> englishLayout;
    struct Entry {
        bool Menu = false;
        std::size_t Index = 0;
    };
    std::vector<Entry> entries;
    std::vector<PictureSpot> spots; // of the picture shown
};
