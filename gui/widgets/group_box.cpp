#include "gui/widgets/group_box.h"

#include <QImage>
#include <QPixmap>
#include <QStyleOptionGroupBox>
#include <QStylePainter>

namespace mervane::gui {
namespace {

// Fusion's group box picture, the margins it is stretched with, and the room it leaves above the
// frame for the title.
constexpr const char* kFusionGroupPicture =
    ":/qt-project.org/styles/commonstyle/images/fusion_groupbox.png";
constexpr int kMargin = 6;
constexpr int kTitleGap = 3;

struct FusionPicture {
  QPixmap picture;
  std::optional<QColor> centre;  // none: the style draws the frame
};

const FusionPicture& fusion_picture() {
  static const FusionPicture p = [] {
    FusionPicture f{QPixmap(QString::fromLatin1(kFusionGroupPicture)), std::nullopt};
    if (!f.picture.isNull() && f.picture.devicePixelRatio() == 1.0)
      f.centre = stretch_free_centre(f.picture.toImage(), kMargin);
    return f;
  }();
  return p;
}

}  // namespace

std::optional<QColor> stretch_free_centre(const QImage& picture, int margin) {
  const int w = picture.width(), h = picture.height();
  if (w <= 2 * margin || h <= 2 * margin) return std::nullopt;
  const QImage argb = picture.convertToFormat(QImage::Format_ARGB32);
  // The edges: each line along an edge one colour from end to end.
  for (int y = 0; y < h; ++y) {
    const bool edge_row = y < margin || y >= h - margin;
    for (int x = margin + 1; x < w - margin; ++x)
      if (edge_row && argb.pixel(x, y) != argb.pixel(margin, y)) return std::nullopt;
  }
  for (int x = 0; x < w; ++x) {
    const bool edge_column = x < margin || x >= w - margin;
    for (int y = margin + 1; y < h - margin; ++y)
      if (edge_column && argb.pixel(x, y) != argb.pixel(x, margin)) return std::nullopt;
  }
  // The middle: one colour.
  const QRgb first = argb.pixel(margin, margin);
  for (int y = margin; y < h - margin; ++y)
    for (int x = margin; x < w - margin; ++x)
      if (argb.pixel(x, y) != first) return std::nullopt;
  return QColor::fromRgba(first);
}

void GroupBox::paintEvent(QPaintEvent* e) {
  if (isFlat() || style()->name().compare(QLatin1String("fusion"), Qt::CaseInsensitive) != 0) {
    QGroupBox::paintEvent(e);
    return;
  }
  const FusionPicture& fusion = fusion_picture();
  if (!fusion.centre) {
    QGroupBox::paintEvent(e);
    return;
  }
  QStylePainter p(this);
  QStyleOptionGroupBox option;
  initStyleOption(&option);
  // Where Fusion puts the frame: below the title, or near the top of a box without one.
  const int top = !isCheckable() && title().isEmpty()
                      ? kTitleGap
                      : std::max(style()->pixelMetric(QStyle::PM_ExclusiveIndicatorHeight),
                                 option.fontMetrics.height()) +
                            kTitleGap;
  const QRect f = style()
                      ->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxFrame, this)
                      .adjusted(0, top, 0, 0);
  const int m = kMargin;
  const QRect inside = f.adjusted(m, m, -m, -m);
  if (inside.width() > 0 && inside.height() > 0 &&
      (option.subControls & QStyle::SC_GroupBoxFrame)) {
    // The corners as they are, the edges drawn along their length (each line of them is one
    // colour), the middle filled with its colour.
    const QPixmap& pic = fusion.picture;
    const int pw = pic.width(), ph = pic.height(), iw = inside.width(), ih = inside.height();
    const int sw = pw - 2 * m, sh = ph - 2 * m, right = inside.right() + 1,
              bottom = inside.bottom() + 1;
    p.drawPixmap(QRect(f.left(), f.top(), m, m), pic, QRect(0, 0, m, m));
    p.drawPixmap(QRect(right, f.top(), m, m), pic, QRect(pw - m, 0, m, m));
    p.drawPixmap(QRect(f.left(), bottom, m, m), pic, QRect(0, ph - m, m, m));
    p.drawPixmap(QRect(right, bottom, m, m), pic, QRect(pw - m, ph - m, m, m));
    p.drawPixmap(QRect(inside.left(), f.top(), iw, m), pic, QRect(m, 0, sw, m));
    p.drawPixmap(QRect(inside.left(), bottom, iw, m), pic, QRect(m, ph - m, sw, m));
    p.drawPixmap(QRect(f.left(), inside.top(), m, ih), pic, QRect(0, m, m, sh));
    p.drawPixmap(QRect(right, inside.top(), m, ih), pic, QRect(pw - m, m, m, sh));
    p.fillRect(inside, *fusion.centre);
    option.subControls &= ~QStyle::SC_GroupBoxFrame;
  }
  p.drawComplexControl(QStyle::CC_GroupBox, option);
}

}  // namespace mervane::gui
