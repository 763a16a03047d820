// The calendar's weekly XML feed: one `weeklyevents` root with an `event` element per item,
// whose children `title`, `country`, `date` (MM-DD-YYYY), `time` ("8:30am", "All Day",
// "Tentative"), `impact` ("High", "Medium", "Low", "Holiday"), `forecast` and `previous` hold
// the values, as plain text or CDATA; an empty value may be an empty element. There is no
// actual value and no event id. The declaration usually says windows-1252; UTF-8 (with or
// without a byte order mark) and UTF-16 with a byte order mark are read too, told apart by the
// content as the page reader does.
//
// The feed becomes the same finished events the page reader makes, under the same check boxes:
// title -> description, country -> currency ("All" -> "ALL", 2006 names converted when asked),
// the impact word -> "H", "M" or "L" ("Holiday" counts as non-economic), a time that is not a
// clock time -> an untimed event (" <<AllDay>>", " <<Tentative>>"), forecast and previous as
// they stand, actual, revised-from and KX ID blank. The texts read as a page's decoded texts
// do: "&" becomes "+" and "_" a blank; line breaks and other control characters become blanks.
//
// The week the feed fills is the seven days from the Sunday on or before its first event, or up
// to its last event when that is later: those days are cleared once before the first event is
// stored. A feed whose events spread over more than two months is refused, so that one wrong
// date cannot clear years of history, and so is a feed without events. A feed is checked whole
// before anything is handed on, so a malformed one clears and stores nothing.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/import/page_reader.h"
#include "core/runtime/progress.h"
#include "core/runtime/reporter.h"

namespace mervane {

// Whether a calendar file's bytes are a feed rather than a weekly page: its first element is
// `weeklyevents`, or it opens with an XML declaration and its first element is not `html`.
// Only the start of the file is looked at.
bool looks_like_feed(std::string_view head);

// Why a feed cannot be read, and the line (from 1) where that shows.
struct FeedProblem {
  std::int64_t line = 0;
  std::string text;
};

struct FeedWeek {
  std::vector<PageEvent> events;  // the events the check boxes let through, in feed order
  std::int32_t first_day = 0;     // the Sunday of the week; only when dated
  std::int32_t last_day = 0;      // its Saturday, or the last event's day when that is later
  bool dated = false;             // the feed holds at least one event
  std::size_t items = 0;          // event elements read
  std::optional<FeedProblem> problem;
};

// Reads a whole feed. With a problem, no events are returned.
FeedWeek parse_feed(std::string_view bytes, const PageOptions& options);

// Hands a feed without a problem to the sink: delete_week() for its week when it holds events
// (delete_days() when they run past it), each event, then page_done().
void store_feed(const FeedWeek& week, PageSink& sink);

// A feed file read into the sink. "Open(" + name + ") - " + error text when it cannot be opened,
// "Get(" for a read error, and "Read(" + name + ") - line N: ..." for a malformed feed; after
// Ignore nothing of it is stored or cleared. COUNT1 goes up by one per event element and
// CALPROC# is reported with the week's first day. Abort throws Aborted.
void proc_feed(const std::filesystem::path& file, std::string_view name, const PageOptions& options,
               PageSink& sink, Reporter& reporter, Progress& progress, std::int64_t& count1);
// The same for a feed already read into `bytes`.
void read_feed(std::string_view bytes, std::string_view name, const PageOptions& options,
               PageSink& sink, Reporter& reporter, Progress& progress, std::int64_t& count1);

}  // namespace mervane
