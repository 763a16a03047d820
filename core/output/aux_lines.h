// OUT_AUX: the auxiliary items of SWAPOUT (swap notes, weekly markers and other dated marks)
// written into News.CSV before the events, in the event line's layout:
//   2008.03.07 23:59;-1;159;2;EURUSD;111110000;23:59 EURUSD M "SWAP" *13;buy: 1.25 sell: -2.10
// Items carry their own spacing, symbol, colour, currency and chart flags; no event filter or
// date range applies to them. The " *" before the number tells an item's line from an event's.
//
// Runs on the caller's thread and only reads SWAPOUT.
#pragma once

#include <cstdint>
#include <string>

#include "core/model/records.h"
#include "core/model/session.h"
#include "core/model/settings.h"
#include "core/runtime/output_file.h"
#include "core/runtime/progress.h"
#include "core/runtime/reporter.h"
#include "core/runtime/time_zones.h"

namespace mervane {

// The line of one item; count1 is its number (COUNT1 after counting it).
std::string aux_line(const BuildSettings& s, const SwapoutRecord& item, std::int64_t count1,
                     const TimeShift* to_local = nullptr);

// Writes every item when INCLSWAPS is on (SWAPOUT is not even opened otherwise), in SWO:KEY
// order. count1 goes on from the value it has and is reported as "COUNT1". A missing SWAPOUT is
// created ("Create(" / "Open(" stop messages). Local-time labels by to_local when given (the
// zones of LOCALZONE), by OFFSET2 otherwise.
void out_aux(Session& session, const BuildSettings& s, OutputFile& news, Reporter& r, Progress& p,
             std::int64_t& count1, const TimeShift* to_local = nullptr);

}  // namespace mervane
