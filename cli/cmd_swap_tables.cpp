// swap rate set|delete and swap data set|delete: filling SWAPRATE and SWAPDATA without the swap
// rate and swap definition forms. A set changes only the fields given; a new record starts
// blank. Values are read by the forms' pictures, so what the forms refuse is refused here too.
#include <CLI/CLI.hpp>

#include <array>
#include <memory>
#include <ostream>

#include "cli/commands.h"
#include "cli/option_values.h"
#include "core/app/open_or_create.h"
#include "core/model/records.h"
#include "core/runtime/paths.h"

namespace mervane::cli {
namespace {

// Parses a comma list of names into flags: each flag is 1 when its name is in the list, else 0.
// "none" clears them all.
template <std::size_t N>
void set_flags(std::string_view option, const std::string& list,
               const std::array<const char*, N>& names, const std::array<std::int16_t*, N>& flags) {
  for (auto* f : flags) *f = 0;
  if (upper_ascii(list) == "NONE") return;
  std::size_t start = 0;
  while (start <= list.size()) {
    std::size_t end = list.find(',', start);
    if (end == std::string::npos) end = list.size();
    const std::string item = upper_ascii(list.substr(start, end - start));
    bool known = false;
    for (std::size_t i = 0; i < N; ++i)
      if (item == names[i]) *flags[i] = 1, known = true;
    if (!known) {
      std::string all;
      for (const char* n : names) {
        if (!all.empty()) all += ',';
        all += n;
      }
      throw UsageError(std::string(option) + ": unknown name \"" + item + "\" (names: " + all +
                       ", or none)");
    }
    start = end + 1;
  }
}

// Runs a change of one table in a transaction of its own; body returns the exit code.
template <class Def, class Body>
int change_table(Context& c, Body&& body) {
  Table<Def> t(c.session->folder());
  if (!open_or_create(t, OpenMode::shared(), *c.reporter)) return 1;
  Transaction tx(t);
  if (stop_if_failed(*c.reporter, "Open", t.file_name(), tx.status())) return 1;
  const int rc = body(t);
  if (rc != 0) return rc;
  return stop_if_failed(*c.reporter, "Put", t.file_name(), tx.commit()) ? 1 : 0;
}

// Stores rec: over the record last read when found, else as a new one.
template <class Def>
int store(Context& c, Table<Def>& t, bool found) {
  const Status st = found ? t.put() : t.add();
  return stop_if_failed(*c.reporter, found ? "Put" : "Add", t.file_name(), st) ? 1 : 0;
}

struct RateOptions {
  std::string pair, buy, sell, spread;
};

int set_rate(Context& c, const RateOptions& o) {
  const std::string pair = text_option("PAIR", o.pair, 6);
  if (pair.empty()) throw UsageError("PAIR: a pair may not be blank");
  return change_table<SwaprateTable>(c, [&](Table<SwaprateTable>& t) {
    t.clear();
    t.rec.pair = pair;
    const Status got = t.get(SwaprateKey::KeyPair);
    if (got.failed() && got.code != kRecordNotFound)
      return stop_if_failed(*c.reporter, "Get", t.file_name(), got), 1;
    if (got.failed()) {
      t.clear();
      t.rec.pair = pair;
    }
    SwaprateRecord& r = t.rec;
    if (!o.buy.empty()) r.buy = picture_option("--buy", "N-8.2B", o.buy);
    if (!o.sell.empty()) r.sell = picture_option("--sell", "N-8.2B", o.sell);
    if (!o.spread.empty())
      set_flags<12>(
          "--spread", o.spread,
          {"ALL", "USD", "CAD", "EUR", "GBP", "CHF", "JPY", "AUD", "NZD", "HIGH", "MED", "LOW"},
          {&r.all, &r.usd, &r.cad, &r.eur, &r.gbp, &r.chf, &r.jpy, &r.aud, &r.nzd, &r.high, &r.med,
           &r.low});
    return store(c, t, got.is_ok());
  });
}

int delete_rate(Context& c, const std::string& typed) {
  const std::string pair = text_option("PAIR", typed, 6);
  return change_table<SwaprateTable>(c, [&](Table<SwaprateTable>& t) {
    t.clear();
    t.rec.pair = pair;
    const Status got = t.get(SwaprateKey::KeyPair);
    if (got.code == kRecordNotFound) {
      c.e() << "mervane-cli: no swap rate for " << typed << '\n';
      return 1;
    }
    if (stop_if_failed(*c.reporter, "Get", t.file_name(), got)) return 1;
    return stop_if_failed(*c.reporter, "Delete", t.file_name(), t.erase()) ? 1 : 0;
  });
}

// The definition with a Date Add. Read in storage order, since the key leaves out Date Add 0
// (its only key field is zero); there are only a few definitions.
Status find_definition(Table<SwapdataTable>& t, std::int16_t dateadd) {
  Status st = t.set_storage_order();
  while (st.is_ok() && (st = t.next()).is_ok())
    if (t.rec.dateadd == dateadd) return st;
  return st.code == kRecordNotAvailable ? Status(kRecordNotFound) : st;
}

struct DataOptions {
  std::string dateadd, time, descr, factor, spacing, color, symbol, symbol2, charts;
};

std::int16_t short_option(std::string_view option, std::string_view picture,
                          const std::string& typed) {
  return static_cast<std::int16_t>(picture_option(option, picture, typed));
}

int set_data(Context& c, const DataOptions& o) {
  const std::int16_t dateadd = short_option("--date-add", "N-3", o.dateadd);
  return change_table<SwapdataTable>(c, [&](Table<SwapdataTable>& t) {
    const Status got = find_definition(t, dateadd);
    if (got.failed() && got.code != kRecordNotFound)
      return stop_if_failed(*c.reporter, "Get", t.file_name(), got), 1;
    if (got.failed()) {
      t.clear();
      t.rec.dateadd = dateadd;
    }
    SwapdataRecord& r = t.rec;
    if (!o.time.empty())
      r.mt4time = static_cast<std::int32_t>(picture_option("--time", "T1", o.time));
    if (!o.descr.empty()) r.descr = text_option("--descr", o.descr, 50);
    if (!o.factor.empty()) r.factor = short_option("--factor", "N-3", o.factor);
    if (!o.spacing.empty()) r.spacing = short_option("--spacing", "N-3", o.spacing);
    if (!o.color.empty()) r.color = short_option("--color", "N2", o.color);
    if (!o.symbol.empty()) r.symbol = short_option("--symbol", "N3", o.symbol);
    if (!o.symbol2.empty()) r.symbol2 = short_option("--symbol2", "N3", o.symbol2);
    if (!o.charts.empty())
      set_flags<9>("--charts", o.charts, {"M1", "M5", "M15", "M30", "H1", "H4", "D1", "W1", "MN1"},
                   {&r.m1, &r.m5, &r.m15, &r.m30, &r.h1, &r.h4, &r.d1, &r.w1, &r.mn1});
    return store(c, t, got.is_ok());
  });
}

int delete_data(Context& c, const std::string& typed) {
  const std::int16_t dateadd = short_option("--date-add", "N-3", typed);
  return change_table<SwapdataTable>(c, [&](Table<SwapdataTable>& t) {
    const Status got = find_definition(t, dateadd);
    if (got.code == kRecordNotFound) {
      c.e() << "mervane-cli: no swap definition with Date Add " << dateadd << '\n';
      return 1;
    }
    if (stop_if_failed(*c.reporter, "Get", t.file_name(), got)) return 1;
    return stop_if_failed(*c.reporter, "Delete", t.file_name(), t.erase()) ? 1 : 0;
  });
}

void add_rate_commands(CLI::App& swap, Context& ctx) {
  auto* rate = swap.add_subcommand("rate", "the swap rates of the pairs (SWAPRATE)");
  rate->require_subcommand(1);
  auto* set = rate->add_subcommand("set", "add a pair or change its swaps and spread flags");
  auto o = std::make_shared<RateOptions>();
  set->add_option("PAIR", o->pair, "currency pair, as EURUSD")->required();
  set->add_option("--buy", o->buy, "buy swap");
  set->add_option("--sell", o->sell, "sell swap");
  set->add_option("--spread", o->spread,
                  "collect spread for exactly these: ALL,USD,CAD,EUR,GBP,CHF,JPY,AUD,NZD,HIGH,MED,"
                  "LOW (or none)");
  on_run(*set, ctx, [o](Context& c) { return set_rate(c, *o); });
  auto* del = rate->add_subcommand("delete", "delete the swap rate of a pair");
  auto pair = std::make_shared<std::string>();
  del->add_option("PAIR", *pair, "currency pair")->required();
  on_run(*del, ctx, [pair](Context& c) { return delete_rate(c, *pair); });
}

void add_data_commands(CLI::App& swap, Context& ctx) {
  auto* data = swap.add_subcommand("data", "the swap definitions (SWAPDATA)");
  data->require_subcommand(1);
  auto* set = data->add_subcommand("set", "add a definition or change its fields");
  auto o = std::make_shared<DataOptions>();
  set->add_option("--date-add", o->dateadd, "days after the Sunday (0 = Sunday)")->required();
  set->add_option("--time", o->time, "MT4 time, HH:MM");
  set->add_option("--descr", o->descr, "description (text 1 of the items)");
  set->add_option("--factor", o->factor, "the swaps are shown times this factor");
  set->add_option("--spacing", o->spacing, "spacing");
  set->add_option("--color", o->color, "colour number");
  set->add_option("--symbol", o->symbol, "Wingdings symbol when the sell swap is not higher");
  set->add_option("--symbol2", o->symbol2, "Wingdings symbol when the sell swap is higher");
  set->add_option("--charts", o->charts,
                  "show on exactly these charts: M1,M5,M15,M30,H1,H4,D1,W1,MN1 (or none)");
  on_run(*set, ctx, [o](Context& c) { return set_data(c, *o); });
  auto* del = data->add_subcommand("delete", "delete a definition");
  auto dateadd = std::make_shared<std::string>();
  del->add_option("--date-add", *dateadd, "Date Add of the definition")->required();
  on_run(*del, ctx, [dateadd](Context& c) { return delete_data(c, *dateadd); });
}

}  // namespace

void add_swap_table_commands(CLI::App& swap, Context& ctx) {
  add_rate_commands(swap, ctx);
  add_data_commands(swap, ctx);
}

}  // namespace mervane::cli
