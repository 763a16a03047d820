// swap rate set|delete and swap data set|delete: the swap rate and swap definition forms, filled
// in from the options and confirmed as a user would. A set changes only the fields given; a new
// record starts blank. The forms read the values by their pictures, check the key and see a
// change another window made meanwhile, so the command refuses and reports exactly what the
// forms do.
#include <CLI/CLI.hpp>

#include <array>
#include <memory>
#include <ostream>

#include "cli/cli_windows.h"
#include "cli/commands.h"
#include "cli/option_values.h"
#include "core/app/open_or_create.h"
#include "core/history/forms.h"
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

// What the forms report while a command fills them: a field's refusal is kept for the command
// to name its option, the confirmation of a delete is answered OK (running the command was the
// confirmation), every other message goes to the command's reporter.
class FormReporter final : public Reporter {
 public:
  explicit FormReporter(Reporter& inner) : inner_(inner) {}
  Answer stop(std::string_view text) override { return inner_.stop(text); }
  int warning(const Warning& w) override {
    if (w.id == 0) {
      refusal = w.text;
      return kOkButton;
    }
    if (w.id == 32) return kOkButton;
    return inner_.warning(w);
  }
  std::string refusal;

 private:
  Reporter& inner_;
};

// A form driven by a command: the request is put into the session, the form opened, the option
// values typed into its fields and OK pressed, as a user would.
template <class Form>
class FormRun {
 public:
  FormRun(Context& c, Request rq, std::int64_t position)
      : c_(c),
        reporter_(*c.reporter),
        form_(*c.session, windows_, reporter_) {
    c.session->set_request(rq, position);
    form_.open();
  }
  // Types an option's value into a field; what the field refuses is a usage error.
  template <class E>
  void type(E control, std::string_view option, const std::string& text) {
    reporter_.refusal.clear();
    form_.type(number(control), text);
    if (!reporter_.refusal.empty())
      throw UsageError(std::string(option) + ": " + reporter_.refusal);
  }
  // OK: 0 when the form stored the record and closed, else 1 (its message has been shown).
  template <class E>
  int ok(E control) {
    reporter_.refusal.clear();
    form_.accepted(number(control));
    if (!reporter_.refusal.empty()) c_.e() << "mervane-cli: " << reporter_.refusal << '\n';
    return done() ? 0 : 1;
  }
  // Whether the form has closed with its work done (a delete closes on opening).
  bool done() const {
    return form_.closed() &&
           c_.session->response().response == static_cast<int>(Response::Completed);
  }

 private:
  Context& c_;
  FormReporter reporter_;
  CliWindows windows_;
  Form form_;
};

struct RateOptions {
  std::string pair, buy, sell, spread;
};

// The position of the swap rate of a pair: 0 when there is none, -1 when the table failed.
std::int64_t find_rate(Context& c, const std::string& pair) {
  Table<SwaprateTable> t(c.session->folder());
  if (!open_or_create(t, OpenMode::shared(), *c.reporter)) return -1;
  t.clear();
  t.rec.pair = pair;
  const Status got = t.get(SwaprateKey::KeyPair);
  if (got.is_ok()) return t.row_id();
  if (got.code == kRecordNotFound) return 0;
  stop(*c.reporter, "Get", t.file_name(), got);
  return -1;
}

int set_rate(Context& c, const RateOptions& o) {
  const std::string pair = text_option("PAIR", o.pair, 6);
  if (pair.empty()) throw UsageError("PAIR: a pair may not be blank");
  const std::int64_t at = find_rate(c, pair);
  if (at < 0) return 1;
  using C = EditSwapRateControl;
  FormRun<EditSwapRate> form(c, at ? Request::Change : Request::Insert, at);
  if (!at) form.type(C::PAIR, "PAIR", pair);
  if (!o.buy.empty()) form.type(C::BUY, "--buy", o.buy);
  if (!o.sell.empty()) form.type(C::SELL, "--sell", o.sell);
  if (!o.spread.empty()) {
    std::array<std::int16_t, 12> f{};
    set_flags<12>(
        "--spread", o.spread,
        {"ALL", "USD", "CAD", "EUR", "GBP", "CHF", "JPY", "AUD", "NZD", "HIGH", "MED", "LOW"},
        {&f[0], &f[1], &f[2], &f[3], &f[4], &f[5], &f[6], &f[7], &f[8], &f[9], &f[10], &f[11]});
    const C boxes[] = {C::ALL, C::USD, C::CAD, C::EUR,  C::GBP, C::CHF,
                       C::JPY, C::AUD, C::NZD, C::HIGH, C::MED, C::LOW};
    for (std::size_t i = 0; i < f.size(); ++i) form.type(boxes[i], "--spread", f[i] ? "1" : "0");
  }
  return form.ok(C::OK);
}

int delete_rate(Context& c, const std::string& typed) {
  const std::string pair = text_option("PAIR", typed, 6);
  const std::int64_t at = find_rate(c, pair);
  if (at < 0) return 1;
  if (at == 0) {
    c.e() << "mervane-cli: no swap rate for " << typed << '\n';
    return 1;
  }
  return FormRun<EditSwapRate>(c, Request::Delete, at).done() ? 0 : 1;
}

// The position of the definition with a Date Add: 0 when there is none, -1 when the table
// failed. Read in storage order, since the key leaves out Date Add 0 (its only key field is
// zero); there are only a few definitions.
std::int64_t find_definition(Context& c, std::int16_t dateadd) {
  Table<SwapdataTable> t(c.session->folder());
  if (!open_or_create(t, OpenMode::shared(), *c.reporter)) return -1;
  Status st = t.set_storage_order();
  while (st.is_ok() && (st = t.next()).is_ok())
    if (t.rec.dateadd == dateadd) return t.row_id();
  if (st.code == kRecordNotAvailable) return 0;
  stop(*c.reporter, "Get", t.file_name(), st);
  return -1;
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
  const std::int64_t at = find_definition(c, dateadd);
  if (at < 0) return 1;
  using C = EditSwapDataControl;
  FormRun<EditSwapData> form(c, at ? Request::Change : Request::Insert, at);
  if (!at) form.type(C::DATEADD, "--date-add", o.dateadd);
  if (!o.time.empty()) form.type(C::MT4TIME, "--time", o.time);
  if (!o.descr.empty()) form.type(C::DESCR, "--descr", text_option("--descr", o.descr, 50));
  if (!o.factor.empty()) form.type(C::FACTOR, "--factor", o.factor);
  if (!o.spacing.empty()) form.type(C::SPACING, "--spacing", o.spacing);
  if (!o.color.empty()) form.type(C::COLOR, "--color", o.color);
  if (!o.symbol.empty()) form.type(C::SYMBOL, "--symbol", o.symbol);
  if (!o.symbol2.empty()) form.type(C::SYMBOL2, "--symbol2", o.symbol2);
  if (!o.charts.empty()) {
    std::array<std::int16_t, 9> f{};
    set_flags<9>("--charts", o.charts, {"M1", "M5", "M15", "M30", "H1", "H4", "D1", "W1", "MN1"},
                 {&f[0], &f[1], &f[2], &f[3], &f[4], &f[5], &f[6], &f[7], &f[8]});
    const C boxes[] = {C::M1, C::M5, C::M15, C::M30, C::H1, C::H4, C::D1, C::W1, C::MN1};
    for (std::size_t i = 0; i < f.size(); ++i) form.type(boxes[i], "--charts", f[i] ? "1" : "0");
  }
  return form.ok(C::OK);
}

int delete_data(Context& c, const std::string& typed) {
  const std::int16_t dateadd = short_option("--date-add", "N-3", typed);
  const std::int64_t at = find_definition(c, dateadd);
  if (at < 0) return 1;
  if (at == 0) {
    c.e() << "mervane-cli: no swap definition with Date Add " << dateadd << '\n';
    return 1;
  }
  return FormRun<EditSwapData>(c, Request::Delete, at).done() ? 0 : 1;
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
