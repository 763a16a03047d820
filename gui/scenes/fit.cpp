#include "gui/scenes/fit.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QStyle>
#include <optional>

#include "gui/frame/app_frame.h"

namespace mervane::gui {
namespace {

// What the frame and a sub-window add around a window of the frame, measured on widgets of the
// same kinds and font as the program's.
QSize frame_around() {
  QMainWindow frame;
  frame.menuBar()->addMenu(QStringLiteral("&File"));
  frame.statusBar()->addPermanentWidget(new QLabel(QStringLiteral("Working folder")));
  auto* area = new QMdiArea;
  frame.setCentralWidget(area);
  auto* inside = new QWidget;
  inside->setFixedSize(200, 100);
  QMdiSubWindow* sub = area->addSubWindow(inside);
  sub->adjustSize();
  const QSize sub_extra = sub->size() - inside->size();
  const int bars = frame.menuBar()->sizeHint().height() + frame.statusBar()->sizeHint().height();
  return sub_extra + QSize(0, bars);
}

QString without_mnemonic(QString text) {
  text.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
  text.remove(QLatin1Char('&'));
  text.replace(QLatin1Char('\x01'), QLatin1Char('&'));
  return text;
}

QString who(const QWidget* w, const QString& text) {
  const QString name =
      w->accessibleDescription().isEmpty() ? w->objectName() : w->accessibleDescription();
  return QStringLiteral("%1 %2 '%3'")
      .arg(QString::fromLatin1(w->metaObject()->className()), name, text.trimmed().left(40));
}

QString too_small(const QWidget* w, const QString& text, QSize need, QSize have) {
  return QStringLiteral("%1: text %2 x %3 in %4 x %5")
      .arg(who(w, text))
      .arg(need.width())
      .arg(need.height())
      .arg(have.width())
      .arg(have.height());
}

// The text a control shows and the room it needs for it; nothing for a control without text.
struct Shown {
  QString text;
  QSize need;
  QSize have;
};

std::optional<Shown> shown(const QWidget* w) {
  const QFontMetrics fm(w->font());
  if (const auto* l = qobject_cast<const QLabel*>(w)) {
    if (l->text().trimmed().isEmpty() || l->textFormat() == Qt::RichText) return std::nullopt;
    const QSize have = l->contentsRect().size();
    if (l->wordWrap()) {
      // Wrapped to its width, the lines it takes must fit its height.
      return Shown{l->text(), QSize(0, l->heightForWidth(l->width())), QSize(0, l->height())};
    }
    const QRect r = fm.boundingRect(QRect(0, 0, 100000, 100000), Qt::TextShowMnemonic,
                                    without_mnemonic(l->text()));
    return Shown{l->text(),
                 QSize(r.width() + 2 * l->margin() + std::max(0, l->indent()),
                       std::min(r.height(), fm.height())),
                 have};
  }
  if (const auto* g = qobject_cast<const QGroupBox*>(w)) {
    if (g->title().trimmed().isEmpty()) return std::nullopt;
    return Shown{g->title(),
                 QSize(fm.horizontalAdvance(without_mnemonic(g->title())) + 8, fm.height()),
                 g->size()};
  }
  if (const auto* b = qobject_cast<const QAbstractButton*>(w)) {
    if (b->text().trimmed().isEmpty()) return std::nullopt;
    const int text = fm.horizontalAdvance(without_mnemonic(b->text()));
    if (qobject_cast<const QCheckBox*>(b) || qobject_cast<const QRadioButton*>(b)) {
      // The box or circle, the gap and the text.
      const int indicator = b->style()->pixelMetric(qobject_cast<const QCheckBox*>(b)
                                                        ? QStyle::PM_IndicatorWidth
                                                        : QStyle::PM_ExclusiveIndicatorWidth,
                                                    nullptr, b);
      const int gap = b->style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, b);
      return Shown{b->text(), QSize(indicator + gap + text, fm.height()), b->size()};
    }
    // A push button's frame and a little air on both sides.
    return Shown{b->text(), QSize(text + 4, fm.height()), b->size()};
  }
  return std::nullopt;
}

bool has_text(const QWidget* w) {
  return shown(w).has_value() || qobject_cast<const QLineEdit*>(w) ||
         qobject_cast<const QComboBox*>(w);
}

}  // namespace

QSize desktop_size(const QWidget& window, bool in_frame) {
  static const QSize around = frame_around();
  QSize size = window.size().grownBy(AppFrame::kDecoration);
  if (in_frame) size += around;
  return size;
}

std::vector<QString> misfits(const QWidget& window) {
  std::vector<QString> out;
  const QRect inside = window.rect();
  std::vector<std::pair<const QWidget*, QRect>> texts;
  for (const QWidget* w : window.findChildren<QWidget*>()) {
    if (!w->isVisibleTo(&window) || w->isWindow()) continue;
    const QRect at(w->mapTo(&window, QPoint(0, 0)), w->size());
    const std::optional<Shown> s = shown(w);
    if (s && (s->need.width() > s->have.width() || s->need.height() > s->have.height()))
      out.push_back(too_small(w, s->text, s->need, s->have));
    if (has_text(w)) {
      if (!inside.contains(at))
        out.push_back(QStringLiteral("%1: at %2,%3 %4 x %5, outside the window")
                          .arg(who(w, s ? s->text : QString()))
                          .arg(at.x())
                          .arg(at.y())
                          .arg(at.width())
                          .arg(at.height()));
      texts.emplace_back(w, at);
    }
  }
  // Controls with text over one another (a group box holds its controls: it has no part here).
  for (std::size_t i = 0; i < texts.size(); ++i)
    for (std::size_t j = i + 1; j < texts.size(); ++j) {
      const auto& [a, ra] = texts[i];
      const auto& [b, rb] = texts[j];
      if (qobject_cast<const QGroupBox*>(a) || qobject_cast<const QGroupBox*>(b)) continue;
      if (a->isAncestorOf(b) || b->isAncestorOf(a)) continue;
      const QRect both = ra.intersected(rb);
      if (both.width() > 1 && both.height() > 1)
        out.push_back(QStringLiteral("%1 overlaps %2").arg(who(a, QString()), who(b, QString())));
    }
  return out;
}

}  // namespace mervane::gui
