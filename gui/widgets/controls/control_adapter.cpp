#include "gui/widgets/controls/control_adapter.h"

namespace mervane::gui {

void send_other(ControlSite& site, int control, OtherEvent::Kind kind, int value) {
  ViewEvent e = ViewEvent::of(ViewEvent::Kind::Other, control);
  e.other.kind = kind;
  e.other.control = control;
  e.other.value = value;
  site.send(e);
}

bool model_changed(ControlSite& site, int control, const QString& text) {
  QHash<int, QString>& shown = site.shown_texts();
  if (shown.contains(control) && shown.value(control) == text) return false;
  shown.insert(control, text);
  return true;
}

const ControlAdapter& adapter_of(ControlKind kind) {
  switch (kind) {
    case ControlKind::Prompt:
    case ControlKind::Display:
      return label_adapter();
    case ControlKind::Entry:
      return entry_adapter();
    case ControlKind::Check:
      return check_adapter();
    case ControlKind::Option:
      return option_adapter();
    case ControlKind::Group:
    case ControlKind::OptionGroup:
      return group_adapter();
    case ControlKind::Button:
      return button_adapter();
    case ControlKind::List:
      return list_adapter();
    case ControlKind::DropList:
    case ControlKind::Combo:
      return combo_adapter();
    case ControlKind::Symbol:
      return symbol_adapter();
    case ControlKind::Image:
      return image_adapter();
    case ControlKind::Tabs:
      return tabs_adapter();
    case ControlKind::Tab:
      return tab_adapter();
    case ControlKind::Box:
      return box_adapter();
  }
  return label_adapter();
}

}  // namespace mervane::gui
