// The four tables that have a list and a form, as the list and form tests drive them: the
// records stored at the start, what a user types for a new record, which field a change edits
// and which one another window changes meanwhile, the key a duplicate repeats, and the
// character that locates a record.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/auxdata/swap_browses.h"
#include "core/history/browses.h"
#include "core/history/forms.h"
#include "core/util/helpers.h"
#include "tests/support/tables.h"
#include "tests/support/window_bed.h"

namespace mervane::test {

using Typed = std::vector<std::pair<int, std::string>>;

// The version a table keeps of a stored record (it rises with every write).
inline std::int64_t stored_version(const std::filesystem::path& db, std::int64_t id) {
  sqlite3* h = nullptr;
  sqlite3_open_v2(db.c_str(), &h, SQLITE_OPEN_READONLY, nullptr);
  sqlite3_stmt* st = nullptr;
  sqlite3_prepare_v2(h, "SELECT _ver FROM data WHERE id = ?1", -1, &st, nullptr);
  sqlite3_bind_int64(st, 1, id);
  const std::int64_t v = sqlite3_step(st) == SQLITE_ROW ? sqlite3_column_int64(st, 0) : -1;
  sqlite3_finalize(st);
  sqlite3_close(h);
  return v;
}

struct HistoryCase {
  using Def = CalendarTable;
  using Record = CalendarRecord;
  using List = BrowseHistoryByName;
  static std::unique_ptr<List> make_list(WindowBed& b) {
    return std::make_unique<List>(b.session, b.windows, b.reporter);
  }
  using Form = UpdateCalendar;
  using C = UpdateCalendarControl;
  static constexpr const char* name = "Calendar";
  static constexpr const char* key_name = "CAL:Key";
  static constexpr const char* db = "CALENDAR.db";
  static std::vector<Record> stored() {
    auto e = [](int d, int h, const char* ccy, const char* descr) {
      Record r = calendar_event(day(2009, 3, d), tod(h, 30), ccy, descr);
      r.actual = "1.0";
      r.forecast = "1.1";
      return r;
    };
    return {e(2, 8, "USD", "ISM Manufacturing"), e(3, 9, "EUR", "PMI"), e(4, 7, "GBP", "GDP")};
  }
  static Typed new_record() {
    return {{number(C::DATE), "03/05/2009"},
            {number(C::TIME), "10:00"},
            {number(C::CURRENCY), "CAD"},
            {number(C::DESCR), "BoC Rate"},
            {number(C::IMPACT), "H"}};
  }
  static bool is_new(const Record& r) {
    return r.date == day(2009, 3, 5) && r.time == tod(10) && r.currency == "CAD" &&
           r.descr == "BoC Rate" && r.impact == "H";
  }
  static constexpr int changed = number(C::ACTUAL);
  static constexpr const char* change = "0.5%";
  static bool has_change(const Record& r) { return r.actual == "0.5%"; }
  static constexpr int other = number(C::FORECAST);
  static void other_change(Record& r) { r.forecast = "9.9%"; }
  static bool has_other_change(const Record& r) { return r.forecast == "9.9%"; }
  static Typed duplicate() {  // the first stored event's key, in other letter case
    return {{number(C::DATE), "3/2/2009"},
            {number(C::TIME), "08:30"},
            {number(C::CURRENCY), "usd"},
            {number(C::DESCR), "ism manufacturing"}};
  }
  static constexpr char locate = '7';  // the date order: the digits of the date serial
  static constexpr int ok = number(C::OK);
  static constexpr int cancel = number(C::CANCEL);
};

struct SwapOutCase {
  using Def = SwapoutTable;
  using Record = SwapoutRecord;
  using List = BrowseSwapOut;
  static std::unique_ptr<List> make_list(WindowBed& b) {
    return std::make_unique<List>(b.session, b.windows, b.reporter, b.progress);
  }
  using Form = EditSwapOut;
  using C = EditSwapOutControl;
  static constexpr const char* name = "Swapout";
  static constexpr const char* key_name = "SWO:Key";
  static constexpr const char* db = "SWAPOUT.db";
  static std::vector<Record> stored() {
    auto item = [](const char* type, int d, const char* ccy) {
      Record r;
      r.rectype = type;
      r.date = day(2009, 3, d);
      r.time = tod(23);
      r.currency = ccy;
      r.text1 = "text";
      r.symbol = 233;
      r.color = 2;
      r.m1 = r.h1 = 1;
      return r;
    };
    return {item("SWAP", 8, "EURUSD"), item("NOTE", 9, "ALL"), item("SWAP", 8, "USDJPY")};
  }
  static Typed new_record() {
    return {{number(C::RECTYPE), "MARK"}, {number(C::DATE), "03/10/2009"},
            {number(C::TIME), "12:00"},   {number(C::CURRENCY), "GBPUSD"},
            {number(C::SYMBOL), "159"},   {number(C::H4), "1"},
            {number(C::TEXT1), "Budget"}};
  }
  static bool is_new(const Record& r) {
    return r.rectype == "MARK" && r.date == day(2009, 3, 10) && r.time == tod(12) &&
           r.currency == "GBPUSD" && r.symbol == 159 && r.h4 == 1 && r.m1 == 0 &&
           r.text1 == "Budget";
  }
  static constexpr int changed = number(C::TEXT2);
  static constexpr const char* change = "second line";
  static bool has_change(const Record& r) { return r.text2 == "second line"; }
  static constexpr int other = number(C::SPACING);
  static void other_change(Record& r) { r.spacing = -5; }
  static bool has_other_change(const Record& r) { return r.spacing == -5; }
  static Typed duplicate() {
    return {{number(C::RECTYPE), "swap"},
            {number(C::DATE), "03/08/2009"},
            {number(C::TIME), "23:00"},
            {number(C::CURRENCY), "eurusd"},
            {number(C::TEXT1), "TEXT"}};
  }
  static constexpr char locate = 'n';  // NOTE
  static constexpr int ok = number(C::OK);
  static constexpr int cancel = number(C::CANCEL);
};

struct SwapRateCase {
  using Def = SwaprateTable;
  using Record = SwaprateRecord;
  using List = BrowseSwapRate;
  static std::unique_ptr<List> make_list(WindowBed& b) {
    return std::make_unique<List>(b.session, b.windows, b.reporter, b.progress);
  }
  using Form = EditSwapRate;
  using C = EditSwapRateControl;
  static constexpr const char* name = "Swaprate";
  static constexpr const char* key_name = "SWR:KeyPair";
  static constexpr const char* db = "SWAPRATE.db";
  static std::vector<Record> stored() {
    auto rate = [](const char* pair, double buy, double sell) {
      Record r;
      r.pair = pair;
      r.buy = buy;
      r.sell = sell;
      r.usd = r.high = 1;
      return r;
    };
    return {rate("EURUSD", 0.5, -1.25), rate("USDJPY", 1, -2), rate("GBPUSD", 0, 0)};
  }
  static Typed new_record() {
    return {{number(C::PAIR), "AUDUSD"},
            {number(C::BUY), "1.5"},
            {number(C::SELL), "-2.25"},
            {number(C::AUD), "1"},
            {number(C::LOW), "1"}};
  }
  static bool is_new(const Record& r) {
    return r.pair == "AUDUSD" && r.buy == 1.5 && r.sell == -2.25 && r.aud == 1 && r.low == 1 &&
           r.usd == 0;
  }
  static constexpr int changed = number(C::BUY);
  static constexpr const char* change = "3.25";
  static bool has_change(const Record& r) { return r.buy == 3.25; }
  static constexpr int other = number(C::SELL);
  static void other_change(Record& r) { r.sell = -7; }
  static bool has_other_change(const Record& r) { return r.sell == -7; }
  static Typed duplicate() { return {{number(C::PAIR), "eurusd"}}; }
  static constexpr char locate = 'u';  // USDJPY
  static constexpr int ok = number(C::OK);
  static constexpr int cancel = number(C::CANCEL);
};

struct SwapDataCase {
  using Def = SwapdataTable;
  using Record = SwapdataRecord;
  using List = BrowseSwapData;
  static std::unique_ptr<List> make_list(WindowBed& b) {
    return std::make_unique<List>(b.session, b.windows, b.reporter);
  }
  using Form = EditSwapData;
  using C = EditSwapDataControl;
  static constexpr const char* name = "Swapdata";
  static constexpr const char* key_name = "SWD:KeyDateAdd";
  static constexpr const char* db = "SWAPDATA.db";
  static std::vector<Record> stored() {
    auto def = [](std::int16_t add, const char* descr) {
      Record r;
      r.dateadd = add;
      r.mt4time = tod(23);
      r.descr = descr;
      r.factor = 1;
      r.symbol = 233;
      r.symbol2 = 234;
      return r;
    };
    return {def(3, "Wed"), def(1, "Mon"), def(5, "Fri")};
  }
  static Typed new_record() {
    return {{number(C::DATEADD), "4"},
            {number(C::MT4TIME), "22:00"},
            {number(C::DESCR), "Thu"},
            {number(C::COLOR), "7"},
            {number(C::MN1), "1"}};
  }
  static bool is_new(const Record& r) {
    return r.dateadd == 4 && r.mt4time == tod(22) && r.descr == "Thu" && r.color == 7 && r.mn1 == 1;
  }
  static constexpr int changed = number(C::DESCR);
  static constexpr const char* change = "changed";
  static bool has_change(const Record& r) { return r.descr == "changed"; }
  static constexpr int other = number(C::FACTOR);
  static void other_change(Record& r) { r.factor = -3; }
  static bool has_other_change(const Record& r) { return r.factor == -3; }
  static Typed duplicate() { return {{number(C::DATEADD), "3"}}; }
  static constexpr char locate = '5';
  static constexpr int ok = number(C::OK);
  static constexpr int cancel = number(C::CANCEL);
};

}  // namespace mervane::test
