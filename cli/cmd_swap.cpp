// swap import, swap generate and aux delete: the swap import, swap generation and auxiliary item
// deletion windows run without a window, as a user would fill them in and press OK.
#include <CLI/CLI.hpp>

#include <memory>
#include <ostream>

#include "cli/cli_windows.h"
#include "cli/commands.h"
#include "cli/option_values.h"
#include "core/auxdata/delete_swap_out.h"
#include "core/auxdata/import_swap_rates.h"
#include "core/auxdata/swap_output.h"
#include "core/util/dates.h"
#include "core/util/helpers.h"
#include "core/util/picture.h"

namespace mervane::cli {
namespace {

void add_import(CLI::App& swap, Context& ctx) {
  auto* cmd = swap.add_subcommand("import", "read the swap rates of swaprate.csv into SWAPRATE");
  auto add_new = std::make_shared<bool>(false);
  auto multiplier = std::make_shared<std::string>();
  cmd->add_flag("--add-new", *add_new, "add the pairs of the file that are not stored yet");
  cmd->add_option("--multiplier", *multiplier, "multiply the imported values by X (default 1)");
  on_run(*cmd, ctx, [add_new, multiplier](Context& c) {
    if (!multiplier->empty()) picture_option("--multiplier", "n_9.4", *multiplier);
    using C = ImportSwapRatesControl;
    ImportSwapRates m(*c.session, *c.reporter, *c.progress);
    m.open();
    m.type(static_cast<int>(C::ADDNEW), *add_new ? "1" : "0");
    if (!multiplier->empty()) m.type(static_cast<int>(C::MULTIPLIER), *multiplier);
    m.accepted(static_cast<int>(C::OK));
    const SwapImportResult& r = m.result();
    if (!r.file_read) return 1;
    for (const std::string& s : r.skipped) c.e() << "swaprate.csv " << s << " (skipped)\n";
    c.e() << m.count1() << " lines read: " << r.updated << " pairs updated, " << r.added
          << " added";
    if (r.not_added) c.e() << ", " << r.not_added << " new pairs not added (see --add-new)";
    if (!r.skipped.empty()) c.e() << ", " << r.skipped.size() << " lines skipped";
    c.e() << '\n';
    return 0;
  });
}

void add_generate(CLI::App& swap, Context& ctx) {
  auto* cmd = swap.add_subcommand("generate", "generate the week's SWAP items in SWAPOUT");
  auto sunday = std::make_shared<std::string>();
  auto keep = std::make_shared<bool>(false);
  cmd->add_option("--sunday", *sunday,
                  "the Sunday the week starts on (default: the last Sunday on or before today)");
  cmd->add_flag("--keep-existing", *keep, "keep the SWAP items of other weeks");
  on_run(*cmd, ctx, [sunday, keep](Context& c) {
    std::int32_t first = 0;
    if (!sunday->empty()) {
      first = date_option("--sunday", *sunday);
      if (weekday_of(first) != 0)
        throw UsageError("--sunday: " + *sunday + " is a " + dow(first) + ", not a Sunday");
    }
    using C = SwapOutputControl;
    CliWindows windows;
    SwapOutput m(*c.session, windows, *c.reporter, *c.progress);
    m.open();
    if (first != 0) m.type(static_cast<int>(C::FROMDATE), date_text(first));
    m.type(static_cast<int>(C::REBUILD), *keep ? "0" : "1");
    m.accepted(static_cast<int>(C::OK));
    const SwapOutputResult& r = m.result();
    if (!r.done) return 1;
    c.e() << r.deleted << " SWAP items deleted, " << r.added << " added, " << r.rewritten
          << " rewritten\n";
    return 0;
  });
}

void add_aux_delete(CLI::App& aux, Context& ctx) {
  auto* cmd = aux.add_subcommand("delete", "delete the auxiliary items of a type between dates");
  struct Options {
    std::string type, from, thru, pair;
  };
  auto o = std::make_shared<Options>();
  cmd->add_option("--type", o->type, "record type of the items to delete")->required();
  cmd->add_option("--from", o->from, "first date (default 01/01/2000)");
  cmd->add_option("--thru", o->thru, "last date, inclusive (default: the first date)");
  cmd->add_option("--pair", o->pair, "only items of this currency or pair (ALL: only \"ALL\")");
  on_run(*cmd, ctx, [o](Context& c) {
    const std::string type = text_option("--type", o->type, 6);
    const std::int32_t from = o->from.empty() ? 0 : date_option("--from", o->from);
    const std::int32_t thru = o->thru.empty() ? 0 : date_option("--thru", o->thru);
    const std::string pair = text_option("--pair", o->pair, 6);
    using C = DeleteSwapOutControl;
    auto n = [](C control) { return static_cast<int>(control); };
    CliWindows windows;
    DeleteSwapOut m(*c.session, windows, *c.reporter, *c.progress);
    m.open();
    m.type(n(C::RECTYPE), type);
    if (from != 0) m.type(n(C::FROMDATE), date_text(from));
    if (thru != 0) m.type(n(C::THRUDATE), date_text(thru));
    m.selecting(n(C::THRUDATE));  // a blank last date becomes the first
    m.type(n(C::DELPAIR), pair);
    if (!m.accepted(n(C::OK)).close) throw UsageError("--thru is before --from");
    if (!m.done()) return 1;
    c.e() << m.deleted() << " items deleted\n";
    return 0;
  });
}

}  // namespace

void add_swap_commands(CLI::App& app, Context& ctx) {
  auto* swap = app.add_subcommand("swap", "swap rates, swap definitions and the week's SWAP items");
  swap->require_subcommand(1);
  add_import(*swap, ctx);
  add_generate(*swap, ctx);
  add_swap_table_commands(*swap, ctx);
  auto* aux = app.add_subcommand("aux", "auxiliary output items");
  aux->require_subcommand(1);
  add_aux_delete(*aux, ctx);
}

}  // namespace mervane::cli
