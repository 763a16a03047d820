// Images: a picture of the program's own, named by the control's text. At a place of its own it
// is drawn as large as the place allows, its proportions kept; else at its own size.
#include <algorithm>

#include <QApplication>
#include <QLabel>
#include <QPainter>
#include <QWidget>

#include "gui/widgets/controls/control_adapter.h"
#include "gui/widgets/pictures.h"
#include "gui/widgets/qt_text.h"

namespace mervane::gui {
namespace {

// Drawn with as many pixels as the screen has (again for a screen of another pixel ratio).
class PictureBox : public QWidget {
 public:
  PictureBox(QString name, QWidget* parent) : QWidget(parent), name_(std::move(name)) {}

 protected:
  void paintEvent(QPaintEvent*) override {
    if (image_.isNull()) image_ = named_picture(name_, devicePixelRatioF());
    if (image_.isNull()) return;
    const QSizeF own = image_.deviceIndependentSize();
    const QSize s = own.toSize().scaled(size(), Qt::KeepAspectRatio);
    // The pixels the place shows it with: drawn again with as many when it has fewer.
    const qreal needed = devicePixelRatioF() * std::max(1.0, s.width() / own.width());
    if (image_.devicePixelRatio() < needed - 0.01) image_ = named_picture(name_, needed);
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(QRect(QPoint((width() - s.width()) / 2, (height() - s.height()) / 2), s), image_);
  }

 private:
  QString name_;
  QImage image_;
};

class Image final : public ControlAdapter {
 public:
  QWidget* make(std::size_t index, QWidget* parent, ControlSite& site) const override {
    const ControlSpec& c = site.control_defs()[index];
    if (c.at.w > 0) return new PictureBox(qtext(c.text), parent);
    auto* l = new QLabel(parent);
    l->setPixmap(QPixmap::fromImage(named_picture(qtext(c.text), qApp->devicePixelRatio())));
    return l;
  }
};

}  // namespace

const ControlAdapter& image_adapter() {
  static const Image a;
  return a;
}

}  // namespace mervane::gui
