// Years of history from the calendar's month pages: each month from FROM to TO, in order, is
// asked for as `<address>/calendar?month=jan.2015`, kept as "pages/2015-01.html" in the program's
// folder and read into the Event History as one transaction (its days replaced, as a week page
// replaces its week). A kept page of a month that had ended when it was kept is read from disk
// instead of being asked for again, so a load that was interrupted goes on where it stopped.
// Between two requests the load waits the pause the user chose: the service refuses programs
// that ask too often.
//
// Used by `mervane-cli history load` and the windows program's "Load calendar history..."
// window. Runs on the caller's thread; the LoadControl lets another thread cancel the waits.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "core/import/page_reader.h"
#include "core/model/session.h"
#include "core/runtime/download.h"
#include "core/runtime/progress.h"
#include "core/runtime/reporter.h"

namespace mervane {

struct Month {
  std::int64_t year = 0;
  int month = 1;  // 1-12
  bool operator==(const Month&) const = default;
  auto operator<=>(const Month&) const = default;
};

// "yyyy-mm" as a month of 1900 to 2099; nothing for anything else.
std::optional<Month> parse_month(std::string_view text);
// "2015-01".
std::string month_text(const Month& m);
Month next_month(const Month& m);
// Date serials of the month's first and last day.
std::int32_t first_day(const Month& m);
std::int32_t last_day(const Month& m);

// The folder of the kept month pages, and the page of one month in it.
constexpr std::string_view kMonthPagesFolder = "pages";
std::filesystem::path month_page_file(const std::filesystem::path& folder, const Month& m);
// Whether the kept page of month m is read from disk instead of being asked for again: it was
// written after the month had ended in every zone of the world.
bool month_page_kept(const std::filesystem::path& folder, const Month& m);

struct HistoryLoadRequest {
  Month from, to;                          // inclusive
  std::chrono::milliseconds pause{10000};  // between two requests
  std::string address;                     // CALENDARURL
  std::string user_agent;                  // empty: the downloader's own
  PageOptions page;                        // the check boxes, OFFSET1 and MT4ZONE
};

// Waits between requests and says whether the load goes on: false when the user cancelled it.
class LoadControl {
 public:
  virtual ~LoadControl() = default;
  // Waits up to `pause` (0: only asks); false when the load is to stop now.
  virtual bool wait(std::chrono::milliseconds pause) = 0;
};

// Waits by sleeping; never cancels (the command line, where Ctrl+C ends the process: the
// month being stored rolls back, those stored stay).
class SleepingControl final : public LoadControl {
 public:
  bool wait(std::chrono::milliseconds pause) override;
};

struct HistoryLoadResult {
  int months = 0;           // months stored
  int total = 0;            // months asked for
  std::int64_t events = 0;  // events stored
  bool refused = false;     // the service refused the program (browser check, 429)
  bool cancelled = false;
};

// Loads the months. Progress gets "MONTHS" (months done) and "EVENTS" (events stored) as they
// change, and a note per month: its address and what it stored ("2015-01: 412 events", with
// "from the kept page" when it was not asked for). Messages:
//   - no address: "Get(calendar?month=...) - no calendar address is set (CALENDARURL)";
//   - "Create(pages) - " when the folder cannot be made;
//   - a failed download "Get(" + URL + ") - ": the browser check and HTTP 429 with what to do;
//     they end the load (after Ignore too); after Ignore at any other failure the load goes on
//     with the next month;
//   - a page that cannot be read "Read(pages/2015-01.html) - ..." (nothing of that month is
//     cleared); after Ignore the load goes on.
// Abort throws Aborted; the months stored before stay stored. The Event History is opened
// (created when missing) and closed here.
HistoryLoadResult load_history(Session& s, Reporter& r, Progress& p, Downloader& d,
                               LoadControl& control, const HistoryLoadRequest& request);

}  // namespace mervane
