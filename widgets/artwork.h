// The program's pictures, all drawn here with QPainter: status marks of the
// dictionary grid, tool-bar images, find glyphs, background tiles, the main
// menu's title and icons, the conversion windows' button images, the About
// logo and the application icon. Every picture is antialiased and keeps to
// one calm palette so that the windows look of a piece.
#pragma once

#include <QImage>
#include <QPixmap>

namespace Artwork {

// The windows with a tiled background each have a tile of their own.
enum class Background { MainMenu, Maintenance, Conversion, About };

// Status marks of the grid's marker column, 20 x 20: a red pointing hand for
// an entry with several translations not yet reviewed, a green smiling face
// for all others.
QPixmap PointingHand();
QPixmap SmilingFace();

// The maintenance window's tool-bar images, 16 x 16, indices 0 to 8: open,
// save, save as, hot key, shortcut, hot key and shortcut, make dictionary,
// translate new version, full screen. hot = false gives the grey form shown
// at rest, hot = true the coloured form shown under the pointer. An index
// outside 0 to 8 gives a null pixmap.
inline constexpr int ToolbarImageCount = 9;
QPixmap ToolbarImage(int index, bool hot);

// Glyphs of the grid header's flat buttons, 18 x 18: find, find next
// upwards / downwards, next entry with several translations, next
// untranslated entry; and 16 x 18, the check window.
QPixmap Binoculars();
QPixmap BinocularsUp();
QPixmap BinocularsDown();
QPixmap NextMultiGlyph();
QPixmap UntranslatedGlyph();
QPixmap CheckGlyph();

// Seamless background tiles, 64 x 64: pale and low in contrast so that
// black text stays readable on them.
QPixmap BackgroundTile(Background kind);
// Background of the maintenance window's tool-bar band, 64 x 38, seamless
// from left to right.
QPixmap CoolBarTile();

// Main menu: the 348 x 35 title picture (also the handle for moving the
// window) and the 32 x 32 icons above its six buttons, n = 0 to 5: make
// dictionary, maintain dictionary, translate new version, settings, about,
// exit. An n outside 0 to 5 gives a null pixmap.
inline constexpr int MenuIconCount = 6;
QPixmap MenuTitle();
QPixmap MenuIcon(int n);

// Conversion windows: the browse buttons' folder (16 x 16), the "edit
// dictionary" button's book with pen (16 x 16) and the start button's image
// (24 x 24).
QPixmap BrowseIcon();
QPixmap EditDictIcon();
QPixmap StartIcon();

// About window logo, 153 x 52, transparent around the drawing.
QPixmap AboutLogo();

// Application window icon, 64 x 64.
QPixmap AppIcon();
// The same mark drawn afresh at size x size, for the desktop's icon theme.
// Needs no application object, so that the build can render it.
QImage AppIconImage(int size);

} // namespace Artwork
