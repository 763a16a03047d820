// The view of each window: the Build window's own for the Build window, the shared view for
// every other window.
#pragma once

#include "gui/widgets/window_host.h"

namespace mervane::gui {

ViewMaker procedure_view(const WindowModel& m);

}  // namespace mervane::gui
