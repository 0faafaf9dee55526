#pragma once
// The program's pictures kept as files: artwork-keep draws every picture
// when the program is built and writes its pixels into the program, so that
// a start draws nothing (the main menu's title alone, with its two fonts to
// load, took longer than a bare Qt program needs to show its window).
// A build without them (TAVISORN_KEEP_PICTURES off, or the build step
// itself) draws each picture when it is first asked for.

#include <QImage>
#include <QPixmap>
#include <QString>

#include <functional>
#include <vector>

namespace Artwork::Kept {

struct Drawing {
    QString key;
    std::function<QPixmap()> draw;
};

// Every picture of Artwork, under the name it is kept by.
const std::vector<Drawing> &everyPicture();

// The picture kept under key when the program was built, or a null image.
QImage stored(const QString &key);

} // namespace Artwork::Kept
