#include "core/import/acquisition.h"

#include <algorithm>
#include <limits>

#include "core/app/open_or_create.h"
#include "core/import/calendar_file.h"
#include "core/import/calendar_source.h"
#include "core/import/feed_reader.h"
#include "core/model/local_settings.h"
#include "core/runtime/text_file.h"
#include "core/util/dates.h"
#include "core/util/picture.h"

namespace mervane {

std::int32_t high_date(Session& s, Reporter& r, bool& history_empty) {
  const std::int32_t today = s.clock().today();
  std::int32_t high = today;
  history_empty = true;
  {
    Table<CalendarTable> t(s.folder());
    open_calr(t, r);
    if (t.is_open() && t.set_end(CalendarKey::Key).is_ok() && t.previous().is_ok()) {
      history_empty = false;
      high = t.rec.date;
    }
  }
  return sunday_on_or_before(std::min(high, today));
}

bool auto_set(DownloadFields& f, std::int32_t highdate, std::int32_t today, bool parm3_blank) {
  if (f.checkhist == 0) f.autodate = 0;
  if (f.autodate != 1 || !parm3_blank) return false;
  const std::int64_t s = sunday_on_or_before(today);
  f.date1 = highdate;
  const std::int64_t weeks = (s - highdate) / 7 + 1;
  f.loadweeks = static_cast<std::int16_t>(
      std::clamp<std::int64_t>(weeks, 1, std::numeric_limits<std::int16_t>::max()));
  f.checkhist = 1;
  f.checkwget = 1;
  return true;
}

void after_initial_setup(DownloadFields& f, std::int32_t today) {
  f.checkhist = 1;
  f.checkwget = 1;
  // The Sunday three weeks before this week's Sunday (today - 21 - today mod 7 for the serials
  // of our era, and still a Sunday for dates before day 0).
  f.date1 = sunday_on_or_before(today) - 21;
  f.loadweeks = 4;
  f.autodate = 1;
}

std::optional<std::int32_t> read_autoplay(const std::filesystem::path& folder, Reporter& r,
                                          FileSystem& fs) {
  const std::filesystem::path file = folder / kAutoplayFile;
  std::string line;
  {
    TextReader in(fs);
    if (in.open(file).failed()) return std::nullopt;
    if (in.next(line).failed()) line.clear();
  }
  std::size_t i = line.find_first_not_of(' ');
  std::int64_t n = 0;
  for (; i < line.size() && line[i] >= '0' && line[i] <= '9' && n <= kLastSettingDate; ++i)
    n = n * 10 + (line[i] - '0');
  if (n < kFirstSettingDate || n > kLastSettingDate) {
    // Loading the week of the year 1800, or of 275591, would only store what the history
    // cannot use; the file stays for the user to mend.
    stop(r, "Read", kAutoplayFile,
         Status(kBadValue,
                "the first line holds no date serial from " + date_text(kFirstSettingDate) + " (" +
                    std::to_string(kFirstSettingDate) + ") to " + date_text(kLastSettingDate) +
                    " (" + std::to_string(kLastSettingDate) + ")"));
    return std::nullopt;
  }
  stop_if_failed(r, "Remove", kAutoplayFile, remove_file(file, fs));
  return static_cast<std::int32_t>(n);
}

void read_into_history(const std::filesystem::path& folder, const std::filesystem::path& file,
                       std::string_view name, const PageOptions& options, PageSink& history,
                       Reporter& r, Progress& p, std::int64_t& count1) {
  const CalendarFileRead read = read_calendar_file(file, name, options, history, r, p, count1);
  if (read.days_page && read.zone.empty()) return;  // a page refused: it showed nothing
  stop_if_failed(r, "Create", kLocalSettingsFile, remember_page_zone(folder, read.zone));
}

std::int64_t week_parameter(std::int32_t d) {
  return unix_seconds(d);
}

std::string week_url(std::string_view address, std::int32_t d) {
  if (!address.empty() && address.back() == '/') address.remove_suffix(1);
  return std::string(address) + "/calendar.php?c=2&week=" + std::to_string(week_parameter(d));
}

namespace {

constexpr const char* kMonthNames[] = {"jan", "feb", "mar", "apr", "may", "jun",
                                       "jul", "aug", "sep", "oct", "nov", "dec"};
constexpr int kHttpForbidden = 403;
constexpr int kHttpTooManyRequests = 429;
constexpr int kHttpUnavailable = 503;

std::string calendar_url(std::string_view address, const std::string& query) {
  if (!address.empty() && address.back() == '/') address.remove_suffix(1);
  return std::string(address) + "/calendar?" + query;
}

}  // namespace

std::string week_page_url(std::string_view address, std::int32_t d) {
  const Ymd s = ymd_of(sunday_on_or_before(d));
  return calendar_url(address, "week=" + std::string(kMonthNames[s.month - 1]) +
                                   std::to_string(s.day) + "." + std::to_string(s.year));
}

std::string month_page_url(std::string_view address, std::int64_t year, int month) {
  return calendar_url(
      address, "month=" + std::string(kMonthNames[(month + 11) % 12]) + "." + std::to_string(year));
}

DownloadFailure download_failure(const Status& st, const Downloader& d) {
  if (st.file_code == kHttpTooManyRequests)
    return {Status(kFileSystemError,
                   "HTTP status 429 Too Many Requests: the calendar service refuses downloads "
                   "this frequent and may block this address; wait before the next run (the "
                   "week stays as it was)"),
            true};
  if ((st.file_code == kHttpForbidden || st.file_code == kHttpUnavailable) &&
      is_browser_check(d.refused_body()))
    return {Status(kFileSystemError, "HTTP status " + std::to_string(st.file_code) + ": " +
                                         std::string(kBrowserCheckAdvice) +
                                         " (the week stays as it was)"),
            true};
  return {st, false};
}

std::string wget_command(std::string_view url) {
  return ("wget -O " + std::string(kPageFile) + " " + std::string(url)).substr(0, 99);
}

void load_weeks(Session& s, Reporter& r, Progress& p, Downloader& d, PageSink& history,
                const LoadRequest& request, std::int64_t& count1) {
  const DownloadFields& f = request.fields;
  if (f.checkhist != 1) return;
  if (request.feed) {
    load_feed(s, r, p, d, history, request, count1);
    return;
  }
  const int weeks = f.checkwget == 0 ? 1 : f.loadweeks;
  const std::filesystem::path page = s.folder() / kPageFile;
  if (f.checkwget == 1) d.set_user_agent(request.user_agent);
  for (int week = 0; week < weeks; ++week) {
    const std::int64_t day = std::int64_t{f.date1} + 7 * std::int64_t{week};
    if (day > std::numeric_limits<std::int32_t>::max()) break;
    PageOptions options = request.page;
    options.request_date = static_cast<std::int32_t>(day);
    if (f.checkwget == 1) {
      const std::string url = request.week ? week_page_url(request.address, options.request_date)
                                           : week_url(request.address, options.request_date);
      p.note(wget_command(url));
      // Without this a failed download would leave last week's page to be read as this week's;
      // a page that cannot be removed skips the week for the same reason.
      if (const Status gone = remove_file(page, s.files());
          gone.code != kFileNotFound && stop_if_failed(r, "Remove", kPageFile, gone))
        continue;
      const Status st = request.address.empty()
                            ? Status(kBadValue, "no calendar address is set (CALENDARURL)")
                            : d.fetch(url, page);
      const DownloadFailure failure = download_failure(st, d);
      if (stop_if_failed(r, "Get", url, failure.status)) {
        if (failure.refused) break;
        continue;
      }
    }
    s.with([](Globals& g) { g.inpname = kPageFile; });
    read_into_history(s.folder(), page, kPageFile, options, history, r, p, count1);
  }
}

}  // namespace mervane
