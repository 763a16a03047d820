// When the watch runs and alerts: the schedule, the pace of requests, and the alert book.
#include <gtest/gtest.h>

#include "core/live/alerts.h"
#include "core/live/schedule.h"
#include "core/util/dates.h"

namespace mervane {
namespace {

constexpr std::int64_t kNow = 1'772'000'000;
constexpr std::int64_t kMin = 60;

TEST(Schedule, NextRun) {
  struct Case {
    const char* what;
    ScheduleFacts facts;
    std::int64_t next;
  } cases[] = {
      {"nothing due: every 60 minutes", {kNow, 60, {}, false, 0, 0}, kNow + 60 * kMin},
      {"--every 15", {kNow, 15, {}, false, 0, 0}, kNow + 15 * kMin},
      {"two minutes after the next release",
       {kNow, 60, {kNow + 50 * kMin, kNow + 20 * kMin}, false, 0, 0},
       kNow + 22 * kMin},
      {"a release long past does not count",
       {kNow, 60, {kNow - 10 * kMin}, false, 0, 0},
       kNow + 60 * kMin},
      {"a release a minute ago: its run is still ahead",
       {kNow, 60, {kNow - kMin}, false, 0, 0},
       kNow + kMin},
      {"an actual still missing: every 5 minutes", {kNow, 60, {}, true, 0, 0}, kNow + 5 * kMin},
      {"the next week begins", {kNow, 60, {}, false, kNow + 7 * kMin, 0}, kNow + 7 * kMin},
      {"never before the pace allows",
       {kNow, 60, {kNow + 20 * kMin}, false, 0, kNow + 90 * kMin},
       kNow + 90 * kMin},
  };
  for (const Case& c : cases) EXPECT_EQ(next_run(c.facts), c.next) << c.what;
}

TEST(Schedule, PaceOfRequestsAndBackOff) {
  RequestPace pace;
  EXPECT_EQ(pace.earliest(false, 0), 0);
  pace.requested(kNow, Refusal::None);
  EXPECT_EQ(pace.earliest(false, 0), kNow + 5 * kMin);
  EXPECT_EQ(pace.earliest(true, 0), kNow + 30 * kMin);
  // The feed's keep counts from the last download of any program.
  EXPECT_EQ(pace.earliest(true, kNow + 10 * kMin), kNow + 40 * kMin);

  // Refusals in a row double the wait up to 6 hours; a request that goes through ends it.
  std::vector<int> waits;
  std::int64_t t = kNow;
  for (int i = 0; i < 7; ++i) {
    pace.requested(t, i % 2 ? Refusal::BrowserCheck : Refusal::TooManyRequests);
    waits.push_back(pace.backoff_minutes());
    EXPECT_EQ(pace.earliest(false, 0), t + pace.backoff_minutes() * kMin);
    t = pace.earliest(false, 0);
  }
  EXPECT_EQ(waits, (std::vector<int>{30, 60, 120, 240, 360, 360, 360}));
  pace.requested(t, Refusal::None);
  EXPECT_EQ(pace.backoff_minutes(), 0);
  EXPECT_EQ(pace.earliest(false, 0), t + 5 * kMin);
}

WeekEvent event(const char* descr, std::int64_t moment, const char* actual, bool alerted = true,
                const char* kxid = "") {
  WeekEvent e;
  e.rec.date = *date_serial(2026, 3, 6);
  e.rec.time = 15 * 360000 + 30 * 6000 + 1;
  e.rec.currency = "USD";
  e.rec.impact = "H";
  e.rec.descr = descr;
  e.rec.forecast = "45K";
  e.rec.previous = "82K";
  e.rec.actual = actual;
  e.rec.kxidcode = kxid;
  e.moment = moment;
  e.selected = true;
  e.alerted = alerted;
  e.key = *kxid ? std::string("#") + kxid : std::string(descr);
  return e;
}

TEST(AlertBook, BeforeOnceAndReleasedWhenTheActualArrives) {
  AlertBook book;
  const std::int64_t release = kNow + 30 * kMin;
  std::vector<WeekEvent> week = {event("NFP", release, ""), event("Claims", kNow - kMin, ""),
                                 event("Quiet", release, "", false)};
  EXPECT_TRUE(book.take(week).empty());  // the first week seen alerts nothing released
  EXPECT_EQ(book.next_due(kNow, 5), release - 5 * kMin);
  EXPECT_EQ(book.next_due(kNow, 0), std::nullopt);
  EXPECT_TRUE(book.due(release - 6 * kMin, 5).empty());
  const std::vector<Alert> before = book.due(release - 5 * kMin, 5);
  ASSERT_EQ(before.size(), 1u);
  EXPECT_EQ(alert_line(before[0]), "before: 2026.03.06 15:30 USD H NFP (F: 45K | P: 82K)");
  EXPECT_TRUE(book.due(release - 4 * kMin, 5).empty());  // once
  EXPECT_EQ(book.next_due(release - 4 * kMin, 5), std::nullopt);

  // Its time moves: alerted again for the new time.
  week[0].moment = release + 60 * kMin;
  EXPECT_TRUE(book.take(week).empty());
  EXPECT_EQ(book.next_due(release, 5), release + 55 * kMin);

  // The actuals arrive: released alerts for the events the filter selects, once.
  week[0].rec.actual = "63K";
  week[1].rec.actual = "210K";
  week[2].rec.actual = "1";
  const std::vector<Alert> released = book.take(week);
  ASSERT_EQ(released.size(), 2u);
  EXPECT_EQ(alert_line(released[0]),
            "released: 2026.03.06 15:30 USD H NFP (A: 63K against F: 45K | P: 82K)");
  EXPECT_EQ(alert_summary(released[0]), "USD H: NFP");
  EXPECT_EQ(alert_body(released[0]),
            "2026.03.06 15:30 MT4 - actual 63K against forecast 45K, previous 82K");
  EXPECT_EQ(alert_body(before[0]), "2026.03.06 15:30 MT4 - forecast 45K, previous 82K");
  EXPECT_EQ(released[1].title, "Claims");
  EXPECT_TRUE(book.take(week).empty());

  const Environment env = alert_environment(released[0]);
  EXPECT_EQ(env, (Environment{{"MERVANE_ALERT_TIME", "2026.03.06 15:30"},
                              {"MERVANE_ALERT_CURRENCY", "USD"},
                              {"MERVANE_ALERT_IMPACT", "H"},
                              {"MERVANE_ALERT_TITLE", "NFP"},
                              {"MERVANE_ALERT_FORECAST", "45K"},
                              {"MERVANE_ALERT_PREVIOUS", "82K"},
                              {"MERVANE_ALERT_ACTUAL", "63K"},
                              {"MERVANE_ALERT_KIND", "released"}}));
}

}  // namespace
}  // namespace mervane
