#include <gtest/gtest.h>

#include "core/model/local_settings.h"
#include "core/model/program_files.h"
#include "core/model/session.h"
#include "core/setup/folder_list.h"
#include "core/setup/initial_setup.h"
#include "core/util/dates.h"
#include "core/util/helpers.h"
#include "core/runtime/time_zones.h"
#include "core/util/picture.h"
#include "tests/support/scripted_reporter.h"
#include "tests/support/temp_dir.h"
#include "tests/support/window_checks.h"
#include "tests/support/wine_tree.h"

namespace mervane {
namespace {

using C = InitialSetupControl;

std::string time_text(std::int32_t t) {
  return format_value("T1", t);
}
// The three readings typed in: date and time each.
void reading(InitialSetup& m, C date, C time, std::int32_t d, std::int32_t t) {
  m.type(number(date), date_text(d));
  m.type(number(time), time_text(t));
}

// A listing line with "<DIR>" at position dir_at and the name from name_at (1-based).
std::string listing(std::size_t dir_at, std::size_t name_at, const std::string& name,
                    const std::string& front = "") {
  std::string s(name_at - 1, ' ');
  s.replace(0, front.size(), front);
  s.replace(dir_at - 1, 5, "<DIR>");
  return s + name;
}
std::string dos(const std::string& name, const std::string& short_name = "PROGRA~1") {
  return listing(16, 45, name, short_name);
}
std::string nt(const std::string& name) {
  return listing(27, 42, name, "03/05/2009  10:15 AM");
}

struct Fixture {
  test::TempDir dir;
  FixedClock clock{*date_serial(2009, 5, 4), tod(9, 41)};
  Session session{dir.path(), clock};
  test::ScriptedReporter reporter;

  Fixture() {
    // Never the machine's own Program Files: an empty folder of the test's.
    std::filesystem::create_directories(dir / "drive_c" / "Program Files");
    EXPECT_TRUE(
        save_local_setting(dir.path(), "PROGRAMFILES", (dir / "drive_c" / "Program Files").string())
            .is_ok());
  }
  std::string batch() { return test::read_file(dir / "trunesetup.BAT"); }
};

TEST(InitialSetup, OffsetsFollowTheEntries) {
  const std::int32_t d = *date_serial(2009, 5, 4);
  const struct {
    std::int32_t kx_date;
    int kx_h, kx_m;
    std::int32_t mt_date;
    int mt_h, mt_m;
    std::int32_t l_date;
    int l_h, l_m;
    int parm1, parm2;
  } cases[] = {
      {d, 8, 0, d, 15, 0, d, 16, 30, 7, 1},
      {d, 22, 0, d + 1, 5, 0, d + 1, 5, 0, 7, 0},  // 24 hours per day of difference
      {d, 8, 0, d, 15, 0, d, 15, 30, 7, 0},        // minutes are ignored
      {d, 8, 59, d, 8, 0, d - 1, 23, 0, 0, -9},
      {d, 0, 0, d + 3000, 0, 0, d - 3000, 0, 0, 32767, -32768},  // held, never wrapped
  };
  for (const auto& c : cases) {
    Fixture f;
    InitialSetup m(f.session, f.reporter);
    m.open();
    EXPECT_EQ(m.value(number(C::PARM1)), "0");
    EXPECT_EQ(m.value(number(C::PARM2)), "0");
    reading(m, C::KXDATE, C::KXTIME, c.kx_date, tod(c.kx_h, c.kx_m));
    reading(m, C::MTDATE, C::MTTIME, c.mt_date, tod(c.mt_h, c.mt_m));
    reading(m, C::LDATE, C::LTIME, c.l_date, tod(c.l_h, c.l_m));
    EXPECT_EQ(f.session.globals().parm1, c.parm1);
    EXPECT_EQ(f.session.globals().parm2, c.parm2);
    // The displays show them through their picture "n-4": grouped, in full when wider.
    const bool wide = c.parm1 > 9999;
    EXPECT_EQ(m.value(number(C::PARM1)), wide ? "32,767" : std::to_string(c.parm1));
    EXPECT_EQ(m.value(number(C::PARM2)), wide ? "-32,768" : std::to_string(c.parm2));
    EXPECT_TRUE(f.reporter.warnings.empty());
  }
}

TEST(InitialSetup, OpeningSetsTodayAndNow) {
  Fixture f;
  f.session.with([](Globals& g) { g.parm3 = "old"; });
  InitialSetup m(f.session, f.reporter);
  m.open();
  EXPECT_EQ(m.value(number(C::KXDATE)), "05/04/2009");
  EXPECT_EQ(m.value(number(C::MTDATE)), "05/04/2009");
  EXPECT_EQ(m.value(number(C::LDATE)), "05/04/2009");
  EXPECT_EQ(m.value(number(C::KXTIME)), "09:41");
  EXPECT_EQ(m.value(number(C::LTIME)), "09:41");
  EXPECT_EQ(m.value(number(C::PARM3)), "") << "no folders listed: nothing preselected";
  EXPECT_EQ(m.value(number(C::WEBADD)), "For help, see:  https://www.timeanddate.com/worldclock/");
}

TEST(FolderList, ListingLinesInBothLayouts) {
  const struct {
    std::string line;
    std::optional<std::string> name;
  } cases[] = {
      {dos("Broker MT4"), "Broker MT4"},
      {dos(".", "."), std::nullopt},
      {dos("..", ".."), std::nullopt},
      {dos("..", "DOTDOT"), std::nullopt},  // the name column decides
      {nt("Alpari MT4  "), "Alpari MT4"},
      {nt("."), std::nullopt},
      {nt(".."), std::nullopt},
      {listing(16, 45, "", "ABC"), std::nullopt},  // no name
      {" Volume in drive C has no label.", std::nullopt},
      {"", std::nullopt},
      {listing(27, 42, "x.txt", "03/05/2009  10:15 AM").replace(26, 5, "  123"), std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(folder_of_listing_line(c.line), c.name) << c.line;
}

TEST(FolderList, FromTheListingFileOrTheFolders) {
  Fixture f;
  const auto pf = f.dir / "drive_c" / "Program Files";
  std::filesystem::create_directory(pf / "Zed MT4");
  std::filesystem::create_directory(pf / "Alpha MT4");
  std::filesystem::create_directory(pf / std::string(41, 'L'));  // too long to keep
  test::write_file(pf / "file.txt", "");
  auto list = load_folder_list(f.dir.path());
  EXPECT_FALSE(list.from_listing);
  EXPECT_EQ(list.names, (std::vector<std::string>{"Alpha MT4", "Zed MT4"}));

  // 32-bit terminals beside it in "Program Files (x86)"; a name in both is listed once.
  std::filesystem::create_directories(f.dir / "drive_c" / "Program Files (x86)" / "Old MT4");
  std::filesystem::create_directories(f.dir / "drive_c" / "Program Files (x86)" / "zed mt4");
  list = load_folder_list(f.dir.path());
  EXPECT_EQ(list.names, (std::vector<std::string>{"Alpha MT4", "Zed MT4", "Old MT4"}));

  test::write_file(f.dir / "##.DIR", " Directory of C:\\Program Files\r\n" + dos(".", ".") +
                                         "\r\n" + dos("Broker MT4") + "\r\n" + nt("Second") +
                                         "\r\n" + nt(std::string(41, 'L')) + "\r\n");
  list = load_folder_list(f.dir.path());
  EXPECT_TRUE(list.from_listing);
  EXPECT_EQ(list.names, (std::vector<std::string>{"Broker MT4", "Second"}));

  InitialSetup m(f.session, f.reporter);
  m.open();
  EXPECT_EQ(m.choices(number(C::PARM3)), list.names);
  EXPECT_EQ(m.value(number(C::PARM3)), "Broker MT4") << "the first one is preselected";
}

TEST(InitialSetup, OkWritesTheBatchFileCancelWritesNothing) {
  {
    Fixture f;
    InitialSetup m(f.session, f.reporter);
    m.open();
    m.type(number(C::PARM3), "Broker MT4");
    EXPECT_EQ(m.key({Key::Enter}), Reply::closed(Response::Completed));
    EXPECT_TRUE(m.closed());
    EXPECT_EQ(f.batch(),
              "copy /y mirel_events.* \"c:\\Program Files\\Broker MT4\\experts\\indicators\"\r\n"
              "copy /y mirel_lines.* \"c:\\Program Files\\Broker MT4\\experts\\indicators\"\r\n"
              "cls\r\n");
    EXPECT_EQ(f.session.globals().parm3, "Broker MT4");
    EXPECT_EQ(f.session.globals().pfilename, "trunesetup.BAT");
  }
  {
    // Found only in "Program Files (x86)": the copy goes there.
    Fixture f;
    std::filesystem::create_directories(f.dir / "drive_c" / "Program Files (x86)" / "Old MT4");
    InitialSetup m(f.session, f.reporter);
    m.open();
    EXPECT_EQ(m.value(number(C::PARM3)), "Old MT4");
    EXPECT_EQ(m.accepted(number(C::OK)), Reply::closed(Response::Completed));
    EXPECT_EQ(f.batch().substr(0, 70),
              "copy /y mirel_events.* \"c:\\Program Files (x86)\\Old MT4\\experts\\indicat");
  }
  {
    Fixture f;
    test::write_file(f.dir / "trunesetup.BAT", "old");
    InitialSetup m(f.session, f.reporter);
    m.open();
    m.type(number(C::PARM3), "Broker MT4");
    m.type(number(C::MTTIME), "16:00");
    EXPECT_EQ(m.key({Key::Esc}), Reply::closed(Response::Cancelled));
    EXPECT_TRUE(m.closed());
    EXPECT_EQ(f.session.globals().parm3, "");
    EXPECT_EQ(f.batch(), "old");
  }
}

TEST(InitialSetup, TypedReadingsAreCheckedAndTheCloseBoxIsCancel) {
  Fixture f;
  InitialSetup m(f.session, f.reporter);
  m.open();
  const struct {
    C control;
    std::string typed;
  } refused[] = {{C::KXDATE, "13/01/2009"},
                 {C::KXDATE, "2009-05-04"},
                 {C::MTTIME, "25:00"},
                 {C::LTIME, "9.30"},
                 {C::PARM3, std::string(41, 'x')}};
  for (const auto& r : refused) test::expect_refused(m, f.reporter, number(r.control), r.typed);
  EXPECT_EQ(f.reporter.warnings[0].caption, " Initial Setup");
  // The offsets are shown, not typed: typing there changes nothing and says nothing.
  f.reporter.warnings.clear();
  m.type(number(C::PARM1), "5");
  EXPECT_EQ(m.value(number(C::PARM1)), "0");
  EXPECT_TRUE(f.reporter.warnings.empty());
  m.type(number(C::MTTIME), "16:41");
  EXPECT_EQ(m.value(number(C::PARM1)), "7");
  m.type(number(C::PARM3), "Broker MT4");
  EXPECT_EQ(m.close_request(), Reply::closed(Response::Cancelled));
  EXPECT_EQ(f.session.globals().parm3, "");
  EXPECT_FALSE(std::filesystem::exists(f.dir / "trunesetup.BAT"));
}

TEST(InitialSetup, RefusedNamesAndFailures) {
  for (const char* bad : {"..\\Windows", "a\"b", "x/y", "MT4.", "a|b"}) {
    Fixture f;
    InitialSetup m(f.session, f.reporter);
    m.open();
    m.type(number(C::PARM3), bad);
    EXPECT_EQ(m.key({Key::Enter}), Reply::stay()) << bad;
    EXPECT_FALSE(m.closed());
    ASSERT_EQ(f.reporter.warnings.size(), 1u) << bad;
    EXPECT_EQ(f.reporter.warnings[0].caption, " Initial Setup");
    EXPECT_FALSE(std::filesystem::exists(f.dir / "trunesetup.BAT"));
  }
  Fixture f;
  std::filesystem::create_directory(f.dir / "trunesetup.BAT");
  InitialSetup m(f.session, f.reporter);
  m.open();
  m.type(number(C::PARM3), "Broker MT4");
  EXPECT_EQ(m.accepted(number(C::OK)), Reply::closed(Response::Completed));
  ASSERT_EQ(f.reporter.stops.size(), 1u);
  EXPECT_EQ(f.reporter.stops[0], "Create(trunesetup.BAT) - not a plain file");
}

// The terminals of the machine in the drop list: the first chosen at the opening, a choice
// fills the folder name, a folder typed in drops it, and OK tells the caller the chosen
// terminal's News.CSV; the batch file is written for the folder name as ever.
TEST(InitialSetup, TerminalsFoundAreOfferedAndTheChosenOneGivesTheNewsCsv) {
  Fixture f;
  test::TwoTerminals machine(unix_now(f.clock));
  f.session.set_host(machine.env);
  InitialSetup m(f.session, f.reporter);
  m.open();
  const std::string broker = "Broker MT4 in ~/.wine", other = "Other MT4 in ~/.wine";
  EXPECT_EQ(m.choices(number(C::TERMINAL)),
            (std::vector<std::string>{std::string(InitialSetup::kNoTerminal), broker, other}))
      << "MT5 is not offered";
  EXPECT_EQ(m.value(number(C::TERMINAL)), broker);
  EXPECT_EQ(m.value(number(C::PARM3)), "Broker MT4");
  m.type(number(C::TERMINAL), other);
  EXPECT_EQ(m.value(number(C::PARM3)), "Other MT4");
  m.type(number(C::PARM3), "Third MT4");
  EXPECT_EQ(m.value(number(C::TERMINAL)), InitialSetup::kNoTerminal);
  m.type(number(C::TERMINAL), broker);
  m.type(number(C::PARM3), "Other MT4");
  EXPECT_EQ(m.value(number(C::TERMINAL)), other) << "the terminal of the name typed";
  EXPECT_EQ(m.news_csv(), "") << "nothing before OK";
  EXPECT_EQ(m.accepted(number(C::OK)), Reply::closed(Response::Completed));
  EXPECT_EQ(m.news_csv(), (machine.files(machine.other_data) / "News.CSV").string());
  const std::string batch = f.batch();
  EXPECT_EQ(batch.substr(0, batch.find('\r')),
            "copy /y mirel_events.* \"c:\\Program Files\\Other MT4\\experts\\indicators\"");

  // Nothing found: the list says so and cannot be used; the folder list works as before.
  Fixture none;
  InitialSetup n(none.session, none.reporter);
  n.open();
  EXPECT_EQ(n.value(number(C::TERMINAL)), InitialSetup::kNoneFound);
  EXPECT_FALSE(n.enabled(number(C::TERMINAL)));
  EXPECT_FALSE(n.enabled(number(C::USEOFFSET)));
  n.type(number(C::PARM3), "Broker MT4");
  n.accepted(number(C::OK));
  EXPECT_EQ(n.news_csv(), "");
}

// The server's offset seen in the chosen terminal's history, against the calendar's zone: "Use
// it" turns it into the readings of this moment (4 May 2009: New York at UTC-4, Berlin UTC+2),
// and only with MT4ZONE unset.
TEST(InitialSetup, OffsetSuggestedByThePriceHistory) {
  const struct {
    std::string settings;  // mervane.cfg
    bool usable;
    int parm1;  // after "Use it"
    std::string says;
  } cases[] = {
      {"", true, 6, "UTC+2 on 2009-05-04: MT4 6 hours ahead of America/New_York now"},
      {"CALENDARZONE=UTC\r\n", true, 2, "MT4 2 hours ahead of UTC now"},
      {"CALENDARZONE=UTC\r\nPAGEZONE=Europe/Berlin\r\n", true, 0, "of Europe/Berlin now"},
      {"MT4ZONE=America/New_York+7\r\n", false, 0, "(MT4ZONE is set: OFFSET1 does not apply)"},
      {"CALENDARZONE=Nowhere/Town\r\n", false, 0, "zone Nowhere/Town is not known"},
  };
  for (const auto& c : cases) {
    Fixture f;
    test::TwoTerminals machine(unix_now(f.clock));
    f.session.set_host(machine.env);
    test::write_file(f.dir / "mervane.cfg",
                     "PROGRAMFILES=" + (f.dir / "drive_c/Program Files").string() + "\r\n" +
                         c.settings);
    InitialSetup m(f.session, f.reporter);
    m.open();
    const std::string says = m.value(number(C::SUGGESTION));
    EXPECT_NE(says.find("server time looks like UTC+2"), std::string::npos) << says;
    EXPECT_NE(says.find(c.says), std::string::npos) << says;
    EXPECT_EQ(m.enabled(number(C::USEOFFSET)), c.usable) << c.settings;
    m.accepted(number(C::USEOFFSET));
    EXPECT_EQ(m.value(number(C::PARM1)), std::to_string(c.parm1)) << c.settings;
    if (c.usable) {  // the MT4 reading is the server's time now, not the typed one
      EXPECT_EQ(m.value(number(C::MTTIME)),
                shown("T1", from_unix_seconds(unix_now(f.clock) + 2 * 3600).time));
    }
  }
  // A terminal without recent history suggests nothing; neither does no terminal, and the line
  // says where a suggestion would come from rather than stay blank.
  Fixture f;
  test::TwoTerminals machine(unix_now(f.clock));
  f.session.set_host(machine.env);
  InitialSetup m(f.session, f.reporter);
  m.open();
  m.type(number(C::TERMINAL), std::string(InitialSetup::kNoTerminal));
  EXPECT_EQ(m.value(number(C::SUGGESTION)), InitialSetup::kNoSuggestionNoneChosen);
  EXPECT_FALSE(m.enabled(number(C::USEOFFSET)));
  m.type(number(C::TERMINAL), "Other MT4 in ~/.wine");
  EXPECT_EQ(m.value(number(C::SUGGESTION)).substr(0, 25), "No M1, M5 or M15 history ");
  EXPECT_FALSE(m.enabled(number(C::USEOFFSET)));
}

}  // namespace
}  // namespace mervane
