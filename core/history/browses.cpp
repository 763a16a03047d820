#include "core/history/browses.h"

#include "core/util/day_column.h"

namespace mervane {

template class Browse<CalendarTable>;
template class Browse<PviewTable>;

namespace {

constexpr char kT1[] = "T1";

// The event columns of the history and the preview, for either record.
template <class R>
std::vector<BrowseColumn<R>> event_columns() {
  return {
      {"Date", 62, [](const R& r) { return day_column(r.date); }},
      {"Time", 24, [](const R& r) { return cell_of<kT1>(r.time); }},
      {"Country", 30, [](const R& r) { return r.currency.str(); }},
      {"Description", 150, [](const R& r) { return r.descr.str(); }},
      {"Impact", 26, [](const R& r) { return r.impact.str(); }},
      {"Actual", 40, [](const R& r) { return r.actual.str(); }},
      {"Forecast", 40, [](const R& r) { return r.forecast.str(); }},
      {"Previous", 40, [](const R& r) { return r.previous.str(); }},
      {"Rev. From", 40, [](const R& r) { return r.revisedfrom.str(); }},
      {"KX ID", 30, [](const R& r) { return r.kxidcode.str(); }},
  };
}

BrowseSpec<CalendarTable> history_def() {
  BrowseSpec<CalendarTable> s;
  s.title = "View News Events History database";
  s.table_name = "Calendar";
  s.tabs = {{" Date / Time ", CalendarKey::Key},
            {" Currency / Descr ", CalendarKey::NameKey},
            {" Descr / Currency ", CalendarKey::DescrKey}};
  s.columns = event_columns<CalendarRecord>();
  s.form = FormKind::UpdateCalendar;
  return s;
}

BrowseSpec<PviewTable> pview_def() {
  BrowseSpec<PviewTable> s;
  s.title = "  Preview Export";
  s.table_name = "Pview";
  s.tabs = {{"  Date / Time  ", PviewKey::KeyDate},
            {"  Descr / Currency  ", PviewKey::KeyDesc},
            {"  Currency / Descr  ", PviewKey::KeyCurr}};
  s.columns = event_columns<PviewRecord>();
  s.close_text = "Close";
  return s;
}

}  // namespace

BrowseHistoryByName::BrowseHistoryByName(Session& s, Windows& w, Reporter& r)
    : Browse(history_def(), s, w, r) {}
BrowsePview::BrowsePview(Session& s, Windows& w, Reporter& r) : Browse(pview_def(), s, w, r) {}

}  // namespace mervane
