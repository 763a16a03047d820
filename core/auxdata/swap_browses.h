// The lists of the swap tables: the auxiliary items (BROWSESWAPOUT), the swap rates
// (BROWSESWAPRATE) and the swap definitions (BROWSESWAPDATA). Each is a Browse
// (core/history/browse.h) with its title, columns, pictures and tab, and:
//   - the auxiliary item list's "Modify Swap Details  (F6)" runs the swap generation window,
//     then reads its page again;
//   - the swap rate list's "Import from Swaprate.CSV" runs the swap rate import window likewise,
//     and then names the lines of the file that held no swap rate, in one warning;
//   - the swap definition list shows the definition with Date Add 0 (the Sunday's), which its
//     key leaves out, in its place in Date Add order.
// The windows the two buttons run count their records through the Progress given.
#pragma once

#include "core/history/browse.h"
#include "core/model/records.h"
#include "core/runtime/progress.h"

namespace mervane {

extern template class Browse<SwapoutTable>;
extern template class Browse<SwaprateTable>;
extern template class Browse<SwapdataTable>;

class BrowseSwapOut : public Browse<SwapoutTable> {
 public:
  BrowseSwapOut(Session& s, Windows& w, Reporter& r, Progress& p);
};

class BrowseSwapRate : public Browse<SwaprateTable> {
 public:
  BrowseSwapRate(Session& s, Windows& w, Reporter& r, Progress& p);
};

class BrowseSwapData : public Browse<SwapdataTable> {
 public:
  BrowseSwapData(Session& s, Windows& w, Reporter& r);
};

}  // namespace mervane
