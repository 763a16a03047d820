// Group boxes and option groups: a frame with its caption around the controls it holds; an
// option group checks the option whose value it has.
#include <QRadioButton>
#include <QSignalBlocker>

#include "core/util/text.h"
#include "gui/widgets/controls/control_adapter.h"
#include "gui/widgets/group_box.h"
#include "gui/widgets/qt_text.h"

namespace mervane::gui {
namespace {

class Group final : public ControlAdapter {
 public:
  QWidget* make(std::size_t index, QWidget* parent, ControlSite& site) const override {
    return new GroupBox(qtext(site.control_defs()[index].text), parent);
  }
  void apply(const ControlSpec& c, QWidget*, const ControlState& s, const ControlState*,
             ControlSite& site) const override {
    if (c.kind != ControlKind::OptionGroup) return;
    for (const ControlSpec& o : site.control_defs()) {
      if (o.kind != ControlKind::Option || o.parent != c.id) continue;
      if (auto* r = qobject_cast<QRadioButton*>(site.widget_of(o.id))) {
        const QSignalBlocker quiet(r);
        r->setChecked(clip(o.value) == clip(s.value));
      }
    }
  }
};

}  // namespace

const ControlAdapter& group_adapter() {
  static const Group a;
  return a;
}

}  // namespace mervane::gui
