// The options of an option group: a click types the option's value into its group. The group
// (a group box, group.cpp) shows which option is chosen.
#include <QRadioButton>

#include "gui/widgets/controls/control_adapter.h"
#include "gui/widgets/qt_text.h"

namespace mervane::gui {
namespace {

class Option final : public ControlAdapter {
 public:
  QWidget* make(std::size_t index, QWidget* parent, ControlSite& site) const override {
    return new QRadioButton(qtext(site.control_defs()[index].text), parent);
  }
  void wire(const ControlSpec& c, QWidget* w, ControlSite& site) const override {
    const int group = c.parent;
    const std::string value = c.value;
    QObject::connect(qobject_cast<QRadioButton*>(w), &QRadioButton::clicked, w,
                     [&site, group, value] {
                       ViewEvent e = ViewEvent::of(ViewEvent::Kind::Type, group);
                       e.text = value;
                       site.send(e);
                     });
  }
};

}  // namespace

const ControlAdapter& option_adapter() {
  static const Option a;
  return a;
}

}  // namespace mervane::gui
