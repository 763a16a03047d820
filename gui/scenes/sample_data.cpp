#include "gui/scenes/sample_data.h"

#include <string>
#include <vector>

#include "core/model/records.h"
#include "core/runtime/table.h"
#include "core/util/dates.h"
#include "core/util/helpers.h"

namespace mervane::gui {
namespace {

template <class Def>
std::vector<std::int64_t> fill(const std::filesystem::path& work,
                               const std::vector<typename Def::Record>& records) {
  Table<Def> t(work);
  std::vector<std::int64_t> at;
  if (t.create().failed() || t.open().failed()) return at;
  for (const auto& r : records) {
    t.rec = r;
    if (t.add().is_ok()) at.push_back(t.row_id());
  }
  return at;
}

CalendarRecord event(int d, int h, int m, const char* ccy, const char* descr, const char* impact,
                     const char* actual, const char* forecast, const char* previous) {
  CalendarRecord r;
  r.date = *date_serial(2009, 3, d);
  r.time = tod(h, m);
  r.currency = ccy;
  r.descr = descr;
  r.impact = impact;
  r.actual = actual;
  r.forecast = forecast;
  r.previous = previous;
  r.kxidcode = std::to_string(40000 + d * 100 + h);
  r.symbol = "140";
  r.color = "3";
  r.spacing = "1";
  return r;
}

}  // namespace

SampleData fill_sample_tables(const std::filesystem::path& work) {
  const std::vector<CalendarRecord> events = {
      event(2, 8, 30, "USD", "ISM Manufacturing", "H", "35.8", "34.0", "32.9"),
      event(2, 10, 0, "EUR", "Manufacturing PMI", "M", "33.5", "33.6", "33.6"),
      event(3, 1, 30, "AUD", "RBA Rate Statement", "H", "", "", ""),
      event(4, 8, 15, "USD", "ADP Non-Farm Employment Change", "H", "-697K", "-630K", "-614K"),
      event(4, 10, 0, "CAD", "Overnight Rate", "H", "0.50%", "0.50%", "1.00%"),
      event(5, 7, 45, "EUR", "Minimum Bid Rate", "H", "1.50%", "1.50%", "2.00%"),
      event(6, 8, 30, "USD", "Non-Farm Employment Change", "H", "-651K", "-648K", "-655K"),
      event(7, 0, 0, "JPY", "Bank Holiday", "L", "", "", ""),
  };
  SampleData d;
  if (const auto at = fill<CalendarTable>(work, events); !at.empty()) d.event = at.front();
  std::vector<PviewRecord> preview;
  for (const CalendarRecord& e : events) {
    PviewRecord p;
    p.date = e.date;
    p.time = e.time;
    p.currency = e.currency;
    p.descr = e.descr;
    p.impact = e.impact;
    p.actual = e.actual;
    p.forecast = e.forecast;
    p.previous = e.previous;
    p.kxidcode = e.kxidcode;
    preview.push_back(p);
  }
  fill<PviewTable>(work, preview);

  auto item = [](const char* type, int d, int h, const char* ccy, int symbol, const char* text1,
                 const char* text2) {
    SwapoutRecord r;
    r.rectype = type;
    r.date = *date_serial(2009, 3, d);
    r.time = tod(h);
    r.currency = ccy;
    r.spacing = 2;
    r.symbol = static_cast<std::int16_t>(symbol);
    r.color = 4;
    r.m15 = r.m30 = r.h1 = r.h4 = 1;
    r.text1 = text1;
    r.text2 = text2;
    return r;
  };
  if (const auto at = fill<SwapoutTable>(
          work, {item("SWAP", 4, 21, "EURUSD", 233, "EURUSD swap x3", "Buy -0.45  Sell 0.12"),
                 item("SWAP", 11, 21, "GBPUSD", 234, "GBPUSD swap x3", "Buy -0.80  Sell 0.35"),
                 item("NOTE", 6, 13, "USD", 171, "Payrolls week", "")});
      !at.empty())
    d.item = at.front();

  auto rate = [](const char* pair, double buy, double sell, bool usd, bool eur) {
    SwaprateRecord r;
    r.pair = pair;
    r.buy = buy;
    r.sell = sell;
    r.usd = usd;
    r.eur = eur;
    r.high = 1;
    return r;
  };
  if (const auto at = fill<SwaprateTable>(
          work, {rate("EURUSD", -0.45, 0.12, true, true), rate("GBPUSD", -0.8, 0.35, true, false),
                 rate("USDJPY", 1.25, -2.1, true, false)});
      !at.empty())
    d.rate = at.front();

  auto definition = [](int add, int h, const char* descr, int factor, int symbol, int symbol2) {
    SwapdataRecord r;
    r.dateadd = static_cast<std::int16_t>(add);
    r.mt4time = tod(h);
    r.descr = descr;
    r.factor = static_cast<std::int16_t>(factor);
    r.spacing = 2;
    r.color = 4;
    r.symbol = static_cast<std::int16_t>(symbol);
    r.symbol2 = static_cast<std::int16_t>(symbol2);
    r.h1 = r.h4 = r.d1 = 1;
    return r;
  };
  if (const auto at =
          fill<SwapdataTable>(work, {definition(0, 21, "Sunday rollover", 1, 233, 234),
                                     definition(3, 21, "Wednesday triple swap", 3, 233, 234)});
      !at.empty())
    d.definition = at.front();
  return d;
}

bool seed_history(const std::filesystem::path& folder) {
  Table<CalendarTable> t(folder);
  if (t.create().failed() || t.open().failed()) return false;
  t.rec.date = *date_serial(2009, 3, 6);
  t.rec.time = 1 + 13 * 360000 + 30 * 6000;
  t.rec.currency = "USD";
  t.rec.descr = "Non-Farm Employment Change";
  t.rec.impact = "H";
  t.rec.color = "3";
  t.rec.symbol = "140";
  return !t.add().failed();
}

}  // namespace mervane::gui
