// The system tray of the windows program: what closing the frame does, the question's answers
// remembered in mervane.cfg, and the tray menu's lines of the next events.
#include <gtest/gtest.h>

#include "core/live/tray.h"
#include "core/model/local_settings.h"
#include "tests/support/temp_dir.h"

namespace mervane {
namespace {

TEST(TrayChoice, CloseAsksOnceThenDoesWhatWasAnswered) {
  const struct {
    bool watching, tray;
    const char* stored;  // TRAYONCLOSE before the close
    CloseAction action;
    int answer;                // to the question, when asked
    const char* stored_after;  // TRAYONCLOSE after the answer
    CloseAction next;          // the close after that
  } cases[] = {
      // Not watching, or no tray: the frame closes as always, whatever was answered.
      {false, true, "", CloseAction::Close, 0, "", CloseAction::Close},
      {true, false, "", CloseAction::Close, 0, "", CloseAction::Close},
      {false, true, "1", CloseAction::Close, 0, "1", CloseAction::Close},
      {true, false, "1", CloseAction::Close, 0, "1", CloseAction::Close},
      // Watching with a tray: asked once, the answer remembered.
      {true, true, "", CloseAction::Ask, kYesButton, "1", CloseAction::ToTray},
      {true, true, "", CloseAction::Ask, kNoButton, "0", CloseAction::Close},
      {true, true, "", CloseAction::Ask, kCancelButton, "", CloseAction::Ask},
      {true, true, "1", CloseAction::ToTray, 0, "1", CloseAction::ToTray},
      {true, true, "0", CloseAction::Close, 0, "0", CloseAction::Close},
      // A hand-edited value the program cannot take asks again.
      {true, true, "maybe", CloseAction::Ask, kYesButton, "1", CloseAction::ToTray},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message()
                 << c.watching << c.tray << " TRAYONCLOSE=" << c.stored << " answer " << c.answer);
    test::TempDir dir;
    ASSERT_TRUE(save_local_setting(dir.path(), "TRAYONCLOSE", c.stored).is_ok());
    TrayChoice choice(dir.path());
    EXPECT_EQ(choice.on_close(c.watching, c.tray), c.action);
    if (c.action == CloseAction::Ask) {
      const std::optional<CloseAction> done = choice.answered(c.answer);
      EXPECT_TRUE(choice.remembered().is_ok()) << choice.remembered().text;
      if (c.answer == kCancelButton) {
        EXPECT_FALSE(done.has_value());
      } else {
        EXPECT_EQ(done, c.next);
      }
    }
    EXPECT_EQ(load_local_setting(dir.path(), "TRAYONCLOSE"), c.stored_after);
    // A new start reads the answer from the folder.
    EXPECT_EQ(TrayChoice(dir.path()).on_close(c.watching, c.tray), c.next);
  }
}

TEST(TrayChoice, AnAnswerThatCannotBeRememberedSaysSo) {
  test::TempDir dir;
  TrayChoice choice(dir.path() / "gone");
  EXPECT_EQ(choice.answered(kYesButton), CloseAction::ToTray);
  EXPECT_TRUE(choice.remembered().failed());
}

TEST(TrayMenu, TheNextFiveEventsWithTheirMt4Times) {
  const auto event = [](const char* time, const char* ccy, const char* impact, const char* title) {
    Alert a;
    a.time = time;
    a.currency = ccy;
    a.impact = impact;
    a.title = title;
    a.forecast = "1.2%";  // not in the menu
    return a;
  };
  WatchStatus s;
  s.last_run = 1773043200;
  for (int i = 0; i < 6; ++i)
    s.upcoming.push_back(event(("2026.03.1" + std::to_string(i) + " 15:30").c_str(), "USD", "H",
                               i == 0 ? "S&P Global PMI" : "Non-Farm Employment Change"));
  s.upcoming[1].currency = "EUR";
  s.upcoming[1].impact = "M";
  const struct {
    std::size_t events;
    std::int64_t last_run;
    std::vector<std::string> lines;
  } cases[] = {
      {6,
       s.last_run,
       {"2026.03.10 15:30  USD H  S&P Global PMI",
        "2026.03.11 15:30  EUR M  Non-Farm Employment Change",
        "2026.03.12 15:30  USD H  Non-Farm Employment Change",
        "2026.03.13 15:30  USD H  Non-Farm Employment Change",
        "2026.03.14 15:30  USD H  Non-Farm Employment Change"}},
      {1, s.last_run, {"2026.03.10 15:30  USD H  S&P Global PMI"}},
      {0, s.last_run, {"No selected event ahead this week"}},
      {0, 0, {"The first run of this week is still to come"}},
  };
  for (const auto& c : cases) {
    WatchStatus t = s;
    t.upcoming.resize(c.events);
    t.last_run = c.last_run;
    EXPECT_EQ(tray_event_lines(t), c.lines) << c.events << " events";
  }
}

}  // namespace
}  // namespace mervane
