// The five list windows: the Event History (BROWSEHISTORYBYNAME), the auxiliary items
// (BROWSESWAPOUT), the swap rates (BROWSESWAPRATE), the swap definitions (BROWSESWAPDATA) and the
// preview (BROWSEPVIEW, a view only). Each is a Browse (browse.h) with its title, columns,
// pictures, tabs and extra button:
//   - the auxiliary item list's "Modify Swap Details  (F6)" runs the swap generation window
//     through Windows, then reads its page again;
//   - the swap rate list's "Import from Swaprate.CSV" runs the swap rate import window likewise;
//   - the swap definition list shows the definition with Date Add 0 (the Sunday's), which its
//     key leaves out, in its place in Date Add order.
#pragma once

#include "core/history/browse.h"
#include "core/model/records.h"

namespace mervane {

extern template class Browse<CalendarTable>;
extern template class Browse<SwapoutTable>;
extern template class Browse<SwaprateTable>;
extern template class Browse<SwapdataTable>;
extern template class Browse<PviewTable>;

class BrowseHistoryByName : public Browse<CalendarTable> {
 public:
  BrowseHistoryByName(Session& s, Windows& w, Reporter& r);
};

class BrowseSwapOut : public Browse<SwapoutTable> {
 public:
  BrowseSwapOut(Session& s, Windows& w, Reporter& r);
};

class BrowseSwapRate : public Browse<SwaprateTable> {
 public:
  BrowseSwapRate(Session& s, Windows& w, Reporter& r);
};

class BrowseSwapData : public Browse<SwapdataTable> {
 public:
  BrowseSwapData(Session& s, Windows& w, Reporter& r);
};

class BrowsePview : public Browse<PviewTable> {
 public:
  BrowsePview(Session& s, Windows& w, Reporter& r);
};

}  // namespace mervane
