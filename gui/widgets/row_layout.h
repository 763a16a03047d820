// The layout of a window that gives its controls no places (all Rect zero): rows in window
// order. A prompt stands before the field after it; a field without a prompt goes beside the
// field before it (a time beside its date), a run of them fills rows of up to six; a run of
// buttons shares a row, pushed right; group boxes, option groups and tabs hold rows of their
// own. A prompt names the field after it (its mnemonic moves there).
//
// Threading: GUI thread only.
#pragma once

#include <QHash>
#include <functional>
#include <vector>

#include "core/app/window_model.h"

class QWidget;

namespace mervane::gui {

// Lays out the controls of `controls` in `window`. make(index, parent) makes the widget of the
// control at index under parent and answers what is to be placed (nullptr: nothing);
// widget_of(id) is a control's main widget, once made.
void lay_out_rows(QWidget* window, const std::vector<ControlSpec>& controls,
                  const std::function<QWidget*(std::size_t, QWidget*)>& make,
                  const std::function<QWidget*(int)>& widget_of);

// Whether the control is a field a prompt names.
bool is_field(ControlKind k);

}  // namespace mervane::gui
