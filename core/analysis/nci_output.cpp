#include "core/analysis/nci_output.h"

#include <unordered_set>

#include "core/analysis/nci_line.h"
#include "core/model/records.h"
#include "core/runtime/output_file.h"
#include "core/runtime/paths.h"
#include "core/runtime/table.h"
#include "core/runtime/text_file.h"

namespace mervane {
namespace {

bool same_text(std::string_view a, std::string_view b) {
  return upper_ascii(clip(a)) == upper_ascii(clip(b));
}

class Run {
 public:
  Run(Session& s, Reporter& r, Progress& p) : s_(s), r_(r), p_(p), g2_(s.g2()) {}

  void go() {
    const std::string outname = s_.globals().outname.str();
    for (int k = 1; k <= g2_.nciout; ++k) one_file(nci_file_name(outname, k));
  }

 private:
  void bump() { p_.report(NciOutput::kCounter, ++count_); }

  void one_file(const std::string& name) {
    s_.with([&](Globals& g) { g.outxlsname = name; });
    const std::filesystem::path file = resolve(s_.folder(), name);
    Table<NcidbTable> db(s_.folder(), s_.files());
    stop_if_failed(r_, "Create", db.file_name(), db.create());
    if (stop_if_failed(r_, "Open", db.file_name(), db.open(OpenMode::exclusive()))) return;
    // Without every old line in the table the file would lose the values they hold.
    if (!take_in(db, file, name)) return;
    merge_history(db);
    write(db, file, name);
  }

  bool take_in(Table<NcidbTable>& db, const std::filesystem::path& file, const std::string& name) {
    TextReader in(s_.files());
    const Status opened = in.open(file);
    if (opened.code == kFileNotFound) return true;
    if (stop_if_failed(r_, "Open", name, opened)) return false;
    Transaction tx(db);
    if (stop_if_failed(r_, "Append", db.file_name(), tx.status())) return false;
    std::string line;
    Status st;
    while ((st = in.next(line)).is_ok()) {
      bump();
      const std::optional<NcidbRecord> rec = read_nci_line(line);
      if (!rec) continue;
      db.rec = *rec;
      if (stop_if_failed(r_, "Append", db.file_name(), db.append())) return false;
    }
    if (st.code != kRecordNotAvailable) {
      stop(r_, "Get", name, st);
      return false;
    }
    if (stop_if_failed(r_, "Build", db.file_name(), db.build_keys())) return false;
    return !stop_if_failed(r_, "Build", db.file_name(), tx.commit());
  }

  // The stored record of an event: by KX ID, or for an event without one, by date, time,
  // currency and description among the records without one (a time of "0" in the file reads
  // back as midnight, so midnight stands for no time as well). A record added in this pass is
  // never matched again, so two history events with one KX ID cannot overwrite each other.
  bool find(Table<NcidbTable>& db, const CalendarRecord& ev) {
    db.clear();
    if (!ev.kxidcode.blank()) {
      db.rec.kxid = ev.kxidcode;
      const Status st = db.get(NcidbKey::KeyKxid);
      if (st.code == kRecordNotFound) return false;
      if (stop_if_failed(r_, "Get", db.file_name(), st)) return false;
      return !added_.contains(upper_ascii(ev.kxidcode.view()));
    }
    for (const std::int32_t time : {ev.time, ev.time == 0 ? 1 : -1}) {
      if (time < 0) break;
      db.clear();
      db.rec.date = ev.date;
      db.rec.time = time;
      db.rec.ccy = ev.currency;
      db.rec.descr = ev.descr;
      if (db.set(NcidbKey::KeyDate).failed()) return false;
      while (db.next().is_ok() && db.rec.date == ev.date && db.rec.time == time &&
             same_text(db.rec.ccy.view(), ev.currency.view()) &&
             same_text(db.rec.descr.view(), ev.descr.view())) {
        if (db.rec.kxid.blank()) return true;
      }
    }
    return false;
  }

  void merge_history(Table<NcidbTable>& db) {
    Table<CalendarTable> cal(s_.folder(), s_.files());
    Status st = cal.open(OpenMode::shared());
    if (st.code == kFileNotFound) {
      stop_if_failed(r_, "Create", cal.file_name(), cal.create());
      st = cal.open(OpenMode::shared());
    }
    if (stop_if_failed(r_, "Open", cal.file_name(), st)) return;
    Transaction tx(db);
    if (stop_if_failed(r_, "Put", db.file_name(), tx.status())) return;
    added_.clear();
    st = cal.set_start(CalendarKey::Key);
    while (st.is_ok() && (st = cal.next()).is_ok()) {
      bump();
      const CalendarRecord& ev = cal.rec;
      const bool found = find(db, ev);
      if (!found) {
        db.clear();
        db.rec.kxid = ev.kxidcode;
      }
      NcidbRecord& r = db.rec;
      r.date = ev.date;
      r.time = ev.time;
      r.ccy = ev.currency;
      r.impact = ev.impact;
      r.descr = ev.descr;
      r.actual = ev.actual;
      r.forecast = ev.forecast;
      r.previous = ev.previous;
      r.revfrom = ev.revisedfrom;
      if (!found || r.ncivalue.view().find('?') != std::string_view::npos)
        r.ncivalue = g2_.nciauto ? std::to_string(nci_score(r)) : "??";
      if (found) {
        stop_if_failed(r_, "Put", db.file_name(), db.put());
      } else if (!stop_if_failed(r_, "Append", db.file_name(), db.add()) && !ev.kxidcode.blank()) {
        added_.insert(upper_ascii(ev.kxidcode.view()));
      }
    }
    if (st.code != kRecordNotAvailable) stop(r_, "Get", cal.file_name(), st);
    stop_if_failed(r_, "Put", db.file_name(), tx.commit());
  }

  void write(Table<NcidbTable>& db, const std::filesystem::path& file, const std::string& name) {
    OutputFile out(r_, file, name, "Append", s_.files());
    if (!out.create()) return;
    Status st = db.set_end(NcidbKey::KeyDate);
    while (st.is_ok() && (st = db.previous()).is_ok()) {
      bump();
      out.add(nci_line(db.rec));
    }
    if (st.code != kRecordNotAvailable) {
      stop(r_, "Get", db.file_name(), st);
      out.discard();
      return;
    }
    out.close();
  }

  Session& s_;
  Reporter& r_;
  Progress& p_;
  BuildSettings g2_;
  std::int64_t count_ = 0;
  std::unordered_set<std::string> added_;
};

}  // namespace

std::string nci_file_name(std::string_view outname, int k) {
  return folder_part(outname) + "NCI" + std::to_string(k) + ".CSV";
}

void nci_output(Session& s, Reporter& r, Progress& p) {
  Run(s, r, p).go();
}

}  // namespace mervane
