// import FILE... [--start DATE]: saved weekly pages into the Event History only, then the
// backup. calendar-url [ADDRESS]: shows or sets the calendar service's address.
#include <CLI/CLI.hpp>

#include <limits>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "core/app/open_or_create.h"
#include "core/history/auto_backup.h"
#include "core/import/acquisition.h"
#include "core/import/calendar_address.h"
#include "core/import/calendar_file.h"
#include "core/import/calendar_source.h"
#include "core/import/event_history.h"
#include "core/import/feed_reader.h"
#include "core/model/local_settings.h"
#include "core/output/saved_pages.h"
#include "core/output/settings_file.h"
#include "core/runtime/paths.h"
#include "core/runtime/time_zones.h"
#include "core/util/charset.h"
#include "core/util/picture.h"

namespace mervane::cli {
namespace {

int import_pages(Context& ctx, const std::vector<std::string>& files, const std::string& start) {
  std::int32_t first = 0;
  if (!start.empty()) {
    const auto d = parse_cli_date(start);
    if (!d) throw UsageError("--start: " + d.reason);
    first = *d.value;
  }
  const std::vector<std::filesystem::path> paths(files.begin(), files.end());
  const SavedPagesResult read = import_saved_pages(*ctx.session, *ctx.reporter, *ctx.progress,
                                                   paths, first, FileOrder::AsGiven);
  if (read.past_last_date)
    throw UsageError("--start: page " + std::to_string(read.past_last_date) +
                     " falls past the last date");
  return read.opened ? 0 : 1;  // Ignore at the stop message: nothing could be stored
}

int calendar_url(Context& ctx, const std::string& address) {
  const auto& folder = ctx.session->folder();
  if (address.empty()) {
    const std::string stored = load_calendar_address(folder);
    if (stored.empty())
      ctx.e() << "mervane-cli: no calendar address is set (mervane-cli calendar-url ADDRESS)\n";
    else
      ctx.o() << stored << '\n';
    return 0;
  }
  const Status st = save_calendar_address(folder, cp1252_from_utf8(address));
  if (st.code == kBadValue) throw UsageError("calendar-url: " + st.message());
  if (st.failed()) {
    ctx.e() << "mervane-cli: " << stop_text("Create", kLocalSettingsFile, st) << '\n';
    return 1;
  }
  return 0;
}

// The zone names of the system's database, those holding `part` (letter case ignored) when given.
int zones(Context& ctx, const std::string& part) {
  const std::vector<std::string> names = zone_names();
  if (names.empty()) {
    ctx.e() << "mervane-cli: the system's time zone database was not found\n";
    return 1;
  }
  const std::string want = upper_ascii(part);
  for (const std::string& n : names)
    if (upper_ascii(n).find(want) != std::string::npos) ctx.o() << n << '\n';
  return 0;
}

}  // namespace

void add_import_commands(CLI::App& app, Context& ctx) {
  auto* imp = app.add_subcommand(
      "import", "read saved weekly pages into the Event History only, then write the backup");
  auto files = std::make_shared<std::vector<std::string>>();
  auto start = std::make_shared<std::string>();
  imp->add_option("FILE", *files, "saved calendar pages; page k is read as week k after --start")
      ->required();
  imp->add_option("--start", *start,
                  "first day of the first page's week (mm/dd/yyyy or yyyy-mm-dd); default: the "
                  "settings' DATE1");
  on_run(*imp, ctx, [files, start](Context& c) { return import_pages(c, *files, *start); });

  auto* url = app.add_subcommand(
      "calendar-url", "show or set the calendar service's address (as https://calendar.example)");
  auto address = std::make_shared<std::string>();
  url->add_option("ADDRESS", *address, "scheme and host, with an optional port");
  on_run(*url, ctx, [address](Context& c) { return calendar_url(c, *address); });

  auto* zn =
      app.add_subcommand("zones", "the time zone names CALENDARZONE, MT4ZONE and LOCALZONE take");
  auto part = std::make_shared<std::string>();
  zn->add_option("PART", *part, "only the names holding PART (letter case ignored)");
  on_run(*zn, ctx, [part](Context& c) { return zones(c, *part); });
}

}  // namespace mervane::cli
