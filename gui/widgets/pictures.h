// The pictures the program draws itself: the Wingdings chart, the frame's background and the
// program's icon. Nothing is loaded from a file.
#pragma once

#include <QImage>
#include <QRegion>
#include <QString>

class QPainter;

namespace mervane::gui {

// The pictures below are drawn for a screen's device pixel ratio (2 at 200 % scaling): the
// picture has that many pixels per unit and says so, so that it shows sharp at its size in units.

// The characters of Wingdings codes 33 to 255, each with its code below it (255, which has no
// character, shows its code alone), on a picture of 751 x 299 units.
QImage wingdings_chart(qreal dpr = 1);

// The frame's background: a quiet price chart with news marks over an area of the given size,
// painted in the exposed part of it only (what windows cover costs nothing).
void paint_frame_background(QPainter& p, QSize size, const QRegion& exposed);

// The program's icon, size x size pixels (drawn without text, so it needs no fonts).
QImage program_icon(int size);

// The colour numbers 1 to 11 in a row of cells, height units high.
QImage colour_legend(int height, qreal dpr = 1);

// The picture an image control names ("Wingdings.JPG", the Build window's colour legend); a
// null image for an unknown name.
QImage named_picture(const QString& name, qreal dpr = 1);

}  // namespace mervane::gui
