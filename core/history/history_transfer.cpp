// Delete, export and delete-then-import of a date range of the Event History.
#include <limits>
#include <string>

#include "core/history/history_line.h"
#include "core/history/history_maintenance.h"
#include "core/runtime/text_file.h"

namespace mervane {

namespace {

// Positions CAL:KEY at the first event of a date.
Status set_at_date(Table<CalendarTable>& t, std::int32_t date) {
  t.clear();
  t.rec.date = date;
  t.rec.time = std::numeric_limits<std::int32_t>::min();
  return t.set(CalendarKey::Key);
}

// Deletes the range inside the caller's transaction.
bool delete_range(Table<CalendarTable>& t, std::int32_t from, std::int32_t thru, Reporter& r,
                  Count1& c) {
  const std::string name = t.file_name();
  Status st = set_at_date(t, from);
  while (st.is_ok() && (st = t.next()).is_ok()) {
    c.step();
    if (t.rec.date > thru) return true;
    stop_if_failed(r, "Delete", name, t.erase());
  }
  if (st.code == kRecordNotAvailable) return true;
  stop(r, "Get", name, st);
  return false;
}

}  // namespace

bool delete_history_range(Table<CalendarTable>& t, std::int32_t from, std::int32_t thru,
                          Reporter& r, Count1& c) {
  Transaction tx(t);
  if (stop_if_failed(r, "Open", t.file_name(), tx.status())) return false;
  if (!delete_range(t, from, thru, r, c)) return false;
  return !stop_if_failed(r, "Delete", t.file_name(), tx.commit());
}

bool export_history(Table<CalendarTable>& t, const std::filesystem::path& file, std::int32_t from,
                    std::int32_t thru, Reporter& r, Count1& c) {
  const std::string name = file.filename().string();
  TextWriter out;
  if (stop_if_failed(r, "Create", name, out.create(file))) return false;
  Status st = set_at_date(t, from);
  while (st.is_ok() && (st = t.next()).is_ok()) {
    c.step();
    if (t.rec.date > thru) break;
    // A line that cannot be written would leave a backup short of events: keep the old file.
    if (stop_if_failed(r, "Add", name, out.add(history_line(t.rec)))) return false;
  }
  if (st.failed() && st.code != kRecordNotAvailable) {
    stop(r, "Get", t.file_name(), st);
    return false;
  }
  return !stop_if_failed(r, "Create", name, out.close());
}

ImportResult import_history(Table<CalendarTable>& t, const std::filesystem::path& file,
                            std::int32_t from, std::int32_t thru, Reporter& r, Count1& c) {
  ImportResult res;
  const std::string name = file.filename().string();
  const std::string table = t.file_name();
  // The file first: a name typed wrong must not cost the range its events.
  TextReader in;
  if (stop_if_failed(r, "Open", name, in.open(file))) return res;

  Transaction tx(t);
  if (stop_if_failed(r, "Open", table, tx.status())) return res;
  if (!delete_range(t, from, thru, r, c)) return res;
  std::string line;
  Status st;
  std::int64_t in_range = 0;
  while ((st = in.next(line)).is_ok()) {
    c.step();
    CalendarRecord rec;
    if (!read_history_line(line, rec)) {
      ++res.broken;
      continue;
    }
    if (rec.date < from || rec.date > thru) {
      ++res.outside;
      continue;
    }
    ++in_range;
    t.rec = rec;
    if (!stop_if_failed(r, "Append", table, t.append())) ++res.imported;
  }
  if (st.code != kRecordNotAvailable) {
    // Part of the file could not be read: restoring only its first lines would lose the rest.
    stop(r, "Get", name, st);
    return res;
  }
  if (in_range == 0) {
    // A file of another kind, or of other dates: replacing the range by nothing would only
    // lose its events.
    tx.rollback();
    stop(r, "Read", name, Status(kInvalidFile, "no history lines of the range in the file"));
    return res;
  }
  // Appending dropped the keys; without appends they are as they were.
  if (res.imported > 0 && stop_if_failed(r, "Build", table, t.build_keys())) return res;
  if (stop_if_failed(r, "Build", table, tx.commit())) return res;
  res.done = true;
  return res;
}

}  // namespace mervane
