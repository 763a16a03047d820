// A group box drawn as the application's style draws it, only faster: Fusion draws a group box by
// stretching a small picture over the whole box, its middle a faint shade that every pixel of the
// box is blended with through the picture's scaling. Where stretching that picture changes
// nothing but its size, the box draws the picture's corners and edges as they are and fills its
// middle's colour over the inside (the same blend, pixel for pixel, in a fraction of the time);
// the title is drawn by the style. Under another style, or with a picture that is not so, the
// style draws the whole box.
#pragma once

#include <QColor>
#include <QGroupBox>
#include <optional>

class QImage;

namespace mervane::gui {

// The colour of the middle of a nine-part border picture with the given margins, if stretching
// it changes nothing but its size: the middle one colour, each line along an edge one colour.
std::optional<QColor> stretch_free_centre(const QImage& picture, int margin);

class GroupBox : public QGroupBox {
 public:
  using QGroupBox::QGroupBox;

 protected:
  void paintEvent(QPaintEvent* e) override;
};

}  // namespace mervane::gui
