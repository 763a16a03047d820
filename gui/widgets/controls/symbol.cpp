// Symbols: one character of the Wingdings font, by its code (the code itself where no font has
// a character for it).
#include <QLabel>

#include "gui/widgets/controls/control_adapter.h"
#include "gui/widgets/qt_text.h"
#include "gui/widgets/symbol_font.h"

namespace mervane::gui {
namespace {

class Symbol final : public ControlAdapter {
 public:
  QWidget* make(std::size_t, QWidget* parent, ControlSite& site) const override {
    auto* l = new QLabel(parent);
    QFont f = wingdings_font().font;
    f.setPointSizeF(site.view_font().pointSizeF() * 1.6);
    l->setFont(f);
    l->setAlignment(Qt::AlignCenter);
    return l;
  }
  void apply(const ControlSpec&, QWidget* w, const ControlState& s, const ControlState*,
             ControlSite&) const override {
    auto* l = qobject_cast<QLabel*>(w);
    if (!l) return;
    bool ok = false;
    const int code = qtext(s.value).trimmed().toInt(&ok);
    l->setText(ok ? symbol_or_code(wingdings_font(), "Wingdings", code) : QString());
  }
};

}  // namespace

const ControlAdapter& symbol_adapter() {
  static const Symbol a;
  return a;
}

}  // namespace mervane::gui
