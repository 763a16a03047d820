// What a load of calendar history reads from the program's settings: the Build window's check
// boxes and OFFSET1 from the settings file (built-in values where it is missing), the calendar
// service's address, MT4ZONE and USERAGENT from the local settings. Today's pages are always
// asked for with the program's own User-Agent unless USERAGENT names another.
#pragma once

#include "core/import/history_load.h"
#include "core/model/session.h"
#include "core/runtime/reporter.h"

namespace mervane {

// The request with from, to and pause left as they come; "Open(trune.INI) - " when the settings
// file cannot be read, "Open(mervane.cfg) - " when MT4ZONE is not usable (after Ignore: OFFSET1).
HistoryLoadRequest history_load_settings(Session& s, Reporter& r);

}  // namespace mervane
