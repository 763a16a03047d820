// The calendar page reader: turns one week's saved calendar page ("truneout") into finished
// calendar events, day by day. It knows only a few literal markers of the page and skips
// everything else; it is not an HTML parser. It stores nothing itself: each finished event goes
// to a PageSink (the Event History update in a run, a list in tests and fuzzing).
//
// Limits of the page's own reader, kept because pages are dated and cut by them:
//   - a line longer than 9,999 characters reads as several lines of at most 9,999;
//   - a day holds at most 65,500 characters with its end marker; a longer day is cut (and the
//     end marker with it), and its scan stops where a text run finds no "<" to end it;
//   - a KX ID or "Revised From" value without its closing quote is passed over: the field keeps
//     its value and the scan goes on after the token;
//   - day dates stay well inside the 32-bit range; a day that would fall outside it yields
//     nothing.
// No input makes the reader read outside its buffers or loop without advancing.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "core/runtime/progress.h"
#include "core/runtime/reporter.h"
#include "core/runtime/time_zones.h"

namespace mervane {

// One finished row of the page, in the calendar's own time.
struct PageEvent {
  std::int32_t date = 0;  // the day's date serial
  std::string time_text;  // "hh:mm", 24-hour; "00:01" for an untimed row
  std::string currency;   // upper case, 2006 names converted when asked
  std::string descr;      // entities decoded; untimed rows end with " <<" + time cell + ">>"
  char impact = 0;        // 'L', 'M' or 'H'
  char color = 0;         // '1', '2' or '3'
  int symbol = 0;         // Wingdings code from the currency: 139 ALL ... 148 other, or 0
  std::string actual, forecast, previous, revisedfrom;
  std::string kxid;
  // date and time_text are MT4 time already (today's pages convert their own times); otherwise
  // they are the calendar's time, which the Event History shifts.
  bool mt4_time = false;
};

class PageSink {
 public:
  virtual ~PageSink() = default;
  // Once per page, with the date of the page's first day, before its first event.
  virtual void delete_week(std::int32_t first_day) = 0;
  // Instead of delete_week() for a feed whose events run past the seven days from first_day:
  // the days first_day to last_day are cleared. Sinks that keep no days take it as a week.
  virtual void delete_days(std::int32_t first_day, std::int32_t /*last_day*/) {
    delete_week(first_day);
  }
  virtual void store(const PageEvent& event) = 0;
  // After the whole page was read (also when it held no date).
  virtual void page_done() {}
  // Instead of page_done() when the page could not be read to its end: whatever this page
  // handed over must not be kept.
  virtual void page_abandoned() {}
};

// The Build window's check boxes the reader obeys, and the year it dates the page in.
struct PageOptions {
  bool nonecon = false;           // "Include Non-Economic events as Low Impact"
  bool incut = false;             // "Include untimed events"
  bool incuv = false;             // "Include unvalued events"
  bool cnvfmt = false;            // "Convert 2006 currency names"
  std::int32_t request_date = 0;  // DATE1 + 7 x WEEK#: its year dates the page's first day
  // How today's pages, which name their own zone, make MT4 time: the release instant in
  // MT4ZONE when it is set, otherwise the page's display time plus OFFSET1 hours.
  std::int16_t offset1 = 0;
  std::optional<ZoneSetting> mt4_zone = std::nullopt;
};

// How a page ended. A whole page has the calendar table's end "</table>" in the text of its
// last day; a page that was saved or downloaded only in part lacks it. A page from which not one
// day could be dated (an error or verification page, an empty body, a page of another layout)
// has no calendar days at all.
enum class PageEnd { Whole, CutShort, NoDays };

// Reads one page fed line by line (each line without its line end), then end(). One reader per
// page; used by one thread at a time. Calls the sink from line() and end().
class PageReader {
 public:
  PageReader(const PageOptions& options, PageSink& sink);
  ~PageReader();
  PageReader(const PageReader&) = delete;
  PageReader& operator=(const PageReader&) = delete;

  void line(std::string_view text);
  // The end of the page: scans the last day, tells the sink the page is done and says how the
  // page ended.
  PageEnd end();
  // CALPROC#: 0 until the date of the page's first day is known.
  std::int32_t calproc() const;
  // Whether that date is known (CALPROC# itself may be day 0).
  bool dated() const;

 private:
  struct State;
  std::unique_ptr<State> state_;
};

// PROC_HIST, the reading half: reads the page file through a PageReader. COUNT1 goes up by one
// per line read (reported as "COUNT1"), CALPROC# is reported when the first day's date is found.
// A file that cannot be opened shows the stop message "Open(" + name + ") - " + error text;
// after Ignore nothing is read and nothing is stored. A page that is valid UTF-8 (and not plain
// ASCII) is converted to Windows-1252 first; any other page is taken as Windows-1252. A read
// error shows "Get(" + name + ") - " + error text. A page without calendar days shows
// "Read(" + name + ") - no calendar days in the page", a page cut short "Read(" + name + ") -
// the page ends before its calendar table does". In these three cases nothing of the page is
// kept: the sink gets page_abandoned() instead of page_done(), before the message. Abort throws
// Aborted.
void proc_hist(const std::filesystem::path& file, const PageOptions& options, PageSink& sink,
               Reporter& reporter, Progress& progress, std::int64_t& count1);
// The same, naming the file in messages as `name` (the run's "truneout").
void proc_hist(const std::filesystem::path& file, std::string_view name, const PageOptions& options,
               PageSink& sink, Reporter& reporter, Progress& progress, std::int64_t& count1);

}  // namespace mervane
