// Which weeks are loaded, and bringing each week's page into "truneout".
//
// (Interface fixed for the Build run; the implementation lands with the calendar import.)
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

// HIGHDATE when the Build window opens: the Sunday on or before the smaller of today and the
// date of the newest stored event. history_empty tells whether there was none (the window then
// forces the Initial setup).
std::int32_t high_date(Session& s, Reporter& r, bool& history_empty);

// "Auto set", at a window event no control takes. Returns true when it changed the fields (the
// window then disables ?DATE1 to ?LOADWEEKS and refreshes).
bool auto_set(DownloadFields& f, std::int32_t highdate, std::int32_t today, bool parm3_blank);

// The values after the Initial setup returned an MT4 folder.
void after_initial_setup(DownloadFields& f, std::int32_t today);

// An automatic run: the date serial at the start of the first line of "Autoplay.CSV" in the
// folder; the file is deleted. Nothing when the file cannot be opened.
std::optional<std::int32_t> read_autoplay(const std::filesystem::path& folder);

// T#: Unix seconds of 00:00 UTC on day d, in 64 bits.
std::int64_t week_parameter(std::int32_t d);
// The weekly page's address: address + "/calendar.php?c=2&week=" + T#.
std::string week_url(std::string_view address, std::int32_t d);
// WGETSTR: "wget -O truneout " + url, cut to 99 characters.
std::string wget_command(std::string_view url);

// Fetches one URL into a file, replacing it only when the whole body arrived.
class Downloader {
 public:
  virtual ~Downloader() = default;
  virtual Status fetch(const std::string& url, const std::filesystem::path& target) = 0;
};

// The download loop of a run: for WEEK# = 0 .. LOADWEEKS - 1 (one week when checkwget is 0),
// downloads the week into "truneout" (when checkwget is 1) and reads it into the history.
struct LoadRequest {
  DownloadFields fields;
  PageOptions page;     // request_date is set per week
  std::string address;  // the calendar service's scheme and host
};
void load_weeks(Session& s, Reporter& r, Progress& p, Downloader& d, EventHistory& history,
                const LoadRequest& request, std::int64_t& count1);

}  // namespace mervane
