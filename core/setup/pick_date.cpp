#include "core/setup/pick_date.h"

#include "core/setup/calendar.h"

namespace mervane {

void pick_date(Windows& w, Session& s, std::int32_t& date, std::string_view mask) {
  s.with([&](Globals& g) {
    g.cdate = date;
    g.cmask = mask;
  });
  Calendar picker(s);
  w.run(picker);
  date = s.with([](Globals& g) { return g.cdate; });
}

}  // namespace mervane
