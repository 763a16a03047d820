// Check boxes: a click types "1" or "0" into the control.
#include <QCheckBox>
#include <QSignalBlocker>

#include "gui/widgets/controls/control_adapter.h"
#include "gui/widgets/qt_text.h"

namespace mervane::gui {
namespace {

class Check final : public ControlAdapter {
 public:
  QWidget* make(std::size_t index, QWidget* parent, ControlSite& site) const override {
    return new QCheckBox(qtext(site.control_defs()[index].text), parent);
  }
  void wire(const ControlSpec& c, QWidget* w, ControlSite& site) const override {
    const int id = c.id;
    QObject::connect(qobject_cast<QCheckBox*>(w), &QCheckBox::clicked, w, [&site, id](bool on) {
      ViewEvent e = ViewEvent::of(ViewEvent::Kind::Type, id);
      e.text.assign(1, on ? '1' : '0');  // not = "1": GCC 12 warns in Release (-Wrestrict)
      site.send(e);
    });
  }
  void apply(const ControlSpec&, QWidget* w, const ControlState& s, const ControlState*,
             ControlSite&) const override {
    if (auto* cb = qobject_cast<QCheckBox*>(w)) {
      const QSignalBlocker quiet(cb);
      cb->setChecked(s.value == "1");
    }
  }
};

}  // namespace

const ControlAdapter& check_adapter() {
  static const Check a;
  return a;
}

}  // namespace mervane::gui
