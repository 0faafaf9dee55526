#include "platform/fontdialog.h"

#include "platform/seam.h"

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

Seam<FontDialogService, QtFontDialog> seam;

} // namespace

FontDialogService &fontDialogs()
{
    return seam.get();
}

void setFontDialogs(FontDialogService *service)
{
    seam.install(service);
}
