// A trading week for the watch's tests: the releases of the week of Sunday 8 March 2026 (the
// United States move to summer time that morning; Europe three weeks later), served as the
// service's week page as it stands at a moment: each actual appears a minute after its
// release, a forecast may change before it. Times on the page are UTC.
#pragma once

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <functional>
#include <string>
#include <vector>

#include "core/import/calendar_address.h"
#include "core/import/calendar_source.h"
#include "core/live/live_settings.h"
#include "core/live/watch.h"
#include "core/output/settings_file.h"
#include "core/util/dates.h"
#include "tests/import/page_support.h"
#include "tests/support/http_server.h"
#include "tests/support/temp_dir.h"

namespace mervane::test {

struct Release {
  int day;     // of March 2026
  int hh, mm;  // UTC
  const char* ccy;
  const char* impact;  // the impact cell's title
  const char* descr;
  const char* forecast;
  const char* previous;
  const char* actual;                 // from a minute after the release
  std::int64_t forecast_changes = 0;  // from this moment the forecast is changed_forecast
  const char* changed_forecast = "";

  std::int64_t moment() const {
    return unix_seconds(*date_serial(2026, 3, day)) + hh * 3600 + mm * 60;
  }
};

inline std::int64_t utc(int day, int hh, int mm) {
  return unix_seconds(*date_serial(2026, 3, day)) + hh * 3600 + mm * 60;
}

inline std::string time_cell(int hh, int mm) {
  const int h12 = hh % 12 == 0 ? 12 : hh % 12;
  return std::to_string(h12) + ":" + (mm < 10 ? "0" : "") + std::to_string(mm) +
         (hh < 12 ? "am" : "pm");
}

// The week page as it stands at `now`.
inline std::string week_page(const std::vector<Release>& releases, std::int64_t now) {
  static const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
  std::string page;
  int day = 0;
  for (const Release& r : releases) {
    RowSpec row;
    row.time = time_cell(r.hh, r.mm);
    row.ccy = r.ccy;
    row.impact = r.impact;
    row.descr = r.descr;
    row.forecast =
        r.forecast_changes && now >= r.forecast_changes ? r.changed_forecast : r.forecast;
    row.previous = r.previous;
    row.actual = now >= r.moment() + 60 ? r.actual : "";
    if (r.day != day) {
      day = r.day;
      page += first_row(kDays[(day - 8) % 7], "Mar " + std::to_string(day), row) + "\n";
    } else {
      page += page_row(row) + "\n";
    }
  }
  return page + "</table>\n";
}

// A folder whose settings load the calendar from `address`: output from 1 to 31 March 2026,
// the pair EURUSD, calendar times in UTC, MT4 at New York + 7 hours, local time in Berlin.
inline void live_folder(const std::filesystem::path& dir, const std::string& address) {
  SettingsRecord rec = built_in_defaults(*date_serial(2026, 3, 8), dir);
  rec.b.outname = "News.CSV";
  rec.b.fromdate = *date_serial(2026, 3, 1);
  rec.b.thrudate = *date_serial(2026, 3, 31);
  rec.b.pairs = "EURUSD";
  EXPECT_TRUE(write_settings_file(dir / "trune.INI", rec).is_ok());
  EXPECT_TRUE(save_calendar_address(dir, address).is_ok());
  EXPECT_TRUE(save_calendar_setting(dir, "CALENDARZONE", "UTC").is_ok());
  EXPECT_TRUE(save_calendar_setting(dir, "MT4ZONE", "America/New_York+7").is_ok());
  EXPECT_TRUE(save_calendar_setting(dir, "LOCALZONE", "Europe/Berlin").is_ok());
}

// Everything the watch tells, with the local time it told it at; the News.CSV each cycle left.
class RecordingOutput : public WatchOutput {
 public:
  explicit RecordingOutput(const LiveClock& clock, std::filesystem::path news = {})
      : clock_(clock), news_(std::move(news)) {}
  std::vector<std::string> lines, warnings, alerts;
  struct Cycle {
    std::string news;
    ino_t inode = 0;
  };
  std::vector<Cycle> cycles;
  std::function<void(int)> after_cycle;  // with the cycle's number, from 0

  void cycle(std::string_view line) override {
    lines.emplace_back(line);
    if (!news_.empty()) {
      struct stat st {};
      cycles.push_back({read_file(news_), ::stat(news_.c_str(), &st) == 0 ? st.st_ino : 0});
    }
    if (after_cycle) after_cycle(static_cast<int>(lines.size()) - 1);
  }
  void warning(std::string_view line) override { warnings.emplace_back(line); }
  void alert(const Alert& a) override {
    alerts.push_back(local_time_text(clock_.moment()) + " " + alert_line(a));
  }

 private:
  const LiveClock& clock_;
  std::filesystem::path news_;
};

}  // namespace mervane::test
