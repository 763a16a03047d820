// The live week's settings, the alert filter, and the news-guard file's windows.
#include <gtest/gtest.h>

#include "core/live/guard_file.h"
#include "core/live/live_settings.h"
#include "core/model/local_settings.h"
#include "core/util/dates.h"
#include "tests/support/temp_dir.h"

namespace mervane {
namespace {

TEST(LiveSettings, TypedValuesAreCheckedAndStoredInTheirForm) {
  struct Case {
    const char* name;
    const char* value;
    const char* stored;  // nullptr: refused
  } cases[] = {
      {"ALERTMINUTES", "0", "0"},
      {"alertminutes", "1440", "1440"},
      {"ALERTMINUTES", "1441", nullptr},
      {"ALERTMINUTES", "-1", nullptr},
      {"ALERTMINUTES", "5m", nullptr},
      {"ALERTIMPACT", "m", "M"},
      {"ALERTIMPACT", "X", nullptr},
      {"ALERTIMPACT", "HM", nullptr},
      {"ALERTCURRENCIES", "usd, eur;JPY usd", "USD,EUR,JPY"},
      {"ALERTCURRENCIES", "USDX", nullptr},
      {"ALERTCURRENCIES", "US1", nullptr},
      {"ALERTCURRENCIES", ",", nullptr},
      {"GUARDFILE", "/home/me/MQL4/Files/guard.csv", "/home/me/MQL4/Files/guard.csv"},
      {"GUARDFILE", "a\tb", nullptr},
      {"GUARDBEFORE", "45", "45"},
      {"GUARDAFTER", "x", nullptr},
      {"KEEPCURRENT", "1", "1"},
      {"KEEPCURRENT", "yes", nullptr},
      {"trayonclose", "0", "0"},
      {"TRAYONCLOSE", "no", nullptr},
      {"ALERTSOUND", "1", nullptr},
      {"ALERTMINUTES", "", ""},  // removes the setting
  };
  for (const Case& c : cases) {
    std::string stored;
    const Status st = check_live_setting(c.name, c.value, stored);
    EXPECT_EQ(st.is_ok(), c.stored != nullptr) << c.name << "=" << c.value << ": " << st.text;
    if (c.stored) {
      EXPECT_EQ(stored, c.stored) << c.name << "=" << c.value;
    }
  }
}

TEST(LiveSettings, LoadedWithDefaultsAndWhatCannotBeReadNamed) {
  test::TempDir dir;
  LiveSettings s = load_live_settings(dir.path());
  EXPECT_EQ(s.alert_minutes, 5);
  EXPECT_EQ(s.alert_impact, 'H');
  EXPECT_TRUE(s.alert_currencies.empty());
  EXPECT_EQ(s.guard_before, 30);
  EXPECT_EQ(s.guard_after, 30);
  EXPECT_EQ(live_setting_value(s, "GUARDFILE"), "");
  EXPECT_EQ(live_setting_value(s, "ALERTMINUTES"), "5");

  ASSERT_TRUE(save_live_setting(dir.path(), "alertcurrencies", "gbp,usd").is_ok());
  ASSERT_TRUE(save_live_setting(dir.path(), "GUARDAFTER", "15").is_ok());
  EXPECT_TRUE(save_live_setting(dir.path(), "GUARDAFTER", "lots").failed());
  // A hand-edited value the program cannot take keeps the default and is named.
  ASSERT_TRUE(save_local_setting(dir.path(), "ALERTMINUTES", "soon").is_ok());
  s = load_live_settings(dir.path());
  EXPECT_EQ(s.alert_currencies, (std::vector<std::string>{"GBP", "USD"}));
  EXPECT_EQ(s.guard_after, 15);
  EXPECT_EQ(s.alert_minutes, 5);
  ASSERT_EQ(s.problems.size(), 1u);
  EXPECT_EQ(s.problems[0].substr(0, 18), "ALERTMINUTES=soon ");
}

TEST(AlertFilter, ImpactCurrenciesAndThePairsDefault) {
  struct Case {
    const char* pairs;
    std::vector<std::string> currencies;  // ALERTCURRENCIES
    char lowest;
    const char* ccy;
    const char* impact;
    bool passes;
  } cases[] = {
      {"", {}, 'H', "JPY", "H", true},  // no pairs: every currency
      {"", {}, 'H', "JPY", "M", false},
      {"", {}, 'M', "JPY", "M", true},
      {"", {}, 'L', "JPY", "L", true},
      {"", {}, 'L', "JPY", "", false},  // no impact letter: never
      {"EURUSD,USDJPY", {}, 'H', "JPY", "H", true},
      {"EURUSD,USDJPY", {}, 'H', "GBP", "H", false},
      {"EURUSD,USDJPY", {}, 'H', "ALL", "H", true},  // an event of every currency
      {"EURUSD,USDJPY", {"GBP"}, 'H', "GBP", "H", true},
      {"EURUSD,USDJPY", {"GBP"}, 'H', "USD", "H", false},
      {"ALL", {}, 'H', "NZD", "H", true},
  };
  for (const Case& c : cases) {
    LiveSettings live;
    live.alert_impact = c.lowest;
    live.alert_currencies = c.currencies;
    BuildSettings b;
    b.pairs = c.pairs;
    CalendarRecord r;
    r.currency = c.ccy;
    r.impact = c.impact;
    EXPECT_EQ(alert_filter(live, b).passes(r), c.passes)
        << c.pairs << " " << c.lowest << " " << c.ccy << " " << c.impact;
  }
  EXPECT_EQ(pair_currencies("EURUSD,USDJPY GBPUSD"),
            (std::vector<std::string>{"EUR", "USD", "JPY", "GBP"}));
  EXPECT_EQ(pair_currencies("eurusd,ALL"), std::vector<std::string>{});
}

std::int64_t at(int y, int m, int d, int hh, int mm) {
  return std::int64_t{*date_serial(y, m, d)} * 1440 + hh * 60 + mm;
}

TEST(GuardWindows, MergedPerCurrencyAndSortedByStart) {
  struct Event {
    std::int64_t at;
    const char* ccy;
    char impact;
    const char* title;
  };
  struct Case {
    const char* what;
    int before, after;
    std::vector<Event> events;
    std::vector<std::string> lines;
  } cases[] = {
      {"one release",
       30,
       30,
       {{at(2026, 3, 6, 15, 30), "USD", 'H', "Non-Farm Employment Change"}},
       {"2026.03.06 15:00;2026.03.06 16:00;USD;H;Non-Farm Employment Change"}},
      {"overlapping windows of one currency: one window, titles joined, highest impact",
       30,
       30,
       {{at(2026, 3, 6, 15, 30), "USD", 'M', "Unemployment Rate"},
        {at(2026, 3, 6, 16, 0), "USD", 'H', "ISM Services PMI"},
        {at(2026, 3, 6, 15, 30), "USD", 'H', "Non-Farm Employment Change"}},
       {"2026.03.06 15:00;2026.03.06 16:30;USD;H;Unemployment Rate + Non-Farm Employment Change + "
        "ISM Services PMI"}},
      {"windows that only touch are one; a gap keeps two",
       10,
       20,
       {{at(2026, 3, 6, 10, 0), "EUR", 'M', "A"},
        {at(2026, 3, 6, 10, 30), "EUR", 'L', "B"},
        {at(2026, 3, 6, 11, 1), "EUR", 'L', "C"}},
       {"2026.03.06 09:50;2026.03.06 10:50;EUR;M;A + B",
        "2026.03.06 10:51;2026.03.06 11:21;EUR;L;C"}},
      {"other currencies stay apart, sorted by start, then end, then currency",
       30,
       30,
       {{at(2026, 3, 6, 15, 30), "USD", 'H', "NFP"},
        {at(2026, 3, 6, 15, 30), "CAD", 'H', "Employment Change"},
        {at(2026, 3, 6, 15, 0), "EUR", 'M', "Speech"},
        {at(2026, 3, 6, 15, 0), "EUR", 'M', "Speech"}},
       {"2026.03.06 14:30;2026.03.06 15:30;EUR;M;Speech",
        "2026.03.06 15:00;2026.03.06 16:00;CAD;H;Employment Change",
        "2026.03.06 15:00;2026.03.06 16:00;USD;H;NFP"}},
      {"across midnight, a separator in a title",
       30,
       30,
       {{at(2026, 3, 8, 23, 45), "NZD", 'H', "GDP q/q; revised"}},
       {"2026.03.08 23:15;2026.03.09 00:15;NZD;H;GDP q/q, revised"}},
      {"no windows", 30, 30, {}, {}},
  };
  for (const Case& c : cases) {
    GuardWindows w(c.before, c.after);
    for (const Event& e : c.events) w.add(e.at, e.ccy, e.impact, e.title);
    std::vector<std::string> lines;
    for (const GuardWindow& g : w.merged()) lines.push_back(guard_line(g));
    EXPECT_EQ(lines, c.lines) << c.what;
  }
}

TEST(GuardWindows, ANameWithoutFolderLiesBesideNewsCsv) {
  const std::filesystem::path folder = "/work";
  EXPECT_EQ(guard_path(folder, "guard.csv", "/mt4/MQL4/Files/News.CSV"),
            std::filesystem::path("/mt4/MQL4/Files/guard.csv"));
  EXPECT_EQ(guard_path(folder, "guard.csv", "News.CSV"), folder / "guard.csv");
  EXPECT_EQ(guard_path(folder, "/tmp/g.csv", "/mt4/News.CSV"), std::filesystem::path("/tmp/g.csv"));
  EXPECT_EQ(guard_path(folder, "sub/g.csv", "/mt4/News.CSV"), folder / "sub/g.csv");
}

}  // namespace
}  // namespace mervane
