// One view class for every window: it builds its widgets from the model's ControlSpecs (at their
// fixed places in dialog units when the window gives them, else in rows, row_layout.h), sends
// what the user does as events, and redraws from the WindowState snapshots it is given. Each
// kind of control is made, wired and shown by its adapter (controls/control_adapter.h).
// No rule of the system lives here: a press, a typed text or a key goes to the model, and what
// the window shows afterwards comes from the next snapshot.
//
// A fixed-layout window whose model gives its size (Frame) can be resized by the user: the view
// tells the model its new size and place in dialog units (OtherEvent Resized, Moved) and places
// every control where the next snapshot says (ControlState::at); it never grows smaller than its
// initial size. A list shows the model's page through a BrowseList.
//
// Accessibility: the window's accessible name is its title, and a view that is a window of its
// own (opened from inside a window) has the dialog role; each control's accessible name is
// its label or nearest prompt, its accessible description its use name without "?", and its
// object name the use name without "?" as well, so automation finds it by that name.
//
// A window that lays itself out (the Build window) derives from this class: it makes each
// control's widget through make_control() in window order, places them in layouts of its own and
// calls finish(); everything else (events, keys, snapshots) stays as here.
//
// Threading: GUI thread only. The sink is called on the GUI thread and must not block.
#pragma once

#include <QHash>
#include <QWidget>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/app/window_model.h"
#include "gui/widgets/controls/control_adapter.h"
#include "gui/widgets/view_event.h"

namespace mervane::gui {

class WindowView : public QWidget, private ControlSite {
  Q_OBJECT

 public:
  WindowView(std::vector<ControlSpec> control_defs, EventSink sink, QWidget* parent = nullptr);
  ~WindowView() override;

  // Shows a snapshot: title, values, enabled and hidden states, choices, lists, focus.
  void apply(const WindowState& state);
  // While blocked (a window it opened is up, or its model works on a long event) the window
  // takes no input; blocks from several sources add up.
  void block(bool on);
  void set_busy(bool on);
  // The window system's close (the close box, Alt+F4) goes to the model as a close request;
  // once the model has closed the window, close() closes it.
  void allow_close() { closing_allowed_ = true; }
  // Stops sending events (the model is gone).
  void detach() { sink_ = nullptr; }
  // The widget that watches for the window system's close: the view itself, or the MDI
  // sub-window that holds it.
  void watch_close_of(QWidget* container);
  // Moves the window (its container) to the place its model keeps for it, when it keeps one;
  // answers whether it did. Call once the container holds the view.
  bool move_to_kept_place();

  QWidget* widget_of(int control) const override { return widgets_.value(control); }
  const std::vector<ControlSpec>& control_defs() const override { return control_defs_; }
  const WindowState& last_state() const { return last_; }

 protected:
  struct OwnLayout {};
  // Builds no widget: the subclass does, then calls finish().
  WindowView(std::vector<ControlSpec> control_defs, EventSink sink, QWidget* parent, OwnLayout);
  // Makes the widget of a control (with parent) and wires it to the model. Returns what is to be
  // placed: for a date entry followed by its picker button, both in one field; nullptr for that
  // button then, and for a control the window does not have.
  QWidget* make_control(int id, QWidget* parent);
  // Accessible names, descriptions and object names; option groups made exclusive.
  void finish();
  const ControlSpec* def_of(int id) const;

  bool eventFilter(QObject* watched, QEvent* event) override;
  void closeEvent(QCloseEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void moveEvent(QMoveEvent* e) override;
  void showEvent(QShowEvent* e) override;
  QSize sizeHint() const override;

 private:
  // ControlSite: what the controls' adapters use.
  bool send(ViewEvent e) override;
  void commit_focused() override;
  void own(QWidget* w, int control) override;
  void set_widget(int control, QWidget* w) override { widgets_.insert(control, w); }
  QHash<int, QString>& shown_texts() override { return shown_; }
  double unit_width() const override { return du_.width() / 4.0; }
  QFont view_font() const override { return font(); }

  // Makes the views that are windows of their own dialogs to screen readers; once.
  static void install_accessible();
  void build_fixed();
  QWidget* make(std::size_t index, QWidget* parent);
  void commit_entry(int control, bool then_enter);
  bool key_to_model(QObject* watched, int qt_key, Qt::KeyboardModifiers mods, const QString& text);
  void apply_control(const ControlSpec& c, const ControlState& s, const ControlState* before);
  void update_enabled();
  int control_of(QObject* o) const;
  QSize dialog_units() const;
  // Dialog units to pixels and back (rounded, so that a size converted back is the same).
  QRect pixels(const Rect& r) const;
  int units_x(int px) const;
  int units_y(int px) const;
  // The container's place: in the MDI area, or relative to the parent window's client area.
  QPoint window_place() const;
  // The first snapshot of a window whose model gives its size: the window takes that size.
  void take_frame(const Frame& f);
  // Tells the model the window's size and place when they changed since it was last told.
  void report_frame();

  std::vector<ControlSpec> control_defs_;
  EventSink sink_;
  QHash<int, QWidget*> widgets_;  // by control id: the control's main widget
  QHash<QObject*, int> owners_;   // every widget that belongs to a control (editors, buttons)
  QHash<int, QString> shown_;     // the model's last value of each entry, as shown
  QHash<int, Rect> placed_;       // where each control of a fixed layout stands now
  QSize du_;                      // the dialog base units of the window's font
  bool resizable_ = false;
  std::optional<QSize> told_size_;  // in dialog units
  std::optional<QPoint> told_place_;
  WindowState last_;
  bool have_state_ = false;
  int blocks_ = 0;
  bool busy_ = false;
  bool applying_ = false;
  bool closing_allowed_ = false;
  QWidget* container_ = nullptr;
};

}  // namespace mervane::gui
