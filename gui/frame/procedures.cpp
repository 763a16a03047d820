#include "gui/frame/procedures.h"

#include "core/auxdata/delete_swap_out.h"
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
    // The Build window waits for its view; the history, auxiliary item and swap rate browses
    // join with the browse models.
    case Procedure::ProcFile:
    case Procedure::BrowseHistoryByName:
    case Procedure::BrowseSwapOut:
    case Procedure::BrowseSwapRate:
      return nullptr;
  }
  return nullptr;
}

}  // namespace mervane::gui
