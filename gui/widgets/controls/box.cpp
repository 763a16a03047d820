// Boxes: a frame drawn in the box's colour behind the controls at its place (the date picker's
// marks of the chosen day and of today). It takes no input.
#include <QPainter>
#include <QWidget>

#include "gui/widgets/controls/control_adapter.h"

namespace mervane::gui {
namespace {

class FrameBox : public QWidget {
 public:
  FrameBox(const QColor& colour, QWidget* parent) : QWidget(parent), colour_(colour) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.setPen(QPen(colour_, 2));
    p.drawRect(rect().adjusted(1, 1, -1, -1));
  }

 private:
  QColor colour_;
};

class Box final : public ControlAdapter {
 public:
  QWidget* make(std::size_t index, QWidget* parent, ControlSite& site) const override {
    return new FrameBox(QColor(QString::fromStdString(site.control_defs()[index].value)), parent);
  }
};

}  // namespace

const ControlAdapter& box_adapter() {
  static const Box a;
  return a;
}

}  // namespace mervane::gui
