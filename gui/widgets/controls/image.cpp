// Images: a picture of the program's own, named by the control's text. At a place of its own it
// is drawn as large as the place allows, its proportions kept; else at its own size.
#include <QLabel>
#include <QPainter>
#include <QWidget>

#include "gui/widgets/controls/control_adapter.h"
#include "gui/widgets/pictures.h"
#include "gui/widgets/qt_text.h"

namespace mervane::gui {
namespace {

class PictureBox : public QWidget {
 public:
  PictureBox(QImage image, QWidget* parent) : QWidget(parent), image_(std::move(image)) {}

 protected:
  void paintEvent(QPaintEvent*) override {
    if (image_.isNull()) return;
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    const QSize s = image_.size().scaled(size(), Qt::KeepAspectRatio);
    p.drawImage(QRect(QPoint((width() - s.width()) / 2, (height() - s.height()) / 2), s), image_);
  }

 private:
  QImage image_;
};

class Image final : public ControlAdapter {
 public:
  QWidget* make(std::size_t index, QWidget* parent, ControlSite& site) const override {
    const ControlSpec& c = site.control_defs()[index];
    const QImage picture = named_picture(qtext(c.text));
    if (c.at.w > 0) return new PictureBox(picture, parent);
    auto* l = new QLabel(parent);
    l->setPixmap(QPixmap::fromImage(picture));
    return l;
  }
};

}  // namespace

const ControlAdapter& image_adapter() {
  static const Image a;
  return a;
}

}  // namespace mervane::gui
