// Prompts and displays: a label with the prompt's text, or with the value a display shows.
#include <QLabel>

#include "core/util/picture.h"
#include "gui/widgets/controls/control_adapter.h"
#include "gui/widgets/qt_text.h"

namespace mervane::gui {
namespace {

class Label final : public ControlAdapter {
 public:
  QWidget* make(std::size_t index, QWidget* parent, ControlSite& site) const override {
    const ControlSpec& c = site.control_defs()[index];
    const QString text = qtext(c.text);
    auto* l = new QLabel(c.kind == ControlKind::Prompt ? text : QString(), parent);
    // A text of several lines starts at the top of its place, as the line beside it does.
    if (text.contains(QLatin1Char('\n'))) l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    if (c.kind == ControlKind::Display) {
      const auto p = read_picture(c.picture);
      l->setAlignment((p && p->kind == PictureKind::Number ? Qt::AlignRight : Qt::AlignHCenter) |
                      Qt::AlignVCenter);
    }
    return l;
  }
  void apply(const ControlSpec& c, QWidget* w, const ControlState& s, const ControlState*,
             ControlSite&) const override {
    if (c.kind != ControlKind::Display) return;
    if (auto* l = qobject_cast<QLabel*>(w)) l->setText(qtext(s.value).trimmed());
  }
};

}  // namespace

const ControlAdapter& label_adapter() {
  static const Label a;
  return a;
}

}  // namespace mervane::gui
