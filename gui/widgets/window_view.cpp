#include "gui/widgets/window_view.h"

#include <algorithm>
#include <cmath>

#include <QAbstractButton>
#include <QAccessible>
#include <QAccessibleWidget>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QToolButton>

#include "gui/widgets/browse_list.h"
#include "gui/widgets/qt_text.h"
#include "gui/widgets/row_layout.h"

namespace mervane::gui {
namespace {

// A view is a plain widget, which Qt's accessibility bridge reports as a client area; a view
// that is a window of its own (one opened from inside a window) is a dialog to screen readers and
// automation, named by its title (the view's accessible name). A view in the MDI area stays as
// it is.
class ViewAccessible : public QAccessibleWidget {
 public:
  explicit ViewAccessible(QWidget* w) : QAccessibleWidget(w) {}
  QAccessible::Role role() const override {
    return widget()->isWindow() ? QAccessible::Dialog : QAccessibleWidget::role();
  }
};

QAccessibleInterface* view_accessible(const QString& class_name, QObject* o) {
  if (class_name != QLatin1String(WindowView::staticMetaObject.className())) return nullptr;
  auto* view = qobject_cast<WindowView*>(o);
  return view ? new ViewAccessible(view) : nullptr;
}

// The line edit a control is typed into: an entry's own, a combo's editor.
QLineEdit* editor_of(QWidget* w) {
  if (auto* edit = qobject_cast<QLineEdit*>(w)) return edit;
  if (auto* combo = qobject_cast<QComboBox*>(w)) return combo->lineEdit();
  return nullptr;
}

// A widget the user types into: a line edit, or an editable combo box, which keeps the focus
// (and gets the keys) for the line edit inside it.
bool typed_into(QObject* o) {
  if (qobject_cast<QLineEdit*>(o)) return true;
  const auto* combo = qobject_cast<QComboBox*>(o);
  return combo && combo->isEditable();
}

// The keys that go to the model as keys. Enter, Esc and Tab have rules of their own (see
// key_to_model()); a printable character typed into a list locates by it.
struct KeyRule {
  int qt_key;
  Key key;
  bool with_control;  // only with Ctrl held
  bool in_list;       // only while a list has the focus
};
constexpr KeyRule kKeys[] = {
    {Qt::Key_F2, Key::F2, false, false},        {Qt::Key_F3, Key::F3, false, false},
    {Qt::Key_F6, Key::F6, false, false},        {Qt::Key_F7, Key::F7, false, false},
    {Qt::Key_F10, Key::F10, false, false},      {Qt::Key_Apostrophe, Key::Ditto, true, false},
    {Qt::Key_Up, Key::Up, false, true},         {Qt::Key_Down, Key::Down, false, true},
    {Qt::Key_PageUp, Key::PageUp, false, true}, {Qt::Key_PageDown, Key::PageDown, false, true},
    {Qt::Key_Home, Key::Home, false, true},     {Qt::Key_End, Key::End, false, true},
    {Qt::Key_Insert, Key::Insert, false, true}, {Qt::Key_Delete, Key::Delete, false, true},
};

}  // namespace

WindowView::WindowView(std::vector<ControlSpec> control_defs, EventSink sink, QWidget* parent)
    : QWidget(parent), control_defs_(std::move(control_defs)), sink_(std::move(sink)) {
  install_accessible();
  du_ = dialog_units();
  // Building the widgets sends nothing (a tab sheet tells of its first tab, for one).
  applying_ = true;
  const bool fixed = std::any_of(control_defs_.begin(), control_defs_.end(),
                                 [](const ControlSpec& c) { return c.at.w > 0 && c.at.h > 0; });
  if (fixed) {
    build_fixed();
  } else {
    lay_out_rows(
        this, control_defs_, [this](std::size_t i, QWidget* parent) { return make(i, parent); },
        [this](int id) { return widgets_.value(id); });
  }
  finish();
}

WindowView::WindowView(std::vector<ControlSpec> control_defs, EventSink sink, QWidget* parent,
                       OwnLayout)
    : QWidget(parent), control_defs_(std::move(control_defs)), sink_(std::move(sink)) {
  install_accessible();
  du_ = dialog_units();
  applying_ = true;  // until finish()
}

void WindowView::install_accessible() {
  static const bool installed = [] {
    QAccessible::installFactory(view_accessible);
    return true;
  }();
  (void)installed;
}

WindowView::~WindowView() {
  // The controls' widgets go while the view they report to is whole: a widget may still signal
  // as it goes (a tab sheet losing its tabs), and its adapter talks to the view.
  sink_ = nullptr;
  const QList<QWidget*> children = findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
  qDeleteAll(children);
}

void WindowView::finish() {
  for (std::size_t i = 0; i < control_defs_.size(); ++i) {
    QWidget* w = widgets_.value(control_defs_[i].id);
    if (!w) continue;
    w->setAccessibleName(qtext(accessible_name(control_defs_, i)));
    w->setAccessibleDescription(qtext(accessible_description(control_defs_[i])));
    if (!control_defs_[i].use.empty())
      w->setObjectName(qtext(accessible_description(control_defs_[i])));
    // A list's table takes the focus: a screen reader names it as the list.
    if (auto* list = qobject_cast<BrowseList*>(w)) {
      list->table()->setAccessibleName(w->accessibleName());
      list->table()->setAccessibleDescription(w->accessibleDescription());
    }
  }
  // Option groups make their options exclusive.
  QHash<int, QButtonGroup*> groups;
  for (const ControlSpec& c : control_defs_) {
    if (c.kind != ControlKind::Option) continue;
    auto* option = qobject_cast<QAbstractButton*>(widgets_.value(c.id));
    if (!option) continue;
    if (!groups.contains(c.parent)) groups.insert(c.parent, new QButtonGroup(this));
    groups.value(c.parent)->addButton(option);
  }
  applying_ = false;
}

const ControlSpec* WindowView::def_of(int id) const {
  for (const ControlSpec& c : control_defs_)
    if (c.id == id) return &c;
  return nullptr;
}

QWidget* WindowView::make_control(int id, QWidget* parent) {
  for (std::size_t i = 0; i < control_defs_.size(); ++i)
    if (control_defs_[i].id == id) return make(i, parent);
  return nullptr;
}

QSize WindowView::dialog_units() const {
  // Windows' dialog base units: the average width of the letters and the height of the font.
  const QFontMetrics fm(font());
  const int avg = (fm.horizontalAdvance(
                       QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) /
                       26 +
                   1) /
                  2;
  return {avg, fm.height()};
}

QRect WindowView::pixels(const Rect& r) const {
  // A dialog unit is a quarter of the average character width and an eighth of its height.
  auto x = [&](int v) { return (v * du_.width() + 2) / 4; };
  auto y = [&](int v) { return (v * du_.height() + 4) / 8; };
  return {x(r.x), y(r.y), x(r.w), y(r.h)};
}

int WindowView::units_x(int px) const {
  return static_cast<int>(std::lround(px * 4.0 / du_.width()));
}

int WindowView::units_y(int px) const {
  return static_cast<int>(std::lround(px * 8.0 / du_.height()));
}

QWidget* WindowView::make(std::size_t index, QWidget* parent) {
  const ControlSpec& c = control_defs_[index];
  const ControlAdapter& adapter = adapter_of(c.kind);
  QWidget* w = adapter.make(index, parent, *this);
  // An adapter that made more than one widget has registered them itself.
  if (w && !widgets_.contains(c.id)) {
    own(w, c.id);
    set_widget(c.id, w);
    adapter.wire(c, w, *this);
  }
  return w;
}

void WindowView::own(QWidget* w, int control) {
  owners_.insert(w, control);
  w->installEventFilter(this);
}

void WindowView::build_fixed() {
  int right = 0, bottom = 0;
  std::vector<QWidget*> behind;
  for (std::size_t i = 0; i < control_defs_.size(); ++i) {
    const ControlSpec& c = control_defs_[i];
    QWidget* w = make(i, this);
    if (!w) continue;
    const Rect r = c.at;
    w->setGeometry(pixels(r));
    placed_.insert(c.id, r);
    right = std::max(right, r.x + r.w);
    bottom = std::max(bottom, r.y + r.h);
    if (c.kind == ControlKind::Group || c.kind == ControlKind::OptionGroup ||
        c.kind == ControlKind::Box)
      behind.push_back(w);
  }
  // Group boxes and frames go behind the controls they surround, in reverse window order so
  // that the first of them ends up in front of the later ones.
  for (QWidget* w : behind) w->lower();
  // A prompt names the field after it (its mnemonic moves there) and stands at the top of its
  // place, as the field's text does, wherever resizing takes both.
  for (std::size_t i = 0; i < control_defs_.size(); ++i) {
    auto* label = qobject_cast<QLabel*>(widgets_.value(control_defs_[i].id));
    if (!label || control_defs_[i].kind != ControlKind::Prompt) continue;
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    if (i + 1 < control_defs_.size() && is_field(control_defs_[i + 1].kind) &&
        control_defs_[i + 1].parent == control_defs_[i].parent)
      label->setBuddy(widgets_.value(control_defs_[i + 1].id));
  }
  setFixedSize(pixels({0, 0, right + 6, bottom + 6}).size());
}

bool WindowView::send(ViewEvent e) {
  if (applying_ || !sink_ || !isEnabled()) return false;
  sink_(std::move(e));
  return true;
}

void WindowView::commit_entry(int control, bool then_enter) {
  QLineEdit* edit = editor_of(widgets_.value(control));
  if (!edit) return;
  if (edit->text().trimmed() != shown_.value(control).trimmed()) {
    ViewEvent e = ViewEvent::of(ViewEvent::Kind::Type, control);
    e.text = cptext(edit->text());
    // A window that takes no input now keeps the text until the field is left again.
    if (!send(e)) return;
    // The next snapshot shows the field as the model took it: through its picture, or as it
    // was when the model refused the text.
    shown_.remove(control);
    // A text the picture cannot take yet is refused by the model with its warning; Enter does
    // not run on it.
    if (!edit->hasAcceptableInput()) return;
  }
  if (then_enter) {
    ViewEvent k = ViewEvent::of(ViewEvent::Kind::Key, control);
    k.key.key = Key::Enter;
    send(k);
  }
}

void WindowView::commit_focused() {
  if (auto* edit = qobject_cast<QLineEdit*>(focusWidget())) commit_entry(control_of(edit), false);
}

int WindowView::control_of(QObject* o) const {
  for (; o && o != this; o = o->parent()) {
    const auto it = owners_.find(o);
    if (it != owners_.end()) return *it;
  }
  return 0;
}

bool WindowView::key_to_model(QObject* watched, int qt_key, Qt::KeyboardModifiers mods,
                              const QString& text) {
  const int control = control_of(watched);
  const ControlSpec* def = def_of(control);
  const bool in_list = def && def->kind == ControlKind::List;
  const bool ctrl = (mods & Qt::ControlModifier) != 0;
  KeyPress k;
  switch (qt_key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      // Enter presses the push button that has the focus; on a check box or an option it is the
      // window's Enter, as on a field.
      if (auto* b = qobject_cast<QAbstractButton*>(watched);
          b && (qobject_cast<QPushButton*>(b) || qobject_cast<QToolButton*>(b))) {
        b->click();
        return true;
      }
      if (typed_into(watched) && !ctrl) {
        commit_entry(control, true);
        return true;
      }
      k.key = ctrl ? Key::CtrlEnter : Key::Enter;
      break;
    case Qt::Key_Escape:
      k.key = Key::Esc;
      break;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
      // A field whose text its picture cannot take yet keeps the cursor: the model refuses the
      // text with its message.
      if (auto* edit = qobject_cast<QLineEdit*>(watched); edit && !edit->hasAcceptableInput()) {
        commit_entry(control, false);
        return true;
      }
      return false;
    default: {
      const auto rule = std::find_if(std::begin(kKeys), std::end(kKeys), [&](const KeyRule& r) {
        return r.qt_key == qt_key && (!r.with_control || ctrl) && (!r.in_list || in_list);
      });
      if (rule != std::end(kKeys)) {
        k.key = rule->key;
      } else if (in_list && text.size() == 1 && text[0].isPrint()) {
        k.key = Key::Char;
        k.ch = cptext(text).front();
      } else {
        return false;
      }
    }
  }
  // Leaving a field by a key first hands the model what was typed there; Esc leaves the window
  // and takes nothing.
  if (typed_into(watched) && k.key != Key::Esc) commit_entry(control, false);
  ViewEvent e = ViewEvent::of(ViewEvent::Kind::Key, control);
  e.key = k;
  e.key.control = control;
  send(e);
  return true;
}

bool WindowView::eventFilter(QObject* watched, QEvent* event) {
  if (watched == container_ && container_ != this && event->type() == QEvent::Move) report_frame();
  if (watched == container_ && container_ != this && event->type() == QEvent::Close) {
    if (closing_allowed_) return false;
    event->ignore();
    if (isEnabled()) send(ViewEvent::of(ViewEvent::Kind::Close));
    return true;
  }
  switch (event->type()) {
    case QEvent::KeyPress: {
      auto* k = static_cast<QKeyEvent*>(event);
      return key_to_model(watched, k->key(), k->modifiers(), k->text());
    }
    case QEvent::FocusIn: {
      const auto reason = static_cast<QFocusEvent*>(event)->reason();
      if (!applying_ && (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason ||
                         reason == Qt::MouseFocusReason || reason == Qt::ShortcutFocusReason)) {
        const int control = control_of(watched);
        if (control != 0) send(ViewEvent::of(ViewEvent::Kind::Selecting, control));
      }
      return false;
    }
    case QEvent::FocusOut:
      if (typed_into(watched) && !applying_) commit_entry(control_of(watched), false);
      return false;
    default:
      return false;
  }
}

void WindowView::keyPressEvent(QKeyEvent* e) {
  if (!key_to_model(this, e->key(), e->modifiers(), e->text())) QWidget::keyPressEvent(e);
}

void WindowView::closeEvent(QCloseEvent* e) {
  if (closing_allowed_ || container_ != this) {
    QWidget::closeEvent(e);
    return;
  }
  e->ignore();
  if (isEnabled()) send(ViewEvent::of(ViewEvent::Kind::Close));
}

void WindowView::watch_close_of(QWidget* container) {
  container_ = container;
  if (container != this) container->installEventFilter(this);
}

void WindowView::block(bool on) {
  blocks_ += on ? 1 : -1;
  if (blocks_ < 0) blocks_ = 0;
  update_enabled();
}

void WindowView::set_busy(bool on) {
  busy_ = on;
  update_enabled();
}

void WindowView::update_enabled() {
  setEnabled(blocks_ == 0 && !busy_);
  // What the window missed telling while it took no input.
  report_frame();
}

void WindowView::resizeEvent(QResizeEvent* e) {
  QWidget::resizeEvent(e);
  report_frame();
}

void WindowView::moveEvent(QMoveEvent* e) {
  QWidget::moveEvent(e);
  report_frame();
}

void WindowView::showEvent(QShowEvent* e) {
  QWidget::showEvent(e);
  report_frame();
}

QSize WindowView::sizeHint() const {
  return resizable_ ? minimumSize() : QWidget::sizeHint();
}

QPoint WindowView::window_place() const {
  const QWidget* c = container_ ? container_ : this;
  if (c->isWindow() && c->parentWidget())
    return c->pos() - c->parentWidget()->mapToGlobal(QPoint());
  return c->pos();
}

bool WindowView::move_to_kept_place() {
  if (!have_state_ || !last_.frame.placed) return false;
  QWidget* c = container_ ? container_ : this;
  QPoint at = pixels({last_.frame.at.x, last_.frame.at.y, 0, 0}).topLeft();
  if (c->isWindow() && c->parentWidget()) at += c->parentWidget()->mapToGlobal(QPoint());
  c->move(at);
  return true;
}

void WindowView::take_frame(const Frame& f) {
  if (placed_.isEmpty() || f.at.w <= 0 || f.at.h <= 0) return;
  resizable_ = true;
  const QSize size = pixels(f.at).size();
  setMinimumSize(size);
  setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  resize(size);
  told_size_ = QSize(f.at.w, f.at.h);
}

void WindowView::report_frame() {
  if (!resizable_ || applying_ || !sink_ || !isEnabled() || !isVisible()) return;
  const QSize size(units_x(width()), units_y(height()));
  if (size != told_size_) {
    ViewEvent e = ViewEvent::of(ViewEvent::Kind::Other);
    e.other.kind = OtherEvent::Kind::Resized;
    e.other.width = size.width();
    e.other.height = size.height();
    if (send(e)) told_size_ = size;
  }
  const QPoint px = window_place();
  const QPoint place(units_x(px.x()), units_y(px.y()));
  if (place != told_place_) {
    ViewEvent e = ViewEvent::of(ViewEvent::Kind::Other);
    e.other.kind = OtherEvent::Kind::Moved;
    e.other.x = place.x();
    e.other.y = place.y();
    if (send(e)) told_place_ = place;
  }
}

void WindowView::apply(const WindowState& state) {
  applying_ = true;
  const QString title = qtext(state.title);
  setWindowTitle(title);
  setAccessibleName(title.trimmed());
  if (!have_state_) take_frame(state.frame);
  if (container_ && container_ != this) {
    container_->setWindowTitle(title);
    container_->setAccessibleName(title.trimmed());
  }
  for (std::size_t i = 0; i < control_defs_.size() && i < state.controls.size(); ++i) {
    const ControlState* before =
        have_state_ && i < last_.controls.size() ? &last_.controls[i] : nullptr;
    apply_control(control_defs_[i], state.controls[i], before);
  }
  // The cursor goes where the model puts it. A snapshot that still names the control the user has
  // just left (the model has not yet heard where the cursor went) does not pull it back out of
  // the entry the user is typing into.
  if (state.focus != 0) {
    const bool typing = qobject_cast<QLineEdit*>(focusWidget()) != nullptr;
    if (QWidget* w = widgets_.value(state.focus);
        w && w->isEnabled() && (!have_state_ || state.focus != last_.focus || !typing))
      w->setFocus(Qt::OtherFocusReason);
  }
  last_ = state;
  have_state_ = true;
  applying_ = false;
}

void WindowView::apply_control(const ControlSpec& c, const ControlState& s,
                               const ControlState* before) {
  QWidget* w = widgets_.value(c.id);
  if (!w) return;
  // A control of a fixed layout goes where the window's resize rules put it.
  if (const auto at = placed_.find(c.id); at != placed_.end() && c.kind != ControlKind::Tab &&
                                          s.at.w > 0 && s.at.h > 0 && !(*at == s.at)) {
    w->setGeometry(pixels(s.at));
    *at = s.at;
  }
  adapter_of(c.kind).apply(c, w, s, before, *this);
  // The field of a date field carries the state; its picker button has its own. A tab page is
  // shown by its sheet.
  w->setEnabled(s.enabled);
  if (c.kind != ControlKind::Tab) w->setVisible(!s.hidden);
}

}  // namespace mervane::gui
