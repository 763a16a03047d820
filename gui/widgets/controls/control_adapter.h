// How a window's view shows one kind of control: its adapter makes the control's widget, wires
// the widget's signals to the window's events and shows the control's state. There is one
// adapter per kind of control (ControlKind), each in a file of its own here; a new kind of
// control is one more adapter and its line in adapter_of().
//
// Threading: GUI thread only, as the view.
#pragma once

#include <QFont>
#include <QHash>
#include <QString>
#include <cstddef>
#include <vector>

#include "core/app/window_model.h"
#include "gui/widgets/view_event.h"

class QWidget;

namespace mervane::gui {

// What an adapter may use of the view that holds its control.
class ControlSite {
 public:
  // Sends an event to the model; false when the window takes no input now (nothing was sent).
  virtual bool send(ViewEvent e) = 0;
  // Hands what was typed into the field that has the focus to the model, as leaving it would.
  virtual void commit_focused() = 0;
  // w is (a part of) control's widget: its keys and focus reach the view as the control's.
  virtual void own(QWidget* w, int control) = 0;
  // The control's main widget: the one its state is shown in.
  virtual void set_widget(int control, QWidget* w) = 0;
  virtual QWidget* widget_of(int control) const = 0;
  virtual const std::vector<ControlSpec>& control_defs() const = 0;
  // The text the model last gave each entry, as shown: an entry keeps what the user is typing
  // until the model gives another.
  virtual QHash<int, QString>& shown_texts() = 0;
  // Pixels per dialog unit across, and the window's font.
  virtual double unit_width() const = 0;
  virtual QFont view_font() const = 0;

 protected:
  ~ControlSite() = default;
};

// Whether the model gives a typed-into control a text other than the one it gave last; the
// field then takes it (replacing what the user may be typing), and it is recorded as shown.
bool model_changed(ControlSite& site, int control, const QString& text);

// Sends an OtherEvent of control.
void send_other(ControlSite& site, int control, OtherEvent::Kind kind, int value);

class ControlAdapter {
 public:
  virtual ~ControlAdapter() = default;
  // Makes the widget of the control at `index` of the window's controls, under parent; answers
  // what is to be placed, nullptr when the control has no place of its own (it is part of
  // another control's widget). An adapter that makes more than one widget registers them; the
  // view registers the one it answers otherwise.
  virtual QWidget* make(std::size_t index, QWidget* parent, ControlSite& site) const = 0;
  // Connects the widget's signals to the window's events.
  virtual void wire(const ControlSpec& /*c*/, QWidget* /*w*/, ControlSite& /*site*/) const {}
  // Shows the control's state s; before is the state shown last (none the first time).
  virtual void apply(const ControlSpec& /*c*/, QWidget* /*w*/, const ControlState& /*s*/,
                     const ControlState* /*before*/, ControlSite& /*site*/) const {}
};

const ControlAdapter& adapter_of(ControlKind kind);

// The adapters, one per kind of control (two kinds that share a widget share an adapter file).
const ControlAdapter& label_adapter();   // Prompt, Display
const ControlAdapter& entry_adapter();   // Entry
const ControlAdapter& check_adapter();   // Check
const ControlAdapter& option_adapter();  // Option
const ControlAdapter& group_adapter();   // Group, OptionGroup
const ControlAdapter& button_adapter();  // Button
const ControlAdapter& list_adapter();    // List
const ControlAdapter& combo_adapter();   // DropList, Combo
const ControlAdapter& symbol_adapter();  // Symbol
const ControlAdapter& image_adapter();   // Image
const ControlAdapter& tabs_adapter();    // Tabs
const ControlAdapter& tab_adapter();     // Tab
const ControlAdapter& box_adapter();     // Box

}  // namespace mervane::gui
