#include <gtest/gtest.h>

#include <functional>

#include "core/analysis/effects_ini.h"
#include "core/analysis/effects_offsets.h"
#include "core/analysis/effects_setup.h"
#include "core/model/session.h"
#include "core/runtime/time_zones.h"
#include "core/util/dates.h"
#include "tests/support/scripted_reporter.h"
#include "tests/support/temp_dir.h"
#include "tests/support/window_checks.h"
#include "tests/support/wine_tree.h"

namespace mervane {
namespace {

using Offsets = std::array<std::int16_t, 24>;
using C = EffectsSetupControl;

int entry(int i) {
  return number(C::TIMEINT_1) + i - 1;
}

Offsets series(int first, int step) {
  Offsets o{};
  for (int i = 0; i < 24; ++i)
    o[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(first + i * step);
  return o;
}

struct Fixture {
  test::TempDir dir;
  FixedClock clock{*date_serial(2009, 3, 6), 1};
  Session session{dir.path(), clock};
  test::ScriptedReporter reporter;

  std::string ini_bytes() { return test::read_file(dir / "EFF.INI"); }
  void write_ini(const EffectsSettings& s) {
    const EffIniRecord rec = encode_eff_ini(s);
    test::write_file(dir / "EFF.INI", std::string(rec.begin(), rec.end()));
  }
  // "EFF.INI" with H1 and its reset offsets; returns the file's bytes.
  std::string write_h1() {
    EffectsSettings s;
    s.chartint = "H1";
    s.timeint = series(-60, 60);
    write_ini(s);
    return ini_bytes();
  }
};

TEST(EffIni, RecordLayout) {
  EffectsSettings s;
  s.histpath = "C:\\MT4\\history\\Srv\\";
  s.timeint = series(-60, 60);
  s.timeint[23] = -32768;
  s.chartint = "H1";
  const EffIniRecord rec = encode_eff_ini(s);
  const std::string bytes(rec.begin(), rec.end());
  ASSERT_EQ(bytes.size(), 512u);
  EXPECT_EQ(bytes.substr(0, 99), s.histpath.padded().substr(0, 99));
  EXPECT_EQ(static_cast<unsigned char>(bytes[99]), 0xC4);  // -60, low byte first
  EXPECT_EQ(static_cast<unsigned char>(bytes[100]), 0xFF);
  EXPECT_EQ(bytes[101], 0);
  EXPECT_EQ(bytes[102], 0);
  EXPECT_EQ(static_cast<unsigned char>(bytes[103]), 60);
  EXPECT_EQ(static_cast<unsigned char>(bytes[145]), 0x00);  // -32768
  EXPECT_EQ(static_cast<unsigned char>(bytes[146]), 0x80);
  EXPECT_EQ(bytes.substr(147, 4), "H1  ");
  EXPECT_EQ(bytes.substr(151), std::string(361, ' '));
  EXPECT_EQ(decode_eff_ini(rec.data()), s);
}

// A path longer than the 99 bytes before the offsets goes on after the timeframe; a shorter one
// leaves those bytes blank, as ever, and blanks there after a short path are not read into it.
TEST(EffIni, LongPathsGoOnAfterTheSettings) {
  for (const std::size_t n : {std::size_t{98}, std::size_t{99}, std::size_t{100}, kHistPathWidth}) {
    EffectsSettings s;
    std::string path(n, 'p');
    path.back() = '/';
    s.histpath = path;
    s.timeint = series(-5, 5);
    s.chartint = "M5";
    const EffIniRecord rec = encode_eff_ini(s);
    const std::string bytes(rec.begin(), rec.end());
    EXPECT_EQ(bytes.substr(0, 99), path.substr(0, 99).append(n < 99 ? 99 - n : 0, ' ')) << n;
    EXPECT_EQ(bytes.substr(147, 4), "M5  ");
    EXPECT_EQ(bytes.substr(151, 156), n > 99 ? path.substr(99).append(255 - n, ' ')
                                             : std::string(156, ' '));
    EXPECT_EQ(bytes.substr(307), std::string(205, ' '));
    EXPECT_EQ(decode_eff_ini(rec.data()), s) << n;
    EffIniRecord other = rec;
    other[400] = 'x';
    if (n < 99) other[151] = 'x';
    EXPECT_EQ(decode_eff_ini(other.data()).histpath, path) << n;
  }
}

TEST(EffectsOffsets, OffsetsInUseAndTimeframes) {
  const struct {
    std::vector<int> entries;  // the rest 0
    std::vector<int> used;
  } cases[] = {
      {{-60, 0, 60, 120}, {-60, 0, 60, 120}},
      {{-10, -5, 0, 5}, {-10, -5, 0, 5}},
      {{}, {0}},                  // entry 1 always, the zero after it ends the list
      {{0, 5, 10}, {0, 5, 10}},   // entry 1 = 0 is the event's own time
      {{5, 10, 0, 15}, {5, 10}},  // a 0 after a positive entry ends the list
      {{-5, 0, 0, 5}, {-5, 0}},   // so does a 0 after a 0
      {{-5, 0, -5, 0, 7}, {-5, 0, -5, 0, 7}},
  };
  for (const auto& c : cases) {
    Offsets o{};
    for (std::size_t i = 0; i < c.entries.size(); ++i)
      o[i] = static_cast<std::int16_t>(c.entries[i]);
    const auto got = offsets_in_use(o);
    EXPECT_EQ(std::vector<int>(got.begin(), got.end()), c.used);
  }
  Offsets full = series(-60, 60);
  EXPECT_EQ(offsets_in_use(full).size(), 24u);
  EXPECT_EQ(*timeframe_step("MN"), 43200);
  EXPECT_EQ(history_minutes("W1"), "10080");
  EXPECT_FALSE(timeframe_step("H2"));
  EXPECT_EQ(history_minutes("m1"), "");
}

TEST(EffectsSetup, OffsetOperations) {
  using Step = std::function<void(EffectsSetup&)>;
  const auto press = [](C c) { return Step([c](EffectsSetup& m) { m.accepted(number(c)); }); };
  const auto choose = [](const char* code) {
    return Step([code](EffectsSetup& m) {
      m.type(number(C::OPTION1), std::string("  ") + code);
      ASSERT_EQ(m.value(number(C::OPTION1)), std::string("  ") + code);
    });
  };
  const Step zero_10_to_24 = [](EffectsSetup& m) {
    m.accepted(number(C::UNLOCK));
    for (int i = 10; i <= 24; ++i) {
      m.type(entry(i), "0");
      ASSERT_EQ(m.value(entry(i)), "0");
    }
  };
  Offsets h1_decreased = series(-120, 60);
  for (std::size_t i = 9; i < 24; ++i) h1_decreased[i] = 0;
  Offsets w1{};
  w1[0] = -10080, w1[2] = 10080, w1[3] = 20160, w1[4] = 30240;
  Offsets w1_increased{};
  for (auto& e : w1_increased) e = 10080;
  w1_increased[0] = 0, w1_increased[2] = 20160, w1_increased[3] = 30240, w1_increased[4] = 0;
  Offsets w1_decreased{};
  w1_decreased[0] = -20160, w1_decreased[1] = -10080, w1_decreased[3] = 10080,
  w1_decreased[4] = 20160;
  Offsets fives{};
  fives.fill(5);

  const struct {
    const char* name;
    std::vector<Step> steps;
    Offsets want;
    std::int32_t step;
    int out_of_range;
  } cases[] = {
      {"H1 Reset", {choose("H1"), press(C::RESET)}, series(-60, 60), 60, 0},
      {"M5 Reset Decrease", {choose("M5"), press(C::DECREASE)}, series(-10, 5), 5, 0},
      {"M5 Clear Increase", {choose("M5"), press(C::CLEAR), press(C::INCREASE)}, fives, 5, 0},
      {"H1 cleared tail Decrease",
       {choose("H1"), zero_10_to_24, press(C::DECREASE)},
       h1_decreased,
       60,
       0},
      {"no timeframe Reset", {press(C::RESET)}, Offsets{}, 0, 0},
      {"no timeframe Increase Decrease",
       {press(C::RESET), press(C::INCREASE), press(C::DECREASE)},
       Offsets{},
       0,
       0},
      // Offsets beyond 16 bits become 0, never wrapped round.
      {"W1 Reset", {choose("W1")}, w1, 10080, 19},
      {"W1 Increase", {choose("W1"), press(C::INCREASE)}, w1_increased, 10080, 1},
      {"W1 Decrease", {choose("W1"), press(C::DECREASE)}, w1_decreased, 10080, 0},
      {"MN Reset", {choose("MN")}, Offsets{}, 43200, 23},
  };
  for (const auto& c : cases) {
    Fixture f;
    EffectsSetup m(f.session, f.reporter);
    m.open();
    for (const Step& s : c.steps) s(m);
    EXPECT_EQ(m.settings().timeint, c.want) << c.name;
    EXPECT_EQ(m.step(), c.step) << c.name;
    EXPECT_EQ(m.out_of_range(), c.out_of_range) << c.name;
    EXPECT_TRUE(m.offsets_locked()) << c.name;
    EXPECT_EQ(f.session.g3(), m.settings()) << c.name << ": G3PARMS follows every change";
  }
}

TEST(EffectsSetup, OpeningANewFileAndAWrittenOne) {
  Fixture f;
  {
    EffectsSetup m(f.session, f.reporter);
    m.open();
    // The new file is empty, so reading it fails once; the settings start blank.
    EXPECT_EQ(f.reporter.stops, std::vector<std::string>{"Get(EFF.INI) - Record Not Available"});
    EXPECT_EQ(m.settings(), EffectsSettings{});
    EXPECT_TRUE(test::read_file(f.dir / "EFF.INI").empty());
    EXPECT_EQ(f.session.globals().dosfilename, "EFF.INI");
    m.type(number(C::OPTION1), "  M15");
    m.type(number(C::HISTPATH), "C:\\h\\");
    EXPECT_EQ(m.key({Key::Enter}), Reply::closed(Response::Completed));
    EXPECT_TRUE(m.closed());
  }
  EffectsSettings want;
  want.histpath = "C:\\h\\";
  want.timeint = series(-15, 15);
  want.chartint = "M15";
  const EffIniRecord rec = encode_eff_ini(want);
  EXPECT_EQ(f.ini_bytes(), std::string(rec.begin(), rec.end()));

  f.reporter.stops.clear();
  f.session.set_g3({});
  EffectsSetup again(f.session, f.reporter);
  again.open();
  EXPECT_TRUE(f.reporter.stops.empty());
  EXPECT_EQ(again.settings(), want);
  EXPECT_EQ(again.value(number(C::OPTION1)), "  M15");
  EXPECT_EQ(again.step(), 0) << "the step is taken by the first operation";
  EXPECT_TRUE(again.offsets_locked());
  EXPECT_FALSE(again.enabled(number(C::TIMEINT_1)));
  EXPECT_TRUE(again.enabled(number(C::RESET)));
  again.accepted(number(C::INCREASE));
  EXPECT_EQ(again.step(), 15);
  EXPECT_EQ(again.settings().timeint, series(0, 15));
}

TEST(EffectsSetup, HistoryFolderProposal) {
  const struct {
    const char* outname;
    const char* histpath;
    const char* want;
  } cases[] = {
      {"C:\\Program Files\\MT4\\experts\\files\\News.CSV", "",
       "C:\\Program Files\\MT4\\history\\????????\\"},
      {"/root/.wine/drive_c/Program Files/MT4/experts/files/news.csv", "",
       "/root/.wine/drive_c/Program Files/MT4/history/????????"
       "/"},
      {"C:\\Program Files\\MT4\\Experts\\files\\News.CSV", "", ""},  // exact case only
      {"News.CSV", "", ""},
      {"C:\\Program Files\\MT4\\experts\\files\\News.CSV", "D:\\mine\\", "D:\\mine\\"},
  };
  for (const auto& c : cases) {
    Fixture f;
    EffectsSettings s;
    s.histpath = c.histpath;
    f.write_ini(s);
    f.session.with([&](Globals& g) { g.outname = c.outname; });
    EffectsSetup m(f.session, f.reporter);
    m.open();
    EXPECT_EQ(m.settings().histpath, c.want) << c.outname;
  }
}

// The history folders of the terminals found: offered for the path, and with none set the one
// of the terminal whose files folder holds the News.CSV path, its server written last.
TEST(EffectsSetup, HistoryFoldersOfTheTerminalsFound) {
  Fixture f;
  test::TwoTerminals machine(unix_now(f.clock));
  f.session.set_host(machine.env);
  const std::string history = (machine.broker_data / "history").string();
  f.session.with([&](Globals& g) {
    g.outname = (machine.files(machine.broker_data) / "News.CSV").string();
  });
  f.write_ini({});
  EffectsSetup m(f.session, f.reporter);
  m.open();
  EXPECT_EQ(m.value(number(C::HISTPATH)), history + "/Broker-Live/");
  EXPECT_EQ(m.choices(number(C::HISTPATH)),
            (std::vector<std::string>{history + "/Broker-Demo/", history + "/Broker-Live/"}));
  m.type(number(C::HISTPATH), history + "/Broker-Demo/");
  m.accepted(number(C::OK));
  EXPECT_EQ(load_effects_settings(f.session, f.reporter).histpath, history + "/Broker-Demo/");
}

TEST(EffectsSetup, CancelWritesNothingAndTypedOffsetsAreLimited) {
  Fixture f;
  const std::string before = f.write_h1();

  EffectsSetup m(f.session, f.reporter);
  m.open();
  m.type(entry(1), "5");
  EXPECT_EQ(m.value(entry(1)), "-60") << "locked fields take no typing";
  m.accepted(number(C::UNLOCK));
  EXPECT_FALSE(m.offsets_locked());
  EXPECT_EQ(m.focus(), entry(1)) << "the cursor goes to the first offset";
  EXPECT_TRUE(m.enabled(entry(24)));
  m.type(entry(1), "40000");
  m.type(entry(2), "-40000");
  m.type(number(C::OK), "1");  // no entry beyond the 24th: the next control is a button
  EXPECT_EQ(m.settings().timeint[0], 32767);
  EXPECT_EQ(m.settings().timeint[1], -32768);
  EXPECT_EQ(m.settings().timeint[2], 60);
  EXPECT_FALSE(m.closed());
  m.accepted(number(C::CLEAR));
  EXPECT_TRUE(m.offsets_locked());
  EXPECT_EQ(m.key({Key::Esc}), Reply::closed(Response::Cancelled));
  EXPECT_EQ(f.ini_bytes(), before);
  EXPECT_EQ(f.session.g3().timeint, Offsets{}) << "changed in memory until read again";
  EXPECT_TRUE(f.reporter.stops.empty());
}

TEST(EffectsSetup, RefusedEntriesAndTheCloseBox) {
  Fixture f;
  const std::string before = f.write_h1();
  EffectsSetup m(f.session, f.reporter);
  m.open();
  m.accepted(number(C::UNLOCK));
  const struct {
    int control;
    std::string typed;
  } refused[] = {
      {number(C::OPTION1), "H2"}, {number(C::OPTION1), "H1"},  // the radio's text is "  H1"
      {entry(3), "1.5"},          {entry(3), "x"},
      {entry(3), "123456789"},    {number(C::HISTPATH), std::string(kHistPathWidth + 1, 'p')}};
  for (const auto& r : refused) test::expect_refused(m, f.reporter, r.control, r.typed);
  EXPECT_EQ(m.value(entry(3)), "60");
  m.type(number(C::OPTION1), "  M30");
  EXPECT_EQ(m.value(entry(1)), "-30") << "a timeframe chosen resets the offsets";
  EXPECT_TRUE(m.offsets_locked());
  EXPECT_EQ(m.close_request(), Reply::closed(Response::Cancelled));
  EXPECT_EQ(f.ini_bytes(), before) << "the close box is Cancel";
}

TEST(EffectsSetup, FileFailures) {
  // A folder in the file's place: it can be neither opened nor created.
  Fixture f;
  std::filesystem::create_directory(f.dir / "EFF.INI");
  EffectsSetup m(f.session, f.reporter);
  m.open();
  ASSERT_EQ(f.reporter.stops.size(), 2u);
  EXPECT_EQ(f.reporter.stops[0].rfind("Create(EFF.INI) - ", 0), 0u) << f.reporter.stops[0];
  EXPECT_EQ(f.reporter.stops[1].rfind("Open(EFF.INI) - ", 0), 0u) << f.reporter.stops[1];
  m.key({Key::Enter});
  ASSERT_EQ(f.reporter.stops.size(), 3u);
  EXPECT_EQ(f.reporter.stops[2], "Put(EFF.INI) - File Not Open");

  Fixture g;
  g.reporter.stop_answers = {Answer::Abort};
  EffectsSetup aborted(g.session, g.reporter);
  EXPECT_THROW(aborted.open(), Aborted);

  // A short file holds less than the settings: "Get(" once, blank settings.
  Fixture h;
  test::write_file(h.dir / "EFF.INI", std::string(150, ' '));
  EffectsSetup shortfile(h.session, h.reporter);
  shortfile.open();
  EXPECT_EQ(h.reporter.stops, std::vector<std::string>{"Get(EFF.INI) - Record Not Available"});
}

}  // namespace
}  // namespace mervane
