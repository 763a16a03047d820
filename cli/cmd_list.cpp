// list TABLE [--order KEY]: a table's records as CSV in key order.
#include <CLI/CLI.hpp>

#include <cstdio>
#include <ostream>

#include "cli/commands.h"
#include "cli/listing.h"
#include "core/model/records.h"
#include "core/runtime/table.h"

namespace mervane::cli {
namespace {

// The key by its name without the table prefix ("namekey" for CAL:NAMEKEY) or with it, letter
// case ignored; the first key when none is named.
int key_index(const TableSchema& s, const std::string& name) {
  if (name.empty()) return 0;
  const std::string want = upper_ascii(name);
  for (std::size_t i = 0; i < s.keys.size(); ++i) {
    const std::string& full = s.keys[i].def.name;
    const std::string bare = full.substr(full.find(':') + 1);
    if (want == upper_ascii(full) || want == upper_ascii(bare)) return static_cast<int>(i);
  }
  std::string known;
  for (const auto& k : s.keys) known += (known.empty() ? "" : ", ") + k.def.name;
  throw UsageError("--order: " + s.store + " has no key " + name + " (keys: " + known + ")");
}

template <class Def>
int list_table(Context& ctx, const std::string& order) {
  Table<Def> t(ctx.session->folder());
  const int key = key_index(t.schema(), order);
  print_header<typename Def::Record>(ctx.o());
  Status st = t.open(OpenMode::read_only());
  if (st.code == kFileNotFound) return 0;  // no table yet: nothing stored
  if (st.failed()) {
    ctx.e() << "mervane-cli: " << stop_text("Open", t.file_name(), st) << '\n';
    return 1;
  }
  st = t.set_start(static_cast<typename Def::Key>(key));
  while (st.is_ok() && (st = t.next()).is_ok()) print_row(ctx.o(), t.rec);
  if (st.code != kRecordNotAvailable) {
    ctx.e() << "mervane-cli: " << stop_text("Get", t.file_name(), st) << '\n';
    return 1;
  }
  return 0;
}

}  // namespace

void add_list_command(CLI::App& app, Context& ctx) {
  auto* cmd = app.add_subcommand("list", "a table's records as CSV in key order");
  auto table = std::make_shared<std::string>();
  auto order = std::make_shared<std::string>();
  cmd->add_option("TABLE", *table, "calendar, pview, ncidb, swaprate, swapdata or swapout")
      ->required()
      ->check(CLI::IsMember({"calendar", "pview", "ncidb", "swaprate", "swapdata", "swapout"},
                            CLI::ignore_case));
  cmd->add_option("--order", *order, "key to list by (as namekey or CAL:NAMEKEY)");
  on_run(*cmd, ctx, [table, order](Context& c) {
    const std::string t = upper_ascii(*table);
    if (t == "CALENDAR") return list_table<CalendarTable>(c, *order);
    if (t == "PVIEW") return list_table<PviewTable>(c, *order);
    if (t == "NCIDB") return list_table<NcidbTable>(c, *order);
    if (t == "SWAPRATE") return list_table<SwaprateTable>(c, *order);
    if (t == "SWAPDATA") return list_table<SwapdataTable>(c, *order);
    return list_table<SwapoutTable>(c, *order);
  });
}

}  // namespace mervane::cli
