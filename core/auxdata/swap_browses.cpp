#include "core/auxdata/swap_browses.h"

#include "core/auxdata/import_swap_rates.h"
#include "core/auxdata/swap_output.h"
#include "core/util/day_column.h"

namespace mervane {

template class Browse<SwapoutTable>;
template class Browse<SwaprateTable>;
template class Browse<SwapdataTable>;

namespace {

constexpr char kT1[] = "T1";
constexpr char kNm3[] = "N-3";
constexpr char kN3[] = "N3";
constexpr char kN2[] = "N2";
constexpr char kN1[] = "N1";
constexpr char kSwap[] = "N(8.2)B";
constexpr char kFlag[] = "n_1b";

// The nine chart flags M1 ... MN1 of an item or a definition, as "N1".
template <class R>
void add_chart_columns(std::vector<BrowseColumn<R>>& cols) {
  cols.push_back({"M1", 14, [](const R& r) { return cell_of<kN1>(r.m1); }});
  cols.push_back({"M5", 14, [](const R& r) { return cell_of<kN1>(r.m5); }});
  cols.push_back({"M15", 16, [](const R& r) { return cell_of<kN1>(r.m15); }});
  cols.push_back({"M30", 16, [](const R& r) { return cell_of<kN1>(r.m30); }});
  cols.push_back({"H1", 14, [](const R& r) { return cell_of<kN1>(r.h1); }});
  cols.push_back({"H4", 14, [](const R& r) { return cell_of<kN1>(r.h4); }});
  cols.push_back({"D1", 14, [](const R& r) { return cell_of<kN1>(r.d1); }});
  cols.push_back({"W1", 14, [](const R& r) { return cell_of<kN1>(r.w1); }});
  cols.push_back({"MN1", 16, [](const R& r) { return cell_of<kN1>(r.mn1); }});
}

BrowseSpec<SwapoutTable> swapout_def(Session& session, Windows& w, Reporter& r, Progress& p) {
  using R = SwapoutRecord;
  BrowseSpec<SwapoutTable> s;
  s.title = "  Auxiliary items list";
  s.table_name = "Swapout";
  s.tabs = {{"Type / Date", SwapoutKey::Key}};
  s.columns = {
      {"Type", 28, [](const R& r) { return r.rectype.str(); }},
      {"Date", 62, [](const R& r) { return day_column(r.date); }},
      {"Time", 24, [](const R& r) { return cell_of<kT1>(r.time); }},
      {"Spacing", 30, [](const R& r) { return cell_of<kNm3>(r.spacing); }},
      {"Symbol", 28, [](const R& r) { return cell_of<kN3>(r.symbol); }},
      {"Color", 22, [](const R& r) { return cell_of<kN2>(r.color); }},
      {"Currency", 34, [](const R& r) { return r.currency.str(); }},
  };
  add_chart_columns(s.columns);
  s.columns.push_back({"Descr Line 1", 120, [](const R& r) { return r.text1.str(); }});
  s.columns.push_back({"Descr Line 2", 120, [](const R& r) { return r.text2.str(); }});
  s.form = FormKind::EditSwapOut;
  s.extra = {"Modify Swap Details  (F6)", "?BUTTON6"};
  s.extra_key = Key::F6;
  s.extra_action = [&session, &w, &r, &p] {
    SwapOutput generation(session, w, r, p);
    w.run(generation);
  };
  return s;
}

BrowseSpec<SwaprateTable> swaprate_def(Session& session, Windows& w, Reporter& r, Progress& p) {
  using R = SwaprateRecord;
  BrowseSpec<SwaprateTable> s;
  s.title = "Swap Rates / Spread Collection settings";
  s.table_name = "Swaprate";
  s.tabs = {{"Sort by Pair", SwaprateKey::KeyPair}};
  s.columns = {
      {"Pair", 32, [](const R& r) { return r.pair.str(); }},
      {"Buy", 38, [](const R& r) { return cell_of<kSwap>(r.buy); }},
      {"Sell", 38, [](const R& r) { return cell_of<kSwap>(r.sell); }},
      {"ALL", 18, [](const R& r) { return cell_of<kFlag>(r.all); }},
      {"USD", 18, [](const R& r) { return cell_of<kFlag>(r.usd); }},
      {"CAD", 18, [](const R& r) { return cell_of<kFlag>(r.cad); }},
      {"EUR", 18, [](const R& r) { return cell_of<kFlag>(r.eur); }},
      {"GBP", 18, [](const R& r) { return cell_of<kFlag>(r.gbp); }},
      {"CHF", 18, [](const R& r) { return cell_of<kFlag>(r.chf); }},
      {"JPY", 18, [](const R& r) { return cell_of<kFlag>(r.jpy); }},
      {"AUD", 18, [](const R& r) { return cell_of<kFlag>(r.aud); }},
      {"NZD", 18, [](const R& r) { return cell_of<kFlag>(r.nzd); }},
      {"High", 20, [](const R& r) { return cell_of<kFlag>(r.high); }},
      {"Med", 20, [](const R& r) { return cell_of<kFlag>(r.med); }},
      {"Low", 20, [](const R& r) { return cell_of<kFlag>(r.low); }},
  };
  s.form = FormKind::EditSwapRate;
  s.extra = {"Import from Swaprate.CSV", "?IMPORT"};
  s.extra_action = [&session, &w, &r, &p] {
    ImportSwapRates import(session, r, p);
    w.run(import);
    // The lines the file held that are no swap rates, and why, over the list.
    if (const std::optional<Warning> skipped = import.skipped_lines()) r.warning(*skipped);
  };
  return s;
}

BrowseSpec<SwapdataTable> swapdata_def() {
  using R = SwapdataRecord;
  BrowseSpec<SwapdataTable> s;
  s.title = "Swap Details";
  s.table_name = "Swapdata";
  s.tabs = {{"Swap Details", SwapdataKey::KeyDateAdd}};
  s.columns = {
      {"Date Add", 32, [](const R& r) { return cell_of<kNm3>(r.dateadd); }},
      {"Time", 24, [](const R& r) { return cell_of<kT1>(r.mt4time); }},
      {"Description", 150, [](const R& r) { return r.descr.str(); }},
      {"Factor", 28, [](const R& r) { return cell_of<kNm3>(r.factor); }},
      {"Spacing", 30, [](const R& r) { return cell_of<kNm3>(r.spacing); }},
      {"Color", 22, [](const R& r) { return cell_of<kN2>(r.color); }},
      {"Symbol +", 32, [](const R& r) { return cell_of<kN3>(r.symbol); }},
      {"Symbol -", 32, [](const R& r) { return cell_of<kN3>(r.symbol2); }},
  };
  add_chart_columns(s.columns);
  s.form = FormKind::EditSwapData;
  s.include_unkeyed = true;
  return s;
}

}  // namespace

BrowseSwapOut::BrowseSwapOut(Session& s, Windows& w, Reporter& r, Progress& p)
    : Browse(swapout_def(s, w, r, p), s, w, r) {}
BrowseSwapRate::BrowseSwapRate(Session& s, Windows& w, Reporter& r, Progress& p)
    : Browse(swaprate_def(s, w, r, p), s, w, r) {}
BrowseSwapData::BrowseSwapData(Session& s, Windows& w, Reporter& r)
    : Browse(swapdata_def(), s, w, r) {}

}  // namespace mervane
