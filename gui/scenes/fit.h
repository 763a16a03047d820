// Whether a window fits the screens people use: its size on the desktop against the work area of
// a 1366 x 768 laptop screen (the most common) less its task bar, and every text of it against
// the place it has. The screenshot tool reports what does not fit; a GUI test fails on it.
//
// Threading: GUI thread only.
#pragma once

#include <QSize>
#include <QString>
#include <vector>

class QWidget;

namespace mervane::gui {

// The work area a window must fit at the default font: 1366 x 768 less a 40-pixel task bar.
inline constexpr QSize kWorkArea(1366, 728);

// The size the window takes on the desktop. A window of the frame (in_frame) counts with the
// sub-window's title and borders and the frame's menu bar, status bar and decoration around it;
// a window of its own with its decoration.
QSize desktop_size(const QWidget& window, bool in_frame);

// What of the window's contents does not fit: a text wider or taller than its control ("label
// 'Path\name of output': text 412 x 15 in 380 x 15"), a control that lies partly outside the
// window, and controls with text that overlap. Empty when everything fits.
std::vector<QString> misfits(const QWidget& window);

}  // namespace mervane::gui
