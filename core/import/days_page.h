// The calendar's week and month pages as the service serves them today, also as a browser saves
// them. A normal HTML page (declared windows-1252) whose events sit in a script:
//
//   window.calendarComponentStates[1] = { days: [ ...strict JSON... ], ...more members };
//
// The object is JavaScript; the value of `days` is cut out by matching brackets and parsed as
// JSON (simdjson). Each day object has `date` ("Tue <span>Jan 27</span>"), `dateline` (that
// day's midnight in the page's display zone, UNIX seconds) and `events`; each event `id` (this
// occurrence), `name`, `currency`, `impactName` ("high", "medium", "low", "holiday"),
// `timeLabel` ("8:30am", "All Day", "Tentative"), `timeMasked` (true for labels that are not
// clock times, whose `dateline` is a placeholder), `dateline` (the release instant, UTC),
// `actual`, `forecast`, `previous` (as first published) and `revision` (its revised value), among
// some fifty members this reader does not need. The display zone is `timezone_name` in the
// object assigned to `window.FF`. A page saved by a browser holds the assignment twice: every
// block is read, each day and each event (by `id`) once.
//
// An event becomes the finished event the other readers make, under the same check boxes:
// name -> description, currency ("All" -> "ALL"), the impact word ("holiday" counts as
// non-economic), actual and forecast as they stand, previous := revision when there is one (the
// page's Previous column shows it) else previous, revised-from := previous when there is a
// revision, KX ID := id. A masked label is an untimed event (" <<AllDay>>", " <<Tentative>>"),
// dated by its day object. Texts read as the other readers' decoded texts do.
//
// Times: each event comes out in MT4 time (PageEvent::mt4_time). With an MT4 zone in the
// options, a timed event's MT4 time is its release instant in that zone, exactly; an untimed
// one is 00:01 of its day in the display zone, converted. Without it, the page's display time
// plus OFFSET1 hours, as for the other sources.
//
// The days the page lists are the days it replaces: they are cleared once before the first
// event is stored. A page is checked whole before anything is handed on: one without the
// assignment, whose `days` cannot be cut out or is not JSON of that shape, whose days are not
// consecutive (or more than 62), that names no usable display zone, or with an event whose day
// cannot be told (a timed event at a moment that is not on the day listing it) is refused and
// clears and stores nothing.
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

// Why a page cannot be read; the byte (from 0) where that shows, when one does.
struct DaysProblem {
  std::optional<std::size_t> offset;
  std::string text;
};

struct DaysPage {
  std::vector<PageEvent> events;  // those the check boxes let through, in page order, MT4 time
  std::int32_t first_day = 0;     // the first and last day the page lists (display zone)
  std::int32_t last_day = 0;
  std::size_t items = 0;  // event objects read, each id once
  std::string zone;       // the display zone the page names
  std::optional<DaysProblem> problem;
};

// Whether a calendar file's bytes are one of today's pages: they hold the assignment above.
bool looks_like_days_page(std::string_view bytes);

// Reads a whole page. With a problem, no events are returned.
DaysPage parse_days_page(std::string_view bytes, const PageOptions& options);

// Hands a page without a problem to the sink: delete_days() for its days, each event, then
// page_done().
void store_days_page(const DaysPage& page, PageSink& sink);

// The stop message's text of a problem: "byte N: ..." or the text alone.
std::string problem_text(const DaysProblem& p);

}  // namespace mervane
