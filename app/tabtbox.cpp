#include "app/tabtbox.h"

#include "platform/fonts.h"
#include "platform/seam.h"
#include "platform/windowplacement.h"
#include "widgets/artwork.h"
#include "widgets/twiatile.h"

#include <QDesktopServices>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

namespace {

class DesktopUrlOpener final : public UrlOpener {
public:
    void openUrl(const QUrl &url) override { QDesktopServices::openUrl(url); }
};

Seam<UrlOpener, DesktopUrlOpener> seam;

struct Credit {
    const char16_t *role;
    const char16_t *name;
    const char *address;
};

// The teams of the project, one row each: the user-interface program, the
// localisation tutorial, the dictionary-generating program.
const Credit Credits[3] = {
    {u"介面程式", u"介面小組", "ui-team@example.org"},
    {u"中文化教學文件", u"文件小組", "docs-team@example.org"},
    {u"字典產生程式", u"字典小組", "dict-team@example.org"},
};

const int BandTops[3] = {96, 136, 176};

void fill(QWidget *widget, const QColor &color)
{
    QPalette p = widget->palette();
    p.setColor(QPalette::Window, color);
    widget->setPalette(p);
    widget->setAutoFillBackground(true);
}

void setTextColor(QWidget *widget, const QColor &color)
{
    QPalette p = widget->palette();
    p.setColor(QPalette::WindowText, color);
    widget->setPalette(p);
}

} // namespace

UrlOpener &urlOpener()
{
    return seam.get();
}

Overridable<UrlOpener> &urlOpenerSeam()
{
    return seam;
}

QString TAbtBox::creditAddress(int row)
{
    return QLatin1String(Credits[row].address);
}

TAbtBox::TAbtBox(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
                          | Qt::WindowCloseButtonHint)
{
    setWindowTitle(QStringLiteral("關於..."));
    setModal(true);
    setFont(MingFont(12));
    setFixedSize(260, 281);
    const QFont large = MingFont(16);

    wiaTile1 = new TwiaTile(this);
    wiaTile1->setImage(Artwork::BackgroundTile(Artwork::Background::About).toImage());
    wiaTile1->setTileMode(tmNormal);
    wiaTile1->setGeometry(0, 0, 260, 281);

    Image1 = new QLabel(this);
    Image1->setPixmap(Artwork::AboutLogo());
    Image1->setGeometry(56, 0, 153, 52);

    Bevel1 = new QFrame(this);
    Bevel1->setFrameStyle(QFrame::Box | QFrame::Sunken);
    Bevel1->setGeometry(8, 56, 233, 25);

    Label1 = new QLabel(QStringLiteral("版本 2.01"), this);
    Label1->move(16, 64);
    Label2 = new QLabel(QStringLiteral("11/17/1998"), this);
    Label2->move(184, 64);
    for (QLabel *l : {Label1, Label2}) {
        setTextColor(l, Qt::black);
        l->adjustSize();
    }
    // The date starts at 184 where the font allows; a wider font moves it
    // left so that it ends inside the frame.
    const int dateRight = Bevel1->geometry().right() - 4;
    if (Label2->geometry().right() > dateRight)
        Label2->move(dateRight - Label2->width() + 1, 64);

    QLabel **bands[3] = {&Back1, &Label6, &Label12};
    QLabel **roles[3] = {&Label3, &Label5, &Label9};
    QFrame **boxes[3] = {&Fore1, &Fore2, &Fore3};
    QLabel **names[3] = {&N1, &N2, &N3};
    for (int row = 0; row < 3; ++row) {
        const int top = BandTops[row];
        auto *band = new QLabel(this);
        band->setGeometry(8, top, 233, 33);
        fill(band, Qt::black);
        *bands[row] = band;

        auto *role = new QLabel(QString::fromUtf16(Credits[row].role), this);
        role->setFont(large);
        setTextColor(role, Qt::white);
        role->setGeometry(14, top + 8, 114, 18);
        role->setAlignment((row == 0 ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter);
        *roles[row] = role;

        auto *box = new QFrame(this);
        box->setGeometry(136, top + 4, 97, 24);
        fill(box, Qt::white);
        *boxes[row] = box;

        auto *name = new QLabel(QString::fromUtf16(Credits[row].name), box);
        name->setFont(large);
        setTextColor(name, Qt::black);
        name->setGeometry(0, 0, 97, 24);
        name->setAlignment(Qt::AlignCenter);
        name->setCursor(Qt::PointingHandCursor);
        name->setToolTip(QLatin1String(Credits[row].address));
        *names[row] = name;
    }

    Label13 = new QLabel(QStringLiteral("若有任何關於本程式的問題，歡迎來信指教。（按一按上面的名字即可！）"), this);
    Label13->setWordWrap(true);
    Label13->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label13->setGeometry(8, 216, 244, 30);
    setTextColor(Label13, Qt::black);

    SpeedButton1 = new QPushButton(QStringLiteral("關閉"), this);
    SpeedButton1->setGeometry(192, 248, 49, 22);
    SpeedButton1->setFlat(true);
    // The window's one button: Enter and Escape both close it.
    SpeedButton1->setDefault(true);
    SpeedButton1->setStyleSheet(QStringLiteral(
        "QPushButton { border: 1px solid transparent; border-radius: 3px; background: transparent; }"
        "QPushButton:hover, QPushButton:focus { border-color: #8a8fa8; background: rgba(255,255,255,160); }"
        "QPushButton:pressed { background: rgba(200,205,230,200); }"));
    connect(SpeedButton1, &QPushButton::clicked, this, &TAbtBox::SpeedButton1Click);

    setMouseTracking(true);
    for (QWidget *w : findChildren<QWidget *>())
        trackMouse(w);

    CentreOnScreen(this);
}

void TAbtBox::trackMouse(QWidget *widget)
{
    widget->setMouseTracking(true);
    widget->installEventFilter(this);
}

int TAbtBox::rowOf(QObject *object) const
{
    const QObject *boxes[3] = {Fore1, Fore2, Fore3};
    const QObject *names[3] = {N1, N2, N3};
    for (int row = 0; row < 3; ++row) {
        if (object == boxes[row] || object == names[row])
            return row;
    }
    return -1;
}

bool TAbtBox::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseMove: {
        // A move over a name is settled here; any other move also reaches
        // the window, which clears the highlight.
        const int row = rowOf(watched);
        NameMouseMove(row);
        return row >= 0;
    }
    case QEvent::MouseButtonRelease: {
        const int row = rowOf(watched);
        auto *widget = qobject_cast<QWidget *>(watched);
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (row >= 0 && mouse->button() == Qt::LeftButton && widget
            && widget->rect().contains(mouse->position().toPoint())) {
            NameClick(row);
            return true;
        }
        return false;
    }
    default:
        return QDialog::eventFilter(watched, event);
    }
}

void TAbtBox::mouseMoveEvent(QMouseEvent *event)
{
    NameMouseMove(-1);
    QDialog::mouseMoveEvent(event);
}

void TAbtBox::NameMouseMove(int row)
{
    QFrame *boxes[3] = {Fore1, Fore2, Fore3};
    for (int i = 0; i < 3; ++i) {
        const QColor wanted = i == row ? highlightColor() : QColor(Qt::white);
        if (boxes[i]->palette().color(QPalette::Window) != wanted)
            fill(boxes[i], wanted);
    }
}

void TAbtBox::NameClick(int row)
{
    if (row < 0 || row > 2)
        return;
    urlOpener().openUrl(QUrl(QStringLiteral("mailto:") + creditAddress(row)));
}

void TAbtBox::SpeedButton1Click()
{
    close();
}
