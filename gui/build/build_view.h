// The Build window "Build News.CSV from KX calendar" as a trader reads it: the history update
// across the top; below it the output settings in three columns (the output file, times, dates
// and filters; the Wingdings symbols, impact colours and the effects analysis; the description
// line, the export, NCI and the profiles), the currency pairs across their foot with the run's
// date and counter, OK and Cancel at its end. Dense enough that the window in the frame fits
// the work area of a 1366 x 768 screen at the default font.
//
// Only the layout is this class's own. The widgets, their events and their redrawing are the
// shared view's (window_view.h); every text comes from the model's controls, and which prompt,
// note or group box belongs to a control is read from their order and parents. The widgets are
// made in window order, so the focus moves through them in that order.
//
// Threading: GUI thread only.
#pragma once

#include <QHash>
#include <vector>

#include "core/output/procfile_controls.h"
#include "gui/widgets/window_view.h"

class QBoxLayout;
class QGridLayout;
class QGroupBox;
class QLayout;

namespace mervane::gui {

class BuildView final : public WindowView {
 public:
  BuildView(std::vector<ControlSpec> control_defs, EventSink sink, QWidget* parent = nullptr);

 private:
  using C = ProcFileControl;

  // What was made for a control (the field with its picker button for a date).
  QWidget* at(C c) const { return made_.value(number(c)); }
  // The prompt that stands right before the control in window order; nullptr when none does.
  QWidget* prompt(C c) const;
  // The prompt or picture that stands right after the control.
  QWidget* after(C c) const;
  // The group box the control is in.
  QGroupBox* group(C c) const;
  // The first prompt inside a group box.
  QWidget* first_prompt(QGroupBox* g) const;

  QWidget* history_update();
  QWidget* output_settings();
  QLayout* output_file_and_dates();
  QWidget* charts();
  QWidget* descriptions();
  QWidget* symbols();
  QWidget* colours();
  QLayout* descr_line_and_export();
  QLayout* nci_and_profiles();
  QLayout* pairs_and_foot();

  // A labelled field in a grid row: prompt, field, and what goes beside it.
  void row(QGridLayout* grid, int r, C c, QWidget* beside = nullptr);
  // Buttons whose texts are short ("USD", "139", "+1") take the width of their text.
  void narrow(std::initializer_list<C> buttons);
  // An entry as wide as its picture's longest value.
  void fit(C c, int chars);
  // An entry for a long text: as wide as its place, at least some characters.
  void stretchy(C c, int chars);

  QHash<int, QWidget*> made_;
};

}  // namespace mervane::gui
