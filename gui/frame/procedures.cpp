#include "gui/frame/procedures.h"

#include "core/output/procfile.h"
#include "gui/build/build_view.h"

namespace mervane::gui {

ViewMaker procedure_view(const WindowModel& m) {
  if (dynamic_cast<const ProcFile*>(&m) == nullptr) return {};
  return [](std::vector<ControlSpec> control_defs, EventSink sink) {
    return new BuildView(std::move(control_defs), std::move(sink));
  };
}

}  // namespace mervane::gui
