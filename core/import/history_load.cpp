#include "core/import/history_load.h"

#include <cstdio>
#include <future>
#include <optional>
#include <thread>

#include "core/app/open_or_create.h"
#include "core/import/acquisition.h"
#include "core/import/calendar_file.h"
#include "core/import/calendar_source.h"
#include "core/import/event_history.h"
#include "core/model/local_settings.h"
#include "core/runtime/paths.h"
#include "core/util/dates.h"

namespace mervane {
namespace {

// Passes everything on and counts the events stored.
class CountingSink final : public PageSink {
 public:
  explicit CountingSink(PageSink& next) : next_(next) {}
  void delete_week(std::int32_t first) override { next_.delete_week(first); }
  void delete_days(std::int32_t first, std::int32_t last) override {
    next_.delete_days(first, last);
  }
  void store(const PageEvent& e) override {
    next_.store(e);
    ++events;
  }
  void page_done() override { next_.page_done(); }
  void page_abandoned() override { next_.page_abandoned(); }
  std::int64_t events = 0;

 private:
  PageSink& next_;
};

// A month's page read and parsed: what the load then reports and stores in the month's turn.
struct ReadPage {
  Status read;
  std::string_view op;
  bool browser_check = false;
  DaysPage page;
};

ReadPage read_page(const std::filesystem::path& file, const PageOptions& options) {
  ReadPage out;
  std::string bytes;
  out.read = read_calendar_bytes(file, bytes, out.op);
  if (out.read.failed()) return out;
  out.browser_check = is_browser_check(bytes);
  if (!out.browser_check) out.page = parse_days_page(bytes, options);
  return out;
}

}  // namespace

std::optional<Month> parse_month(std::string_view t) {
  if (t.size() != 7 || t[4] != '-') return std::nullopt;
  int y = 0, m = 0;
  for (std::size_t i = 0; i < 7; ++i) {
    if (i == 4) continue;
    if (t[i] < '0' || t[i] > '9') return std::nullopt;
    (i < 4 ? y : m) = (i < 4 ? y : m) * 10 + (t[i] - '0');
  }
  if (y < 1900 || y > 2099 || m < 1 || m > 12) return std::nullopt;
  return Month{y, m};
}

std::string month_text(const Month& m) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%04lld-%02d", static_cast<long long>(m.year), m.month);
  return buf;
}

Month next_month(const Month& m) {
  return m.month == 12 ? Month{m.year + 1, 1} : Month{m.year, m.month + 1};
}

std::int32_t first_day(const Month& m) {
  return *date_serial(m.year, m.month, 1);
}

std::int32_t last_day(const Month& m) {
  return first_day(next_month(m)) - 1;
}

std::filesystem::path month_page_file(const std::filesystem::path& folder, const Month& m) {
  return folder / kMonthPagesFolder / (month_text(m) + ".html");
}

bool month_page_kept(const std::filesystem::path& folder, const Month& m) {
  // Complete when written on or after the second day after the month's last (UTC).
  const std::optional<std::int64_t> written = modified_seconds(month_page_file(folder, m));
  return written && *written >= unix_seconds(last_day(m) + 2);
}

bool SleepingControl::wait(std::chrono::milliseconds pause) {
  if (pause.count() > 0) std::this_thread::sleep_for(pause);
  return true;
}

HistoryLoadResult load_history(Session& s, Reporter& r, Progress& p, Downloader& d,
                               LoadControl& control, const HistoryLoadRequest& request) {
  HistoryLoadResult result;
  for (Month m = request.from; m <= request.to; m = next_month(m)) ++result.total;
  const std::filesystem::path& folder = s.folder();
  std::error_code ec;
  std::filesystem::create_directories(folder / kMonthPagesFolder, ec);
  if (stop_if_failed(r, "Create", kMonthPagesFolder,
                     ec ? Status::from_errno(ec.value()) : Status()))
    return result;

  Table<CalendarTable> calendar(folder, s.files());
  if (!open_calr(calendar, r)) return result;
  std::int64_t count1 = 0;
  EventHistory history(calendar, r, p, count1, TimeShift(0));
  CountingSink counted(history);
  d.set_user_agent(request.user_agent);
  bool asked = false;  // a request was sent in this load: the next one waits
  std::string zone;    // the display zone last kept in the local settings
  // The next month's page when it is kept: read and parsed on a thread of its own while this
  // month is stored (a commit mostly waits for the disk). Reading has no effect of its own;
  // whatever it finds is told in that month's turn, in month order.
  std::optional<std::future<ReadPage>> ahead;
  for (Month m = request.from; m <= request.to; m = next_month(m)) {
    if (!control.wait(std::chrono::milliseconds(0))) {
      result.cancelled = true;
      break;
    }
    const std::filesystem::path page = month_page_file(folder, m);
    const std::string name = std::string(kMonthPagesFolder) + "/" + month_text(m) + ".html";
    const bool kept = ahead.has_value() || month_page_kept(folder, m);
    if (!kept) {
      const std::string url = month_page_url(request.address, m.year, m.month);
      if (asked && !control.wait(request.pause)) {
        result.cancelled = true;
        break;
      }
      p.note(url);
      asked = true;
      const Status st = request.address.empty()
                            ? Status(kBadValue, "no calendar address is set (CALENDARURL)")
                            : d.fetch(url, page);
      const DownloadFailure failure = download_failure(st, d);
      if (stop_if_failed(r, "Get", url, failure.status)) {
        if (failure.refused || request.address.empty()) {
          result.refused = failure.refused;
          break;
        }
        continue;
      }
    }
    ReadPage got = ahead ? ahead->get() : read_page(page, request.page);
    ahead.reset();
    if (const Month next = next_month(m); next <= request.to && month_page_kept(folder, next))
      ahead =
          std::async(std::launch::async, read_page, month_page_file(folder, next), request.page);
    if (stop_if_failed(r, got.op, name, got.read)) continue;
    if (got.browser_check) {
      stop(r, "Read", name, Status(kInvalidFile, std::string(kBrowserCheckAdvice)));
      continue;
    }
    const std::int64_t before = counted.events;
    const CalendarFileRead stored = proc_days_page(got.page, name, counted, r, p, count1);
    if (stored.zone.empty()) continue;  // refused
    // The months of a load name the same zone: the local settings are read once for it.
    if (stored.zone != zone &&
        !stop_if_failed(r, "Create", kLocalSettingsFile, remember_page_zone(folder, stored.zone)))
      zone = stored.zone;
    ++result.months;
    result.events = counted.events;
    p.report("MONTHS", result.months);
    p.report("EVENTS", result.events);
    p.note(month_text(m) + ": " + std::to_string(counted.events - before) + " events" +
           (kept ? " from the kept page" : ""));
  }
  return result;
}

}  // namespace mervane
