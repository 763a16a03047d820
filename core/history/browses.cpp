#include "core/history/browses.h"

#include "core/util/day_column.h"
#include "core/util/picture.h"

namespace mervane {

template class Browse<CalendarTable>;
template class Browse<SwapoutTable>;
template class Browse<SwaprateTable>;
template class Browse<SwapdataTable>;
template class Browse<PviewTable>;

namespace {

// A number through a picture, the picture read once.
template <const char* Code>
std::string shown(double v) {
  static const Picture p = *read_picture(Code);
  return format_value(p, v);
}

constexpr char kT1[] = "T1";
constexpr char kNm3[] = "N-3";
constexpr char kN3[] = "N3";
constexpr char kN2[] = "N2";
constexpr char kN1[] = "N1";
constexpr char kSwap[] = "N(8.2)B";
constexpr char kFlag[] = "n_1b";

// The event columns of the history and the preview, for either record.
template <class R>
std::vector<BrowseColumn<R>> event_columns() {
  return {
      {"Date", 62, [](const R& r) { return day_column(r.date); }},
      {"Time", 24, [](const R& r) { return shown<kT1>(r.time); }},
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

// The nine chart flags M1 ... MN1 of an item or a definition, as "N1".
template <class R>
void add_chart_columns(std::vector<BrowseColumn<R>>& cols) {
  cols.push_back({"M1", 14, [](const R& r) { return shown<kN1>(r.m1); }});
  cols.push_back({"M5", 14, [](const R& r) { return shown<kN1>(r.m5); }});
  cols.push_back({"M15", 16, [](const R& r) { return shown<kN1>(r.m15); }});
  cols.push_back({"M30", 16, [](const R& r) { return shown<kN1>(r.m30); }});
  cols.push_back({"H1", 14, [](const R& r) { return shown<kN1>(r.h1); }});
  cols.push_back({"H4", 14, [](const R& r) { return shown<kN1>(r.h4); }});
  cols.push_back({"D1", 14, [](const R& r) { return shown<kN1>(r.d1); }});
  cols.push_back({"W1", 14, [](const R& r) { return shown<kN1>(r.w1); }});
  cols.push_back({"MN1", 16, [](const R& r) { return shown<kN1>(r.mn1); }});
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

BrowseSpec<SwapoutTable> swapout_def() {
  using R = SwapoutRecord;
  BrowseSpec<SwapoutTable> s;
  s.title = "  Auxiliary items list";
  s.table_name = "Swapout";
  s.tabs = {{"Type / Date", SwapoutKey::Key}};
  s.columns = {
      {"Type", 28, [](const R& r) { return r.rectype.str(); }},
      {"Date", 62, [](const R& r) { return day_column(r.date); }},
      {"Time", 24, [](const R& r) { return shown<kT1>(r.time); }},
      {"Spacing", 30, [](const R& r) { return shown<kNm3>(r.spacing); }},
      {"Symbol", 28, [](const R& r) { return shown<kN3>(r.symbol); }},
      {"Color", 22, [](const R& r) { return shown<kN2>(r.color); }},
      {"Currency", 34, [](const R& r) { return r.currency.str(); }},
  };
  add_chart_columns(s.columns);
  s.columns.push_back({"Descr Line 1", 120, [](const R& r) { return r.text1.str(); }});
  s.columns.push_back({"Descr Line 2", 120, [](const R& r) { return r.text2.str(); }});
  s.form = FormKind::EditSwapOut;
  s.extra = {"Modify Swap Details  (F6)", "?BUTTON6"};
  s.extra_key = Key::F6;
  s.extra_action = [](Windows& w, Session& session) { w.swap_output(session); };
  return s;
}

BrowseSpec<SwaprateTable> swaprate_def() {
  using R = SwaprateRecord;
  BrowseSpec<SwaprateTable> s;
  s.title = "Swap Rates / Spread Collection settings";
  s.table_name = "Swaprate";
  s.tabs = {{"Sort by Pair", SwaprateKey::KeyPair}};
  s.columns = {
      {"Pair", 32, [](const R& r) { return r.pair.str(); }},
      {"Buy", 38, [](const R& r) { return shown<kSwap>(r.buy); }},
      {"Sell", 38, [](const R& r) { return shown<kSwap>(r.sell); }},
      {"ALL", 18, [](const R& r) { return shown<kFlag>(r.all); }},
      {"USD", 18, [](const R& r) { return shown<kFlag>(r.usd); }},
      {"CAD", 18, [](const R& r) { return shown<kFlag>(r.cad); }},
      {"EUR", 18, [](const R& r) { return shown<kFlag>(r.eur); }},
      {"GBP", 18, [](const R& r) { return shown<kFlag>(r.gbp); }},
      {"CHF", 18, [](const R& r) { return shown<kFlag>(r.chf); }},
      {"JPY", 18, [](const R& r) { return shown<kFlag>(r.jpy); }},
      {"AUD", 18, [](const R& r) { return shown<kFlag>(r.aud); }},
      {"NZD", 18, [](const R& r) { return shown<kFlag>(r.nzd); }},
      {"High", 20, [](const R& r) { return shown<kFlag>(r.high); }},
      {"Med", 20, [](const R& r) { return shown<kFlag>(r.med); }},
      {"Low", 20, [](const R& r) { return shown<kFlag>(r.low); }},
  };
  s.form = FormKind::EditSwapRate;
  s.extra = {"Import from Swaprate.CSV", "?IMPORT"};
  s.extra_action = [](Windows& w, Session& session) { w.import_swap_rates(session); };
  return s;
}

BrowseSpec<SwapdataTable> swapdata_def() {
  using R = SwapdataRecord;
  BrowseSpec<SwapdataTable> s;
  s.title = "Swap Details";
  s.table_name = "Swapdata";
  s.tabs = {{"Swap Details", SwapdataKey::KeyDateAdd}};
  s.columns = {
      {"Date Add", 32, [](const R& r) { return shown<kNm3>(r.dateadd); }},
      {"Time", 24, [](const R& r) { return shown<kT1>(r.mt4time); }},
      {"Description", 150, [](const R& r) { return r.descr.str(); }},
      {"Factor", 28, [](const R& r) { return shown<kNm3>(r.factor); }},
      {"Spacing", 30, [](const R& r) { return shown<kNm3>(r.spacing); }},
      {"Color", 22, [](const R& r) { return shown<kN2>(r.color); }},
      {"Symbol +", 32, [](const R& r) { return shown<kN3>(r.symbol); }},
      {"Symbol -", 32, [](const R& r) { return shown<kN3>(r.symbol2); }},
  };
  add_chart_columns(s.columns);
  s.form = FormKind::EditSwapData;
  s.include_unkeyed = true;
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
BrowseSwapOut::BrowseSwapOut(Session& s, Windows& w, Reporter& r)
    : Browse(swapout_def(), s, w, r) {}
BrowseSwapRate::BrowseSwapRate(Session& s, Windows& w, Reporter& r)
    : Browse(swaprate_def(), s, w, r) {}
BrowseSwapData::BrowseSwapData(Session& s, Windows& w, Reporter& r)
    : Browse(swapdata_def(), s, w, r) {}
BrowsePview::BrowsePview(Session& s, Windows& w, Reporter& r) : Browse(pview_def(), s, w, r) {}

}  // namespace mervane
