#include "platform/fontdialog.h"

#include <QFontDialog>

namespace {

class QtFontDialog final : public FontDialogService {
public:
    bool run(QFont &font, QWidget *owner) override
    {
        bool ok = false;
        const QFont chosen = QFontDialog::getFont(&ok, font, owner);
        if (ok)
            font = chosen;
        return ok;
    }
};

FontDialogService *installed = nullptr;

} // namespace

FontDialogService &fontDialogs()
{
    static QtFontDialog qtDialog;
    return installed ? *installed : qtDialog;
}

void setFontDialogs(FontDialogService *service)
{
    installed = service;
}
