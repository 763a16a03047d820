#include "core/analysis/effect_analysis_report.h"

#include <algorithm>
#include <cmath>
#include <optional>

#include "core/analysis/effects_ini.h"
#include "core/analysis/effects_offsets.h"
#include "core/analysis/effects_samples.h"
#include "core/model/records.h"
#include "core/runtime/output_file.h"
#include "core/runtime/paths.h"
#include "core/runtime/table.h"
#include "core/util/picture.h"

namespace mervane {
namespace {

// The numbers of the cells: open prices ("n_12.5"), changes and ranges in points ("n-_12.5"),
// summary values ("n-_14.2") and minutes ("n_8"). The pictures are taken apart once: a file
// has hundreds of thousands of cells.
enum class Cell { Open, Points, Summary, Minutes };

// A number by its picture without the blanks in front (these pictures put none elsewhere).
std::string cell(Cell kind, double value) {
  static const Picture pictures[] = {*read_picture("n_12.5"), *read_picture("n-_12.5"),
                                     *read_picture("n-_14.2"), *read_picture("n_8")};
  std::string s = format_value(pictures[static_cast<int>(kind)], value);
  s.erase(0, std::min(s.find_first_not_of(' '), s.size()));
  return s;
}

// Appends a cell to a line: a comma, then the value.
void add_cell(std::string& line, std::string_view value) {
  line += ',';
  line += value;
}

class Run {
 public:
  Run(Session& s, Reporter& r, Progress& p) : s_(s), r_(r), p_(p), g2_(s.g2()), samples_(0) {}

  void go() {
    g3_ = load_effects_settings(s_, r_);
    pairs_ = pair_list(g2_.pairs.padded());
    used_ = offsets_in_use(g3_.timeint);
    slot_entry_ = first_entry(g3_.timeint, 0);
    samples_ = SampleList(pairs_.size());
    pair_state_.assign(pairs_.size(), PairState{});
    set_count(0);
    read_events();
    samples_.sort_by_moment();
    set_count(1000000);
    read_prices();
    write_detail();
    build_summary();
    write_summary();
    s_.with([](Globals& g) { g.outxlsname = "Osric1.CSV"; });
  }

 private:
  struct PairState {
    bool read = false;  // the history file was read (its digits may well be 0)
    double scale = 1;   // points per price unit: 10 ^ digits
  };
  struct Summary {
    std::int32_t idno = 0;
    std::size_t pair = 0;
  };

  void set_count(std::int64_t v) {
    count_ = v;
    p_.report(EffectAnalysisReport::kCounter, count_);
  }
  void bump() { set_count(count_ + 1); }

  const PviewRecord& event(std::int32_t idno) const {
    return events_[static_cast<std::size_t>(idno - 1)];
  }

  void read_events() {
    Table<PviewTable> t(s_.folder());
    if (stop_if_failed(r_, "Open", t.file_name(), t.open(OpenMode::read_only()))) return;
    Status st = t.set_start(PviewKey::KeyDate);
    while (st.is_ok() && (st = t.next()).is_ok()) {
      events_.push_back(t.rec);
      const auto idno = static_cast<std::int32_t>(events_.size());
      bump();
      for (std::size_t i = 0; i < used_.size(); ++i) {
        EffectsSample smp;
        smp.moment = sample_moment(t.rec.date, t.rec.time, used_[i]);
        smp.idno = idno;
        smp.mins = used_[i];
        smp.slot = slot_entry_ && *slot_entry_ == i;
        samples_.add(smp);
      }
    }
    if (st.code != kRecordNotAvailable) stop(r_, "Get", t.file_name(), st);
    t.close();
  }

  void read_prices() {
    const std::string minutes(history_minutes(g3_.chartint.view()));
    for (std::size_t k = 0; k < pairs_.size(); ++k) {
      const std::string name = g3_.histpath.str() + pairs_[k] + minutes + ".hst";
      s_.with([&](Globals& g) { g.dosfilename = name; });
      HistoryFile file;
      switch (file.open(resolve(s_.folder(), name))) {
        case HistoryOpen::CannotOpen:
          continue;  // no history of this pair: its cells stay empty
        case HistoryOpen::TooShort:
          pass_over(name, k, "is shorter than the 148-byte header of an MT4 history file");
          continue;
        case HistoryOpen::UnknownVersion:
          pass_over(name, k,
                    "is not an MT4 history file of version 400 or 401 (it says version " +
                        std::to_string(file.version()) + ")");
          continue;
        case HistoryOpen::Ok:
          break;
      }
      pair_state_[k].read = true;
      pair_state_[k].scale = std::pow(10.0, file.digits());
      merge_prices(file, samples_, k, [this] { bump(); });
    }
  }

  void pass_over(const std::string& name, std::size_t pair, const std::string& why) {
    Warning w;
    w.text = name + " " + why + ": " + pairs_[pair] + " is passed over.";
    w.caption = EffectAnalysisReport::kCaption;
    w.icon = Icon::Exclamation;
    r_.warning(w);
  }

  static std::string event_cells(const PviewRecord& e) {
    std::string line(e.currency.view());
    for (std::string_view v : {e.descr.view(), e.impact.view(), e.actual.view(), e.forecast.view(),
                               e.previous.view(), e.revisedfrom.view(), e.kxidcode.view()}) {
      line += ',';
      line += v;
    }
    return line;
  }

  OutputFile start_file(std::string_view name) {
    s_.with([&](Globals& g) { g.outxlsname = name; });
    return OutputFile(r_, resolve(s_.folder(), name), std::string(name), "Add");
  }

  void write_detail() {
    set_count(2000000);
    OutputFile out = start_file(kEffDetlFile);
    if (!out.create()) return;
    std::string h1(10, ','),
        h2 = "Ccy,Description,Imp,Actual,Fcast,Prev,Rev.Frm,KXID,Date,Time,Change";
    for (const std::string& p : pairs_) {
      for (int i = 0; i < 4; ++i) add_cell(h1, p);
      h2 += ",Open,Change,High,Low";
    }
    out.add(h1);
    out.add(h2);
    std::optional<std::int64_t> last;
    std::vector<double> previous_open(pairs_.size(), 0.0);
    for (std::size_t i = 0; i < samples_.size(); ++i) {
      const EffectsSample& smp = samples_[i];
      bool write = false;
      std::string line;
      if (smp.slot) {
        line = event_cells(event(smp.idno));
        write = true;
        bump();
      } else {
        line = std::string(7, ',');
      }
      if (!last || smp.moment > *last) {
        std::int64_t day = smp.moment / 86400;
        if (smp.moment % 86400 < 0) --day;
        const auto time = static_cast<std::int32_t>((smp.moment - day * 86400) * 100 + 1);
        const double mins = last ? static_cast<double>(smp.moment - *last) / 60 : 0.0;
        add_cell(line, date_cell(g2_.datefmt.view(), static_cast<std::int32_t>(day)));
        add_cell(line, format_value("t1", time));
        add_cell(line, cell(Cell::Minutes, mins));
        for (std::size_t k = 0; k < pairs_.size(); ++k) {
          const PairPrice& pp = samples_.price(i, k);
          if (pp.open == 0) {
            line += ",,,,";
            continue;
          }
          write = true;
          const double scale = pair_state_[k].scale;
          const double change = previous_open[k] == 0 ? 0 : (pp.open - previous_open[k]) * scale;
          add_cell(line, cell(Cell::Open, pp.open));
          add_cell(line, cell(Cell::Points, change));
          add_cell(line, cell(Cell::Points, pp.plus * scale));
          add_cell(line, cell(Cell::Points, pp.minus * scale));
          previous_open[k] = pp.open;
        }
      }
      if (write) {
        out.add(line);
        last = smp.moment;
      }
    }
    out.close();
  }

  void build_summary() {
    set_count(3000000);
    const std::size_t n = used_.size();
    std::vector<std::size_t> entry_of(pairs_.size());  // the current event's entries
    std::vector<double> event_open(pairs_.size(), 0.0);
    std::int32_t current = 0;
    bool missing_reported = false;
    for (std::size_t i : samples_.by_event()) {
      const EffectsSample& smp = samples_[i];
      for (std::size_t k = 0; k < pairs_.size(); ++k) {
        if (!pair_state_[k].read) continue;
        const PairPrice& pp = samples_.price(i, k);
        const double scale = pair_state_[k].scale;
        if (smp.slot) {
          current = smp.idno;
          entry_of[k] = summary_.size();
          summary_.push_back({smp.idno, k});
          slots_.resize(slots_.size() + 2 * n, 0.0);
          if (pp.open > 0) {
            slots_[entry_of[k] * 2 * n + 2 * *slot_entry_] = pp.plus * scale;
            slots_[entry_of[k] * 2 * n + 2 * *slot_entry_ + 1] = pp.minus * scale;
          }
          event_open[k] = pp.open;
          bump();
          continue;
        }
        if (current != smp.idno) {
          // Without a 0 offset no event has an entry to fill: one message says so.
          if (!missing_reported) {
            stop(r_, "Get", "Queue3",
                 Status(kQueueEntryNotFound,
                        "Entry Not Found: the offsets have no 0 entry (the event's own time)"));
            missing_reported = true;
          }
          continue;
        }
        const std::optional<std::size_t> slot = first_entry(g3_.timeint, smp.mins);
        if (!slot) continue;
        double high = 0, low = 0;
        if (pp.open > 0 && event_open[k] > 0) {
          high = (pp.open + pp.plus - event_open[k]) * scale;
          low = (pp.open + pp.minus - event_open[k]) * scale;
        }
        slots_[entry_of[k] * 2 * n + 2 * *slot] = high;
        slots_[entry_of[k] * 2 * n + 2 * *slot + 1] = low;
      }
    }
  }

  void write_summary() {
    OutputFile out = start_file(kEffSummFile);
    if (!out.create()) return;
    std::string h1(10, ','),
        h2 = "Date,Time,Ccy,Description,Imp,Actual,Fcast,Prev,Rev.Frm,KXID,Pair";
    for (std::int16_t o : used_) {
      add_cell(h1, std::to_string(o));
      add_cell(h1, std::to_string(o));
      h2 += ",High,Low";
    }
    out.add(h1);
    out.add(h2);
    set_count(4000000);
    const std::size_t n = used_.size();
    for (std::size_t j = 0; j < summary_.size(); ++j) {
      const Summary& e = summary_[j];
      bool write = false;
      std::string line;
      if (j == 0 || summary_[j - 1].idno != e.idno) {
        const PviewRecord& ev = event(e.idno);
        line = date_cell(g2_.datefmt.view(), ev.date);
        add_cell(line, format_value("t1", ev.time));
        add_cell(line, event_cells(ev));
        write = true;
        bump();
      } else {
        line = std::string(9, ',');
      }
      add_cell(line, pairs_[e.pair]);
      const double* v = &slots_[j * 2 * n];
      std::size_t last = n;
      while (last > 0 && v[2 * (last - 1)] == 0 && v[2 * (last - 1) + 1] == 0) --last;
      for (std::size_t k = 0; k < last; ++k) {
        add_cell(line, cell(Cell::Summary, v[2 * k]));
        add_cell(line, cell(Cell::Summary, v[2 * k + 1]));
        write = true;
      }
      if (write) out.add(line);
    }
    out.close();
  }

  Session& s_;
  Reporter& r_;
  Progress& p_;
  BuildSettings g2_;
  EffectsSettings g3_;
  std::vector<std::string> pairs_;
  std::vector<std::int16_t> used_;
  std::optional<std::size_t> slot_entry_;
  std::vector<PviewRecord> events_;
  SampleList samples_;
  std::vector<PairState> pair_state_;
  std::vector<Summary> summary_;
  std::vector<double> slots_;  // per summary entry: high and low of each offset in use
  std::int64_t count_ = 0;
};

}  // namespace

void effect_analysis_report(Session& s, Reporter& r, Progress& p) {
  Run(s, r, p).go();
}

}  // namespace mervane
