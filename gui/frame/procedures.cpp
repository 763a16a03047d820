#include "gui/frame/procedures.h"

#include "core/auxdata/delete_swap_out.h"
#include "core/history/browses.h"
#include "core/history/delete_history.h"
#include "core/live/guard_file.h"
#include "core/output/procfile.h"
#include "gui/build/build_view.h"

namespace mervane::gui {

ModelFactory procedure_factory(Procedure p) {
  switch (p) {
    case Procedure::ProcFile:
      return [](const ModelServices& s) {
        return std::make_unique<ProcFile>(
            ProcFileServices{s.session, s.reporter, s.progress, s.windows, s.downloader,
                             std::make_shared<GuardFile>(s.session, s.reporter)});
      };
    case Procedure::DeleteHistory:
      return [](const ModelServices& s) {
        return std::make_unique<DeleteHistory>(s.session, s.windows, s.reporter, s.progress);
      };
    case Procedure::DeleteSwapOut:
      return [](const ModelServices& s) {
        return std::make_unique<DeleteSwapOut>(s.session, s.windows, s.reporter, s.progress);
      };
    case Procedure::BrowseHistoryByName:
      return [](const ModelServices& s) {
        return std::make_unique<BrowseHistoryByName>(s.session, s.windows, s.reporter);
      };
    case Procedure::BrowseSwapOut:
      return [](const ModelServices& s) {
        return std::make_unique<BrowseSwapOut>(s.session, s.windows, s.reporter);
      };
    case Procedure::BrowseSwapRate:
      return [](const ModelServices& s) {
        return std::make_unique<BrowseSwapRate>(s.session, s.windows, s.reporter);
      };
  }
  return nullptr;
}

ViewMaker procedure_view(const WindowModel& m) {
  if (dynamic_cast<const ProcFile*>(&m) == nullptr) return {};
  return [](std::vector<ControlSpec> control_defs, EventSink sink) {
    return new BuildView(std::move(control_defs), std::move(sink));
  };
}

}  // namespace mervane::gui
