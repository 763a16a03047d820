// Which weeks are loaded, and bringing each week's page into "truneout".
//
// The rules the Build window applies to its download fields (HIGHDATE, "Auto set", the values
// after the Initial setup, an automatic run's start date) and the download loop of its run.
// No state of their own: the window's fields come in and go out as DownloadFields. Everything
// runs on the caller's thread.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "core/import/event_history.h"
#include "core/import/page_reader.h"
#include "core/model/session.h"
#include "core/model/settings.h"
#include "core/runtime/download.h"
#include "core/runtime/progress.h"
#include "core/runtime/reporter.h"

namespace mervane {

// The download fields of the Build window that the rules below read and set.
struct DownloadFields {
  std::int16_t checkhist = 0;
  std::int16_t checkwget = 0;
  std::int16_t autodate = 0;
  std::int16_t loadweeks = 1;
  std::int32_t date1 = 0;
};

constexpr std::string_view kPageFile = "truneout";
constexpr std::string_view kAutoplayFile = "Autoplay.CSV";

// HIGHDATE when the Build window opens: the Sunday on or before the smaller of today and the
// date of the newest stored event. history_empty tells whether there was none (the window then
// forces the Initial setup). Opens (creating it when missing) and closes CALENDAR itself.
std::int32_t high_date(Session& s, Reporter& r, bool& history_empty);

// "Auto set", at a window event no control takes: clears AUTODATE when CHECKHIST is off; with
// AUTODATE on and no MT4 folder from an Initial setup in this window's life (parm3_blank), pins
// DATE1 to HIGHDATE and LOADWEEKS to the weeks from it through the current week and turns
// CHECKHIST and CHECKWGET on. Returns true when it pinned the fields (the window then disables
// ?DATE1 to ?LOADWEEKS and refreshes).
bool auto_set(DownloadFields& f, std::int32_t highdate, std::int32_t today, bool parm3_blank);

// The values after the Initial setup returned an MT4 folder: the four weeks up to this one,
// "Auto set" on.
void after_initial_setup(DownloadFields& f, std::int32_t today);

// An automatic run: the date serial at the start of the first line of "Autoplay.CSV" in the
// folder; the file is deleted. Nothing when the file cannot be opened. A line that does not
// start with the serial of a date from 1 January 1900 to 31 December 2099 is refused with the
// stop message "Read(Autoplay.CSV) - ..." and the file is kept (after Ignore: nothing, so the
// run is not automatic). A file that cannot be deleted would start an automatic run at every
// start of the program: "Remove(Autoplay.CSV) - " + error text, and after Ignore this run is
// automatic.
[[nodiscard]] std::optional<std::int32_t> read_autoplay(const std::filesystem::path& folder,
                                                        Reporter& r,
                                                        FileSystem& fs = FileSystem::local());

// T#: Unix seconds of 00:00 UTC on day d, in 64 bits.
std::int64_t week_parameter(std::int32_t d);
// The weekly page's address: address (a trailing "/" dropped) + "/calendar.php?c=2&week=" + T#.
std::string week_url(std::string_view address, std::int32_t d);
// The week page the service serves today for the week of day d (the Sunday on or before it):
// address + "/calendar?week=" + the Sunday as "jan25.2026" (month in three lower-case letters,
// day without a leading zero).
std::string week_page_url(std::string_view address, std::int32_t d);
// The month page: address + "/calendar?month=" + "jan.2026".
std::string month_page_url(std::string_view address, std::int64_t year, int month);

// What a failed download of a calendar page means for the user: HTTP 429 (the service refuses
// downloads this frequent) and the service's browser check (HTTP 403 or 503 with its "Just a
// moment..." page, told by the body the downloader kept) get texts that say what to do; any
// other failure stands as it is. `refused` tells the caller to send no further requests in
// this run: asking again at once would only be refused again, and may get the address blocked.
struct DownloadFailure {
  Status status;
  bool refused = false;
};
DownloadFailure download_failure(const Status& st, const Downloader& d);

// WGETSTR: "wget -O truneout " + url, cut to 99 characters.
std::string wget_command(std::string_view url);

// A calendar file read into the history by the reader its content calls for
// (read_calendar_file), keeping the zone one of today's pages named for the Build window's note
// (PAGEZONE in the folder's local settings; removed after a feed or an old page). A failure to
// keep it shows "Create(mervane.cfg) - " + error text.
void read_into_history(const std::filesystem::path& folder, const std::filesystem::path& file,
                       std::string_view name, const PageOptions& options, PageSink& history,
                       Reporter& r, Progress& p, std::int64_t& count1);

// The last successful download of the feed, kept in the local settings as "yyyy-mm-dd hh:mm"
// (local time): the service answers downloads more frequent than this with HTTP 429 and may
// block the address.
constexpr std::string_view kFeedLoadedSetting = "FEEDLOADED";
constexpr int kFeedPauseMinutes = 30;
// FEEDLOADED of the folder as minutes since day 0 (local time); none when it is not set or not
// readable.
std::optional<std::int64_t> feed_loaded(const std::filesystem::path& folder);

// The download loop of a run: for WEEK# = 0 .. LOADWEEKS - 1 (one week when checkwget is 0),
// downloads the week into "truneout" (when checkwget is 1) and reads it into the history;
// nothing at all when checkhist is 0. Before each download the old "truneout" is removed and
// WGETSTR is shown through Progress::note(). A failed download shows the stop message "Get(" +
// URL + ") - " + error text; after Ignore that week is skipped: nothing of it is deleted or
// stored. The history must be open (open_calr); GLO:INPNAME is set to "truneout". Whether
// "truneout" holds a page or a feed is told by its content.
//
// With today's week pages as the source (CALENDARSOURCE=week) each week is asked for by its
// Sunday (week_page_url). HTTP 429 and the service's browser check stop with texts of their
// own (download_failure) and end the downloads of the run: after Ignore no further week is
// asked for, and nothing of the week is deleted.
//
// With the feed as the source, LOADWEEKS does not apply (a note says so): the feed is
// downloaded once into "truneout" (when checkwget is 1), replacing the kept one only when the
// download succeeded, and read. Within 30 minutes of the last successful download the kept
// "truneout" is read instead, with a note. HTTP 429 has a stop message of its own; any failed
// download leaves the week as it was.
struct LoadRequest {
  DownloadFields fields;
  PageOptions page;     // request_date is set per week
  std::string address;  // the calendar service's scheme and host
  bool feed = false;    // CALENDARSOURCE=feed
  std::string feed_url = {};
  bool week = false;            // CALENDARSOURCE=week: today's week pages
  std::string user_agent = {};  // empty: the downloader's own
};
void load_weeks(Session& s, Reporter& r, Progress& p, Downloader& d, PageSink& history,
                const LoadRequest& request, std::int64_t& count1);
// The feed half of load_weeks (request.feed set; checkhist is 1).
void load_feed(Session& s, Reporter& r, Progress& p, Downloader& d, PageSink& history,
               const LoadRequest& request, std::int64_t& count1);

}  // namespace mervane
