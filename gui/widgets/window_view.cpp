#include "gui/widgets/window_view.h"

#include <algorithm>
#include <cmath>

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QAbstractItemView>
#include <QComboBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

#include "core/util/text.h"
#include "gui/widgets/browse_list.h"
#include "gui/widgets/group_box.h"
#include "gui/widgets/picture_edit.h"
#include "gui/widgets/pictures.h"
#include "gui/widgets/qt_text.h"
#include "gui/widgets/symbol_font.h"

namespace mervane::gui {
namespace {

// A frame drawn behind the controls at its place (the date picker's marks).
class FrameBox : public QWidget {
 public:
  FrameBox(const QColor& colour, QWidget* parent) : QWidget(parent), colour_(colour) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.setPen(QPen(colour_, 2));
    p.drawRect(rect().adjusted(1, 1, -1, -1));
  }

 private:
  QColor colour_;
};

// A picture at a place of its own: drawn as large as the place allows, its proportions kept,
// with as many pixels as the screen has (drawn again for a screen of another pixel ratio).
class PictureBox : public QWidget {
 public:
  PictureBox(QString name, QWidget* parent) : QWidget(parent), name_(std::move(name)) {}

 protected:
  void paintEvent(QPaintEvent*) override {
    if (image_.isNull()) image_ = named_picture(name_, devicePixelRatioF());
    if (image_.isNull()) return;
    const QSizeF own = image_.deviceIndependentSize();
    const QSize s = own.toSize().scaled(size(), Qt::KeepAspectRatio);
    // The pixels the place shows it with: drawn again with as many when it has fewer.
    const qreal needed = devicePixelRatioF() * std::max(1.0, s.width() / own.width());
    if (image_.devicePixelRatio() < needed - 0.01) image_ = named_picture(name_, needed);
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(QRect(QPoint((width() - s.width()) / 2, (height() - s.height()) / 2), s), image_);
  }

 private:
  QString name_;
  QImage image_;
};

bool is_field(ControlKind k) {
  return k == ControlKind::Entry || k == ControlKind::Display || k == ControlKind::DropList ||
         k == ControlKind::Combo || k == ControlKind::Symbol || k == ControlKind::List;
}

bool is_picker_button(const ControlSpec& c) {
  return c.kind == ControlKind::Button && (c.icon == kCalendarIcon || c.text.empty());
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

bool is_date_picture(const std::string& picture) {
  const auto p = read_picture(picture);
  return p && p->kind == PictureKind::Date;
}

QString symbol_or_code(const SymbolFont& f, std::string_view font, int code) {
  const QString g = symbol_glyph(f, font, code);
  return g.isEmpty() && code > 0 ? QString::number(code) : g;
}

// A drop list's field is as wide as its picture's text (at most 40 characters; 30 without a
// picture), not as its longest line: a list of paths would otherwise widen the window past the
// screen. The open list shows its lines in full.
void limit_width(QComboBox* combo, const std::string& picture) {
  const auto p = read_picture(picture);
  const int chars = p && p->kind == PictureKind::Text ? static_cast<int>(p->width) : 30;
  combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  combo->setMinimumContentsLength(std::clamp(chars, 6, 40));
}

const SymbolFont& font_named(std::string_view name) {
  return name == "Webdings" ? webdings_font() : wingdings_font();
}

}  // namespace

WindowView::WindowView(std::vector<ControlSpec> control_defs, EventSink sink, QWidget* parent)
    : QWidget(parent), control_defs_(std::move(control_defs)), sink_(std::move(sink)) {
  du_ = dialog_units();
  // Building the widgets sends nothing (a tab sheet tells of its first tab, for one).
  applying_ = true;
  const bool fixed = std::any_of(control_defs_.begin(), control_defs_.end(),
                                 [](const ControlSpec& c) { return c.at.w > 0 && c.at.h > 0; });
  if (fixed) {
    build_fixed();
  } else {
    build_rows();
  }
  finish();
}

WindowView::WindowView(std::vector<ControlSpec> control_defs, EventSink sink, QWidget* parent, OwnLayout)
    : QWidget(parent), control_defs_(std::move(control_defs)), sink_(std::move(sink)) {
  du_ = dialog_units();
  applying_ = true;  // until finish()
}

void WindowView::finish() {
  for (std::size_t i = 0; i < control_defs_.size(); ++i) {
    QWidget* w = widgets_.value(control_defs_[i].id);
    if (!w) continue;
    w->setAccessibleName(qtext(accessible_name(control_defs_, i)));
    w->setAccessibleDescription(qtext(accessible_description(control_defs_[i])));
    if (!control_defs_[i].use.empty()) w->setObjectName(qtext(accessible_description(control_defs_[i])));
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
  const QString text = qtext(c.text);
  QWidget* w = nullptr;
  switch (c.kind) {
    case ControlKind::Prompt:
    case ControlKind::Display: {
      auto* l = new QLabel(c.kind == ControlKind::Prompt ? text : QString(), parent);
      // A text of several lines starts at the top of its place, as the line beside it does.
      if (text.contains(QLatin1Char('\n'))) l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
      if (c.kind == ControlKind::Display) {
        const auto p = read_picture(c.picture);
        l->setAlignment((p && p->kind == PictureKind::Number ? Qt::AlignRight : Qt::AlignHCenter) |
                        Qt::AlignVCenter);
      }
      w = l;
      break;
    }
    case ControlKind::Entry: {
      // A date entry and its picker button in one field, unless each has a place of its own.
      const bool with_picker = index + 1 < control_defs_.size() && is_picker_button(control_defs_[index + 1]) &&
                               is_date_picture(c.picture) && control_defs_[index + 1].at.w == 0;
      if (with_picker) {
        auto* field = new DateField(c.picture, parent);
        widgets_.insert(control_defs_[index + 1].id, field->button());
        owners_.insert(field->button(), control_defs_[index + 1].id);
        owners_.insert(field, c.id);
        widgets_.insert(c.id, field->edit());
        owners_.insert(field->edit(), c.id);
        wire(control_defs_[index + 1], field->button());
        wire(c, field->edit());
        return field;
      }
      w = new PictureEdit(c.picture, parent);
      break;
    }
    case ControlKind::Check:
      w = new QCheckBox(text, parent);
      break;
    case ControlKind::Option:
      w = new QRadioButton(text, parent);
      break;
    case ControlKind::Button: {
      if (widgets_.contains(c.id)) return nullptr;  // the picker button of a date field
      if (c.icon == kCalendarIcon) {
        w = calendar_button(parent);
        break;
      }
      auto* b = new QPushButton(parent);
      if (!c.font.empty()) {
        const SymbolFont& f = font_named(c.font);
        b->setFont(f.font);
        QString s;
        for (unsigned char ch : c.text) s += symbol_or_code(f, c.font, ch);
        b->setText(s);
      } else {
        b->setText(text);
      }
      b->setAutoDefault(false);
      w = b;
      break;
    }
    case ControlKind::Group:
    case ControlKind::OptionGroup:
      w = new GroupBox(text, parent);
      break;
    case ControlKind::List:
      w = new BrowseList(parent);
      break;
    case ControlKind::DropList: {
      auto* combo = new QComboBox(parent);
      limit_width(combo, c.picture);
      w = combo;
      break;
    }
    case ControlKind::Combo: {
      auto* combo = new QComboBox(parent);
      limit_width(combo, c.picture);
      combo->setEditable(true);
      combo->setInsertPolicy(QComboBox::NoInsert);
      combo->lineEdit()->setValidator(new PictureValidator(c.picture, combo));
      combo->lineEdit()->installEventFilter(this);
      owners_.insert(combo->lineEdit(), c.id);
      w = combo;
      break;
    }
    case ControlKind::Symbol: {
      auto* l = new QLabel(parent);
      QFont f = wingdings_font().font;
      f.setPointSizeF(font().pointSizeF() * 1.6);
      l->setFont(f);
      l->setAlignment(Qt::AlignCenter);
      w = l;
      break;
    }
    case ControlKind::Image: {
      if (c.at.w > 0) {
        w = new PictureBox(text, parent);
        break;
      }
      auto* l = new QLabel(parent);
      l->setPixmap(QPixmap::fromImage(named_picture(text, qApp->devicePixelRatio())));
      w = l;
      break;
    }
    case ControlKind::Tabs:
      w = new QTabWidget(parent);
      break;
    case ControlKind::Tab: {
      w = new QWidget(parent);
      if (auto* tabs = qobject_cast<QTabWidget*>(widgets_.value(c.parent))) tabs->addTab(w, text);
      break;
    }
    case ControlKind::Box:
      w = new FrameBox(QColor(QString::fromStdString(c.value)), parent);
      break;
  }
  widgets_.insert(c.id, w);
  owners_.insert(w, c.id);
  wire(c, w);
  return w;
}

void WindowView::wire(const ControlSpec& c, QWidget* w) {
  const int id = c.id;
  w->installEventFilter(this);
  // A button pressed with the mouse leaves the cursor where it was: what was typed there goes
  // to the model first, as if the field had been left.
  if (auto* b = qobject_cast<QPushButton*>(w)) {
    connect(b, &QPushButton::clicked, this, [this, id] {
      commit_focused();
      send(ViewEvent::of(ViewEvent::Kind::Accepted, id));
    });
  } else if (auto* t = qobject_cast<QToolButton*>(w)) {
    connect(t, &QToolButton::clicked, this, [this, id] {
      commit_focused();
      send(ViewEvent::of(ViewEvent::Kind::Accepted, id));
    });
  } else if (auto* cb = qobject_cast<QCheckBox*>(w)) {
    connect(cb, &QCheckBox::clicked, this, [this, id](bool on) {
      ViewEvent e = ViewEvent::of(ViewEvent::Kind::Type, id);
      e.text.assign(1, on ? '1' : '0');  // not = "1": GCC 12 warns in Release (-Wrestrict)
      send(e);
    });
  } else if (auto* r = qobject_cast<QRadioButton*>(w)) {
    const int group = c.parent;
    const std::string value = c.value;
    connect(r, &QRadioButton::clicked, this, [this, group, value] {
      ViewEvent e = ViewEvent::of(ViewEvent::Kind::Type, group);
      e.text = value;
      send(e);
    });
  } else if (auto* combo = qobject_cast<QComboBox*>(w)) {
    connect(combo, &QComboBox::activated, this, [this, id, combo](int i) {
      ViewEvent e = ViewEvent::of(ViewEvent::Kind::Type, id);
      e.text = cptext(combo->itemText(i));
      send(e);
    });
  } else if (auto* list = qobject_cast<BrowseList*>(w)) {
    // Keys typed in the list go to the model (locate, Ins, Del, the page keys).
    list->table()->installEventFilter(this);
    using K = OtherEvent::Kind;
    connect(list, &BrowseList::rowClicked, this,
            [this, id](int row) { send_other(id, K::RowSelected, row); });
    connect(list, &BrowseList::rowActivated, this,
            [this, id](int row) { send_other(id, K::RowActivated, row); });
    connect(list, &BrowseList::scrolled, this,
            [this, id](int rows) { send_other(id, K::Scroll, rows); });
    connect(list, &BrowseList::thumbDropped, this,
            [this, id](int stop) { send_other(id, K::Thumb, stop); });
    connect(list, &BrowseList::rowsFit, this,
            [this, id](int rows) { send_other(id, K::PageRows, rows); });
    connect(list, &BrowseList::jumped, this, [this, id](bool to_end) {
      ViewEvent e = ViewEvent::of(ViewEvent::Kind::Key, id);
      e.key.key = to_end ? Key::End : Key::Home;
      e.key.control = id;
      send(e);
    });
  } else if (auto* tabs = qobject_cast<QTabWidget*>(w)) {
    connect(tabs, &QTabWidget::currentChanged, this,
            [this, id](int index) { send_other(id, OtherEvent::Kind::Tab, index); });
  }
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

void WindowView::build_rows() {
  struct Rows {
    QGridLayout* grid = nullptr;
    int row = 0;
    QHBoxLayout* buttons = nullptr;  // the row the last buttons went into
    QHBoxLayout* fields = nullptr;   // the row the last fields without a prompt went into
    int fields_in_row = 0;
    bool prompt_pending = false;
    bool beside_last = false;  // the last row holds a prompt and its field: room beside them
  };
  // Fields without a prompt of their own: the first one goes beside the field before it (a
  // time beside its date), a run of them fills rows of up to six.
  constexpr int kFieldsPerRow = 6;
  QHash<int, Rows> containers;
  auto* outer = new QVBoxLayout(this);
  auto* top = new QGridLayout;
  outer->addLayout(top);
  outer->addStretch(1);
  containers.insert(0, Rows{top});
  QHash<int, QWidget*> holders;  // the widget that holds the controls of a container
  holders.insert(0, this);

  for (std::size_t i = 0; i < control_defs_.size(); ++i) {
    const ControlSpec& c = control_defs_[i];
    const int parent = containers.contains(c.parent) ? c.parent : 0;
    Rows& rows = containers[parent];
    QWidget* w = make(i, holders.value(parent));
    if (!w) continue;
    const bool button = c.kind == ControlKind::Button;
    const bool field = is_field(c.kind) && c.kind != ControlKind::List;
    if (!button) rows.buttons = nullptr;
    if (!field) rows.fields = nullptr;
    const bool beside = rows.beside_last;
    rows.beside_last = false;
    if (c.kind == ControlKind::Prompt && i + 1 < control_defs_.size() && is_field(control_defs_[i + 1].kind) &&
        control_defs_[i + 1].parent == c.parent) {
      rows.grid->addWidget(w, rows.row, 0);
      rows.prompt_pending = true;
      if (auto* label = qobject_cast<QLabel*>(w)) {
        if (QWidget* buddy = widgets_.value(control_defs_[i + 1].id)) label->setBuddy(buddy);
      }
      continue;
    }
    if (rows.prompt_pending) {
      rows.grid->addWidget(w, rows.row++, 1);
      rows.prompt_pending = false;
      rows.beside_last = field;
      continue;
    }
    if (field && beside) {
      rows.grid->addWidget(w, rows.row - 1, 2);
      continue;
    }
    if (field) {
      if (!rows.fields || rows.fields_in_row == kFieldsPerRow) {
        rows.fields = new QHBoxLayout;
        rows.fields_in_row = 0;
        rows.grid->addLayout(rows.fields, rows.row++, 0, 1, 3);
      }
      rows.fields->addWidget(w);
      ++rows.fields_in_row;
      continue;
    }
    if (button) {
      if (!rows.buttons) {
        rows.buttons = new QHBoxLayout;
        rows.buttons->addStretch(1);
        rows.grid->addLayout(rows.buttons, rows.row++, 0, 1, 3);
      }
      rows.buttons->addWidget(w);
      continue;
    }
    rows.grid->addWidget(w, rows.row++, 0, 1, 3);
    if (c.kind == ControlKind::Group || c.kind == ControlKind::OptionGroup ||
        c.kind == ControlKind::Tab) {
      auto* inner = new QGridLayout(w);
      containers.insert(c.id, Rows{inner});
      holders.insert(c.id, w);
    }
  }
  // Prompts whose labels were made before their fields get their buddies now.
  for (std::size_t i = 0; i + 1 < control_defs_.size(); ++i) {
    auto* label = qobject_cast<QLabel*>(widgets_.value(control_defs_[i].id));
    if (label && control_defs_[i].kind == ControlKind::Prompt && !label->buddy() &&
        is_field(control_defs_[i + 1].kind))
      label->setBuddy(widgets_.value(control_defs_[i + 1].id));
  }
}

bool WindowView::send(ViewEvent e) {
  if (applying_ || !sink_ || !isEnabled()) return false;
  sink_(std::move(e));
  return true;
}

void WindowView::send_other(int control, OtherEvent::Kind kind, int value) {
  ViewEvent e = ViewEvent::of(ViewEvent::Kind::Other, control);
  e.other.kind = kind;
  e.other.control = control;
  e.other.value = value;
  send(e);
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
  const ControlSpec* def = nullptr;
  for (const ControlSpec& c : control_defs_)
    if (c.id == control) def = &c;
  const bool in_list = def && def->kind == ControlKind::List;
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
      if (typed_into(watched) && !(mods & Qt::ControlModifier)) {
        commit_entry(control, true);
        return true;
      }
      k.key = (mods & Qt::ControlModifier) ? Key::CtrlEnter : Key::Enter;
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
    case Qt::Key_F2:
      k.key = Key::F2;
      break;
    case Qt::Key_F3:
      k.key = Key::F3;
      break;
    case Qt::Key_F6:
      k.key = Key::F6;
      break;
    case Qt::Key_F7:
      k.key = Key::F7;
      break;
    case Qt::Key_F10:
      k.key = Key::F10;
      break;
    case Qt::Key_Apostrophe:
      if (!(mods & Qt::ControlModifier)) return false;
      k.key = Key::Ditto;
      break;
    default: {
      if (!in_list) return false;
      static const QHash<int, Key> list_keys = {
          {Qt::Key_Up, Key::Up},         {Qt::Key_Down, Key::Down},
          {Qt::Key_PageUp, Key::PageUp}, {Qt::Key_PageDown, Key::PageDown},
          {Qt::Key_Home, Key::Home},     {Qt::Key_End, Key::End},
          {Qt::Key_Insert, Key::Insert}, {Qt::Key_Delete, Key::Delete}};
      const auto it = list_keys.find(qt_key);
      if (it != list_keys.end()) {
        k.key = *it;
      } else if (text.size() == 1 && text[0].isPrint()) {
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
  const QString value = qtext(s.value);
  switch (c.kind) {
    case ControlKind::Entry:
      // A value the model changed replaces what is in the field; an unchanged one leaves what
      // the user may be typing.
      if (auto* edit = qobject_cast<QLineEdit*>(w);
          edit && (!shown_.contains(c.id) || shown_.value(c.id) != value)) {
        edit->setText(value.trimmed());
        shown_.insert(c.id, value);
      }
      break;
    case ControlKind::Check:
      if (auto* cb = qobject_cast<QCheckBox*>(w)) {
        const QSignalBlocker quiet(cb);
        cb->setChecked(s.value == "1");
      }
      break;
    case ControlKind::OptionGroup:
      for (const ControlSpec& o : control_defs_) {
        if (o.kind != ControlKind::Option || o.parent != c.id) continue;
        if (auto* r = qobject_cast<QRadioButton*>(widgets_.value(o.id))) {
          const QSignalBlocker quiet(r);
          r->setChecked(clip(o.value) == clip(s.value));
        }
      }
      break;
    case ControlKind::DropList:
    case ControlKind::Combo:
      if (auto* combo = qobject_cast<QComboBox*>(w)) {
        const QSignalBlocker quiet(combo);
        if (!before || before->choices != s.choices ||
            combo->count() != static_cast<int>(s.choices.size())) {
          combo->clear();
          for (const std::string& choice : s.choices) combo->addItem(qtext(choice));
          combo->view()->setMinimumWidth(combo->view()->sizeHintForColumn(0) + 8);
        }
        if (c.kind == ControlKind::DropList) {
          combo->setCurrentIndex(combo->findText(value.trimmed()));
        } else if (!shown_.contains(c.id) || shown_.value(c.id) != value) {
          combo->setEditText(value.trimmed());
          shown_.insert(c.id, value);
        }
      }
      break;
    case ControlKind::Display:
      if (auto* l = qobject_cast<QLabel*>(w)) l->setText(value.trimmed());
      break;
    case ControlKind::Button:
      if (!s.value.empty()) {
        if (auto* b = qobject_cast<QAbstractButton*>(w)) {
          b->setText(value.trimmed());
          ControlSpec shown = c;
          shown.text = s.value;
          b->setAccessibleName(qtext(accessible_name({shown}, 0)));
        }
      }
      break;
    case ControlKind::Symbol:
      if (auto* l = qobject_cast<QLabel*>(w)) {
        bool ok = false;
        const int code = value.trimmed().toInt(&ok);
        l->setText(ok ? symbol_or_code(wingdings_font(), "Wingdings", code) : QString());
      }
      break;
    case ControlKind::List:
      if (auto* list = qobject_cast<BrowseList*>(w)) list->show_page(s.list, du_.width() / 4.0);
      break;
    case ControlKind::Tabs:
      if (auto* tabs = qobject_cast<QTabWidget*>(w)) {
        const QSignalBlocker quiet(tabs);
        tabs->setCurrentIndex(QString::fromStdString(s.value).toInt());
      }
      break;
    default:
      break;
  }
  // The field of a date field carries the state; its picker button has its own. A tab page is
  // shown by its sheet.
  w->setEnabled(s.enabled);
  if (c.kind != ControlKind::Tab) w->setVisible(!s.hidden);
}

}  // namespace mervane::gui
