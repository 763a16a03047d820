#include "core/history/auto_backup.h"

#include "core/history/history_line.h"
#include "core/model/records.h"
#include "core/runtime/table.h"
#include "core/runtime/text_file.h"

namespace mervane {

void auto_backup(Session& s, Reporter& r, Progress& p, std::int64_t& count1) {
  count1 = 0;
  s.with([](Globals& g) { g.outname = kBackupFile; });
  TextWriter out(s.files());
  if (stop_if_failed(r, "Create", kBackupFile, out.create(s.folder() / kBackupFile))) return;
  Table<CalendarTable> t(s.folder(), s.files());
  // Every failure from here on keeps the previous backup: a backup is whole or not written.
  if (stop_if_failed(r, "Open", t.file_name(), t.open(OpenMode::read_only()))) return;
  t.clear();
  Status st = t.set_start(CalendarKey::Key);
  while (st.is_ok() && (st = t.next()).is_ok()) {
    ++count1;
    p.report("COUNT1", count1);
    if (stop_if_failed(r, "Add", kBackupFile, out.add(history_line(t.rec)))) return;
  }
  if (st.code != kRecordNotAvailable) {
    stop(r, "Get", t.file_name(), st);
    return;
  }
  t.close();
  stop_if_failed(r, "Create", kBackupFile, out.close());
}

}  // namespace mervane
