#include "gui/frame/procedures.h"

namespace mervane::gui {

ModelFactory procedure_factory(Procedure p) {
  switch (p) {
    // The Build window, the history and auxiliary item browses, the swap rate browse and the
    // two delete windows join as their models take the window protocol.
    case Procedure::ProcFile:
    case Procedure::BrowseHistoryByName:
    case Procedure::DeleteHistory:
    case Procedure::BrowseSwapOut:
    case Procedure::DeleteSwapOut:
    case Procedure::BrowseSwapRate:
      return nullptr;
  }
  return nullptr;
}

}  // namespace mervane::gui
