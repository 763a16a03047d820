// The lists of the history subsystem: the Event History (BROWSEHISTORYBYNAME) and the preview
// (BROWSEPVIEW, a view only). Each is a Browse (browse.h) with its title, columns, pictures and
// tabs. The lists of the swap tables are in core/auxdata/swap_browses.h.
#pragma once

#include "core/history/browse.h"
#include "core/model/records.h"

namespace mervane {

extern template class Browse<CalendarTable>;
extern template class Browse<PviewTable>;

class BrowseHistoryByName : public Browse<CalendarTable> {
 public:
  BrowseHistoryByName(Session& s, Windows& w, Reporter& r);
};

class BrowsePview : public Browse<PviewTable> {
 public:
  BrowsePview(Session& s, Windows& w, Reporter& r);
};

}  // namespace mervane
