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

constexpr int n(C c) {
  return static_cast<int>(c);
}

}  // namespace

const std::vector<ControlSpec>& ImportSwapRates::controls() const {
  static const std::vector<ControlSpec> kControls = [] {
    ControlList l(100);
    using K = ControlKind;
    l.add(n(C::ADDNEW), K::Check, "?ADDNEW", "  Add new currency pairs found in input file");
    l.prompt("Multiply imported value by");
    l.add(n(C::MULTIPLIER), K::Entry, "?MULTIPLIER", {}, "n_9.4");
    l.add(n(C::OK), K::Button, "?OK", "OK (Enter)");
    l.add(n(C::CANCEL), K::Button, "?CANCEL", "Cancel (Esc)");
    l.add(n(C::COUNT1), K::Display, "?COUNT1", {}, "n_6");
    return l.take();
  }();
  return kControls;
}

void ImportSwapRates::open() {
  addnew_ = 0;
  multiplier_ = 1;
}

std::string ImportSwapRates::value(int control) const {
  const ControlSpec* c = spec(control);
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
  if (control == n(C::ADDNEW)) addnew_ = static_cast<std::int16_t>(v.number);
  if (control == n(C::MULTIPLIER)) multiplier_ = v.number;
  return {};
}

Reply ImportSwapRates::on_key(KeyPress k) {
  return ok_cancel_keys(k, n(C::OK), n(C::CANCEL));
}

Reply ImportSwapRates::on_accepted(int control) {
  if (control == n(C::OK)) {
    import_lines();
    return close(Response::Completed);
  }
  if (control == n(C::CANCEL)) return close(Response::Cancelled);
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

}  // namespace mervane
