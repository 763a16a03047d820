// The windows the frame's menu starts, each by the factory of its model, and the views of the
// windows that lay themselves out. A window whose model the program does not have yet has no
// factory; its menu item shows, greyed.
#pragma once

#include "core/app/main_frame.h"
#include "gui/widgets/window_host.h"

namespace mervane::gui {

ModelFactory procedure_factory(Procedure p);

// The Build window's view for the Build window; the shared view for every other window.
ViewMaker procedure_view(const WindowModel& m);

}  // namespace mervane::gui
