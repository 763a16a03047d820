// The Build window model driven as a user drives the window: opening, pressing buttons, typing,
// the guards, and the runs they start.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "core/analysis/effect_analysis_report.h"
#include "core/analysis/effects_setup.h"
#include "core/analysis/nci_output.h"
#include "core/import/calendar_address.h"
#include "core/model/program_files.h"
#include "core/output/procfile.h"
#include "core/output/profiles.h"
#include "core/runtime/paths.h"
#include "core/runtime/time_zones.h"
#include "tests/output/history_fixture.h"
#include "tests/output/procfile_stubs.h"
#include "tests/support/paths.h"
#include "tests/support/scripted_reporter.h"
#include "tests/support/temp_dir.h"
#include "tests/support/window_checks.h"
#include "tests/support/wine_tree.h"

namespace mervane {
namespace {

using C = ProcFileControl;
using test::day;

const Reply kStay = Reply::stay();
const Reply kCompleted = Reply::closed(Response::Completed);
const Reply kCancelled = Reply::closed(Response::Cancelled);

class Window : public ::testing::Test {
 protected:
  // Tuesday 11 March 2008.
  std::unique_ptr<ProcFile> open_window() {
    auto w =
        std::make_unique<ProcFile>(WindowServices{session, rep, progress, windows, downloader});
    w->open();
    return w;
  }
  BuildSettings& b(ProcFile& w) { return w.settings().b; }

  test::TempDir dir;
  FixedClock clock{day(2008, 3, 11), 1};
  Session session{dir.path(), clock};
  test::ScriptedReporter rep;
  NoProgress progress;
  test::StubWindows windows{session};
  test::StubDownloader downloader;
};

TEST_F(Window, OpensWithTheBuiltInValuesWhenThereIsNoSettingsFile) {
  test::store(dir.path(), test::sample_week());
  auto w = open_window();
  const BuildSettings& s = b(*w);
  EXPECT_EQ(s.date1, day(2008, 3, 11));
  EXPECT_EQ(s.fromdate, day(2006, 1, 1));
  EXPECT_EQ(s.thrudate, day(2099, 12, 31)) << "no silent end of output after 2019";
  EXPECT_EQ(s.spacing1, 60);
  EXPECT_EQ(s.outxlsname, "XLOutput.CSV");
  EXPECT_EQ(s.symall, 139);
  EXPECT_EQ(s.symotr, 148);
  EXPECT_EQ(s.loadweeks, 1);
  EXPECT_FALSE(w->forcesetup());
  EXPECT_FALSE(w->automatic());
  // The newest stored event is Wednesday 12 March, after today: Auto set starts this week.
  EXPECT_EQ(w->highdate(), day(2008, 3, 9));
  EXPECT_EQ(session.globals().outname, s.outname);
  // XOUT 0 is no export kind: every export control is off, Preview too.
  for (C c : {C::SEPCHAR, C::DATEFMT, C::GLO_OUTXLSNAME, C::PREVIEW, C::NUMONLY, C::PEDFORMAT,
              C::OUTDATE, C::OUTKXID})
    EXPECT_FALSE(w->enabled(c)) << number(c);
  EXPECT_FALSE(w->enabled(C::CNVFMT)) << "DATE1 in 2008";
  EXPECT_TRUE(w->enabled(C::LOADWEEKS));
  EXPECT_TRUE(w->enabled(C::INITIALSETUP));
}

TEST_F(Window, EmptyHistoryBringsUpTheInitialSetupFirst) {
  windows.parm1 = 7;
  windows.parm2 = -1;
  windows.parm3 = "Broker MT4";
  auto w = open_window();
  EXPECT_TRUE(w->forcesetup());
  // Whatever the first event is (here a button), the setup window comes first.
  EXPECT_EQ(w->accepted(number(C::ZCHARTS)), kStay);
  EXPECT_EQ(windows.calls, std::vector<std::string>{std::string(InitialSetup::kCaption)});
  EXPECT_EQ(b(*w).checkm1, 1) << "the button's own action did not run";
  EXPECT_FALSE(w->forcesetup());
  const BuildSettings& s = b(*w);
  EXPECT_EQ(s.offset1, 7);
  EXPECT_EQ(s.offset2, -1);
  EXPECT_EQ(s.outname, news_csv_path_for(dir.path(), "Broker MT4"));
  EXPECT_EQ(session.globals().outname, s.outname);
  EXPECT_EQ(s.checkhist, 1);
  EXPECT_EQ(s.checkwget, 1);
  EXPECT_EQ(s.autodate, 1);
  EXPECT_EQ(s.loadweeks, 4);
  EXPECT_EQ(s.date1, day(2008, 2, 17)) << "the Sunday three weeks before this week's";
  for (C c : {C::CLDRFMT, C::CHECKWGET, C::OFFSET1, C::INCUV}) EXPECT_TRUE(w->enabled(c));
  for (C c : {C::DATE1, C::BUTTON7, C::LOADWEEKS}) EXPECT_FALSE(w->enabled(c));
  // The next event is an ordinary one: the setup supplied a folder, so Auto set keeps its hands
  // off the four weeks.
  w->other_event({});
  EXPECT_EQ(windows.calls.size(), 1u);
  EXPECT_EQ(b(*w).loadweeks, 4);
}

// The MT4 terminals of the machine: the one chosen in the Initial setup gives the News.CSV path,
// the path's list offers each one's, and the note says when a typed path is none of theirs.
TEST_F(Window, TerminalsGiveTheNewsCsvPathAndTheNoteSaysWhenItIsNotOne) {
  test::TwoTerminals machine(unix_now(clock));
  session.set_host(machine.env);
  windows.on<InitialSetup>([](InitialSetup& m) {
    m.type(number(InitialSetupControl::TERMINAL), "Other MT4 in ~/.wine");
    m.accepted(number(InitialSetupControl::OK));
  });
  auto w = open_window();
  w->other_event({});
  const std::string broker = (machine.files(machine.broker_data) / "News.CSV").string();
  const std::string other = (machine.files(machine.other_data) / "News.CSV").string();
  EXPECT_EQ(b(*w).outname, other);
  EXPECT_EQ(w->value(number(C::GLO_OUTNAME)), other);
  EXPECT_EQ(w->choices(number(C::GLO_OUTNAME)), (std::vector<std::string>{broker, other}));
  std::filesystem::create_directory_symlink(machine.files(machine.broker_data), dir / "mt4");
  const struct {
    std::string path;
    bool note;
  } cases[] = {
      {broker, false},
      {(dir / "mt4" / "News.CSV").string(), false},  // through a link
      {"News.CSV", true},
      {(machine.broker_data / "News.CSV").string(), true},
      {(machine.wine.terminals() / "X" / "MQL5" / "Files" / "News.CSV").string(), true},
      {"C:\\Program Files\\Far MT4\\MQL4\\Files\\News.CSV", false},  // not found, but one
      {"/mnt/other/mql4/files/news.csv", false},
  };
  for (const auto& c : cases) {
    w->type(number(C::GLO_OUTNAME), c.path);
    EXPECT_EQ(w->value(number(C::GLO_OUTNAME)), c.path);
    EXPECT_EQ(w->value(number(C::NEWSNOTE)), c.note ? kNewsOutsideTerminals : "") << c.path;
  }
}

TEST_F(Window, CancelledSetupChangesNothing) {
  auto w = open_window();
  const SettingsRecord before = w->settings();
  w->accepted(number(C::INITIALSETUP));
  EXPECT_EQ(windows.calls, std::vector<std::string>{std::string(InitialSetup::kCaption)});
  EXPECT_EQ(w->settings().b.outname, before.b.outname);
  EXPECT_EQ(w->settings().b.offset1, before.b.offset1);
}

TEST_F(Window, ButtonsSetTheirFields) {
  struct Case {
    const char* what;
    std::vector<C> presses;
    std::function<void(BuildSettings&)> before;
    std::function<void(const BuildSettings&)> check;
  };
  const Case cases[] = {
      {"Dup then +1",
       {C::DSYMBOLS, C::ISYMBOLS},
       [](BuildSettings& s) { s.symall = 100; },
       [](const BuildSettings& s) {
         EXPECT_EQ(s.symall, 100);
         EXPECT_EQ(s.symusd, 101);
         EXPECT_EQ(s.symnzd, 108);
         EXPECT_EQ(s.symotr, 109);
       }},
      {"Dup",
       {C::DSYMBOLS},
       [](BuildSettings& s) { s.symall = 100; },
       [](const BuildSettings& s) {
         EXPECT_EQ(s.symusd, 100);
         EXPECT_EQ(s.symotr, 100);
       }},
      {"clear, -1, reset and one default",
       {C::ZSYMBOLS, C::MSYMBOLS, C::DEFJPY},
       [](BuildSettings&) {},
       [](const BuildSettings& s) {
         EXPECT_EQ(s.symall, -1);
         EXPECT_EQ(s.symjpy, 145);
         EXPECT_EQ(s.symotr, -1);
       }},
      {"symbols reset",
       {C::ZSYMBOLS, C::RSYMBOLS},
       [](BuildSettings&) {},
       [](const BuildSettings& s) {
         EXPECT_EQ(s.symall, 139);
         EXPECT_EQ(s.symcad, 141);
         EXPECT_EQ(s.symotr, 148);
       }},
      {"colours",
       {C::MCOLORS, C::SETMED},
       [](BuildSettings&) {},
       [](const BuildSettings& s) {
         EXPECT_EQ(s.symlow, -1);
         EXPECT_EQ(s.symmed, 2);
         EXPECT_EQ(s.symhigh, -1);
       }},
      {"colours clear and reset",
       {C::ZCOLORS, C::RCOLORS},
       [](BuildSettings&) {},
       [](const BuildSettings& s) { EXPECT_EQ(s.symhigh, 3); }},
      {"charts all, clear, reset",
       {C::ICHARTS},
       [](BuildSettings&) {},
       [](const BuildSettings& s) { EXPECT_EQ(s.checkmn + s.checkh4 + s.checkm1, 3); }},
      {"charts reset",
       {C::ZCHARTS, C::RCHARTS},
       [](BuildSettings&) {},
       [](const BuildSettings& s) {
         EXPECT_EQ(s.checkh1, 1);
         EXPECT_EQ(s.checkh4, 0);
       }},
      {"descriptions clear",
       {C::RDESC},
       [](BuildSettings& s) { s.descr1 = s.descr4 = "CPI"; },
       [](const BuildSettings& s) { EXPECT_TRUE(s.descr1.blank() && s.descr4.blank()); }},
      {"export columns",
       {C::ZOUTPUT},
       [](BuildSettings& s) { s.xout = 4; },
       [](const BuildSettings& s) { EXPECT_EQ(s.outdate + s.outkxid, 0); }},
      {"pairs",
       {C::PAIRUSD, C::PAIRSEP, C::PAIRJPY},
       [](BuildSettings&) {},
       [](const BuildSettings& s) { EXPECT_EQ(s.pairs, "USD,JPY"); }},
      {"pairs clear",
       {C::PAIRALL, C::PAIRCLR, C::PAIRNZD},
       [](BuildSettings&) {},
       [](const BuildSettings& s) { EXPECT_EQ(s.pairs, "NZD"); }},
      {"pairs are cut at 139",
       {C::PAIRAUD},
       [](BuildSettings& s) { s.pairs = std::string(138, 'x'); },
       [](const BuildSettings& s) { EXPECT_EQ(s.pairs, std::string(138, 'x') + "A"); }},
      {"Mirel_Lines format",
       {C::PEDFORMAT},
       [](BuildSettings& s) {
         s.xout = 2;
         s.checkhist = 1;
       },
       [](const BuildSettings& s) {
         EXPECT_EQ(s.xout, 4);
         EXPECT_EQ(s.sepchar, ",");
         EXPECT_EQ(s.datefmt, "Y.");
         EXPECT_EQ(s.outxlsname, "*EXPORT");
         EXPECT_EQ(s.outdate + s.outtime + s.outactual, 3);
         EXPECT_EQ(s.outcurrency + s.outdescr + s.outkxid, 0);
         EXPECT_EQ(s.numonly, 1);
         EXPECT_EQ(s.check2, 1);
         EXPECT_EQ(s.checkhist, 0);
         EXPECT_EQ(s.fromdate, day(2006, 1, 1));
         EXPECT_EQ(s.thrudate, day(2099, 12, 31));
       }},
      {"Mirel_Events format",
       {C::PEDFORMAT, C::PNFORMAT},
       [](BuildSettings& s) {
         s.xout = 3;
         s.symusd = 0;
         s.descr2 = "X";
       },
       [](const BuildSettings& s) {
         EXPECT_EQ(s.xout, 4) << "the kind stays as Mirel_Lines left it";
         EXPECT_EQ(s.sepchar, ",\"");
         EXPECT_EQ(s.datefmt, "M/");
         EXPECT_EQ(s.outxlsname, "XLOutput.CSV");
         EXPECT_EQ(s.outcurrency + s.outkxid, 2);
         EXPECT_EQ(s.numonly + s.check2, 0);
         EXPECT_EQ(s.symusd, 140);
         EXPECT_TRUE(s.descr2.blank());
         EXPECT_EQ(s.checkhist, 0) << "the history update stays as it was";
       }},
  };
  for (const Case& c : cases) {
    auto w = open_window();
    c.before(b(*w));
    w->other_event({});  // the window state of the values set
    for (C press : c.presses) EXPECT_EQ(w->accepted(number(press)), kStay) << c.what;
    SCOPED_TRACE(c.what);
    c.check(b(*w));
  }
}

TEST_F(Window, WingdingsCharactersAreTheSymbolsLowBytes) {
  auto w = open_window();
  EXPECT_EQ(static_cast<unsigned char>(w->wing(0)), 139);
  EXPECT_EQ(static_cast<unsigned char>(w->wing(9)), 148);
  b(*w).symusd = 256 + 65;
  EXPECT_EQ(w->wing(1), 'A');
}

TEST_F(Window, ExportControlsFollowTheKind) {
  struct Case {
    std::int16_t xout;
    std::int16_t outdate;
    bool sep, datefmt, path, numonly;
  };
  const Case cases[] = {
      {1, 1, false, false, false, false}, {2, 1, false, true, true, true},
      {3, 1, false, true, true, true},    {4, 1, true, true, true, true},
      {5, 1, false, true, true, false},   {4, 0, true, false, true, true},
      {7, 1, false, false, false, false}, {0, 1, false, false, false, false},
  };
  for (const Case& c : cases) {
    auto w = open_window();
    b(*w).xout = c.xout;
    b(*w).outdate = c.outdate;
    b(*w).numonly = 1;
    w->accepted(number(C::XOUT));
    EXPECT_EQ(w->enabled(C::SEPCHAR), c.sep) << c.xout;
    EXPECT_EQ(w->enabled(C::DATEFMT), c.datefmt) << c.xout << "/" << c.outdate;
    EXPECT_EQ(w->enabled(C::GLO_OUTXLSNAME), c.path) << c.xout;
    EXPECT_EQ(w->enabled(C::PREVIEW), c.path) << c.xout;
    EXPECT_EQ(w->enabled(C::OUTKXID), c.path) << c.xout;
    EXPECT_EQ(w->enabled(C::NUMONLY), c.numonly) << c.xout;
    if (c.xout == 5) {
      EXPECT_EQ(b(*w).numonly, 0) << "Cols clears Numbers only";
    }
    EXPECT_TRUE(w->enabled(C::XOUT));
  }
}

TEST_F(Window, HistoryControlsFollowTheirBoxes) {
  auto w = open_window();
  w->other_event({});  // the forced setup of the empty history, cancelled
  b(*w).autodate = 1;
  w->type(number(C::CHECKHIST), "0");
  for (C c : {C::CLDRFMT, C::DATE1, C::LOADWEEKS, C::INCUV}) EXPECT_FALSE(w->enabled(c));
  EXPECT_TRUE(w->enabled(C::GLO_OUTNAME));
  EXPECT_EQ(b(*w).autodate, 0) << "Auto set is off without the history update";
  w->type(number(C::CHECKHIST), "1");
  w->type(number(C::LOADWEEKS), "5");
  EXPECT_EQ(b(*w).loadweeks, 5);
  w->type(number(C::CHECKWGET), "0");
  EXPECT_EQ(b(*w).loadweeks, 1) << "one hand-saved page";
  EXPECT_FALSE(w->enabled(C::LOADWEEKS));
  w->type(number(C::DATE1), "12/31/2006");
  EXPECT_TRUE(w->enabled(C::CNVFMT)) << "2006 currency names can need converting";
}

TEST_F(Window, AutoSetStartsFromTheNewestStoredWeek) {
  // Newest event on Wednesday 27 February 2008, two weeks before today.
  test::store(dir.path(), {test::event(day(2008, 2, 27), 8, 30, "USD", "X", "H")});
  auto w = open_window();
  EXPECT_EQ(w->highdate(), day(2008, 2, 24));
  w->type(number(C::AUTODATE), "1");
  EXPECT_EQ(b(*w).date1, day(2008, 2, 24));
  EXPECT_EQ(b(*w).loadweeks, 3);
  for (C c : {C::DATE1, C::BUTTON7, C::LOADWEEKS}) EXPECT_FALSE(w->enabled(c));
}

TEST_F(Window, TypedValuesAreCheckedAndRefused) {
  auto w = open_window();
  EXPECT_EQ(w->type(number(C::SPACING1), "15"), kStay);
  EXPECT_EQ(b(*w).spacing1, 15);
  for (const char* bad : {"0", "-5", "abc"}) {
    w->type(number(C::SPACING1), bad);
    EXPECT_EQ(b(*w).spacing1, 15) << bad;
  }
  ASSERT_EQ(rep.warnings.size(), 3u);
  EXPECT_NE(rep.warnings[0].text.find("SPACING1"), std::string::npos) << rep.warnings[0].text;
  // What the field's picture or choices do not hold, or a date outside 1900 to 2099, is refused
  // the same way.
  const SettingsRecord before = w->settings();
  const std::pair<C, const char*> beyond[] = {
      {C::LOADWEEKS, "100"}, {C::NCIOUT, "32767"},        {C::XOUT, "99"},     {C::CHECKHIST, "7"},
      {C::DATE1, "0"},       {C::THRUDATE, "01/01/2100"}, {C::OFFSET1, "1000"}};
  for (const auto& [control, text] : beyond) {
    rep.warnings.clear();
    EXPECT_EQ(w->type(number(control), text), kStay) << text;
    ASSERT_EQ(rep.warnings.size(), 1u) << text;
    EXPECT_EQ(rep.warnings[0].caption, "Build News.CSV from KX calendar");
  }
  EXPECT_EQ(w->settings(), before);
  w->type(number(C::FROMDATE), "03/01/2008");
  EXPECT_EQ(b(*w).fromdate, day(2008, 3, 1));
  w->type(number(C::GLO_OUTNAME), "C:\\MT4\\experts\\files\\news.csv");
  EXPECT_EQ(session.globals().outname, "C:\\MT4\\experts\\files\\news.csv");
  // A disabled control takes nothing.
  w->type(number(C::CHECKHIST), "0");
  w->type(number(C::CLDRFMT), "2");
  EXPECT_EQ(b(*w).cldrfmt, 0);
}

// Each control stands in the group box the window shows it in; the boxes of the output settings
// stand side by side within it, none inside another.
TEST(BuildWindowControls, GroupBoxesHoldTheirControls) {
  const std::vector<ControlSpec>& all = procfile_controls();
  auto control_def = [&](int id) -> const ControlSpec* {
    for (const ControlSpec& c : all)
      if (c.id == id) return &c;
    return nullptr;
  };
  auto box_of = [&](int id) -> std::string {
    const ControlSpec* c = control_def(id);
    if (c == nullptr) return "?";
    const ControlSpec* box = control_def(c->parent);
    return box == nullptr ? "" : box->text;
  };
  const std::string history = "  History update from weekly KX Calendar  ";
  const std::string output = "  Settings for output from History to News.CSV  ";
  const struct {
    C control;
    std::string box;
  } cases[] = {
      {C::CHECKHIST, history},
      {C::INCUV, history},
      {C::GLO_OUTNAME, output},
      {C::CHECK2, output},
      {C::CHECKMN, "  Show on  "},
      {C::ICHARTS, "  Show on  "},
      {C::DESCR1, "  Show only events  "},
      {C::RDESC, "  Show only events  "},
      {C::SYMOTR, "  Wingdings symbol output  "},
      {C::ISYMBOLS, "  Wingdings symbol output  "},
      {C::SYMLOW, "  Color for impact levels  "},
      {C::ZCOLORS, "  Color for impact levels  "},
      {C::SEPCHAR, "  Export (news only) also to  XML / CSV (Excel) "},
      {C::NCIAUTO, "  NCI  "},
      {C::EXECGROUP, output},
      {C::DELETE1, "  Profiles  "},
      {C::PAIRSEP, output},
      {C::OK, ""},
      {C::COUNT1, ""},
  };
  for (const auto& k : cases) EXPECT_EQ(box_of(number(k.control)), k.box) << number(k.control);
  for (const ControlSpec& c : all) {
    if (c.kind != ControlKind::Group && c.kind != ControlKind::OptionGroup) continue;
    const std::string outer = box_of(c.id);
    EXPECT_TRUE(outer.empty() || outer == output) << c.text << " is inside " << outer;
  }
}

// The command line's settings go through the window's controls: what a control's picture or
// choices refuse is refused with the reason and the setting's name, and what is taken is stored
// as the window stores it.
TEST(TypedSettings, TakenAsTheWindowTakesThem) {
  struct Case {
    const char* name;
    const char* text;
    const char* refused;  // a piece of the reason; nullptr: taken
    const char* shown;    // the value afterwards, as settings show prints it
  } cases[] = {
      {"loadweeks", "99", nullptr, "99"},
      {"LOADWEEKS", "100", "LOADWEEKS: \"100\" is too long: at most 2 characters", nullptr},
      {"NCIOUT", "32767", "NCIOUT: \"32767\" is too long", nullptr},
      {"SPACING1", "1,000", nullptr, "1000"},  // the picture reads groups of three
      {"SPACING1", "0", "SPACING1 is the default chart's minutes", nullptr},
      {"SPACING1", "-5", "Negative numbers are not allowed here", nullptr},
      {"OFFSET1", "-99", nullptr, "-99"},
      {"OFFSET1", "2.5", "No decimals are allowed here", nullptr},
      {"CHECKHIST", "0", nullptr, "0"},
      {"CHECKHIST", "7", "CHECKHIST: A check box is either on (1) or off (0), not '7'", nullptr},
      {"XOUT", "5", nullptr, "5"},
      {"XOUT", "99",
       "XOUT: '99' is none of the choices here. The choices are 1 (No), 2 (XML), 3 (Tab), 4 "
       "(Char), 5 (Cols).",
       nullptr},
      {"DATE1", "3/2/2008", nullptr, "03/02/2008"},
      {"DATE1", "2008-03-02", nullptr, "03/02/2008"},
      {"DATE1", "75670", nullptr, "03/02/2008"},
      {"DATE1", "02/30/2008", "DATE1: There is no day 30 in February 2008", nullptr},
      {"DATE1", "0", "DATE1 takes a date from 01/01/1900 to 12/31/2099", nullptr},
      {"THRUDATE", "01/01/2100", "THRUDATE takes a date from 01/01/1900 to 12/31/2099", nullptr},
      {"FROMDATE", "99999999", "FROMDATE takes a date from", nullptr},
      {"SEPCHAR", ";", nullptr, ";"},
      {"SEPCHAR", "abc", "SEPCHAR", nullptr},
      {"INPNAME", "calendar.php", nullptr, "calendar.php"},  // no control of its own
  };
  for (const Case& c : cases) {
    SettingsRecord rec = built_in_defaults(*date_serial(2008, 3, 10), "/w");
    const SettingsRecord before = rec;
    const Status st = type_setting(rec, c.name, c.text);
    if (c.refused) {
      EXPECT_EQ(st.code, kBadValue) << c.name << "=" << c.text;
      EXPECT_NE(st.text.find(c.refused), std::string::npos) << st.text;
      EXPECT_EQ(rec, before) << c.name << "=" << c.text;
    } else {
      EXPECT_TRUE(st.is_ok()) << c.name << "=" << c.text << ": " << st.text;
      EXPECT_EQ(setting_value(rec, c.name), c.shown) << c.name << "=" << c.text;
    }
  }
}

TEST_F(Window, DatePickersTakeTheirFieldsDates) {
  auto w = open_window();
  w->other_event({});  // the forced setup of the empty history, cancelled
  windows.picked = day(2008, 1, 6);
  w->accepted(number(C::BUTTON8));
  EXPECT_EQ(b(*w).fromdate, day(2008, 1, 6));
  windows.picked = 0;  // nothing picked
  w->accepted(number(C::BUTTON9));
  EXPECT_EQ(b(*w).thrudate, day(2099, 12, 31));
  EXPECT_EQ(windows.calls, (std::vector<std::string>{std::string(InitialSetup::kCaption),
                                                     std::string(Calendar::kTitle),
                                                     std::string(Calendar::kTitle)}));
}

TEST_F(Window, ReversedDateRangeBlocksTheRun) {
  auto w = open_window();
  w->type(number(C::THRUDATE), "01/01/2005");
  EXPECT_EQ(w->accepted(number(C::OK)), kStay);
  EXPECT_EQ(w->focus(), number(C::THRUDATE));
  EXPECT_EQ(w->key({Key::Enter}), kStay);
  EXPECT_EQ(w->selecting(number(C::CHECK1)), kStay);
  EXPECT_EQ(w->selecting(number(C::SPACING1)), kStay) << "controls before 24 may be reached";
  w->type(number(C::THRUDATE), "12/31/2010");
  EXPECT_EQ(w->key({Key::Enter}), kCompleted) << "Enter runs and closes the window";
  EXPECT_EQ(w->accepted(number(C::OK)), kCompleted);
}

TEST_F(Window, LeavingWithoutARunSavesNothing) {
  for (int how = 0; how < 3; ++how) {
    auto w = open_window();
    w->type(number(C::SPACING1), "240");
    const Reply r = how == 0   ? w->accepted(number(C::CANCEL))
                    : how == 1 ? w->key({Key::Esc})
                               : w->close_request();
    EXPECT_EQ(r, kCancelled);
    EXPECT_TRUE(w->closed());
    EXPECT_EQ(w->accepted(number(C::RSYMBOLS)), kCancelled) << "a closed window takes no event";
    EXPECT_FALSE(file_exists(dir / "trune.INI"));
  }
}

TEST_F(Window, ProfileButtons) {
  auto w = open_window();
  w->type(number(C::SPACING1), "30");
  w->type(number(C::PFILENAME), "AB");
  w->accepted(number(C::SAVE1));
  EXPECT_TRUE(file_exists(dir / "#AB#.INI"));
  EXPECT_EQ(w->profiles(), std::vector<ProfileName>{"AB"});
  w->type(number(C::SPACING1), "5");
  w->accepted(number(C::LOAD1));
  EXPECT_EQ(b(*w).spacing1, 30);
  EXPECT_EQ(w->profilename(), "AB");
  EXPECT_FALSE(file_exists(dir / "trune.INI")) << "profiles never touch the settings file";
  w->accepted(number(C::DELETE1));
  EXPECT_FALSE(file_exists(dir / "#AB#.INI"));
  EXPECT_TRUE(w->profiles().empty());

  for (const char* bad : {"../x", "a\b", "..", ""}) {
    w->type(number(C::PFILENAME), bad);
    w->accepted(number(C::SAVE1));
  }
  EXPECT_EQ(rep.warnings.size(), 4u);
  for (const auto& f : file_names(dir.path())) EXPECT_NE(f.front(), '#') << f;
  EXPECT_FALSE(file_exists(dir.path().parent_path() / "x#.INI"));
  // The profile list is read when the window opens.
  test::write_file(dir / "#EUR1#.INI", "");
  EXPECT_EQ(open_window()->profiles(), std::vector<ProfileName>{"EUR1"});
}

TEST_F(Window, GroupRunExportsTheSelectedProfilesOnly) {
  test::store(dir.path(), test::sample_week());
  test::write_file(dir / "News.CSV", "old\r\n");
  for (const char* name : {"EU", "EUR1", "EUX", "XEU"}) {
    SettingsRecord r = built_in_defaults(day(2008, 3, 11), dir.path());
    r.b.fromdate = day(2008, 3, 7);
    r.b.thrudate = day(2008, 3, 7);
    r.b.xout = 4;
    r.b.sepchar = ",";
    r.b.outdate = r.b.outtime = r.b.outdescr = r.b.outimpact = r.b.outactual = r.b.outforecast =
        r.b.outprevious = r.b.outrevised = r.b.outkxid = 0;
    r.b.outxlsname = std::string("out-") + name + ".csv";
    r.b.outname = "News.CSV";
    ASSERT_TRUE(write_settings_file(dir / profile_file_name(name), r).is_ok());
  }
  auto w = open_window();
  w->type(number(C::PFILENAME), "eu*");
  EXPECT_EQ(w->accepted(number(C::EXECGROUP)), kCompleted);
  EXPECT_TRUE(w->closed());
  for (const char* name : {"EU", "EUR1", "EUX"})
    EXPECT_EQ(test::read_file(dir / (std::string("out-") + name + ".csv")),
              test::crlf({"USD", "USD", "CAD", "EUR"}))
        << name;
  EXPECT_FALSE(file_exists(dir / "out-XEU.csv"));
  EXPECT_EQ(test::read_file(dir / "News.CSV"), "old\r\n");
  EXPECT_FALSE(file_exists(dir / "trune.INI"));

  auto all = open_window();
  all->type(number(C::PFILENAME), "EU");  // no star: every profile
  all->accepted(number(C::EXECGROUP));
  EXPECT_TRUE(file_exists(dir / "out-XEU.csv"));
}

TEST_F(Window, PreviewFillsPviewAndOpensItsBrowse) {
  test::store(dir.path(), test::sample_week());
  test::write_file(dir / "News.CSV", "old\r\n");
  auto w = open_window();
  w->type(number(C::GLO_OUTNAME), "News.CSV");
  w->type(number(C::XOUT), "2");
  w->type(number(C::FROMDATE), "03/07/2008");
  w->type(number(C::THRUDATE), "03/07/2008");
  EXPECT_EQ(w->accepted(number(C::PREVIEW)), kStay);
  EXPECT_EQ(windows.calls, std::vector<std::string>{"  Preview Export"});
  std::int64_t n = 0;
  Table<PviewTable> pv(dir.path());
  ASSERT_TRUE(pv.open(OpenMode::read_only()).is_ok());
  ASSERT_TRUE(pv.records(n).is_ok());
  EXPECT_EQ(n, 4);
  EXPECT_EQ(test::read_file(dir / "News.CSV"), "old\r\n");
  EXPECT_FALSE(file_exists(dir / "XLOutput.CSV"));
  EXPECT_FALSE(w->closed());
}

TEST_F(Window, EffectsPublishTheSettingsFirst) {
  test::store(dir.path(), test::sample_week());
  auto w = open_window();
  w->type(number(C::SPACING1), "5");
  w->accepted(number(C::EFFECTS));
  EXPECT_EQ(windows.calls, std::vector<std::string>{std::string(EffectAnalysisReport::kCaption)});
  EXPECT_EQ(windows.g2_seen.spacing1, 5);
  w->accepted(number(C::EFFECTSSETUP));
  w->accepted(number(C::WDCHART));
  EXPECT_EQ(windows.calls, (std::vector<std::string>{std::string(EffectAnalysisReport::kCaption),
                                                     std::string(EffectsSetup::kCaption),
                                                     std::string(WingdingChart::kTitle)}));
}

TEST_F(Window, ControlsShowTheirValuesThroughTheirPictures) {
  test::store(dir.path(), test::sample_week());
  test::write_file(dir / "#EUR1#.INI", "");
  auto w = open_window();
  const struct {
    C control;
    const char* shown;
  } cases[] = {
      {C::SPACING1, "60"},
      {C::DATE1, "03/11/2008"},
      {C::THRUDATE, "12/31/2099"},
      {C::CHECKHIST, "1"},
      {C::CHECKH4, "0"},
      {C::OFFSET1, "0"},
      {C::NCIOUT, ""},
      {C::COUNT1, ""},
      {C::CALPROC, ""},
      {C::WINGALL, "139"},
      {C::WINGOTR, "148"},
      {C::SYMLOW, "1"},
      {C::XOUT, "0"},
      {C::GLO_OUTXLSNAME, "XLOutput.CSV"},
      {C::PFILENAME, ""},
      {C::RCHARTS, ""},
  };
  for (const auto& c : cases) EXPECT_EQ(w->value(number(c.control)), c.shown) << number(c.control);
  EXPECT_EQ(w->choices(number(C::PFILENAME)), std::vector<std::string>{"EUR1"});
  w->type(number(C::OFFSET1), "-7");
  w->type(number(C::SYMALL), "-1");
  w->type(number(C::NCIOUT), "3");
  w->type(number(C::PFILENAME), "EUR1");
  w->accepted(number(C::LOAD1));
  EXPECT_EQ(w->value(number(C::OFFSET1)), "-7");
  EXPECT_EQ(w->value(number(C::WINGALL)), "255") << "the low byte of -1";
  EXPECT_EQ(w->value(number(C::NCIOUT)), "3");
  EXPECT_EQ(w->value(number(C::PROFILENAME)), "EUR1");
  const WindowState st = w->state();
  EXPECT_EQ(st.title, "Build News.CSV from KX calendar");
  ASSERT_EQ(st.controls.size(), w->controls().size());
  EXPECT_EQ(st.controls[0].value, "");  // the first group box
  EXPECT_FALSE(st.closed);
}

TEST_F(Window, TypedValuesThePicturesCannotShowAreRefused) {
  test::store(dir.path(), test::sample_week());
  auto w = open_window();
  w->type(number(C::XOUT), "4");
  const struct {
    C control;
    std::string typed;
  } cases[] = {
      {C::OFFSET1, "1000"},
      {C::OFFSET1, "-100"},
      {C::LOADWEEKS, "100"},
      {C::LOADWEEKS, "-1"},
      {C::CLDRFMT, "12"},
      {C::DATE1, "2008-03-01"},
      {C::FROMDATE, "02/30/2008"},
      {C::SPACING1, "1.5"},
      {C::PFILENAME, "SEVENCH"},
      {C::SEPCHAR, ",,,"},
      {C::CHECKHIST, "2"},
      {C::CHECKM1, "yes"},
      {C::XOUT, "6"},
      {C::DESCFIRST, "0"},
      {C::SYMHIGH, "1000"},
      {C::GLO_OUTNAME, std::string(kNewsPathWidth + 1, 'x')},
  };
  for (const auto& c : cases) test::expect_refused(*w, rep, number(c.control), c.typed);
  EXPECT_EQ(rep.warnings[0].caption, "Build News.CSV from KX calendar");
  EXPECT_FALSE(w->closed());
}

TEST_F(Window, OptionsEnableAndDisableTheExportControls) {
  test::store(dir.path(), test::sample_week());
  auto w = open_window();
  w->type(number(C::NUMONLY), "1");  // disabled while there is no export: refused silently
  EXPECT_EQ(w->value(number(C::NUMONLY)), "0");
  EXPECT_EQ(w->type(number(C::XOUT), "4"), kStay);
  for (C c : {C::SEPCHAR, C::DATEFMT, C::GLO_OUTXLSNAME, C::NUMONLY, C::OUTKXID})
    EXPECT_TRUE(w->enabled(c)) << number(c);
  w->type(number(C::NUMONLY), "1");
  EXPECT_EQ(w->value(number(C::NUMONLY)), "1");
  w->type(number(C::XOUT), "5");
  EXPECT_FALSE(w->enabled(C::NUMONLY));
  EXPECT_EQ(w->value(number(C::NUMONLY)), "0") << "columns clear Numbers only";
  w->type(number(C::OUTDATE), "0");
  EXPECT_FALSE(w->enabled(C::DATEFMT)) << "no date column, no date format";
  w->type(number(C::XOUT), "1");
  EXPECT_FALSE(w->enabled(C::GLO_OUTXLSNAME));
  EXPECT_FALSE(w->enabled(C::PREVIEW));
  EXPECT_EQ(w->accepted(number(C::PREVIEW)), kStay);
  EXPECT_TRUE(windows.calls.empty()) << "a disabled button makes no event";
  // The decorations stay enabled: the group boxes, prompts and options.
  for (const ControlSpec& c : w->controls()) {
    if (c.id >= kProcFileDecorations) {
      EXPECT_TRUE(w->enabled(c.id)) << c.text;
    }
  }
}

TEST_F(Window, F10RunsLikeOkAndOtherKeysDoNothing) {
  test::store(dir.path(), test::sample_week());
  auto w = open_window();
  w->type(number(C::CHECKHIST), "0");
  w->type(number(C::GLO_OUTNAME), "News.CSV");
  for (Key k : {Key::F2, Key::Insert, Key::Down, Key::Char})
    EXPECT_EQ(w->key({k, 'a'}), kStay) << static_cast<int>(k);
  EXPECT_FALSE(file_exists(dir / "News.CSV"));
  w->type(number(C::THRUDATE), "01/01/2005");
  EXPECT_EQ(w->key({Key::F10}), kStay) << "the date range guard holds for F10 too";
  EXPECT_EQ(w->focus(), number(C::THRUDATE));
  w->type(number(C::THRUDATE), "12/31/2008");
  EXPECT_EQ(w->focus(), 0) << "the next event leaves the cursor where it is";
  EXPECT_EQ(w->key({Key::F10}), kCompleted);
  EXPECT_TRUE(file_exists(dir / "News.CSV"));
  EXPECT_TRUE(file_exists(dir / "trune.INI"));
  EXPECT_FALSE(w->ends_program());
  EXPECT_EQ(w->close_request(), kCompleted) << "closed: every event answers as it closed";
}

std::filesystem::path samples() {
  return std::filesystem::path(MERVANE_SOURCE_DIR) / "samples";
}

TEST_F(Window, OkRunsTheWholeChainOnTheHandSavedPage) {
  std::filesystem::copy_file(samples() / "trune.INI", dir / "trune.INI");
  std::filesystem::copy_file(samples() / "calendar-week.html", dir / "truneout");
  test::write_file(dir / "News.CSV", "old\r\n");
  auto w = open_window();
  EXPECT_EQ(b(*w).checkwget, 0);
  EXPECT_EQ(w->accepted(number(C::OK)), kCompleted);
  EXPECT_FALSE(w->ends_program());
  EXPECT_TRUE(w->closed());
  EXPECT_TRUE(rep.stops.empty()) << rep.stops.front();
  EXPECT_EQ(test::read_file(dir / "News.CSV"),
            test::read_file(test::data_dir() / "output" / "run_sample_news.csv"));
  const std::string xls = test::read_file(dir / "XLOutput.CSV");
  EXPECT_EQ(xls.substr(0, xls.find('\n') + 1),
            "\"03/03/2008\",\"09:30\",\"CHF\",\"Retail Sales y/y\",\"Low\",\"1.2%\",\"0.9%\","
            "\"1.7%\",\"\",\"41001\"\r\n");
  const std::string backup = test::read_file(dir / "@BACKUP@.CSV");
  EXPECT_EQ(std::count(backup.begin(), backup.end(), '\n'), 11);
  EXPECT_TRUE(windows.calls.empty());
  EXPECT_EQ(windows.started, std::vector<Procedure>{Procedure::BrowseHistoryByName});
  EXPECT_TRUE(downloader.urls.empty()) << "the hand-saved page is read, nothing downloaded";
  EXPECT_TRUE(file_exists(dir / "trune.INI"));
  EXPECT_EQ(w->calproc(), day(2008, 3, 2));

  // The settings file was written by the run: a second window reads the same settings.
  auto again = open_window();
  EXPECT_EQ(again->settings(), w->settings());
}

TEST_F(Window, AutomaticRunLoadsOneWeekFromTheTriggerFile) {
  SettingsRecord r = built_in_defaults(day(2008, 3, 11), dir.path());
  r.b.offset1 = 7;
  r.b.nciout = 2;
  r.b.autodate = 1;
  r.b.loadweeks = 5;
  ASSERT_TRUE(write_settings_file(dir / "trune.INI", r).is_ok());
  ASSERT_TRUE(save_calendar_address(dir.path(), "https://calendar.example").is_ok());
  test::write_file(dir / "Autoplay.CSV", std::to_string(day(2008, 3, 2)) + "\r\n");
  downloader.page = test::read_file(samples() / "calendar-week.html");

  auto w = open_window();
  ASSERT_TRUE(w->automatic());
  EXPECT_FALSE(file_exists(dir / "Autoplay.CSV"));
  EXPECT_EQ(b(*w).date1, day(2008, 3, 2));
  EXPECT_EQ(b(*w).fromdate, day(2008, 3, 2) - 35);
  EXPECT_EQ(b(*w).loadweeks, 1);
  EXPECT_EQ(w->other_event({}), kCompleted) << "the run starts as the window is shown";
  EXPECT_TRUE(w->ends_program());
  EXPECT_TRUE(rep.stops.empty()) << rep.stops.front();
  EXPECT_EQ(downloader.urls,
            std::vector<std::string>{"https://calendar.example/calendar.php?c=2&week=1204416000"});
  EXPECT_TRUE(windows.calls.empty()) << "no NCI output";
  EXPECT_TRUE(windows.started.empty()) << "no history browse";
  const std::string news = test::read_file(resolve(dir.path(), b(*w).outname.view()));
  EXPECT_EQ(std::count(news.begin(), news.end(), '\n'), 11);
}

TEST_F(Window, NciOutputGetsTheNewsCsvNameBack) {
  test::store(dir.path(), test::sample_week());
  auto w = open_window();
  w->type(number(C::CHECKHIST), "0");
  w->type(number(C::NCIOUT), "1");
  ASSERT_EQ(w->accepted(number(C::OK)), kCompleted);
  EXPECT_EQ(windows.calls, std::vector<std::string>{std::string(NciOutput::kCaption)});
  EXPECT_EQ(windows.outname_seen, b(*w).outname.str());
  EXPECT_EQ(windows.g2_seen.nciout, 1);
}

TEST_F(Window, AbortedRunKeepsThePreviousFiles) {
  test::store(dir.path(), test::sample_week());
  test::write_file(dir / "News.CSV", "old\r\n");
  auto w = open_window();
  w->type(number(C::GLO_OUTNAME), "News.CSV");
  w->type(number(C::CHECKHIST), "0");
  w->type(number(C::XOUT), "4");
  w->type(number(C::GLO_OUTXLSNAME), "missing-folder/x.csv");
  rep.stop_answers.push_back(Answer::Abort);
  EXPECT_THROW(w->accepted(number(C::OK)), Aborted);
  ASSERT_EQ(rep.stops.size(), 1u);
  EXPECT_EQ(rep.stops[0], "Create(missing-folder/x.csv) - File Not Found");
  EXPECT_EQ(test::read_file(dir / "News.CSV"), "old\r\n");
  EXPECT_FALSE(file_exists(dir / "trune.INI"));
}

// The notes beside OFFSET1 and LOADWEEKS, as the window shows them, follow the local settings
// read when the window opened and the start date typed since.
TEST_F(Window, TimeZoneAndFeedNotes) {
  test::store(dir.path(), test::sample_week());
  auto w = open_window();
  EXPECT_EQ(w->value(number(C::ZONENOTE)), "");
  EXPECT_EQ(w->value(number(C::LOADNOTE)), "");

  ASSERT_TRUE(save_calendar_setting(dir.path(), "CALENDARZONE", "UTC").is_ok());
  w = open_window();
  EXPECT_EQ(w->value(number(C::ZONENOTE)),
            "Time zones not in use: MT4ZONE is not set, OFFSET1 applies");

  ASSERT_TRUE(save_calendar_setting(dir.path(), "MT4ZONE", "America/New_York+7").is_ok());
  ASSERT_TRUE(save_calendar_setting(dir.path(), "CALENDARSOURCE", "feed").is_ok());
  w = open_window();
  struct Case {
    const char* date1;
    const char* note;
  } cases[] = {
      {"03/09/2008", "Time zones in use: +3 hours on 03/09/2008 (UTC to America/New_York+7)"},
      {"03/02/2008", "Time zones in use: +2 hours on 03/02/2008 (UTC to America/New_York+7)"},
  };
  for (const Case& c : cases) {
    w->type(number(C::DATE1), c.date1);
    EXPECT_EQ(w->value(number(C::ZONENOTE)), c.note);
  }
  EXPECT_EQ(w->value(number(C::LOADNOTE)),
            "Calendar feed: one download of the feed's week, LOADWEEKS does not apply");

  test::write_file(dir / "mervane.cfg", "CALENDARZONE=UTC\r\nMT4ZONE=Nowhere/Town\r\n");
  w = open_window();
  EXPECT_EQ(w->value(number(C::ZONENOTE)),
            "Time zones not usable, OFFSET1 applies: Invalid Value: Nowhere/Town is not a time "
            "zone of the system's time zone database");

  // After one of today's pages, which name their own zone: that zone in place of CALENDARZONE.
  test::write_file(dir / "mervane.cfg", "CALENDARZONE=UTC\r\nPAGEZONE=Europe/Berlin\r\n");
  w = open_window();
  EXPECT_EQ(w->value(number(C::ZONENOTE)),
            "Page times in Europe/Berlin: OFFSET1 applies (MT4ZONE is not set)");
  test::write_file(dir / "mervane.cfg", "PAGEZONE=Europe/Berlin\r\nMT4ZONE=America/New_York+7\r\n");
  w = open_window();
  const Case page_cases[] = {
      {"01/25/2026", "Page times in Europe/Berlin: +1 hour to America/New_York+7 on 01/25/2026"},
      {"03/10/2026", "Page times in Europe/Berlin: +2 hours to America/New_York+7 on 03/10/2026"},
  };
  for (const Case& c : page_cases) {
    w->type(number(C::DATE1), c.date1);
    EXPECT_EQ(w->value(number(C::ZONENOTE)), c.note);
  }
  EXPECT_TRUE(rep.stops.empty());
}

}  // namespace
}  // namespace mervane
