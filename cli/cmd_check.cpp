// check: opens every table of the working folder through the standard open service (creating
// the missing ones), writes and reads back one record of each inside a transaction that is
// rolled back, and says what it found. Nothing stored is changed.
#include <CLI/CLI.hpp>

#include <ostream>

#include "cli/commands.h"
#include "core/app/record_services.h"
#include "core/model/records.h"

namespace mervane::cli {
namespace {

template <class Def>
bool check_table(Context& ctx) {
  Table<Def> t(ctx.session->folder());
  check_open(t, *ctx.reporter, *ctx.session);
  std::int64_t before = 0;
  Status st = t.records(before);
  bool ok = st.is_ok();
  {
    Transaction tx(t);
    ok = ok && tx.status().is_ok();
    typename Def::Record probe{};
    Def::Record::fields(probe, [](const char*, auto& field, FieldKind) {
      using T = std::remove_cvref_t<decltype(field)>;
      if constexpr (detail::is_text<T>::value)
        field = "~check~";
      else
        field = static_cast<T>(-7);
    });
    t.rec = probe;
    ok = ok && t.add().is_ok();
    t.clear();
    t.rec = probe;
    ok = ok && t.get(static_cast<typename Def::Key>(0)).is_ok() && t.rec == probe;
  }  // rolled back
  std::int64_t after = -1;
  ok = ok && t.records(after).is_ok() && after == before;
  ctx.o() << t.store() << ": " << (ok ? "ok" : "FAILED") << ", " << before << " records\n";
  return ok;
}

}  // namespace

void add_check_command(CLI::App& app, Context& ctx) {
  auto* cmd = app.add_subcommand(
      "check", "open (creating when missing) and test every table of the working folder");
  on_run(*cmd, ctx, [](Context& c) {
    bool ok = check_table<CalendarTable>(c);
    ok = check_table<PviewTable>(c) && ok;
    ok = check_table<NcidbTable>(c) && ok;
    ok = check_table<SwaprateTable>(c) && ok;
    ok = check_table<SwapdataTable>(c) && ok;
    ok = check_table<SwapoutTable>(c) && ok;
    return ok ? 0 : 1;
  });
}

}  // namespace mervane::cli
