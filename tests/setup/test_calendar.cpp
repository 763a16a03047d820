// The date picker and the symbol chart driven as a user drives them: the sheet of a month, the
// frames, the weekday mask, the buttons that browse, and what comes back in GLO:CDATE.
#include "core/setup/calendar.h"

#include <gtest/gtest.h>

#include "core/util/dates.h"
#include "tests/support/window_bed.h"

namespace mervane {
namespace {

using C = CalendarControl;

int id(C c) {
  return static_cast<int>(c);
}
std::int32_t date(int y, int m, int d) {
  return *date_serial(y, m, d);
}

class CalendarTest : public ::testing::Test, public test::WindowBed {
 protected:
  // Opens the picker on a date, with a mask.
  Calendar& open_on(std::int32_t cdate, const char* mask = "1111111") {
    session.with([&](Globals& g) {
      g.cdate = cdate;
      g.cmask = mask;
    });
    picker = std::make_unique<Calendar>(session);
    picker->open();
    return *picker;
  }
  // The day shown on the button of row and column, as a number; 0 for a hidden button.
  int day_at(int row, int column) const {
    const int b = day_button(row, column);
    if (picker->hidden(b)) return 0;
    return std::stoi(picker->value(b));
  }
  std::int32_t cdate() const { return session.globals().cdate; }
  std::string cmask() const { return session.globals().cmask.str(); }
  std::unique_ptr<Calendar> picker;
};

TEST_F(CalendarTest, MarchTwoThousandNineStartsOnSundayAndFramesTheDate) {
  Calendar& c = open_on(date(2009, 3, 15));
  EXPECT_EQ(c.value(id(C::CTITLE)), "  March 2009  ");
  EXPECT_EQ(c.value(day_button(1, 7)), "  1 ");
  EXPECT_EQ(day_at(2, 1), 2);
  EXPECT_EQ(c.value(day_button(3, 7)), " 15 ");
  EXPECT_EQ(day_at(6, 2), 31);
  for (int col = 1; col <= 6; ++col) EXPECT_TRUE(c.hidden(day_button(1, col))) << col;
  EXPECT_TRUE(c.hidden(day_button(6, 3)));
  // The date's frame is behind day 15 only; today (11 March) has the other frame.
  for (int i = 0; i < 42; ++i) {
    EXPECT_EQ(c.hidden(id(C::BOX11) + i), i != 2 * 7 + 6) << i;
    EXPECT_EQ(c.hidden(id(C::BAX11) + i), i != 2 * 7 + 2) << i;
  }
  EXPECT_EQ(c.nodays(), 4);
  EXPECT_EQ(c.value(id(C::NODAYS)), "      4");
  EXPECT_EQ(c.focus(), id(C::CANCEL));
  EXPECT_EQ(c.title(), "  Select date");
}

TEST_F(CalendarTest, MonthLengthsFollowTheLeapYearRule) {
  const struct {
    int year, month, days;
  } cases[] = {{2000, 2, 29}, {2008, 2, 29}, {1900, 2, 28},
               {2009, 2, 28}, {2009, 4, 30}, {2009, 12, 31}};
  for (const auto& t : cases) {
    Calendar& c = open_on(date(t.year, t.month, 1));
    int last = 0;
    for (int i = 0; i < 42; ++i)
      if (!c.hidden(id(C::B11) + i)) last = std::stoi(c.value(id(C::B11) + i));
    EXPECT_EQ(last, t.days) << t.year << "-" << t.month;
  }
}

TEST_F(CalendarTest, BrowsingButtonsWrapMonthsAndYears) {
  const struct {
    int year, month;
    C button;
    int want_year, want_month;
    const char* title;
  } cases[] = {
      {2009, 1, C::BLM, 2008, 12, "December 2008 "},
      {2008, 12, C::BNY, 2009, 12, "December 2009 "},
      {2008, 12, C::BNM, 2009, 1, " January 2009 "},
      {2009, 3, C::BLY, 2008, 3, "  March 2008  "},
  };
  for (const auto& t : cases) {
    Calendar& c = open_on(date(t.year, t.month, 10));
    EXPECT_EQ(c.accepted(id(t.button)), Reply::stay());
    EXPECT_EQ(c.year(), t.want_year);
    EXPECT_EQ(c.month(), t.want_month);
    EXPECT_EQ(c.value(id(C::CTITLE)), t.title);
  }
}

TEST_F(CalendarTest, PickingADaySetsTheDateAndCloses) {
  Calendar& c = open_on(date(2009, 3, 15));
  c.accepted(id(C::BNM));  // April 2009 starts on a Wednesday
  EXPECT_EQ(c.focus(), 0);
  EXPECT_EQ(c.value(day_button(1, 3)), "  1 ");
  EXPECT_EQ(c.accepted(day_button(4, 4)), Reply::closed(Response::Completed));
  EXPECT_EQ(cdate(), date(2009, 4, 23));
  EXPECT_TRUE(c.closed());
  EXPECT_EQ(c.accepted(day_button(4, 5)), Reply::closed(Response::Completed))
      << "a closed picker answers as it closed";
  EXPECT_EQ(c.response(), Response::Completed);
  EXPECT_EQ(cdate(), date(2009, 4, 23));
}

TEST_F(CalendarTest, EveryWayOutWithoutAPickKeepsTheDate) {
  const std::function<Reply(Calendar&)> ways[] = {
      [](Calendar& c) { return c.accepted(id(C::CANCEL)); },
      [](Calendar& c) { return c.key({Key::Esc}); },
      [](Calendar& c) { return c.close_request(); },
  };
  for (const auto& way : ways) {
    Calendar& c = open_on(date(2009, 3, 15), "0111111");
    c.accepted(id(C::BLY));
    c.accepted(id(C::BNM));
    EXPECT_EQ(way(c), Reply::closed(Response::Cancelled));
    EXPECT_EQ(cdate(), date(2009, 3, 15));
    EXPECT_EQ(cmask(), "1111111");
  }
}

TEST_F(CalendarTest, CancelHandsBackTheDateThisCallFoundWhenAnotherPickerClosedFirst) {
  Calendar& mine = open_on(date(2009, 3, 15));
  Calendar other(session);
  other.open();
  other.accepted(day_button(4, 5));  // the other window's picker picks 20 March
  EXPECT_EQ(cdate(), date(2009, 3, 20));
  EXPECT_EQ(mine.accepted(id(C::CANCEL)), Reply::closed(Response::Cancelled));
  EXPECT_EQ(cdate(), date(2009, 3, 15));
}

TEST_F(CalendarTest, MaskAllowsOnlyItsWeekdaysForOneCall) {
  Calendar& c = open_on(date(2009, 3, 15), "0000001");
  for (int row = 1; row <= 6; ++row)
    for (int col = 1; col <= 7; ++col)
      EXPECT_EQ(c.enabled(day_button(row, col)), col == 7) << row << col;
  // A masked day does nothing; the Sunday closes with it.
  EXPECT_EQ(c.accepted(day_button(3, 1)), Reply::stay());
  EXPECT_EQ(cdate(), date(2009, 3, 15));
  EXPECT_EQ(c.accepted(day_button(3, 7)), Reply::closed(Response::Completed));
  EXPECT_EQ(cdate(), date(2009, 3, 15));
  EXPECT_EQ(cmask(), "1111111");
  // The next call without a mask allows every weekday.
  picker = std::make_unique<Calendar>(session);
  picker->open();
  for (int col = 1; col <= 7; ++col) EXPECT_TRUE(picker->enabled(day_button(3, col)));
}

TEST_F(CalendarTest, TodayShowsThisMonthWithoutChangingTheDate) {
  // The date lies in another month: after "Today" only today's frame shows.
  Calendar& c = open_on(date(2008, 7, 4));
  EXPECT_EQ(c.value(id(C::CTITLE)), "  July 2008   ");
  EXPECT_EQ(c.nodays(), date(2008, 7, 4) - date(2009, 3, 11));
  EXPECT_EQ(c.value(id(C::NODAYS)), "   -250");
  for (int i = 0; i < 42; ++i) EXPECT_TRUE(c.hidden(id(C::BAX11) + i));
  c.accepted(id(C::TODAY));
  EXPECT_EQ(c.value(id(C::CTITLE)), "  March 2009  ");
  for (int i = 0; i < 42; ++i) {
    EXPECT_TRUE(c.hidden(id(C::BOX11) + i));
    EXPECT_EQ(c.hidden(id(C::BAX11) + i), i != 2 * 7 + 2);
  }
  EXPECT_EQ(cdate(), date(2008, 7, 4));
  // The same month as today: both frames.
  Calendar& d = open_on(date(2009, 3, 2));
  d.accepted(id(C::TODAY));
  EXPECT_FALSE(d.hidden(day_button(2, 1) - id(C::B11) + id(C::BOX11)));
  EXPECT_FALSE(d.hidden(id(C::BAX11) + 2 * 7 + 2));
}

TEST_F(CalendarTest, BlankDateStartsOnTodaysMonthWithNothingMarked) {
  Calendar& c = open_on(0);
  EXPECT_EQ(c.value(id(C::CTITLE)), "  March 2009  ");
  for (int i = 0; i < 42; ++i) EXPECT_TRUE(c.hidden(id(C::BOX11) + i));
  EXPECT_EQ(c.accepted(id(C::CANCEL)), Reply::closed());
  EXPECT_EQ(cdate(), 0);
}

TEST_F(CalendarTest, ControlsAreNamedAndPlacedAsTheWindowShowsThem) {
  Calendar& c = open_on(date(2009, 3, 15));
  const auto& all = c.controls();
  ASSERT_EQ(all.size(), 141u);
  const struct {
    int control;
    const char* use;
    const char* name;
  } cases[] = {
      {id(C::BLY), "BLY", "7"},         {id(C::BNY), "BNY", "8"},
      {id(C::TODAY), "TODAY", "Today"}, {id(C::CANCEL), "CANCEL", "Cancel"},
      {day_button(6, 7), "B67", ""},    {id(C::BAX67), "BAX67", ""},
  };
  for (const auto& t : cases) {
    const ControlSpec* s = c.control_def(t.control);
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(accessible_description(*s), t.use);
    if (*t.name) {
      EXPECT_EQ(accessible_name(all, static_cast<std::size_t>(t.control - 1)), t.name);
    }
  }
  EXPECT_EQ(c.control_def(id(C::HEAD_MON))->text, "Mon");
  EXPECT_EQ(c.control_def(id(C::HEAD_SUN))->text, "Sun");
  // Every frame lies around its day button; no two day buttons overlap.
  for (int i = 0; i < 42; ++i) {
    const Rect b = c.control_def(id(C::B11) + i)->at, box = c.control_def(id(C::BOX11) + i)->at;
    EXPECT_TRUE(box.x < b.x && box.y < b.y && box.x + box.w > b.x + b.w &&
                box.y + box.h > b.y + b.h);
    if (i % 7 < 6) {
      EXPECT_LT(b.x + b.w, c.control_def(id(C::B11) + i + 1)->at.x);
    }
  }
}

TEST(WingdingChartTest, CloseEscAndEnterCloseIt) {
  const std::function<Reply(WingdingChart&)> ways[] = {
      [](WingdingChart& w) { return w.accepted(static_cast<int>(WingdingChartControl::CANCEL)); },
      [](WingdingChart& w) { return w.key({Key::Esc}); },
      [](WingdingChart& w) { return w.key({Key::Enter}); },
      [](WingdingChart& w) { return w.close_request(); },
  };
  for (const auto& way : ways) {
    WingdingChart w;
    w.open();
    EXPECT_EQ(w.key({Key::F2}), Reply::stay());
    EXPECT_EQ(w.focus(), static_cast<int>(WingdingChartControl::CANCEL));
    EXPECT_TRUE(way(w).close);
    EXPECT_TRUE(w.closed());
  }
}

}  // namespace
}  // namespace mervane
