#include "core/app/windows.h"

namespace mervane {

Response run_without_user(WindowModel& w) {
  w.open();
  if (!w.closed()) w.other_event({OtherEvent::Kind::Opened});
  if (!w.closed()) w.close_request();
  return w.response();
}

}  // namespace mervane
