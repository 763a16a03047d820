#include "core/app/pick_date.h"

namespace mervane {

void pick_date(Windows& w, Session& s, std::int32_t& date, std::string_view mask) {
  s.with([&](Globals& g) {
    g.cdate = date;
    g.cmask = mask;
  });
  w.date_picker(s);
  date = s.with([](Globals& g) { return g.cdate; });
}

}  // namespace mervane
