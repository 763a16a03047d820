// The frame's menu and start-up as a user meets them: what the menu shows, what each choice
// starts, and the request values MAIN takes and hands back.
#include "core/menu/main_frame.h"

#include <gtest/gtest.h>

#include <vector>

#include "core/model/local_settings.h"
#include "core/runtime/clock.h"
#include "tests/support/temp_dir.h"

namespace mervane {
namespace {

struct RecordingStarter : Starter {
  std::vector<Procedure> started;
  void start(Procedure p) override { started.push_back(p); }
};

struct MainFrameTest : ::testing::Test {
  FixedClock clock{76044, 1};
  Session session{".", clock};
  RecordingStarter starter;
  Main main{session, starter};
};

TEST(FileMenuTest, ItemsInOrderWithKeysAndSeparators) {
  const struct {
    const char* text;
    const char* use;
    const char* shown;
  } want[] = {
      {"Build News.CSV", "?FILEPROCESS", "F5"},
      {"&Keep this week current", "?FILEKEEPCURRENT", ""},
      {"A&lerts", "?FILEALERTS", ""},
      {nullptr, nullptr, nullptr},
      {"&Modify News Event History", "?FILEBROWSEHISTORY", "F9"},
      {"&Delete/Rebuild News Event History", "?FILEDELETEHISTORY", "Alt+F9"},
      {"Load calendar &history...", "?FILELOADHISTORY", ""},
      {nullptr, nullptr, nullptr},
      {"Modify &Auxiliary output data", "?FILEMODIFYSWAPDATA", "F8"},
      {"Delete Auxiliary output data", "?FILEDELETEAUXDATA", "Alt+F8"},
      {nullptr, nullptr, nullptr},
      {"Edit Swap Rates / Spread Collect Settings", "?FILEEDITSPREADCOLLECTSETTINGS", "F3"},
      {nullptr, nullptr, nullptr},
      {"E&xit", "?EXIT", "Alt-F4"},
  };
  const auto& menu = file_menu();
  ASSERT_EQ(menu.size(), std::size(want));
  for (std::size_t i = 0; i < menu.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(menu[i].separator, want[i].text == nullptr);
    if (!want[i].text) continue;
    EXPECT_EQ(menu[i].text, want[i].text);
    EXPECT_EQ(menu[i].use, want[i].use);
    EXPECT_EQ(menu[i].shown, want[i].shown);
    // Every item but E&xit binds the key it shows; only E&xit has a status message.
    EXPECT_EQ(menu[i].key, menu[i].control == MainControl::EXIT ? "" : menu[i].shown);
    EXPECT_EQ(menu[i].status, menu[i].control == MainControl::EXIT ? "Exit this application" : "");
  }
  EXPECT_EQ(kAppFrameTitle, "Mervane - v 3.03");
  EXPECT_EQ(kFileMenu, "&File");
}

TEST_F(MainFrameTest, OpeningStartsTheBuildWindowAndTakesTheRequest) {
  session.set_request(Request::Change, 7);
  session.set_response(static_cast<int>(Response::Completed), 7);
  main.open();
  EXPECT_EQ(starter.started, std::vector<Procedure>{Procedure::ProcFile});
  EXPECT_EQ(main.local_request(), static_cast<int>(Request::Change));
  EXPECT_EQ(main.original_request(), static_cast<int>(Request::Change));
  EXPECT_EQ(session.take_request().request, Request::None);
  EXPECT_EQ(session.response().response, 0);
}

TEST_F(MainFrameTest, EveryChoiceStartsAFurtherWindow) {
  main.open();
  const struct {
    MainControl item;
    Procedure starts;
  } cases[] = {
      {MainControl::FILEPROCESS, Procedure::ProcFile},
      {MainControl::FILEBROWSEHISTORY, Procedure::BrowseHistoryByName},
      {MainControl::FILEBROWSEHISTORY, Procedure::BrowseHistoryByName},
      {MainControl::FILEDELETEHISTORY, Procedure::DeleteHistory},
      {MainControl::FILELOADHISTORY, Procedure::LoadHistory},
      {MainControl::FILEMODIFYSWAPDATA, Procedure::BrowseSwapOut},
      {MainControl::FILEDELETEAUXDATA, Procedure::DeleteSwapOut},
      {MainControl::FILEEDITSPREADCOLLECTSETTINGS, Procedure::BrowseSwapRate},
      {MainControl::FILEALERTS, Procedure::Alerts},
  };
  std::vector<Procedure> want{Procedure::ProcFile};
  for (const auto& c : cases) {
    EXPECT_FALSE(main.accepted(c.item));
    want.push_back(c.starts);
  }
  EXPECT_EQ(starter.started, want);
}

TEST_F(MainFrameTest, ExitClosesTheFrameAndAnswersCancelled) {
  main.open();
  EXPECT_TRUE(main.accepted(MainControl::EXIT));
  EXPECT_TRUE(main.closing());
  // Nothing starts once the frame is closing.
  EXPECT_TRUE(main.accepted(MainControl::FILEPROCESS));
  EXPECT_EQ(starter.started.size(), 1u);
  main.close();
  EXPECT_EQ(session.response().response, static_cast<int>(Response::Cancelled));
}

TEST(KeepCurrentTest, TheItemTurnsOverAndIsRememberedInTheFolder) {
  test::TempDir dir;
  FixedClock clock{76044, 1};
  Session session{dir.path(), clock};
  RecordingStarter starter;
  ASSERT_TRUE(save_local_setting(dir.path(), "KEEPCURRENT", "1").is_ok());
  for (const bool was_on : {true, false}) {
    Main main{session, starter};
    main.open();
    EXPECT_EQ(main.keep_current(), was_on);
    EXPECT_FALSE(main.accepted(MainControl::FILEKEEPCURRENT));  // starts nothing, stays open
    EXPECT_EQ(main.keep_current(), !was_on);
    EXPECT_TRUE(main.remembered().is_ok());
    EXPECT_EQ(load_local_setting(dir.path(), "KEEPCURRENT"), was_on ? "0" : "1");
  }  // each start found the setting as the one before left it
  EXPECT_EQ(starter.started, (std::vector<Procedure>{Procedure::ProcFile, Procedure::ProcFile}));
}

}  // namespace
}  // namespace mervane
