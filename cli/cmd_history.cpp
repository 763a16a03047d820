// history delete|rebuild|export|import and history backups: the history maintenance window run
// without a window, as a user would fill it in and press OK. history load: years of history from
// the calendar's month pages.
#include <CLI/CLI.hpp>

#include <unistd.h>

#include <cmath>
#include <iostream>
#include <memory>
#include <ostream>

#include "cli/cli_windows.h"
#include "cli/commands.h"
#include "cli/option_values.h"
#include "core/history/auto_backup.h"
#include "core/history/backup_files.h"
#include "core/history/delete_history.h"
#include "core/import/history_load.h"
#include "core/output/history_load_settings.h"
#include "core/runtime/download.h"
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

// The load's progress: a bar of the months done and the events stored, redrawn in place on a
// terminal; a line per month otherwise (both unless --quiet).
class LoadBar final : public Progress {
 public:
  LoadBar(std::ostream& err, bool terminal, bool quiet, int total)
      : err_(err), terminal_(terminal && !quiet), quiet_(quiet), total_(total) {}
  ~LoadBar() override {
    if (drawn_) err_ << '\n';
  }
  void report(std::string_view counter, std::int64_t value) override {
    if (counter == "MONTHS") months_ = value;
    if (counter == "EVENTS") events_ = value;
    if (counter == "MONTHS" || counter == "EVENTS") draw();
  }
  void note(std::string_view text) override {
    if (quiet_) return;
    if (drawn_) err_ << "\r\033[K";
    err_ << text << '\n';
    if (drawn_) draw();
  }

 private:
  void draw() {
    if (!terminal_) return;
    constexpr int kWidth = 30;
    const int filled = total_ > 0 ? static_cast<int>(months_ * kWidth / total_) : 0;
    err_ << "\r[" << std::string(static_cast<std::size_t>(filled), '#')
         << std::string(static_cast<std::size_t>(kWidth - filled), '.') << "] " << months_ << "/"
         << total_ << " months, " << events_ << " events" << std::flush;
    drawn_ = true;
  }

  std::ostream& err_;
  bool terminal_, quiet_;
  int total_;
  std::int64_t months_ = 0, events_ = 0;
  bool drawn_ = false;
};

int load(Context& c, const std::string& from_text, const std::string& to_text, double pause) {
  const std::optional<Month> from = parse_month(from_text), to = parse_month(to_text);
  if (!from) throw UsageError("FROM: " + from_text + " is not a month (yyyy-mm, 1900 to 2099)");
  if (!to) throw UsageError("TO: " + to_text + " is not a month (yyyy-mm, 1900 to 2099)");
  if (*to < *from) throw UsageError("TO (" + to_text + ") is before FROM (" + from_text + ")");
  if (!(pause >= 0 && pause <= 3600)) throw UsageError("--pause: 0 to 3600 seconds");
  HistoryLoadRequest request = history_load_settings(*c.session, *c.reporter);
  request.from = *from;
  request.to = *to;
  request.pause = std::chrono::milliseconds(std::llround(pause * 1000));
  if (request.address.empty())
    throw UsageError("no calendar address is set (mervane-cli calendar-url ADDRESS)");
  const bool terminal = c.err == &std::cerr && ::isatty(STDERR_FILENO);
  HistoryLoadResult result;
  int total = 0;
  for (Month m = *from; m <= *to; m = next_month(m)) ++total;
  {
    LoadBar bar(c.e(), terminal, c.quiet, total);
    CurlDownloader downloader;
    SleepingControl control;
    result = load_history(*c.session, *c.reporter, bar, downloader, control, request);
  }
  std::int64_t count1 = 0;
  auto_backup(*c.session, *c.reporter, *c.progress, count1);
  if (!c.quiet)
    c.e() << result.months << " of " << result.total << " months stored, " << result.events
          << " events\n";
  return result.months == result.total ? 0 : 1;
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
  {
    auto* cmd = history->add_subcommand(
        "load", "years of history from the calendar's month pages, FROM to TO (yyyy-mm)");
    auto from = std::make_shared<std::string>(), to = std::make_shared<std::string>();
    auto pause = std::make_shared<double>(10);
    cmd->add_option("FROM", *from, "first month, as 2015-01")->required();
    cmd->add_option("TO", *to, "last month, inclusive")->required();
    cmd->add_option("--pause", *pause, "seconds to wait between two requests (default 10)");
    on_run(*cmd, ctx, [from, to, pause](Context& c) { return load(c, *from, *to, *pause); });
  }
  auto* backups = history->add_subcommand("backups", "names of the backup files in the folder");
  on_run(*backups, ctx, [](Context& c) {
    for (const std::string& n : backup_names(c.session->folder()))
      c.o() << utf8_from_cp1252(n) << '\n';
    return 0;
  });
}

}  // namespace mervane::cli
