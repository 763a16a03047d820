#include "core/auxdata/import_swap_rates.h"

#include <cmath>

#include "core/app/open_or_create.h"
#include "core/auxdata/swap_rate_line.h"
#include "core/model/records.h"
#include "core/runtime/find_file.h"
#include "core/runtime/text_file.h"

namespace mervane {

namespace {

constexpr const char* kSwapRateFile = "swaprate.csv";

using C = ImportSwapRatesControl;

}  // namespace

const std::vector<ControlSpec>& ImportSwapRates::controls() const {
  static const std::vector<ControlSpec> kControls = [] {
    ControlList l(100);
    using K = ControlKind;
    // Places in dialog units: the check box, the multiplier beside its prompt, the buttons.
    l.add(number(C::ADDNEW), K::Check, "?ADDNEW", "  Add new currency pairs found in input file")
        .at({8, 8, 220, 11});
    l.prompt("Multiply imported value by");
    l.at({8, 28, 120, 9});
    l.add(number(C::MULTIPLIER), K::Entry, "?MULTIPLIER", {}, "n_9.4").at({128, 26, 56, 13});
    l.add(number(C::OK), K::Button, "?OK", "OK (Enter)").at({90, 48, 66, 15});
    l.add(number(C::CANCEL), K::Button, "?CANCEL", "Cancel (Esc)").at({162, 48, 68, 15});
    // The counter has no prompt on the window; its name tells a screen reader what it counts.
    l.add(number(C::COUNT1), K::Display, "?COUNT1", "Lines read", "n_6").at({8, 51, 60, 10});
    return l.take();
  }();
  return kControls;
}

void ImportSwapRates::open() {
  addnew_ = 0;
  multiplier_ = 1;
}

std::string ImportSwapRates::value(int control) const {
  const ControlSpec* c = control_def(control);
  switch (static_cast<C>(control)) {
    case C::ADDNEW:
      return addnew_ ? "1" : "0";
    case C::MULTIPLIER:
      return shown(c->picture, multiplier_);
    case C::COUNT1:
      return shown(c->picture, static_cast<double>(count1_));
    default:
      return {};
  }
}

std::string ImportSwapRates::store(int control, const Typed& v) {
  if (control == number(C::ADDNEW)) addnew_ = static_cast<std::int16_t>(v.number);
  if (control == number(C::MULTIPLIER)) multiplier_ = v.number;
  return {};
}

Reply ImportSwapRates::on_key(KeyPress k) {
  return ok_cancel_keys(k, number(C::OK), number(C::CANCEL));
}

Reply ImportSwapRates::on_accepted(int control) {
  if (control == number(C::OK)) {
    import_lines();
    return close(Response::Completed);
  }
  if (control == number(C::CANCEL)) return close(Response::Cancelled);
  return Reply::stay();
}

void ImportSwapRates::import_lines() {
  result_ = {};
  count1_ = 0;
  s_.with([](Globals& g) { g.inpname = kSwapRateFile; });
  TextReader in;
  // The message names the file: "File Not Found" alone does not say which one is missing.
  if (stop_if_failed(reporter_, "Open", kSwapRateFile,
                     in.open(find_file(s_.folder(), kSwapRateFile))))
    return;
  Table<SwaprateTable> rates(s_.folder());
  if (!open_or_create(rates, OpenMode::shared(), reporter_)) return;
  const std::string table = rates.file_name();
  Transaction tx(rates);
  if (stop_if_failed(reporter_, "Open", table, tx.status())) return;

  std::string line;
  Status st;
  while ((st = in.next(line)).is_ok()) {
    p_.report("COUNT1", ++count1_);
    auto parsed = read_swap_rate_line(line);
    if (parsed) {
      parsed.value->buy *= multiplier_;
      parsed.value->sell *= multiplier_;
      if (!std::isfinite(parsed.value->buy) || !std::isfinite(parsed.value->sell))
        parsed = {std::nullopt, "the swap times the multiplier is too large"};
    }
    if (!parsed) {
      result_.skipped.push_back("line " + std::to_string(count1_) + ": " + parsed.reason);
      continue;
    }
    const SwapRateLine& v = *parsed.value;
    rates.clear();
    rates.rec.pair = v.pair;
    const Status found = rates.get(SwaprateKey::KeyPair);
    if (found.is_ok()) {
      rates.rec.buy = v.buy;
      rates.rec.sell = v.sell;
      if (!stop_if_failed(reporter_, "Put", table, rates.put())) ++result_.updated;
    } else if (found.code != kRecordNotFound) {
      stop(reporter_, "Get", table, found);
    } else if (addnew_) {
      rates.clear();
      rates.rec.pair = v.pair;
      rates.rec.buy = v.buy;
      rates.rec.sell = v.sell;
      if (!stop_if_failed(reporter_, "Add", table, rates.add())) ++result_.added;
    } else {
      ++result_.not_added;
    }
  }
  if (st.code != kRecordNotAvailable) {
    // A file that breaks off part way would import only its first lines: keep the table as it
    // was rather than half of a new set of rates.
    stop(reporter_, "Get", kSwapRateFile, st);
    return;
  }
  if (stop_if_failed(reporter_, "Put", table, tx.commit())) return;
  result_.file_read = true;
}

std::optional<Warning> ImportSwapRates::skipped_lines() const {
  const SwapImportResult& r = result_;
  if (!r.file_read || r.skipped.empty()) return std::nullopt;
  constexpr std::size_t kWidth = 100;  // a line of junk can be as long as the file
  std::string text = std::to_string(r.skipped.size()) +
                     (r.skipped.size() == 1 ? " line" : " lines") + " of " + kSwapRateFile +
                     " skipped (not \"pair,buy,sell\"):\n";
  for (std::size_t i = 0; i < r.skipped.size() && i < kSkippedShown; ++i) {
    const std::string& s = r.skipped[i];
    text += s.size() > kWidth ? s.substr(0, kWidth) + "..." : s;
    text += '\n';
  }
  if (r.skipped.size() > kSkippedShown)
    text += "and " + std::to_string(r.skipped.size() - kSkippedShown) + " more\n";
  text += '\n' + std::to_string(count1_) + " lines read: " + std::to_string(r.updated) +
          " pairs updated, " + std::to_string(r.added) + " added";
  if (r.not_added)
    text +=
        ", " + std::to_string(r.not_added) + " new pairs not added (Add new currency pairs off)";
  Warning w;
  w.text = std::move(text);
  w.caption = title();
  w.icon = Icon::Exclamation;
  return w;
}

}  // namespace mervane
