// Drop lists and combos: a drop list chooses one of the model's choices; a combo is an entry,
// checked by its picture, with the choices as proposals. A choice made types it into the
// control; the model's choices replace the list when they change.
#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QSignalBlocker>

#include "gui/widgets/controls/control_adapter.h"
#include "gui/widgets/picture_edit.h"
#include "gui/widgets/qt_text.h"

namespace mervane::gui {
namespace {

// A drop list's field is as wide as its picture's text (at most 40 characters; 30 without a
// picture), not as its longest line: a list of paths would otherwise widen the window past the
// screen. The open list shows its lines in full.
void limit_width(QComboBox* combo, const std::string& picture) {
  const auto p = read_picture(picture);
  const int chars = p && p->kind == PictureKind::Text ? static_cast<int>(p->width) : 30;
  combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  combo->setMinimumContentsLength(std::clamp(chars, 6, 40));
}

class Combo final : public ControlAdapter {
 public:
  QWidget* make(std::size_t index, QWidget* parent, ControlSite& site) const override {
    const ControlSpec& c = site.control_defs()[index];
    auto* combo = new QComboBox(parent);
    limit_width(combo, c.picture);
    if (c.kind == ControlKind::Combo) {
      combo->setEditable(true);
      combo->setInsertPolicy(QComboBox::NoInsert);
      combo->lineEdit()->setValidator(new PictureValidator(c.picture, combo));
      site.own(combo->lineEdit(), c.id);
    }
    return combo;
  }
  void wire(const ControlSpec& c, QWidget* w, ControlSite& site) const override {
    const int id = c.id;
    auto* combo = qobject_cast<QComboBox*>(w);
    QObject::connect(combo, &QComboBox::activated, w, [&site, id, combo](int i) {
      ViewEvent e = ViewEvent::of(ViewEvent::Kind::Type, id);
      e.text = cptext(combo->itemText(i));
      site.send(e);
    });
  }
  void apply(const ControlSpec& c, QWidget* w, const ControlState& s, const ControlState* before,
             ControlSite& site) const override {
    auto* combo = qobject_cast<QComboBox*>(w);
    if (!combo) return;
    const QSignalBlocker quiet(combo);
    if (!before || before->choices != s.choices ||
        combo->count() != static_cast<int>(s.choices.size())) {
      combo->clear();
      for (const std::string& choice : s.choices) combo->addItem(qtext(choice));
      combo->view()->setMinimumWidth(combo->view()->sizeHintForColumn(0) + 8);
    }
    const QString value = qtext(s.value);
    if (c.kind == ControlKind::DropList) {
      combo->setCurrentIndex(combo->findText(value.trimmed()));
    } else if (model_changed(site, c.id, value)) {
      combo->setEditText(value.trimmed());
    }
  }
};

}  // namespace

const ControlAdapter& combo_adapter() {
  static const Combo a;
  return a;
}

}  // namespace mervane::gui
