// A saved calendar file of any kind, told apart by its content: the old weekly page
// (page_reader.h), the weekly XML feed (feed_reader.h) or one of today's week and month pages
// (days_page.h); and the calendar service's browser check, which it sends a program instead
// of a page.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

#include "core/import/days_page.h"
#include "core/import/page_reader.h"
#include "core/runtime/progress.h"
#include "core/runtime/reporter.h"
#include "core/runtime/status.h"

namespace mervane {

// Whether a body is the service's anti-bot check (a short page titled "Just a moment...")
// rather than a calendar.
bool is_browser_check(std::string_view body);

// Reads a whole calendar file. On failure `op` names the step for the stop message: "Open"
// when it cannot be opened, "Get" for a read error, "Read" (47, "the file is larger than
// 64 MB") for anything larger than a calendar ever is.
Status read_calendar_bytes(const std::filesystem::path& file, std::string& bytes,
                           std::string_view& op);

// What read_calendar_file() found.
struct CalendarFileRead {
  bool days_page = false;  // one of today's pages, read into the sink
  std::string zone;        // the display zone it names, when it was read
};

// Today's page in `bytes` (the file `name`) read into the sink: "Read(" + name + ") - byte N:
// ..." when it is refused, and then nothing of it is cleared or stored. COUNT1 goes up by one
// per event and CALPROC# is reported with the first day listed. Abort throws Aborted.
CalendarFileRead proc_days_page(std::string_view bytes, std::string_view name,
                                const PageOptions& options, PageSink& sink, Reporter& reporter,
                                Progress& progress, std::int64_t& count1);
// The same for a page parse_days_page() has read already.
CalendarFileRead proc_days_page(const DaysPage& page, std::string_view name, PageSink& sink,
                                Reporter& reporter, Progress& progress, std::int64_t& count1);

// A saved calendar file read into the sink by the reader its content calls for. The browser
// check stops with "Read(" + name + ") - " and what to do instead. A file that cannot be opened
// or read, or is larger than 64 MB, goes to the old page's reader, which reports it as it
// always has.
CalendarFileRead read_calendar_file(const std::filesystem::path& file, std::string_view name,
                                    const PageOptions& options, PageSink& sink, Reporter& reporter,
                                    Progress& progress, std::int64_t& count1);

// What to do when the service answers with its browser check: open the week in a browser and
// save the page as "truneout" (or anywhere, then import it), and run with the automatic load
// off.
extern const std::string_view kBrowserCheckAdvice;

}  // namespace mervane
