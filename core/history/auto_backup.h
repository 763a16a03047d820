// AUTO_BACKUP: the copy of the whole Event History that every run leaves beside the tables, in
// the history line format, so that a damaged or wrongly rebuilt history can be restored.
//
// Runs on the caller's thread. Failures show their stop message ("Create(", "Open(", "Get(",
// "Add(" + file name + ") - " + error text); Abort throws Aborted.
#pragma once

#include <cstdint>
#include <string_view>

#include "core/model/session.h"
#include "core/runtime/progress.h"
#include "core/runtime/reporter.h"

namespace mervane {

constexpr std::string_view kBackupFile = "@BACKUP@.CSV";

// Writes the whole history in key order to "@BACKUP@.CSV" in the session's folder, atomically;
// leaves GLO:OUTNAME set to the backup name. COUNT1 starts at 0 and counts the records written
// (reported as "COUNT1"). Opens CALENDAR itself, read-only. After any failure (the table cannot
// be opened or read, a line cannot be written) the previous backup stays as it was.
void auto_backup(Session& s, Reporter& r, Progress& p, std::int64_t& count1);

}  // namespace mervane
