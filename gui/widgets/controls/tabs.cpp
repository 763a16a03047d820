// A sheet of tabs and its tabs: the sheet shows the tab the model chose and tells it the tab the
// user chose; each tab is a page of the sheet, captioned with its text.
#include <QSignalBlocker>
#include <QTabWidget>

#include "gui/widgets/controls/control_adapter.h"
#include "gui/widgets/qt_text.h"

namespace mervane::gui {
namespace {

class Tabs final : public ControlAdapter {
 public:
  QWidget* make(std::size_t, QWidget* parent, ControlSite&) const override {
    return new QTabWidget(parent);
  }
  void wire(const ControlSpec& c, QWidget* w, ControlSite& site) const override {
    const int id = c.id;
    QObject::connect(
        qobject_cast<QTabWidget*>(w), &QTabWidget::currentChanged, w,
        [&site, id](int index) { send_other(site, id, OtherEvent::Kind::Tab, index); });
  }
  void apply(const ControlSpec&, QWidget* w, const ControlState& s, const ControlState*,
             ControlSite&) const override {
    if (auto* tabs = qobject_cast<QTabWidget*>(w)) {
      const QSignalBlocker quiet(tabs);
      tabs->setCurrentIndex(QString::fromStdString(s.value).toInt());
    }
  }
};

class Tab final : public ControlAdapter {
 public:
  QWidget* make(std::size_t index, QWidget* parent, ControlSite& site) const override {
    const ControlSpec& c = site.control_defs()[index];
    auto* page = new QWidget(parent);
    if (auto* tabs = qobject_cast<QTabWidget*>(site.widget_of(c.parent)))
      tabs->addTab(page, qtext(c.text));
    return page;
  }
};

}  // namespace

const ControlAdapter& tabs_adapter() {
  static const Tabs a;
  return a;
}

const ControlAdapter& tab_adapter() {
  static const Tab a;
  return a;
}

}  // namespace mervane::gui
