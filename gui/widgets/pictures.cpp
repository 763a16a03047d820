#include "gui/widgets/pictures.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

#include "core/output/procfile_controls.h"
#include "core/setup/calendar.h"
#include "core/util/wingdings.h"
#include "gui/widgets/symbol_font.h"

namespace mervane::gui {
namespace {

// A price path that looks like a market: a slow wave with a faster one on top, the same for
// every size so that the picture does not change between starts.
double price_at(double t) {
  return 0.5 + 0.22 * std::sin(t * 5.1) + 0.09 * std::sin(t * 23.0 + 1.3) +
         0.04 * std::sin(t * 71.0 + 0.4);
}

// Every stroke is a filled box: boxes take the painter's fast path, where pens of fractional
// width go through the stroker (the frame's background is drawn on every start).
void draw_candles(QPainter& p, const QRectF& area, int count, const QColor& up,
                  const QColor& down) {
  const double step = area.width() / count;
  const double wick = std::max(1.0, std::round(step / 8));
  for (int i = 0; i < count; ++i) {
    const double t0 = static_cast<double>(i) / count, t1 = (i + 1.0) / count;
    const double open = price_at(t0), close = price_at(t1);
    const double high = std::max(open, close) + 0.03 + 0.02 * std::sin(i * 2.7);
    const double low = std::min(open, close) - 0.03 - 0.02 * std::cos(i * 1.9);
    auto y = [&](double v) { return area.bottom() - v * area.height(); };
    const double x = area.left() + i * step + step / 2;
    const QColor& c = close >= open ? up : down;
    p.fillRect(QRectF(x - wick / 2, y(high), wick, y(low) - y(high)), c);
    const double top = y(std::max(open, close)), bottom = y(std::min(open, close));
    const QRectF body(x - step * 0.3, top, step * 0.6, std::max(1.0, bottom - top));
    // The wick shows through a translucent body only once: the body covers it first.
    p.fillRect(body, QColor(c.red(), c.green(), c.blue(), 255 - (255 - c.alpha()) / 2));
  }
}

}  // namespace

namespace {

// A white picture of width x height units at the device pixel ratio.
QImage white_picture(int width, int height, qreal dpr) {
  QImage img(static_cast<int>(std::ceil(width * dpr)), static_cast<int>(std::ceil(height * dpr)),
             QImage::Format_RGB32);
  img.setDevicePixelRatio(dpr);
  img.fill(Qt::white);
  return img;
}

}  // namespace

QImage wingdings_chart(qreal dpr) {
  constexpr int kColumns = 16, kRows = 14;
  constexpr int kWidth = WingdingChart::kPictureWidth, kHeight = WingdingChart::kPictureHeight;
  QImage img = white_picture(kWidth, kHeight, dpr);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  p.setRenderHint(QPainter::TextAntialiasing);
  const double cw = static_cast<double>(kWidth) / kColumns;
  const double ch = static_cast<double>(kHeight) / kRows;
  QFont number(QStringLiteral("DejaVu Sans"));
  number.setPixelSize(9);
  QFont glyph = wingdings_font().font;
  glyph.setPixelSize(static_cast<int>(ch * 0.72));
  p.setPen(QColor(0xC8, 0xCE, 0xD8));
  for (int c = 1; c < kColumns; ++c) p.drawLine(QPointF(c * cw, 0), QPointF(c * cw, kHeight));
  for (int r = 1; r < kRows; ++r) p.drawLine(QPointF(0, r * ch), QPointF(kWidth, r * ch));
  for (int code = kFirstWingding; code <= kLastWingding; ++code) {
    const int i = code - kFirstWingding;
    const QRectF cell((i % kColumns) * cw, (i / kColumns) * ch, cw, ch);
    const QRectF left(cell.left() + 1, cell.top(), cw * 0.42, ch);
    const QRectF right(cell.left() + cw * 0.44, cell.top(), cw * 0.56 - 1, ch);
    const QString text = symbol_glyph(wingdings_font(), "Wingdings", code);
    p.setFont(number);
    p.setPen(QColor(0x55, 0x5E, 0x6E));
    p.drawText(text.isEmpty() ? cell : left, Qt::AlignCenter, QString::number(code));
    if (text.isEmpty()) continue;
    p.setFont(glyph);
    p.setPen(Qt::black);
    p.drawText(right, Qt::AlignCenter, text);
  }
  return img;
}

void paint_frame_background(QPainter& p, QSize size, const QRegion& exposed) {
  // Painted on every start before the frame's first picture, so it keeps to cheap strokes: the
  // sky row by row, straight lines and boxes without antialiasing.
  const int width = std::max(size.width(), 1), height = std::max(size.height(), 1);
  const QColor top(0x23, 0x2F, 0x42), bottom(0x3B, 0x4D, 0x66);
  for (const QRect& r : exposed.intersected(QRect(0, 0, width, height))) {
    for (int y = r.top(); y <= r.bottom(); ++y) {
      const double f = height > 1 ? static_cast<double>(y) / (height - 1) : 0;
      p.fillRect(r.left(), y, r.width(), 1,
                 QColor(top.red() + static_cast<int>((bottom.red() - top.red()) * f),
                        top.green() + static_cast<int>((bottom.green() - top.green()) * f),
                        top.blue() + static_cast<int>((bottom.blue() - top.blue()) * f)));
    }
  }
  p.save();
  p.setClipRegion(exposed, Qt::IntersectClip);
  // The chart takes the lower two thirds; the grid and the candles stay faint so that windows
  // in front of it read clearly.
  const QRectF area(width * 0.04, height * 0.30, width * 0.92, height * 0.62);
  for (int i = 0; i <= 8; ++i) {
    const double y = std::round(area.top() + area.height() * i / 8);
    p.fillRect(QRectF(area.left(), y, area.width(), 1), QColor(255, 255, 255, 22));
  }
  const int candles = std::max(24, static_cast<int>(area.width() / 14));
  draw_candles(p, area, candles, QColor(0x6F, 0xC2, 0x9B, 90), QColor(0xE0, 0x7A, 0x6A, 90));
  // News events: dashed vertical lines with a mark at the top, as the chart indicator draws them.
  const QColor impact[3] = {QColor(0xF2, 0xD0, 0x6B, 120), QColor(0xF2, 0x9E, 0x4C, 130),
                            QColor(0xE8, 0x5D, 0x5D, 140)};
  for (int k = 0; k < 7; ++k) {
    const double x = std::round(area.left() + area.width() * (0.08 + 0.13 * k));
    const QColor& c = impact[(k * 2 + 1) % 3];
    for (double y = area.top() - 8; y < area.bottom(); y += 6)
      p.fillRect(QRectF(x, y, 1, std::min(4.0, area.bottom() - y)), c);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(Qt::NoPen);
    p.setBrush(c);
    p.drawEllipse(QPointF(x, area.top() - 14), 5, 5);
  }
  p.restore();
}

QImage program_icon(int size) {
  QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::transparent);
  QPainter p(&img);
  p.setRenderHint(QPainter::Antialiasing);
  const double s = size;
  QPainterPath tile;
  tile.addRoundedRect(QRectF(s * 0.04, s * 0.04, s * 0.92, s * 0.92), s * 0.18, s * 0.18);
  QLinearGradient g(0, 0, 0, s);
  g.setColorAt(0, QColor(0x2B, 0x3A, 0x52));
  g.setColorAt(1, QColor(0x1A, 0x24, 0x33));
  p.fillPath(tile, g);
  p.setClipPath(tile);
  draw_candles(p, QRectF(s * 0.14, s * 0.30, s * 0.72, s * 0.56), 7, QColor(0x6F, 0xC2, 0x9B),
               QColor(0xE0, 0x7A, 0x6A));
  // The news line and its mark.
  p.setPen(QPen(QColor(0xF2, 0xD0, 0x6B), std::max(1.0, s * 0.025), Qt::DashLine));
  p.drawLine(QPointF(s * 0.62, s * 0.24), QPointF(s * 0.62, s * 0.88));
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0xF2, 0xD0, 0x6B));
  p.drawEllipse(QPointF(s * 0.62, s * 0.19), s * 0.075, s * 0.075);
  return img;
}

QImage colour_legend(int height, qreal dpr) {
  constexpr int kColours = 11;
  const int cell = std::max(height, 8);
  QImage img = white_picture(cell * kColours + 1, cell + 1, dpr);
  QPainter p(&img);
  QFont number(QStringLiteral("DejaVu Sans"));
  number.setPixelSize(std::max(6, cell * 6 / 10));
  p.setFont(number);
  p.setPen(QColor(0x8A, 0x92, 0xA0));
  for (int i = 0; i < kColours; ++i) p.drawRect(i * cell, 0, cell, cell);
  p.setPen(Qt::black);
  for (int i = 0; i < kColours; ++i)
    p.drawText(QRect(i * cell, 0, cell, cell), Qt::AlignCenter, QString::number(i + 1));
  return img;
}

QImage named_picture(const QString& name, qreal dpr) {
  auto is = [&](std::string_view n) {
    return name.compare(QLatin1String(n.data(), static_cast<qsizetype>(n.size())),
                        Qt::CaseInsensitive) == 0;
  };
  if (is(WingdingChart::kPicture)) return wingdings_chart(dpr);
  if (is(kColourLegend)) return colour_legend(18, dpr);
  return {};
}

}  // namespace mervane::gui
