// The record forms on their own: fields read by their pictures, the calendar buttons, the
// Wingdings previews, "Duplicate (F7)", the ditto key, the swap rate form's kept place, keys
// that would be left out of every list, and what a locked table makes them ask.
#include <gtest/gtest.h>

#include <sqlite3.h>

#include <set>

#include "tests/history/record_cases.h"
#include "tests/support/window_bed.h"
#include "tests/support/window_checks.h"

namespace mervane {
namespace {

using test::day;

class Forms : public ::testing::Test, protected test::WindowBed {
 protected:
  // A form of type F opened with a request.
  template <class F>
  std::unique_ptr<F> form(Request rq, std::int64_t position = 0) {
    session.set_request(rq, position);
    auto f = std::make_unique<F>(session, windows, reporter);
    f->open();
    return f;
  }
  template <class Def>
  std::int64_t first_position() {
    Table<Def> t(dir.path());
    EXPECT_TRUE(t.open().is_ok());
    t.include_unkeyed(true);
    EXPECT_TRUE(t.set_start(typename Def::Key{}).is_ok());
    EXPECT_TRUE(t.next().is_ok());
    return t.row_id();
  }
};

TEST_F(Forms, FieldsAreReadByTheirPicturesAndARefusedOneKeepsTheCursor) {
  struct Case {
    FormKind kind;
    int control;
    const char* refused;
    const char* taken;
    const char* shown;  // what the field shows once taken
  };
  using UC = UpdateCalendarControl;
  using OC = EditSwapOutControl;
  using RC = EditSwapRateControl;
  using DC = EditSwapDataControl;
  const Case cases[] = {
      {FormKind::UpdateCalendar, number(UC::DATE), "02/30/2009", "3/7/2009", "03/07/2009"},
      {FormKind::UpdateCalendar, number(UC::TIME), "25:00", "8:30", "08:30"},
      {FormKind::UpdateCalendar, number(UC::CURRENCY), "USDXX", "usd", "usd"},
      {FormKind::UpdateCalendar, number(UC::IMPACT), "HH", "H", "H"},
      {FormKind::EditSwapOut, number(OC::SPACING), "1000", "-12", "-12"},
      {FormKind::EditSwapOut, number(OC::SYMBOL), "-1", "233", "233"},
      {FormKind::EditSwapOut, number(OC::COLOR), "100", "11", "11"},
      {FormKind::EditSwapOut, number(OC::M15), "2", "1", "1"},
      {FormKind::EditSwapRate, number(RC::BUY), "1.234", "-3.5", "-3.50"},
      {FormKind::EditSwapRate, number(RC::SELL), "123456.00", "0", ""},
      {FormKind::EditSwapRate, number(RC::PAIR), "EURUSDX", "gbpjpy", "gbpjpy"},
      {FormKind::EditSwapData, number(DC::DATEADD), "12.5", "-7", "-7"},
      {FormKind::EditSwapData, number(DC::MT4TIME), "23:60", "23:59", "23:59"},
  };
  for (const Case& c : cases) {
    session.set_request(Request::Insert);
    const auto f = make_form(c.kind, session, windows, reporter);
    f->open();
    f->selecting(c.control);
    test::expect_refused(*f, reporter, c.control, c.refused);
    EXPECT_EQ(f->focus(), c.control) << "the refused field keeps the cursor";
    EXPECT_EQ(f->type(c.control, c.taken), Reply::stay());
    EXPECT_EQ(reporter.warnings.size(), 1u) << c.taken;
    EXPECT_EQ(f->value(c.control), c.shown);
    f->close_request();
  }
}

TEST_F(Forms, CalendarButtonsPickTheDateThroughTheSession) {
  auto cal = form<UpdateCalendar>(Request::Insert);
  cal->type(number(UpdateCalendarControl::DATE), "03/07/2009");
  windows.picks = {day(2009, 3, 15)};
  cal->accepted(number(UpdateCalendarControl::BUTTON3));
  EXPECT_EQ(windows.picker_dates, std::vector<std::int32_t>{day(2009, 3, 7)});
  EXPECT_EQ(cal->value(number(UpdateCalendarControl::DATE)), "03/15/2009");
  cal->accepted(number(UpdateCalendarControl::BUTTON3));  // nothing picked: unchanged
  EXPECT_EQ(cal->record().date, day(2009, 3, 15));
  cal->key({Key::Esc});

  auto item = form<EditSwapOut>(Request::Insert);
  windows.picks = {day(2009, 3, 9)};
  item->accepted(number(EditSwapOutControl::BUTTON4));
  EXPECT_EQ(item->record().date, day(2009, 3, 9));
  EXPECT_EQ(item->focus(), number(EditSwapOutControl::TIME)) << "the cursor moves on";
  EXPECT_EQ(windows.picker_masks.back(), "1111111");
}

TEST_F(Forms, WingdingsPreviewsFollowTheSymbolFields) {
  auto cal = form<UpdateCalendar>(Request::Insert);
  const int wing = number(UpdateCalendarControl::WINGCHAR);
  EXPECT_EQ(cal->value(wing), "");
  cal->type(number(UpdateCalendarControl::SYMBOL), "140");
  EXPECT_EQ(cal->value(wing), "140");
  cal->type(number(UpdateCalendarControl::SYMBOL), "x1");  // a text field: not a code
  EXPECT_EQ(cal->value(wing), "");
  cal->type(number(UpdateCalendarControl::SYMBOL), "256");
  EXPECT_EQ(cal->value(wing), "");
  const auto& cs = cal->controls();
  EXPECT_NE(std::find_if(cs.begin(), cs.end(),
                         [](const ControlSpec& c) {
                           return c.kind == ControlKind::Image && c.text == "WINGDINGS.JPG";
                         }),
            cs.end());

  auto data = form<EditSwapData>(Request::Insert);
  data->type(number(EditSwapDataControl::SYMBOL), "233");
  data->type(number(EditSwapDataControl::SYMBOL2), "234");
  EXPECT_EQ(data->value(number(EditSwapDataControl::WINGCHAR)), "233");
  EXPECT_EQ(data->value(number(EditSwapDataControl::WINGCHAR2)), "234");
  data->type(number(EditSwapDataControl::SYMBOL2), "0");
  EXPECT_EQ(data->value(number(EditSwapDataControl::WINGCHAR2)), "");

  auto item = form<EditSwapOut>(Request::Insert);
  item->type(number(EditSwapOutControl::SYMBOL), "159");
  EXPECT_EQ(item->value(number(EditSwapOutControl::WINGCHAR)), "159");
}

TEST_F(Forms, DuplicateRepeatsTheLastItemConfirmedInTheRun) {
  using C = EditSwapOutControl;
  auto first = form<EditSwapOut>(Request::Insert);
  const SwapoutRecord blank = first->record();
  first->key({Key::F7});  // nothing confirmed yet: nothing changes
  EXPECT_EQ(first->record(), blank);
  for (const auto& [control, text] : test::SwapOutCase::new_record()) first->type(control, text);
  first->type(number(C::TEXT2), "line two");
  ASSERT_EQ(first->accepted(number(C::OK)), Reply::closed(Response::Completed));
  const SwapoutRecord confirmed = first->record();
  EXPECT_EQ(session.globals().sworec, confirmed);

  auto second = form<EditSwapOut>(Request::Insert);
  second->accepted(number(C::DUP));
  EXPECT_EQ(second->record(), confirmed);
  EXPECT_EQ(second->value(number(C::TEXT2)), "line two");
  // OK keeps the item before it is stored, even when storing it then fails.
  second->type(number(C::COLOR), "5");
  EXPECT_EQ(second->accepted(number(C::OK)), Reply::stay());  // the same key again
  EXPECT_EQ(reporter.warnings.back().id, 24);
  EXPECT_EQ(session.globals().sworec.color, 5);
}

TEST_F(Forms, DittoRecallsTheFieldFromTheRecordThisKindOfFormSavedLast) {
  using C = EditSwapRateControl;
  auto first = form<EditSwapRate>(Request::Insert);
  first->key({Key::Ditto, 0, number(C::BUY)});  // nothing saved yet
  EXPECT_EQ(first->value(number(C::BUY)), "");
  first->type(number(C::PAIR), "EURUSD");
  first->type(number(C::BUY), "1.25");
  first->type(number(C::USD), "1");
  ASSERT_TRUE(first->accepted(number(C::OK)).close);

  auto second = form<EditSwapRate>(Request::Insert);
  second->type(number(C::PAIR), "GBPUSD");
  second->selecting(number(C::BUY));  // the cursor on Buy: Ctrl+' without naming it
  second->key({Key::Ditto});
  EXPECT_EQ(second->value(number(C::BUY)), "1.25");
  EXPECT_EQ(second->value(number(C::PAIR)), "GBPUSD") << "only the field with the cursor";
  second->key({Key::Ditto, 0, number(C::USD)});
  EXPECT_EQ(second->value(number(C::USD)), "1");
  // Another kind of form keeps its own.
  auto data = form<EditSwapData>(Request::Insert);
  data->key({Key::Ditto, 0, number(EditSwapDataControl::DESCR)});
  EXPECT_EQ(data->value(number(EditSwapDataControl::DESCR)), "");
}

TEST_F(Forms, TheSwapRateFormReopensWhereTheFirstWasPlaced) {
  auto first = form<EditSwapRate>(Request::Insert);
  EXPECT_FALSE(first->frame().placed);
  EXPECT_EQ(first->frame().at.w, 260);
  first->other_event({OtherEvent::Kind::Moved, 0, 0, 0, 0, 120, 40});
  first->other_event({OtherEvent::Kind::Moved, 0, 0, 0, 0, 300, 300});  // moved later: not kept
  first->key({Key::Esc});
  auto second = form<EditSwapRate>(Request::Insert);
  EXPECT_TRUE(second->frame().placed);
  EXPECT_EQ(second->frame().at, (Rect{120, 40, 260, 178}));
  EXPECT_FALSE(form<EditSwapData>(Request::Insert)->frame().placed);
}

TEST_F(Forms, ARecordWithABlankKeyIsRefusedButTheSundayDefinitionIsNot) {
  auto rate = form<EditSwapRate>(Request::Insert);
  rate->type(number(EditSwapRateControl::BUY), "1");
  EXPECT_EQ(rate->accepted(number(EditSwapRateControl::OK)), Reply::stay());
  EXPECT_EQ(reporter.warnings.back().text,
            "A swap rate needs a pair: without one no list can show it.");
  EXPECT_EQ(rate->focus(), number(EditSwapRateControl::PAIR));
  auto event = form<UpdateCalendar>(Request::Insert);
  EXPECT_EQ(event->key({Key::Enter}), Reply::stay());
  auto item = form<EditSwapOut>(Request::Insert);
  EXPECT_EQ(item->key({Key::Enter}), Reply::stay());
  EXPECT_EQ(reporter.warnings.size(), 3u);

  // Date Add 0 is the Sunday's definition: stored, and a second one is a repeated key.
  auto sunday = form<EditSwapData>(Request::Insert);
  sunday->type(number(EditSwapDataControl::DESCR), "Sun");
  EXPECT_EQ(sunday->key({Key::Enter}), Reply::closed(Response::Completed));
  auto again = form<EditSwapData>(Request::Insert);
  EXPECT_EQ(again->key({Key::Enter}), Reply::stay());
  EXPECT_EQ(reporter.warnings.back().text,
            "Adding this record creates a duplicate entry for the key:SWD:KeyDateAdd");
  EXPECT_EQ(test::table_records<SwapdataTable>(dir.path()).size(), 0u)
      << "left out of the key, as stored";
  Table<SwapdataTable> t(dir.path());
  ASSERT_TRUE(t.open().is_ok());
  std::int64_t n = 0;
  ASSERT_TRUE(t.records(n).is_ok());
  EXPECT_EQ(n, 1);
}

TEST_F(Forms, AChangeToAnotherRecordsKeyIsNamedAndNothingIsWritten) {
  test::fill_table<SwaprateTable>(dir.path(), test::SwapRateCase::stored());
  const std::int64_t eurusd = first_position<SwaprateTable>();
  auto f = form<EditSwapRate>(Request::Change, eurusd);
  EXPECT_EQ(f->value(number(EditSwapRateControl::PAIR)), "EURUSD");
  EXPECT_EQ(f->value(number(EditSwapRateControl::SELL)), "-1.25");
  f->type(number(EditSwapRateControl::PAIR), "usdjpy");
  EXPECT_EQ(f->accepted(number(EditSwapRateControl::OK)), Reply::stay());
  ASSERT_EQ(reporter.warnings.size(), 1u);
  EXPECT_EQ(reporter.warnings[0].text,
            "Adding this record creates a duplicate entry for the key:SWR:KeyPair");
  f->type(number(EditSwapRateControl::PAIR), "EURCHF");
  EXPECT_EQ(f->accepted(number(EditSwapRateControl::OK)), Reply::closed(Response::Completed));
  EXPECT_EQ(session.response().position, eurusd);
  EXPECT_EQ(test::table_records<SwaprateTable>(dir.path())[0].pair, "EURCHF");
}

TEST_F(Forms, AFormWithoutARecordToReadReturnsToItsCaller) {
  auto gone = form<EditSwapData>(Request::Change, 4711);
  EXPECT_TRUE(gone->closed());
  ASSERT_EQ(reporter.warnings.size(), 1u);
  EXPECT_EQ(reporter.warnings[0].id, 35);
  EXPECT_EQ(session.response().response, 2);
  auto none = form<EditSwapData>(Request::None);
  EXPECT_TRUE(none->closed());
  EXPECT_EQ(session.uses("SWAPDATA"), 0);
}

// Another connection holds the table's write lock for longer than the two-second wait.
class Locker {
 public:
  explicit Locker(const std::filesystem::path& db) {
    sqlite3_open(db.c_str(), &h_);
    sqlite3_exec(h_, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
  }
  ~Locker() {
    sqlite3_exec(h_, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(h_);
  }

 private:
  sqlite3* h_ = nullptr;
};

TEST_F(Forms, ALockedTableAsksWhetherToTryAgain) {
  test::fill_table<SwapdataTable>(dir.path(), test::SwapDataCase::stored());
  const std::int64_t first = first_position<SwapdataTable>();
  auto f = form<EditSwapData>(Request::Change, first);
  f->type(number(EditSwapDataControl::DESCR), "new");
  {
    Locker lock(dir / "SWAPDATA.db");
    reporter.warning_answers = {kOkButton, kCancelButton};  // 34, then 16: stay
    EXPECT_EQ(f->accepted(number(EditSwapDataControl::OK)), Reply::stay());
    ASSERT_EQ(reporter.warnings.size(), 2u);
    EXPECT_EQ(reporter.warnings[0].id, 34);
    EXPECT_EQ(reporter.warnings[1].text,
              "An error was experienced changing this record.  Do you want to try to save again?");
  }
  reporter.warnings.clear();
  EXPECT_EQ(f->accepted(number(EditSwapDataControl::OK)), Reply::closed(Response::Completed));
  EXPECT_EQ(test::table_records<SwapdataTable>(dir.path())[0].descr, "new");

  // A delete that fails offers to try again; No gives up.
  {
    Locker lock(dir / "SWAPDATA.db");
    reporter.warning_answers = {kOkButton, kOkButton, kNoButton};  // 32, 34, 18
    auto d = form<EditSwapData>(Request::Delete, first);
    EXPECT_TRUE(d->closed());
    ASSERT_EQ(reporter.warnings.size(), 3u);
    EXPECT_EQ(reporter.warnings[2].caption, "Record Update Error");
    EXPECT_EQ(session.response().response, 2);
  }
  EXPECT_EQ(test::table_records<SwapdataTable>(dir.path()).size(), 3u);
}

// Every form's controls have numbers of their own, lie inside the window, are wide enough for
// their labels and overlap nothing; every entry has its prompt before it.
TEST_F(Forms, LayoutFitsEveryLabel) {
  for (FormKind k : {FormKind::UpdateCalendar, FormKind::EditSwapOut, FormKind::EditSwapRate,
                     FormKind::EditSwapData}) {
    const auto f = make_form(k, session, windows, reporter);
    const Rect w = f->frame().at;
    const auto& cs = f->controls();
    std::set<int> ids;
    for (std::size_t i = 0; i < cs.size(); ++i) {
      const ControlSpec& c = cs[i];
      EXPECT_TRUE(ids.insert(c.id).second) << f->title() << " " << c.id;
      EXPECT_LE(c.at.x + c.at.w, w.w) << f->title() << " " << c.use << c.text;
      EXPECT_LE(c.at.y + c.at.h, w.h) << f->title() << " " << c.use << c.text;
      std::size_t chars = 0;
      for (char ch : c.text) chars += ch != '&';
      const int need = static_cast<int>(chars) * 4 + (c.kind == ControlKind::Check ? 10 : 0);
      if (c.kind == ControlKind::Prompt || c.kind == ControlKind::Button ||
          c.kind == ControlKind::Check) {
        EXPECT_GE(c.at.w, need) << c.text;
      }
      if (c.kind == ControlKind::Entry) {
        EXPECT_FALSE(c.picture.empty()) << c.use;
        EXPECT_FALSE(accessible_name(cs, i).empty()) << c.use;
      }
      // Nothing overlaps the next control on the same row.
      for (std::size_t j = i + 1; j < cs.size(); ++j) {
        const Rect& a = c.at;
        const Rect& b = cs[j].at;
        const bool inside = cs[j].parent == c.id || c.parent == cs[j].id ||
                            (c.kind == ControlKind::Image || cs[j].kind == ControlKind::Image);
        const bool overlap =
            a.x < b.x + b.w && b.x < a.x + a.w && a.y < b.y + b.h && b.y < a.y + a.h;
        EXPECT_FALSE(overlap && !inside)
            << f->title() << ": " << c.use << c.text << " and " << cs[j].use << cs[j].text;
      }
    }
  }
}

// Resized by the user, a form moves its controls apart and never onto each other: what did not
// overlap at the initial size overlaps at no larger size, and back at the initial size every
// control is where it was.
TEST_F(Forms, ResizingSpreadsTheControlsWithoutOverlaps) {
  for (FormKind k : {FormKind::UpdateCalendar, FormKind::EditSwapOut, FormKind::EditSwapRate,
                     FormKind::EditSwapData}) {
    session.set_request(Request::Insert);
    const auto f = make_form(k, session, windows, reporter);
    f->open();
    const Rect w = f->frame().at;
    const auto& cs = f->controls();
    auto overlap = [](const Rect& a, const Rect& b) {
      return a.x < b.x + b.w && b.x < a.x + a.w && a.y < b.y + b.h && b.y < a.y + a.h;
    };
    const struct {
      int w, h;
    } sizes[] = {{w.w * 3 / 2, w.h}, {w.w, w.h * 2}, {w.w * 2, w.h * 3 / 2}, {w.w + 7, w.h + 3}};
    for (const auto& size : sizes) {
      f->other_event({OtherEvent::Kind::Resized, 0, 0, size.w, size.h});
      for (std::size_t i = 0; i < cs.size(); ++i)
        for (std::size_t j = i + 1; j < cs.size(); ++j) {
          if (overlap(cs[i].at, cs[j].at)) continue;  // a group and what it holds, a picture
          EXPECT_FALSE(overlap(f->place(cs[i].id), f->place(cs[j].id)))
              << f->title() << " at " << size.w << "x" << size.h << ": " << cs[i].use << cs[i].text
              << " and " << cs[j].use << cs[j].text;
        }
    }
    f->other_event({OtherEvent::Kind::Resized, 0, 0, w.w, w.h});
    for (const ControlSpec& c : cs) EXPECT_EQ(f->place(c.id), c.at) << f->title() << c.use;
    f->close_request();
  }
}

}  // namespace
}  // namespace mervane
