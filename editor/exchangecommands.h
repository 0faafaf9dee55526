#pragma once
// 匯出 and 匯入 of the maintenance window: the open dictionary written for
// other translation tools (TMX, PO, XLIFF, CSV), and such a file taken into
// the open dictionary. The tool bar has no room left; both are in the
// grid's context menu (the menu key or Shift+F10 on the grid) and on
// Ctrl+Shift+E and Ctrl+Shift+I anywhere in the window.

#include "platform/filedialog.h"

#include <QObject>

class QAction;
class TDict2;

class ExchangeCommands : public QObject {
    Q_OBJECT
public:
    explicit ExchangeCommands(TDict2 &window);

    QAction *Export1, *Import1;
    FileDialog ED{FileDialog::Kind::Save}; // the file to export to
    FileDialog ID{FileDialog::Kind::Open}; // the file to import
    FileDialog DD{FileDialog::Kind::Save}; // the dictionary to import into, when none is open

    // Writes the open dictionary as it stands (the choice box's text
    // committed first; the file itself is not saved).
    void ExportClick();
    // Asks about unsaved edits, merges the chosen file into the open
    // dictionary's file (or a new one) and opens the result.
    void ImportClick();

private:
    TDict2 &window;
};
