#include "gui/frame/procedures.h"

#include "core/auxdata/delete_swap_out.h"
#include "core/history/browses.h"
#include "core/history/delete_history.h"

namespace mervane::gui {

ModelFactory procedure_factory(Procedure p) {
  switch (p) {
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
    // The Build window waits for its view.
    case Procedure::ProcFile:
      return nullptr;
  }
  return nullptr;
}

}  // namespace mervane::gui
