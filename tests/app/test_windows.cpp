// A window where nobody is there to answer it, as the command line runs the windows a window
// opens: what each kind of window leaves behind.
#include "core/app/windows.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "core/analysis/nci_output.h"
#include "core/history/forms.h"
#include "core/setup/calendar.h"
#include "core/setup/initial_setup.h"
#include "tests/support/tables.h"
#include "tests/support/window_bed.h"

namespace mervane {
namespace {

struct Case {
  const char* what;
  std::function<std::unique_ptr<WindowModel>(test::WindowBed&)> make;
  Response response;
  // What the window left in the session and the folder.
  std::function<void(test::WindowBed&)> check;
};

TEST(RunWithoutUser, EachWindowLeavesWhatItsCancelOrItsWorkLeaves) {
  const CalendarRecord event = test::calendar_event(test::day(2009, 3, 2), 1, "USD", "ISM");
  const Case cases[] = {
      {"the date picker keeps its date and frees the weekdays",
       [](test::WindowBed& b) {
         b.session.with([](Globals& g) {
           g.cdate = test::day(2009, 3, 15);
           g.cmask = "0000001";
         });
         return std::make_unique<Calendar>(b.session);
       },
       Response::Cancelled,
       [](test::WindowBed& b) {
         EXPECT_EQ(b.session.globals().cdate, test::day(2009, 3, 15));
         EXPECT_EQ(b.session.globals().cmask, "1111111");
       }},
      {"the Initial setup names no folder",
       [](test::WindowBed& b) {
         b.session.with([](Globals& g) { g.parm3 = "Old"; });
         return std::make_unique<InitialSetup>(b.session, b.reporter);
       },
       Response::Cancelled,
       [](test::WindowBed& b) {
         EXPECT_TRUE(b.session.globals().parm3.blank());
         EXPECT_FALSE(std::filesystem::exists(b.dir / std::string(InitialSetup::kBatchFile)));
       }},
      {"a progress window does its work",
       [](test::WindowBed& b) {
         return std::make_unique<NciOutput>(b.session, b.reporter, b.progress);
       },
       Response::Completed, [](test::WindowBed&) {}},
      {"a form asked to delete asks, and the default keeps the record",
       [&event](test::WindowBed& b) {
         test::fill_table<CalendarTable>(b.dir.path(), {event});
         Table<CalendarTable> t(b.dir.path());
         EXPECT_TRUE(t.open().is_ok() && t.set_start(CalendarKey::Key).is_ok() && t.next().is_ok());
         b.session.set_request(Request::Delete, t.row_id());
         return std::make_unique<UpdateCalendar>(b.session, b.windows, b.reporter);
       },
       Response::Cancelled,
       [](test::WindowBed& b) {
         ASSERT_EQ(b.reporter.warnings.size(), 1u);
         EXPECT_EQ(b.reporter.warnings[0].id, 32);
         EXPECT_EQ(test::table_records<CalendarTable>(b.dir.path()).size(), 1u);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    test::WindowBed bed;
    const std::unique_ptr<WindowModel> w = c.make(bed);
    EXPECT_EQ(run_without_user(*w), c.response);
    EXPECT_TRUE(w->closed());
    EXPECT_TRUE(bed.windows.calls.empty()) << "it opened no window of its own";
    c.check(bed);
  }
}

}  // namespace
}  // namespace mervane
