#include "gui/widgets/group_style.h"

#include <QApplication>
#include <QGroupBox>
#include <QImage>
#include <QPainter>
#include <QStyleFactory>
#include <QStyleOption>

namespace mervane::gui {
namespace {

// Fusion's group box picture, the margins it is stretched with, and the room it leaves above the
// frame for the title.
constexpr const char* kFusionGroupPicture =
    ":/qt-project.org/styles/commonstyle/images/fusion_groupbox.png";
constexpr int kMargin = 6;
constexpr int kTitleGap = 3;

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

GroupStyle::GroupStyle(QStyle* base, QPixmap picture, QColor centre)
    : QProxyStyle(base), picture_(std::move(picture)), centre_(centre) {}

void GroupStyle::drawPrimitive(PrimitiveElement pe, const QStyleOption* option, QPainter* p,
                               const QWidget* widget) const {
  if (pe != PE_FrameGroupBox || !option || !p) {
    QProxyStyle::drawPrimitive(pe, option, p, widget);
    return;
  }
  // Where Fusion puts the frame: below the title, or near the top of a box without one.
  const auto* box = qobject_cast<const QGroupBox*>(widget);
  const int top =
      box && !box->isCheckable() && box->title().isEmpty()
          ? kTitleGap
          : std::max(pixelMetric(PM_ExclusiveIndicatorHeight), option->fontMetrics.height()) +
                kTitleGap;
  const QRect f = option->rect.adjusted(0, top, 0, 0);
  const int m = kMargin, pw = picture_.width(), ph = picture_.height();
  const QRect inside = f.adjusted(m, m, -m, -m);
  if (inside.width() <= 0 || inside.height() <= 0) {
    QProxyStyle::drawPrimitive(pe, option, p, widget);
    return;
  }
  // The corners as they are, the edges drawn along their length (each line of them is one
  // colour), the middle filled with its colour.
  const int iw = inside.width(), ih = inside.height(), sw = pw - 2 * m, sh = ph - 2 * m;
  p->drawPixmap(QRect(f.left(), f.top(), m, m), picture_, QRect(0, 0, m, m));
  p->drawPixmap(QRect(inside.right() + 1, f.top(), m, m), picture_, QRect(pw - m, 0, m, m));
  p->drawPixmap(QRect(f.left(), inside.bottom() + 1, m, m), picture_, QRect(0, ph - m, m, m));
  p->drawPixmap(QRect(inside.right() + 1, inside.bottom() + 1, m, m), picture_,
                QRect(pw - m, ph - m, m, m));
  p->drawPixmap(QRect(inside.left(), f.top(), iw, m), picture_, QRect(m, 0, sw, m));
  p->drawPixmap(QRect(inside.left(), inside.bottom() + 1, iw, m), picture_,
                QRect(m, ph - m, sw, m));
  p->drawPixmap(QRect(f.left(), inside.top(), m, ih), picture_, QRect(0, m, m, sh));
  p->drawPixmap(QRect(inside.right() + 1, inside.top(), m, ih), picture_, QRect(pw - m, m, m, sh));
  p->fillRect(inside, centre_);
}

void use_group_style(QGroupBox* box) {
  static GroupStyle* const style = []() -> GroupStyle* {
    if (QApplication::style()->name().compare(QLatin1String("fusion"), Qt::CaseInsensitive) != 0)
      return nullptr;
    const QPixmap picture(QString::fromLatin1(kFusionGroupPicture));
    const auto centre = stretch_free_centre(picture.toImage(), kMargin);
    if (!centre || picture.devicePixelRatio() != 1.0) return nullptr;
    auto* s = new GroupStyle(QStyleFactory::create(QStringLiteral("Fusion")), picture, *centre);
    s->setParent(qApp);
    return s;
  }();
  if (style) box->setStyle(style);
}

}  // namespace mervane::gui
