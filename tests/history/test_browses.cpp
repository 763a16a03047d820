// The list windows as the user sees and moves them: the page, scrolling by row and page, the
// thumb's stops, changing the sort order, locating, the extra buttons, the preview's view-only
// list, and what the lists do when their table fails or another window changes it.
#include <gtest/gtest.h>

#include <sqlite3.h>

#include <set>

#include "core/auxdata/import_swap_rates.h"
#include "core/auxdata/swap_browses.h"
#include "core/auxdata/swap_output.h"
#include "core/history/browses.h"
#include "core/history/forms.h"
#include "core/util/helpers.h"
#include "tests/support/tables.h"
#include "tests/support/window_bed.h"

namespace mervane {
namespace {

using B = BrowseControl;
using test::calendar_event;
using test::day;

OtherEvent event(OtherEvent::Kind k, int value) {
  return {k, number(B::BROWSE_1), value};
}

CalendarRecord ev(int d, int h, int m, const char* ccy, const char* descr) {
  CalendarRecord r = calendar_event(day(2009, 3, d), tod(h, m), ccy, descr);
  r.impact = "H";
  r.actual = "0.4%";
  r.kxidcode = "1234";
  return r;
}

// Twelve events of the week of 2 March 2009, in date order.
std::vector<CalendarRecord> week() {
  return {ev(2, 8, 30, "USD", "ISM Manufacturing"),
          ev(2, 10, 0, "EUR", "PMI"),
          ev(3, 1, 30, "AUD", "Rate decision"),
          ev(3, 9, 0, "GBP", "Construction PMI"),
          ev(4, 8, 15, "USD", "ADP Employment"),
          ev(4, 10, 0, "CAD", "BoC Rate"),
          ev(5, 7, 45, "EUR", "ECB Rate"),
          ev(5, 8, 30, "USD", "Jobless Claims"),
          ev(6, 8, 30, "CAD", "Employment Change"),
          ev(6, 8, 30, "USD", "Non-Farm Payrolls"),
          ev(7, 0, 0, "JPY", "Holiday"),
          ev(8, 21, 45, "NZD", "GDP")};
}

class HistoryList : public ::testing::Test, protected test::WindowBed {
 protected:
  void open(int rows = 5) {
    list.open();
    list.other_event({OtherEvent::Kind::PageRows, number(B::BROWSE_1), rows});
  }
  // The descriptions on the page, and the highlighted one.
  std::vector<std::string> descrs() {
    std::vector<std::string> out;
    for (const auto& r : list.page()) out.push_back(r.rec.descr.str());
    return out;
  }
  std::string at() {
    const int h = list.highlighted();
    return h < 0 ? "" : list.page()[static_cast<std::size_t>(h)].rec.descr.str();
  }
  BrowseHistoryByName list{session, windows, reporter};
};

TEST_F(HistoryList, OpensOnTheFirstPageWithTheColumnsAsShown) {
  test::fill_table<CalendarTable>(dir.path(), week());
  list.open();
  EXPECT_EQ(list.title(), "View News Events History database");
  EXPECT_EQ(session.uses("CALENDAR"), 1);
  const ListState l = list.list(number(B::BROWSE_1));
  EXPECT_EQ(l.headers,
            (std::vector<std::string>{"Date", "Time", "Country", "Description", "Impact", "Actual",
                                      "Forecast", "Previous", "Rev. From", "KX ID"}));
  EXPECT_EQ(l.widths.size(), l.headers.size());
  EXPECT_EQ(l.page_rows, 17);  // what the list's height holds
  ASSERT_EQ(l.rows.size(), 12u);
  EXPECT_EQ(l.rows[4], (std::vector<std::string>{"Wed 4 Mar 2009", "08:15", "USD", "ADP Employment",
                                                 "H", "0.4%", "", "", "", "1234"}));
  EXPECT_EQ(l.rows[10][0], "Sat 7 Mar 2009");
  EXPECT_EQ(l.highlighted, 0);
  EXPECT_EQ(l.thumb, 1);
  // The tabs, the buttons, and Select kept hidden.
  const ControlSpec* tab2 = list.control_def(number(B::TAB2));
  ASSERT_NE(tab2, nullptr);
  EXPECT_EQ(tab2->text, " Currency / Descr ");
  EXPECT_EQ(list.control_def(number(B::INSERT))->text, "&Insert (Ins)");
  EXPECT_EQ(list.control_def(number(B::CHANGE))->text, "&Change (Enter)");
  EXPECT_EQ(list.control_def(number(B::DELETE))->text, "&Delete (Del)");
  EXPECT_EQ(list.control_def(number(B::CLOSE))->text, "E&xit (Esc)");
  EXPECT_EQ(list.control_def(number(B::BROWSE_1))->text, "Browsing Records");
  EXPECT_TRUE(list.hidden(number(B::SELECT)));
  EXPECT_EQ(list.value(number(B::CURRENTTAB)), "0");
  EXPECT_EQ(list.key({Key::Esc}), Reply::closed(Response::Cancelled));
  EXPECT_EQ(session.uses("CALENDAR"), 0);
  EXPECT_EQ(list.key({Key::Down}), Reply::closed()) << "a closed window answers close";
}

TEST_F(HistoryList, AMissingTableIsCreatedAndAnEmptyListHasNothingToChange) {
  open();
  EXPECT_TRUE(std::filesystem::exists(dir / "CALENDAR.db"));
  EXPECT_TRUE(reporter.warnings.empty());
  EXPECT_TRUE(list.page().empty());
  EXPECT_EQ(list.highlighted(), -1);
  EXPECT_FALSE(list.enabled(number(B::CHANGE)));
  EXPECT_FALSE(list.enabled(number(B::DELETE)));
  EXPECT_TRUE(list.enabled(number(B::INSERT)));
  for (Key k : {Key::Down, Key::PageDown, Key::End, Key::Up, Key::Enter, Key::Delete})
    EXPECT_EQ(list.key({k}), Reply::stay());
  list.other_event(event(OtherEvent::Kind::Thumb, 50));
  EXPECT_EQ(list.list(number(B::BROWSE_1)).thumb, 0);
  EXPECT_TRUE(windows.calls.empty());
}

TEST_F(HistoryList, ScrollingByRowPageTopAndBottom) {
  test::fill_table<CalendarTable>(dir.path(), week());
  open(5);
  const std::vector<std::string> all = [&] {
    std::vector<std::string> d;
    for (const auto& r : week()) d.push_back(r.descr.str());
    return d;
  }();
  auto rows = [&](int from) {
    return std::vector<std::string>(all.begin() + from, all.begin() + from + 5);
  };
  EXPECT_EQ(descrs(), rows(0));
  list.key({Key::Up});  // at the top: nothing moves
  EXPECT_EQ(list.highlighted(), 0);
  for (int i = 0; i < 4; ++i) list.key({Key::Down});
  EXPECT_EQ(list.highlighted(), 4);
  list.key({Key::Down});  // past the last row: the page moves one row
  EXPECT_EQ(descrs(), rows(1));
  EXPECT_EQ(at(), all[5]);
  list.key({Key::PageDown});
  EXPECT_EQ(descrs(), rows(6));
  EXPECT_EQ(list.highlighted(), 4);
  list.key({Key::PageDown});  // only one more: the last full page
  EXPECT_EQ(descrs(), rows(7));
  list.key({Key::PageDown});  // at the end: the last row is highlighted
  EXPECT_EQ(descrs(), rows(7));
  EXPECT_EQ(at(), all[11]);
  list.key({Key::PageUp});
  EXPECT_EQ(descrs(), rows(2));
  list.key({Key::PageUp});  // two before: the first page
  EXPECT_EQ(descrs(), rows(0));
  list.key({Key::End});
  EXPECT_EQ(descrs(), rows(7));
  EXPECT_EQ(at(), all[11]);
  list.key({Key::Home});
  EXPECT_EQ(descrs(), rows(0));
  EXPECT_EQ(at(), all[0]);
  list.other_event(event(OtherEvent::Kind::Scroll, 3));
  EXPECT_EQ(descrs(), rows(3));
  list.other_event(event(OtherEvent::Kind::Scroll, -1));
  EXPECT_EQ(descrs(), rows(2));
  list.other_event(event(OtherEvent::Kind::Scroll, 12));  // beyond the end
  EXPECT_EQ(descrs(), rows(7));
  list.other_event(event(OtherEvent::Kind::RowSelected, 3));
  EXPECT_EQ(at(), all[10]);
  list.key({Key::Up});
  EXPECT_EQ(at(), all[9]);
}

TEST_F(HistoryList, TheThumbStandsAtOneOfAHundredStops) {
  // One event a day for 100 days: the stops of the date key fall one day apart.
  std::vector<CalendarRecord> days;
  const std::int32_t first = day(2009, 1, 1);
  for (int i = 0; i < 100; ++i) days.push_back(calendar_event(first + i, tod(8), "USD", "d"));
  test::fill_table<CalendarTable>(dir.path(), days);
  open(5);
  struct Case {
    int stop;
    std::int32_t top;        // the first row's date
    std::int32_t highlight;  // the date highlighted
    int thumb;               // where the thumb stands afterwards
  };
  const Case cases[] = {{50, first + 49, first + 49, 50},
                        {1, first, first, 1},
                        {100, first + 95, first + 99, 96},
                        {73, first + 72, first + 72, 73}};
  for (const Case& c : cases) {
    list.other_event(event(OtherEvent::Kind::Thumb, c.stop));
    ASSERT_FALSE(list.page().empty());
    EXPECT_EQ(list.page().front().rec.date, c.top) << c.stop;
    EXPECT_EQ(list.page()[static_cast<std::size_t>(list.highlighted())].rec.date, c.highlight);
    EXPECT_EQ(list.list(number(B::BROWSE_1)).thumb, c.thumb) << c.stop;
  }
  list.key({Key::Home});
  list.key({Key::PageDown});
  EXPECT_EQ(list.list(number(B::BROWSE_1)).thumb, 6);
}

TEST_F(HistoryList, TheThumbOfATextKeyMovesInKeyOrder) {
  test::fill_table<CalendarTable>(dir.path(), week());
  open(3);
  list.other_event({OtherEvent::Kind::Tab, number(B::CURRENTTAB), 1});  // currency first
  std::string last;
  for (int stop : {1, 20, 40, 60, 80, 100}) {
    list.other_event(event(OtherEvent::Kind::Thumb, stop));
    const std::string ccy =
        list.page()[static_cast<std::size_t>(list.highlighted())].rec.currency.str();
    EXPECT_LE(last, ccy) << stop;
    last = ccy;
    EXPECT_GE(list.list(number(B::BROWSE_1)).thumb, 1);
  }
  EXPECT_EQ(last, "USD");
  list.other_event(event(OtherEvent::Kind::Thumb, 1));
  EXPECT_EQ(at(), "Rate decision");  // AUD
}

TEST_F(HistoryList, ChangingTheTabKeepsTheHighlightedRecord) {
  test::fill_table<CalendarTable>(dir.path(), week());
  open(5);
  list.other_event(event(OtherEvent::Kind::Scroll, 3));
  list.other_event(event(OtherEvent::Kind::RowSelected, 2));
  ASSERT_EQ(at(), "BoC Rate");
  list.other_event({OtherEvent::Kind::Tab, number(B::CURRENTTAB), 1});
  EXPECT_EQ(list.value(number(B::CURRENTTAB)), "1");
  // Currency / description order: only AUD comes before CAD BoC Rate.
  EXPECT_EQ(descrs(), (std::vector<std::string>{"Rate decision", "BoC Rate", "Employment Change",
                                                "ECB Rate", "PMI"}));
  EXPECT_EQ(at(), "BoC Rate");
  list.key({Key::Down});
  list.key({Key::Down});
  list.key({Key::Down});
  ASSERT_EQ(at(), "PMI");
  list.accepted(number(B::TAB3));  // description order, by the tab itself
  EXPECT_EQ(list.value(number(B::CURRENTTAB)), "2");
  EXPECT_EQ(at(), "PMI");
  EXPECT_EQ(list.highlighted(), 4) << "kept on its row when there are records enough before it";
  EXPECT_EQ(descrs(), (std::vector<std::string>{"Holiday", "ISM Manufacturing", "Jobless Claims",
                                                "Non-Farm Payrolls", "PMI"}));
}

TEST_F(HistoryList, TypingULocatesTheFirstUsdEventThenTheNextOnes) {
  test::fill_table<CalendarTable>(dir.path(), week());
  open(5);
  list.other_event({OtherEvent::Kind::Tab, number(B::CURRENTTAB), 1});
  ASSERT_EQ(list.control_def(number(B::TAB2))->text, " Currency / Descr ");
  list.key({Key::Char, 'u'});
  EXPECT_EQ(at(), "ADP Employment");
  EXPECT_EQ(list.page()[static_cast<std::size_t>(list.highlighted())].rec.currency, "USD");
  list.key({Key::Char, 'u'});
  EXPECT_EQ(at(), "ISM Manufacturing");
  list.key({Key::Char, 'U'});
  EXPECT_EQ(at(), "Jobless Claims");
  list.key({Key::Char, 'u'});
  EXPECT_EQ(at(), "Non-Farm Payrolls");
  list.key({Key::Char, 'u'});  // after the last one, the first again
  EXPECT_EQ(at(), "ADP Employment");
  list.key({Key::Char, 'e'});
  EXPECT_EQ(at(), "ECB Rate");
  list.key({Key::Char, 'x'});  // nothing begins with x
  EXPECT_EQ(at(), "ECB Rate");
  // The description order locates by description.
  list.other_event({OtherEvent::Kind::Tab, number(B::CURRENTTAB), 2});
  list.key({Key::Char, 'j'});
  EXPECT_EQ(at(), "Jobless Claims");
}

TEST_F(HistoryList, ARecordAnotherWindowDeletedLeavesThePageAndOpensNoForm) {
  test::fill_table<CalendarTable>(dir.path(), week());
  open(5);
  list.other_event(event(OtherEvent::Kind::RowSelected, 1));
  {
    Table<CalendarTable> other(dir.path());
    ASSERT_TRUE(other.open().is_ok());
    ASSERT_TRUE(other.get_at(list.page()[1].id).is_ok());
    ASSERT_TRUE(other.erase().is_ok());
  }
  list.key({Key::Enter});
  EXPECT_TRUE(windows.calls.empty());
  EXPECT_EQ(descrs(), (std::vector<std::string>{"ISM Manufacturing", "Rate decision",
                                                "Construction PMI", "ADP Employment", "BoC Rate"}));
  EXPECT_TRUE(reporter.warnings.empty());
}

TEST_F(HistoryList, AnotherListShowsTheStoredVersionWhenItReadsItsPageAgain) {
  test::fill_table<CalendarTable>(dir.path(), week());
  open(5);
  BrowseHistoryByName second(session, windows, reporter);
  second.open();
  EXPECT_EQ(session.uses("CALENDAR"), 2);
  windows.on<UpdateCalendar>([](UpdateCalendar& f) {
    f.type(number(UpdateCalendarControl::ACTUAL), "9.9%");
    f.accepted(number(UpdateCalendarControl::OK));
  });
  list.key({Key::Enter});
  EXPECT_EQ(list.page()[0].rec.actual, "9.9%");
  EXPECT_EQ(second.page()[0].rec.actual, "0.4%") << "until the second reads its page again";
  second.key({Key::End});
  second.key({Key::Home});
  EXPECT_EQ(second.page()[0].rec.actual, "9.9%");
  second.close_request();
  EXPECT_EQ(session.uses("CALENDAR"), 1);
}

// Drops the records' table under the list's feet, as a broken disk would.
void break_table(const std::filesystem::path& db) {
  sqlite3* h = nullptr;
  sqlite3_open(db.c_str(), &h);
  sqlite3_exec(h, "DROP TABLE data", nullptr, nullptr, nullptr);
  sqlite3_close(h);
}

TEST_F(HistoryList, APageThatCannotBeReadShowsTheViewErrorAndStays) {
  test::fill_table<CalendarTable>(dir.path(), week());
  open(5);
  const auto before = descrs();
  break_table(dir / "CALENDAR.db");
  EXPECT_EQ(list.key({Key::PageDown}), Reply::stay());
  ASSERT_FALSE(reporter.warnings.empty());
  EXPECT_EQ(reporter.warnings[0].id, 36);
  EXPECT_EQ(reporter.warnings[0].caption, "View Open Error");
  EXPECT_EQ(descrs(), before);
  // The highlighted record cannot be read for its form: warning 35, back to the caller.
  reporter.warnings.clear();
  EXPECT_EQ(list.key({Key::Enter}), Reply::closed(Response::Cancelled));
  ASSERT_EQ(reporter.warnings.size(), 1u);
  EXPECT_EQ(reporter.warnings[0].id, 35);
  EXPECT_NE(
      reporter.warnings[0].text.find("from the Calendar file.  Returning to previous window."),
      std::string::npos)
      << reporter.warnings[0].text;
  EXPECT_TRUE(list.closed());
  EXPECT_TRUE(windows.calls.empty());
  EXPECT_EQ(session.uses("CALENDAR"), 0);
}

TEST_F(HistoryList, ResizingTheWindowGrowsTheListAndItsPage) {
  test::fill_table<CalendarTable>(dir.path(), week());
  list.open();
  EXPECT_EQ(list.page_rows(), 17);
  list.other_event({OtherEvent::Kind::Resized, 0, 0, 480, 118});
  EXPECT_EQ(list.page_rows(), 8);  // the list is half as high
  EXPECT_EQ(list.page().size(), 8u);
  const Rect close = list.place(number(B::CLOSE));
  EXPECT_EQ(close.w, 56) << "buttons keep their size";
  EXPECT_EQ(list.state().controls.size(), list.controls().size());
  list.other_event({OtherEvent::Kind::Resized, 0, 0, 480, 236});
  EXPECT_EQ(list.place(number(B::CLOSE)), list.control_def(number(B::CLOSE))->at);
  EXPECT_EQ(list.page_rows(), 17);
}

TEST(AuxiliaryItemList, ModifySwapDetailsRunsTheSwapGenerationAndReadsThePageAgain) {
  test::WindowBed bed;
  BrowseSwapOut list(bed.session, bed.windows, bed.reporter, bed.progress);
  list.open();
  EXPECT_EQ(list.title(), "  Auxiliary items list");
  EXPECT_EQ(list.control_def(number(B::EXTRA))->text, "Modify Swap Details  (F6)");
  EXPECT_EQ(list.control_def(number(B::EXTRA))->use, "?BUTTON6");
  EXPECT_EQ(list.control_def(number(B::TAB1))->text, "Type / Date");
  bed.windows.on<SwapOutput>([&](SwapOutput&) {
    if (bed.windows.runs("  Modify Swap Details") > 1) return;
    SwapoutRecord item;
    item.rectype = "SWAP";
    item.date = day(2009, 3, 11);
    item.time = tod(23);
    item.currency = "EURUSD";
    item.spacing = -2;
    item.symbol = 233;
    item.color = 2;
    item.m5 = 1;
    item.text1 = "Swap EURUSD";
    Table<SwapoutTable> t(bed.dir.path());
    ASSERT_TRUE(t.open().is_ok());
    t.rec = item;
    ASSERT_TRUE(t.add().is_ok());
  });
  list.key({Key::F6});
  EXPECT_EQ(bed.windows.calls, std::vector<std::string>{"  Modify Swap Details"});
  ASSERT_EQ(list.page().size(), 1u);
  const ListState l = list.list(number(B::BROWSE_1));
  EXPECT_EQ(l.rows[0], (std::vector<std::string>{"SWAP", "Wed 11 Mar 2009", "23:00", " -2", "233",
                                                 " 2", "EURUSD", "0", "1", "0", "0", "0", "0", "0",
                                                 "0", "0", "Swap EURUSD", ""}));
  list.accepted(number(B::EXTRA));
  EXPECT_EQ(bed.windows.runs("  Modify Swap Details"), 2);
}

TEST(SwapRateList, ColumnsAndTheImportButton) {
  test::WindowBed bed;
  SwaprateRecord r;
  r.pair = "EURUSD";
  r.buy = -1.5;
  r.sell = 0;
  r.usd = r.high = 1;
  test::fill_table<SwaprateTable>(bed.dir.path(), {r});
  BrowseSwapRate list(bed.session, bed.windows, bed.reporter, bed.progress);
  list.open();
  EXPECT_EQ(list.title(), "Swap Rates / Spread Collection settings");
  EXPECT_EQ(list.control_def(number(B::EXTRA))->text, "Import from Swaprate.CSV");
  EXPECT_EQ(list.control_def(number(B::TAB1))->text, "Sort by Pair");
  const ListState l = list.list(number(B::BROWSE_1));
  // Blank when zero: as many blanks as the picture is wide.
  EXPECT_EQ(l.rows[0], (std::vector<std::string>{"EURUSD", "  (1.50)", "        ", " ", "1", " ",
                                                 " ", " ", " ", " ", " ", " ", "1", " ", " "}));
  bed.windows.on<ImportSwapRates>([&](ImportSwapRates&) {
    Table<SwaprateTable> t(bed.dir.path());
    ASSERT_TRUE(t.open().is_ok());
    t.rec.pair = "EURUSD";
    ASSERT_TRUE(t.get(SwaprateKey::KeyPair).is_ok());
    t.rec.buy = 2;
    ASSERT_TRUE(t.put().is_ok());
  });
  list.accepted(number(B::EXTRA));
  EXPECT_EQ(bed.windows.runs("  Import Swap Rates"), 1);
  EXPECT_EQ(list.list(number(B::BROWSE_1)).rows[0][1], "    2.00");
  EXPECT_EQ(list.key({Key::F6}), Reply::stay());  // F6 belongs to the item list only
  EXPECT_EQ(bed.windows.runs("  Import Swap Rates"), 1);
}

TEST(SwapDataList, TheSundayDefinitionIsListedInItsPlace) {
  test::WindowBed bed;
  auto def = [](std::int16_t add, const char* descr) {
    SwapdataRecord d;
    d.dateadd = add;
    d.descr = descr;
    d.mt4time = tod(23);
    return d;
  };
  test::fill_table<SwapdataTable>(bed.dir.path(), {def(12, "twelve"), def(3, "Wed"), def(0, "Sun"),
                                                   def(-1, "Sat before"), def(30, "thirty")});
  BrowseSwapData list(bed.session, bed.windows, bed.reporter);
  list.open();
  EXPECT_EQ(list.title(), "Swap Details");
  std::vector<std::string> shown;
  for (const auto& row : list.list(number(B::BROWSE_1)).rows) shown.push_back(row[0] + row[2]);
  EXPECT_EQ(shown, (std::vector<std::string>{" -1Sat before", "  0Sun", "  3Wed", " 12twelve",
                                             " 30thirty"}));
  auto at = [&] { return list.page()[static_cast<std::size_t>(list.highlighted())].rec.dateadd; };
  // A digit finds the first Date Add written with it; again, the next one.
  list.key({Key::Char, '3'});
  EXPECT_EQ(at(), 3);
  list.key({Key::Char, '3'});
  EXPECT_EQ(at(), 30);
  list.key({Key::Char, '3'});
  EXPECT_EQ(at(), 3);
  list.key({Key::Char, '1'});
  EXPECT_EQ(at(), 12);
  list.key({Key::Char, '-'});
  EXPECT_EQ(at(), -1);
  list.key({Key::Char, '0'});
  EXPECT_EQ(at(), 0);
  list.key({Key::Char, '9'});
  EXPECT_EQ(at(), 0);
}

TEST(PreviewList, IsAViewOnly) {
  test::WindowBed bed;
  PviewRecord p;
  p.date = day(2009, 3, 6);
  p.time = tod(13, 30);
  p.currency = "USD";
  p.descr = "Non-Farm Payrolls";
  p.impact = "H";
  test::fill_table<PviewTable>(bed.dir.path(), {p});
  BrowsePview list(bed.session, bed.windows, bed.reporter);
  list.open();
  EXPECT_EQ(list.title(), "  Preview Export");
  for (B absent : {B::INSERT, B::CHANGE, B::DELETE, B::SELECT, B::EXTRA})
    EXPECT_EQ(list.control_def(number(absent)), nullptr);
  EXPECT_EQ(list.control_def(number(B::CLOSE))->text, "Close");
  EXPECT_EQ(list.control_def(number(B::TAB1))->text, "  Date / Time  ");
  EXPECT_EQ(list.control_def(number(B::TAB2))->text, "  Descr / Currency  ");
  EXPECT_EQ(list.control_def(number(B::TAB3))->text, "  Currency / Descr  ");
  EXPECT_EQ(list.list(number(B::BROWSE_1)).rows[0][0], "Fri 6 Mar 2009");
  for (Key k : {Key::Insert, Key::Delete, Key::Enter, Key::CtrlEnter})
    EXPECT_EQ(list.key({k}), Reply::stay());
  list.other_event(event(OtherEvent::Kind::RowActivated, 0));
  EXPECT_TRUE(bed.windows.calls.empty());
  EXPECT_EQ(list.accepted(number(B::CLOSE)), Reply::closed(Response::Cancelled));
}

// Every list's controls have numbers of their own and lie inside the window.
TEST(ListLayout, ControlsInWindowOrderInsideTheWindow) {
  test::WindowBed bed;
  BrowseHistoryByName h(bed.session, bed.windows, bed.reporter);
  BrowseSwapOut o(bed.session, bed.windows, bed.reporter, bed.progress);
  BrowseSwapRate r(bed.session, bed.windows, bed.reporter, bed.progress);
  BrowseSwapData d(bed.session, bed.windows, bed.reporter);
  BrowsePview p(bed.session, bed.windows, bed.reporter);
  for (const WindowModel* m : std::initializer_list<const WindowModel*>{&h, &o, &r, &d, &p}) {
    const Rect w = m->frame().at;
    std::set<int> ids;
    for (const ControlSpec& c : m->controls()) {
      EXPECT_TRUE(ids.insert(c.id).second) << m->title();
      EXPECT_LE(c.at.x + c.at.w, w.w) << m->title() << " " << c.use;
      EXPECT_LE(c.at.y + c.at.h, w.h) << m->title() << " " << c.use;
      if (c.kind == ControlKind::Button) {  // four dialog units a character
        EXPECT_GE(c.at.w, static_cast<int>(c.text.size()) * 4) << c.text;
      }
    }
  }
}

}  // namespace
}  // namespace mervane
