#include "platform/fontdialog.h"

#include "platform/seam.h"

#include <QFontDialog>
#include <QFontInfo>

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

Overridable<FontDialogService> &fontDialogSeam()
{
    return seam;
}

bool ChooseFont(QFont &font, QWidget *owner)
{
    QFont offered = font;
    const QString drawnBy = QFontInfo(font).family();
    if (!drawnBy.isEmpty())
        offered.setFamily(drawnBy);
    if (!fontDialogs().run(offered, owner))
        return false;
    if (offered.family() == drawnBy)
        offered.setFamily(font.family());
    font = offered;
    return true;
}
