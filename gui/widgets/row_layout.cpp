#include "gui/widgets/row_layout.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace mervane::gui {

bool is_field(ControlKind k) {
  return k == ControlKind::Entry || k == ControlKind::Display || k == ControlKind::DropList ||
         k == ControlKind::Combo || k == ControlKind::Symbol || k == ControlKind::List;
}

namespace {

// The rows of one container: the window, a group box or a tab.
struct Rows {
  QGridLayout* grid = nullptr;
  int row = 0;
  QHBoxLayout* buttons = nullptr;  // the row the last buttons went into
  QHBoxLayout* fields = nullptr;   // the row the last fields without a prompt went into
  int fields_in_row = 0;
  bool prompt_pending = false;
  bool beside_last = false;  // the last row holds a prompt and its field: room beside them
};

// Fields without a prompt of their own: a run of them fills rows of up to six.
constexpr int kFieldsPerRow = 6;

}  // namespace

void lay_out_rows(QWidget* window, const std::vector<ControlSpec>& controls,
                  const std::function<QWidget*(std::size_t, QWidget*)>& make,
                  const std::function<QWidget*(int)>& widget_of) {
  QHash<int, Rows> containers;
  auto* outer = new QVBoxLayout(window);
  auto* top = new QGridLayout;
  outer->addLayout(top);
  outer->addStretch(1);
  containers.insert(0, Rows{top});
  QHash<int, QWidget*> holders;  // the widget that holds the controls of a container
  holders.insert(0, window);

  for (std::size_t i = 0; i < controls.size(); ++i) {
    const ControlSpec& c = controls[i];
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
    if (c.kind == ControlKind::Prompt && i + 1 < controls.size() &&
        is_field(controls[i + 1].kind) && controls[i + 1].parent == c.parent) {
      rows.grid->addWidget(w, rows.row, 0);
      rows.prompt_pending = true;
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
  // Each prompt names the field after it.
  for (std::size_t i = 0; i + 1 < controls.size(); ++i) {
    auto* label = qobject_cast<QLabel*>(widget_of(controls[i].id));
    if (label && controls[i].kind == ControlKind::Prompt && !label->buddy() &&
        is_field(controls[i + 1].kind))
      label->setBuddy(widget_of(controls[i + 1].id));
  }
}

}  // namespace mervane::gui
