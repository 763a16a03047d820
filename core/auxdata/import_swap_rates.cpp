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
}

void ImportSwapRates::ok() {
  import_lines();
  closed_ = true;
}

void ImportSwapRates::import_lines() {
  result_ = {};
  count1 = 0;
  s_.with([](Globals& g) { g.inpname = kSwapRateFile; });
  TextReader in;
  // The message names the file: "File Not Found" alone does not say which one is missing.
  if (stop_if_failed(r_, "Open", kSwapRateFile, in.open(find_file(s_.folder(), kSwapRateFile))))
    return;
  Table<SwaprateTable> rates(s_.folder());
  if (!open_or_create(rates, OpenMode::shared(), r_)) return;
  const std::string table = rates.file_name();
  Transaction tx(rates);
  if (stop_if_failed(r_, "Open", table, tx.status())) return;

  std::string line;
  Status st;
  while ((st = in.next(line)).is_ok()) {
    p_.report("COUNT1", ++count1);
    auto parsed = read_swap_rate_line(line);
    if (parsed) {
      parsed.value->buy *= multiplier;
      parsed.value->sell *= multiplier;
      if (!std::isfinite(parsed.value->buy) || !std::isfinite(parsed.value->sell))
        parsed = {std::nullopt, "the swap times the multiplier is too large"};
    }
    if (!parsed) {
      result_.skipped.push_back("line " + std::to_string(count1) + ": " + parsed.reason);
      continue;
    }
    const SwapRateLine& v = *parsed.value;
    rates.clear();
    rates.rec.pair = v.pair;
    const Status found = rates.get(SwaprateKey::KeyPair);
    if (found.is_ok()) {
      rates.rec.buy = v.buy;
      rates.rec.sell = v.sell;
      if (!stop_if_failed(r_, "Put", table, rates.put())) ++result_.updated;
    } else if (found.code != kRecordNotFound) {
      stop(r_, "Get", table, found);
    } else if (addnew) {
      rates.clear();
      rates.rec.pair = v.pair;
      rates.rec.buy = v.buy;
      rates.rec.sell = v.sell;
      if (!stop_if_failed(r_, "Add", table, rates.add())) ++result_.added;
    } else {
      ++result_.not_added;
    }
  }
  if (st.code != kRecordNotAvailable) {
    // A file that breaks off part way would import only its first lines: keep the table as it
    // was rather than half of a new set of rates.
    stop(r_, "Get", kSwapRateFile, st);
    return;
  }
  if (stop_if_failed(r_, "Put", table, tx.commit())) return;
  result_.file_read = true;
}

}  // namespace mervane
