#include "core/output/saved_pages.h"

#include <algorithm>
#include <limits>
#include <numeric>
#include <string>

#include "core/app/open_or_create.h"
#include "core/history/auto_backup.h"
#include "core/import/acquisition.h"
#include "core/import/calendar_file.h"
#include "core/import/calendar_source.h"
#include "core/import/days_page.h"
#include "core/import/event_history.h"
#include "core/import/feed_reader.h"
#include "core/model/local_settings.h"
#include "core/output/settings_file.h"
#include "core/util/charset.h"

namespace mervane {
namespace {

// The first day a file covers as far as it says so itself: today's pages their first day, a
// dated feed its Sunday; nothing for an old page, a file that cannot be read or one that is
// refused (the reader says why when the file is read).
std::optional<std::int32_t> own_first_day(const std::filesystem::path& file,
                                          const PageOptions& options) {
  std::string bytes;
  std::string_view op;
  if (read_calendar_bytes(file, bytes, op).failed()) return std::nullopt;
  if (looks_like_days_page(bytes)) {
    const DaysPage page = parse_days_page(bytes, options);
    if (!page.problem) return page.first_day;
  } else if (looks_like_feed(std::string_view(bytes).substr(0, 4096))) {
    const FeedWeek week = parse_feed(bytes, options);
    if (!week.problem && week.dated) return week.first_day;
  }
  return std::nullopt;
}

}  // namespace

SavedPagesResult import_saved_pages(Session& s, Reporter& r, Progress& p,
                                    const std::vector<std::filesystem::path>& files,
                                    std::int32_t first, FileOrder order) {
  SavedPagesResult result;
  SettingsRecord settings = built_in_defaults(s.clock().today(), s.folder());
  const Status read = read_settings_file(s.folder() / kSettingsFile, settings);
  if (read.code != kFileNotFound) stop_if_failed(r, "Open", kSettingsFile, read);
  if (first == 0) first = settings.b.date1;

  PageOptions options;
  options.nonecon = settings.nonecon != 0;
  options.incut = settings.b.incut != 0;
  options.incuv = settings.b.incuv != 0;
  options.cnvfmt = settings.b.cnvfmt != 0;
  options.offset1 = settings.b.offset1;

  // The week an old page is read as: the k-th file's, counted in the order given.
  std::vector<std::int64_t> week(files.size());
  for (std::size_t k = 0; k < files.size(); ++k) {
    week[k] = std::int64_t{first} + 7 * static_cast<std::int64_t>(k);
    if (week[k] > std::numeric_limits<std::int32_t>::max()) {
      result.past_last_date = static_cast<int>(k) + 1;
      return result;
    }
  }

  std::int64_t count1 = 0;
  {
    Table<CalendarTable> t(s.folder(), s.files());
    open_calr(t, r);
    if (!t.is_open()) return result;  // Ignore at the stop message: nothing can be stored
    result.opened = true;
    TimeShift to_mt4;
    const CalendarSettings calendar = load_calendar_settings(s.folder());
    stop_if_failed(r, "Open", kLocalSettingsFile, mt4_shift(calendar, settings.b.offset1, to_mt4));
    stop_if_failed(r, "Open", kLocalSettingsFile, page_mt4_zone(calendar, options.mt4_zone));

    std::vector<std::size_t> turn(files.size());
    std::iota(turn.begin(), turn.end(), std::size_t{0});
    if (order == FileOrder::ByDate) {
      std::vector<std::int64_t> key(week);
      for (std::size_t k = 0; k < files.size(); ++k)
        if (const auto day = own_first_day(files[k], options)) key[k] = *day;
      std::stable_sort(turn.begin(), turn.end(),
                       [&](std::size_t a, std::size_t b) { return key[a] < key[b]; });
    }

    EventHistory history(t, r, p, count1, to_mt4);
    for (const std::size_t k : turn) {
      options.request_date = static_cast<std::int32_t>(week[k]);
      const std::string name = files[k].string();
      read_into_history(s.folder(), files[k], name, options, history, r, p, count1);
      ++result.files;
    }
  }
  auto_backup(s, r, p, count1);
  return result;
}

}  // namespace mervane
