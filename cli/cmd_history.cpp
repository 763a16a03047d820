// history delete|rebuild|export|import and history backups: the history maintenance window run
// without a window, as a user would fill it in and press OK.
#include <CLI/CLI.hpp>

#include <memory>
#include <ostream>

#include "cli/cli_windows.h"
#include "cli/commands.h"
#include "cli/option_values.h"
#include "core/history/backup_files.h"
#include "core/history/delete_history.h"
#include "core/util/charset.h"
#include "core/util/picture.h"

namespace mervane::cli {
namespace {

struct HistoryOptions {
  std::string from, thru, adjust, name;
};

int run_action(Context& c, int choice, const HistoryOptions& o) {
  const bool ranged = choice != DeleteHistory::kRebuild;
  const bool adjusting =
      !o.adjust.empty() && picture_option("--adjust-hours", "n-_3", o.adjust) != 0;
  if ((ranged || adjusting) && (o.from.empty() || o.thru.empty()))
    throw UsageError(ranged ? "--from and --thru are needed"
                            : "--adjust-hours needs --from and --thru (the events to move)");
  // Everything is checked before the window opens; then it is filled in as a user would.
  const std::int32_t from = o.from.empty() ? 0 : date_option("--from", o.from);
  const std::int32_t thru = o.thru.empty() ? 0 : date_option("--thru", o.thru);
  const auto hours = adjusting ? picture_option("--adjust-hours", "n-_3", o.adjust) : 0.0;
  std::string name;
  if (!o.name.empty()) {
    name = text_option("--name", o.name, 64);
    if (const std::string problem = backup_name_problem(name); !problem.empty())
      throw UsageError("--name: " + utf8_from_cp1252(problem));
  }
  using C = DeleteHistoryControl;
  auto n = [](C control) { return static_cast<int>(control); };
  CliWindows windows;
  DeleteHistory m(*c.session, windows, *c.reporter, *c.progress);
  m.open();
  m.type(n(C::OPTION1), std::to_string(choice));
  if (!o.from.empty()) m.type(n(C::FROMDATE), date_text(from));
  if (!o.thru.empty()) m.type(n(C::THRUDATE), date_text(thru));
  if (adjusting) m.type(n(C::ADJUSTHRS), std::to_string(static_cast<int>(hours)));
  if (!name.empty()) m.type(n(C::PFILENAME), name);
  if (!m.accepted(n(C::OK)).close) throw UsageError("--thru is before --from");
  if (choice == DeleteHistory::kImport) {
    const ImportResult& r = m.imported();
    c.e() << r.imported << " events restored";
    if (r.outside) c.e() << ", " << r.outside << " lines outside the dates left out";
    if (r.broken) c.e() << ", " << r.broken << " lines skipped: not a history line";
    c.e() << '\n';
  }
  return m.done() ? 0 : 1;
}

void add_action(CLI::App& history, Context& ctx, const char* name, const char* help, int choice) {
  auto* cmd = history.add_subcommand(name, help);
  auto o = std::make_shared<HistoryOptions>();
  cmd->add_option("--from", o->from, "first date (mm/dd/yyyy or yyyy-mm-dd)");
  cmd->add_option("--thru", o->thru, "last date, inclusive");
  if (choice == DeleteHistory::kRebuild)
    cmd->add_option("--adjust-hours", o->adjust,
                    "hours to add to the times of the events between "
                    "the dates (negative to subtract)");
  if (choice == DeleteHistory::kExport || choice == DeleteHistory::kImport)
    cmd->add_option("--name", o->name, "backup name: the file @NAME@.CSV (default BACKUP)");
  on_run(*cmd, ctx, [o, choice](Context& c) { return run_action(c, choice, *o); });
}

}  // namespace

void add_history_commands(CLI::App& app, Context& ctx) {
  auto* history = app.add_subcommand("history", "maintain the Event History as a whole");
  history->require_subcommand(1);
  add_action(*history, ctx, "delete", "delete the events between two dates",
             DeleteHistory::kDelete);
  add_action(*history, ctx, "rebuild",
             "rebuild the Event History, moving the events between two dates by some hours",
             DeleteHistory::kRebuild);
  add_action(*history, ctx, "export", "export the events between two dates to a backup file",
             DeleteHistory::kExport);
  add_action(*history, ctx, "import",
             "delete the events between two dates, then restore them from a backup file",
             DeleteHistory::kImport);
  auto* backups = history->add_subcommand("backups", "names of the backup files in the folder");
  on_run(*backups, ctx, [](Context& c) {
    for (const std::string& n : backup_names(c.session->folder()))
      c.o() << utf8_from_cp1252(n) << '\n';
    return 0;
  });
}

}  // namespace mervane::cli
