// Push buttons, symbol-font buttons (the date picker's arrows) and the date picker's calendar
// button. A press first hands the model what was typed into the field with the focus (a button
// pressed with the mouse leaves the cursor where it was), then presses the control. A button
// whose text the model changes (a date picker's day) shows the model's text.
#include <QPushButton>
#include <QToolButton>

#include "gui/widgets/controls/control_adapter.h"
#include "gui/widgets/picture_edit.h"
#include "gui/widgets/qt_text.h"
#include "gui/widgets/symbol_font.h"

namespace mervane::gui {
namespace {

class Button final : public ControlAdapter {
 public:
  QWidget* make(std::size_t index, QWidget* parent, ControlSite& site) const override {
    const ControlSpec& c = site.control_defs()[index];
    if (site.widget_of(c.id)) return nullptr;  // the picker button of a date field
    if (c.icon == kCalendarIcon) return calendar_button(parent);
    auto* b = new QPushButton(parent);
    if (!c.font.empty()) {
      const SymbolFont& f = symbol_font_named(c.font);
      b->setFont(f.font);
      QString s;
      for (unsigned char ch : c.text) s += symbol_or_code(f, c.font, ch);
      b->setText(s);
    } else {
      b->setText(qtext(c.text));
    }
    b->setAutoDefault(false);
    return b;
  }
  void wire(const ControlSpec& c, QWidget* w, ControlSite& site) const override {
    const int id = c.id;
    auto* b = qobject_cast<QAbstractButton*>(w);
    QObject::connect(b, &QAbstractButton::clicked, w, [&site, id] {
      site.commit_focused();
      site.send(ViewEvent::of(ViewEvent::Kind::Accepted, id));
    });
  }
  void apply(const ControlSpec& c, QWidget* w, const ControlState& s, const ControlState*,
             ControlSite&) const override {
    if (s.value.empty()) return;
    if (auto* b = qobject_cast<QAbstractButton*>(w)) {
      b->setText(qtext(s.value).trimmed());
      ControlSpec shown = c;
      shown.text = s.value;
      b->setAccessibleName(qtext(accessible_name({shown}, 0)));
    }
  }
};

}  // namespace

const ControlAdapter& button_adapter() {
  static const Button a;
  return a;
}

}  // namespace mervane::gui
