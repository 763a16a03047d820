// The "Alerts" window: the alert settings of mervane.cfg shown, typed, refused and written.
#include <gtest/gtest.h>

#include "core/live/alerts_window.h"
#include "core/live/live_settings.h"
#include "core/model/local_settings.h"
#include "core/util/dates.h"
#include "tests/support/scripted_reporter.h"
#include "tests/support/temp_dir.h"

namespace mervane {
namespace {

using C = AlertsControl;

struct AlertsWindowTest : ::testing::Test {
  test::TempDir dir;
  FixedClock clock{*date_serial(2026, 3, 9), 1};
  Session session{dir.path(), clock};
  test::ScriptedReporter reporter;
  AlertsWindow w{session, reporter};
};

TEST_F(AlertsWindowTest, ShowsTypesAndWritesTheSettingsOnOk) {
  ASSERT_TRUE(save_live_setting(dir.path(), "ALERTIMPACT", "M").is_ok());
  ASSERT_TRUE(save_local_setting(dir.path(), "ALERTMINUTES", "many").is_ok());
  w.open();
  // A value the file holds that cannot be used shows its default.
  EXPECT_EQ(w.value(number(C::MINUTES)), "5");
  EXPECT_EQ(w.value(number(C::IMPACT)), "Medium");
  EXPECT_EQ(w.value(number(C::CURRENCIES)), "");
  EXPECT_EQ(w.choices(number(C::IMPACT)), (std::vector<std::string>{"High", "Medium", "Low"}));

  const struct {
    C control;
    const char* typed;
    const char* shown;  // after the entry; a refused one leaves what was there
    bool refused;
  } entries[] = {
      {C::MINUTES, "1441", "5", true},
      {C::MINUTES, "15", "15", false},
      {C::IMPACT, "Severe", "Medium", true},
      {C::IMPACT, "Low", "Low", false},
      {C::CURRENCIES, "usd, eur;jpy", "USD,EUR,JPY", false},
      {C::CURRENCIES, "US1", "USD,EUR,JPY", true},
  };
  for (const auto& e : entries) {
    const std::size_t warned = reporter.warnings.size();
    EXPECT_EQ(w.type(number(e.control), e.typed), Reply::stay()) << e.typed;
    EXPECT_EQ(w.value(number(e.control)), e.shown) << e.typed;
    EXPECT_EQ(reporter.warnings.size(), warned + (e.refused ? 1 : 0)) << e.typed;
  }
  // Nothing is written before OK.
  EXPECT_EQ(load_live_settings(dir.path()).alert_impact, 'M');
  EXPECT_EQ(w.key({Key::Enter}), Reply::closed(Response::Completed));
  const LiveSettings s = load_live_settings(dir.path());
  EXPECT_EQ(s.alert_minutes, 15);
  EXPECT_EQ(s.alert_impact, 'L');
  EXPECT_EQ(s.alert_currencies, (std::vector<std::string>{"USD", "EUR", "JPY"}));
  EXPECT_TRUE(s.problems.empty());
}

TEST_F(AlertsWindowTest, CancelEscAndTheCloseBoxWriteNothing) {
  for (const int how : {0, 1, 2}) {
    AlertsWindow x{session, reporter};
    x.open();
    x.type(number(C::MINUTES), "0");
    const Reply r = how == 0   ? x.accepted(number(C::CANCEL))
                    : how == 1 ? x.key({Key::Esc})
                               : x.close_request();
    EXPECT_EQ(r, Reply::closed(Response::Cancelled)) << how;
    EXPECT_EQ(load_live_settings(dir.path()).alert_minutes, 5) << how;
  }
  EXPECT_TRUE(reporter.stops.empty());
}

TEST_F(AlertsWindowTest, ASettingsFileThatCannotBeWrittenKeepsTheWindowOpen) {
  w.open();
  std::filesystem::create_directory(dir / std::string(kLocalSettingsFile));
  EXPECT_EQ(w.accepted(number(C::OK)), Reply::stay());
  ASSERT_EQ(reporter.stops.size(), 1u);
  EXPECT_EQ(reporter.stops[0].rfind("Create(mervane.cfg) - ", 0), 0u) << reporter.stops[0];
  EXPECT_FALSE(w.closed());
}

}  // namespace
}  // namespace mervane
