// Group boxes drawn as the program's style draws them, only faster: Fusion draws a group box by
// stretching a small picture over the whole box, its middle a faint shade that every pixel of the
// box is blended with through the picture's scaling. Where stretching that picture changes
// nothing but its size, its corners and edges are drawn as they are and its middle's colour is
// filled over the inside of the box (the same blend, pixel for pixel, in a fraction of the time);
// the title is drawn by the style itself.
#pragma once

#include <QColor>
#include <QPixmap>
#include <QProxyStyle>
#include <optional>

class QGroupBox;
class QImage;

namespace mervane::gui {

// The colour of the middle of a nine-part border picture with the given margins, if stretching
// it changes nothing but its size: the middle one colour, each line along an edge one colour.
std::optional<QColor> stretch_free_centre(const QImage& picture, int margin);

class GroupStyle : public QProxyStyle {
 public:
  GroupStyle(QStyle* base, QPixmap picture, QColor centre);
  void drawPrimitive(PrimitiveElement pe, const QStyleOption* option, QPainter* p,
                     const QWidget* widget) const override;

 private:
  QPixmap picture_;
  QColor centre_;
};

// Gives the box the faster style where the application's style is Fusion with its usual group
// box picture; elsewhere the box keeps the application's style.
void use_group_style(QGroupBox* box);

}  // namespace mervane::gui
