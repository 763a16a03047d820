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
#include "core/output/settings_file.h"
#include "core/runtime/paths.h"
#include "core/runtime/time_zones.h"
#include "core/util/charset.h"
#include "core/util/picture.h"

namespace mervane::cli {
namespace {

int import_pages(Context& ctx, const std::vector<std::string>& files, const std::string& start) {
  Session& s = *ctx.session;
  SettingsRecord settings = built_in_defaults(s.clock().today(), s.folder());
  const Status read = read_settings_file(s.folder() / kSettingsFile, settings);
  if (read.code != kFileNotFound) stop_if_failed(*ctx.reporter, "Open", kSettingsFile, read);

  std::int32_t first = settings.b.date1;
  if (!start.empty()) {
    const auto d = parse_cli_date(start);
    if (!d) throw UsageError("--start: " + d.reason);
    first = *d.value;
  }
  PageOptions options;
  options.nonecon = settings.nonecon != 0;
  options.incut = settings.b.incut != 0;
  options.incuv = settings.b.incuv != 0;
  options.cnvfmt = settings.b.cnvfmt != 0;

  std::int64_t count1 = 0;
  {
    Table<CalendarTable> t(s.folder());
    open_calr(t, *ctx.reporter);
    if (!t.is_open()) return 1;  // Ignore at the stop message: nothing can be stored
    TimeShift to_mt4;
    const CalendarSettings calendar = load_calendar_settings(s.folder());
    stop_if_failed(*ctx.reporter, "Open", kLocalSettingsFile,
                   mt4_shift(calendar, settings.b.offset1, to_mt4));
    options.offset1 = settings.b.offset1;
    stop_if_failed(*ctx.reporter, "Open", kLocalSettingsFile,
                   page_mt4_zone(calendar, options.mt4_zone));
    EventHistory history(t, *ctx.reporter, *ctx.progress, count1, to_mt4);
    for (std::size_t k = 0; k < files.size(); ++k) {
      const std::int64_t day = std::int64_t{first} + 7 * static_cast<std::int64_t>(k);
      if (day > std::numeric_limits<std::int32_t>::max())
        throw UsageError("--start: page " + std::to_string(k + 1) + " falls past the last date");
      options.request_date = static_cast<std::int32_t>(day);
      read_into_history(s.folder(), files[k], files[k], options, history, *ctx.reporter,
                        *ctx.progress, count1);
    }
  }
  auto_backup(s, *ctx.reporter, *ctx.progress, count1);
  return 0;
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
