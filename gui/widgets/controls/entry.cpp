// Entries: a line edit checked by the control's picture; a date entry followed by its picker
// button (without a place of its own) is one field with the button beside the edit.
#include <QLineEdit>
#include <QToolButton>

#include "gui/widgets/controls/control_adapter.h"
#include "gui/widgets/picture_edit.h"
#include "gui/widgets/qt_text.h"

namespace mervane::gui {
namespace {

bool is_picker_button(const ControlSpec& c) {
  return c.kind == ControlKind::Button && (c.icon == kCalendarIcon || c.text.empty());
}

bool is_date_picture(const std::string& picture) {
  const auto p = read_picture(picture);
  return p && p->kind == PictureKind::Date;
}

class Entry final : public ControlAdapter {
 public:
  QWidget* make(std::size_t index, QWidget* parent, ControlSite& site) const override {
    const std::vector<ControlSpec>& defs = site.control_defs();
    const ControlSpec& c = defs[index];
    const bool with_picker = index + 1 < defs.size() && is_picker_button(defs[index + 1]) &&
                             is_date_picture(c.picture) && defs[index + 1].at.w == 0;
    if (!with_picker) return new PictureEdit(c.picture, parent);
    auto* field = new DateField(c.picture, parent);
    const ControlSpec& picker = defs[index + 1];
    site.own(field, c.id);
    site.own(field->edit(), c.id);
    site.set_widget(c.id, field->edit());
    site.own(field->button(), picker.id);
    site.set_widget(picker.id, field->button());
    button_adapter().wire(picker, field->button(), site);
    return field;
  }
  void apply(const ControlSpec& c, QWidget* w, const ControlState& s, const ControlState*,
             ControlSite& site) const override {
    // A value the model changed replaces what is in the field; an unchanged one leaves what
    // the user may be typing.
    const QString value = qtext(s.value);
    if (auto* edit = qobject_cast<QLineEdit*>(w); edit && model_changed(site, c.id, value))
      edit->setText(value.trimmed());
  }
};

}  // namespace

const ControlAdapter& entry_adapter() {
  static const Entry a;
  return a;
}

}  // namespace mervane::gui
