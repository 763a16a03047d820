#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

#include "core/runtime/paths.h"
#include "core/setup/terminal_files.h"
#include "core/setup/terminals.h"
#include "core/util/md5.h"
#include "tests/support/wine_tree.h"

namespace mervane {
namespace {

namespace fs = std::filesystem;
using test::WinePrefix;

// 4 December 2026, 10:20 UTC.
const std::int64_t kNow = unix_seconds(*date_serial(2026, 12, 4)) + 10 * 3600 + 20 * 60;

TEST(TerminalFiles, OriginTextInEveryEncoding) {
  const std::string path = "C:\\Program Files\\Broker MT4";
  const struct {
    std::string bytes;
    std::string path;     // expected; empty: refused
    std::string problem;  // the start of the reason
  } cases[] = {
      {test::utf16_origin(path), path, ""},
      {test::utf16_origin(path + "\\\r\n") + std::string(2, '\0'), path, ""},
      {"\xFE\xFF" + std::string("\0C\0:\0\\\0X", 8), "C:\\X", ""},  // big-endian
      {utf16le_from_utf8(path), path, ""},                          // no mark
      {"\xEF\xBB\xBF" + path + "\n", path, ""},
      {path, path, ""},
      {"D:\\Trading\\\xD0\x90\xD0\xBB\xD1\x8C\xD0\xBF\xD0\xB0\xD1\x80\xD0\xB8 MT4",
       "D:\\Trading\\\xD0\x90\xD0\xBB\xD1\x8C\xD0\xBF\xD0\xB0\xD1\x80\xD0\xB8 MT4", ""},
      {"\\\\server\\share\\MT4", "\\\\server\\share\\MT4", ""},
      {"C:\\", "C:\\", ""},
      {"C:\\MT4 \\ ", "C:\\MT4", ""},
      {"", "", "empty"},
      {"\xFF\xFE", "", "empty"},
      {"  \r\n", "", "empty"},
      {"\xFF\xFE" + std::string("\x00\xD8X\0", 4), "", "broken UTF-16"},  // lone surrogate
      {"\xFF\xFE" + std::string("C\0:", 3), "", "broken UTF-16"},         // odd last byte
      {"C:\\Program Files\\\xE9t\xE9", "", "neither UTF-16 nor UTF-8"},
      {"Program Files\\MT4", "", "holds no absolute Windows path: \"Program Files\\MT4\""},
      {"C:\\One\r\nC:\\Two", "", "holds more than one line"},
      {std::string(kMaxOriginBytes + 1, 'a'), "", "too large for an origin.txt"},
  };
  for (const auto& c : cases) {
    const OriginText o = read_origin_text(c.bytes);
    EXPECT_EQ(o.path, c.path) << c.bytes;
    EXPECT_EQ(o.problem.substr(0, c.problem.size()), c.problem) << c.bytes;
    EXPECT_EQ(o.problem.empty(), !c.path.empty()) << c.bytes;
  }
}

TEST(TerminalFiles, DigestsAndDataFolderIds) {
  // RFC 1321's test suite, with inputs across the one- and two-block padding.
  const std::pair<std::string, std::string> cases[] = {
      {"", "D41D8CD98F00B204E9800998ECF8427E"},
      {"abc", "900150983CD24FB0D6963F7D28E17F72"},
      {"message digest", "F96B697D7CB7938D525A2F31AAF161D0"},
      {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
       "D174AB98D277D9F5A5611C2C9F419D9F"},
      {std::string(80, '1').replace(0, 80,
                                    "12345678901234567890123456789012345678901234567890"
                                    "123456789012345678901234567890"),
       "57EDF4A22BE3C955AC49DA2E2107B67A"},
  };
  for (const auto& [in, digest] : cases) EXPECT_EQ(md5_hex(in), digest) << in;
  // The ID is the digest of the path in upper case, in UTF-16LE: any spelling of it matches.
  const std::string id = data_folder_id("c:\\program files\\\xD0\xB0\xD0\xBB\xD1\x8C\xD0\xBF MT4");
  EXPECT_EQ(id,
            md5_hex(utf16le_from_utf8("C:\\PROGRAM FILES\\\xD0\x90\xD0\x9B\xD0\xAC\xD0\x9F MT4")));
  EXPECT_EQ(id, data_folder_id("C:\\Program Files\\\xD0\x90\xD0\xBB\xD1\x8C\xD0\xBF mt4"));
  EXPECT_TRUE(is_data_folder_id(id));
  EXPECT_TRUE(is_data_folder_id("0123456789abcdef0123456789ABCDEF"));
  for (const char* name : {"Common", "Community", "0123456789ABCDEF0123456789ABCDE",
                           "0123456789ABCDEF0123456789ABCDEG"})
    EXPECT_FALSE(is_data_folder_id(name)) << name;
}

TEST(TerminalFiles, HistoryNamesSplitIntoSymbolsAndTimeframes) {
  const HistoryNames n = split_history_names(
      {"EURUSD1.hst", "EURUSD15.hst", "EURUSD1440.HST", "EURUSD43200.hst", "US301.hst",
       "US3060.hst", "US3015.hst", "GER401440.hst", "X11.hst", "X15.hst", "X130.hst", "EURUSD2.hst",
       "EURUSD.hst", "notes.hst", "0.hst", "symbols.raw", ".hst"});
  const std::vector<SymbolHistory> want = {{"EURUSD", {1, 2, 15, 1440, 43200}},
                                           {"GER40", {1440}},
                                           {"US30", {1, 15, 60}},
                                           {"X1", {1, 5, 30}}};  // X15 is X1's M5: X1 is shared
  EXPECT_EQ(n.symbols, want);
  EXPECT_EQ(n.not_history, (std::vector<std::string>{"EURUSD.hst", "notes.hst", "0.hst"}));
  ASSERT_EQ(n.files.size(), 12u);
  EXPECT_EQ(n.files[6].symbol, "US30");
  EXPECT_EQ(n.files[6].minutes, 15);
  EXPECT_EQ(timeframe_name(43200), "MN1");
  EXPECT_EQ(timeframe_name(2), "M2");
}

TEST(Terminals, ServerOffsetFromTheNewestBar) {
  const std::int64_t at = kNow - 6 * 60;  // written six minutes ago
  const struct {
    std::int64_t bar_time;
    int minutes;
    std::int64_t written;
    std::optional<int> hours;
  } cases[] = {
      {at + 2 * 3600 - 40, 1, at, 2},        // the forming M1 bar, 40 seconds old
      {at + 2 * 3600 - 14 * 60, 15, at, 2},  // an M15 bar 14 minutes in
      {at - 5 * 3600 - 4 * 60, 5, at, -5},   // New York's winter
      {at + 14 * 3600, 1, at, 14},
      {at + 3 * 3600 - 30 * 60, 1, at, std::nullopt},       // a file written half an hour late
      {at + 5 * 3600 + 1800, 1, at, std::nullopt},          // a half-hour zone
      {at + 2 * 3600 - 40, 60, at, std::nullopt},           // H1 bars date nothing to the hour
      {at - 40 * 3600, 1, at, std::nullopt},                // over a weekend
      {at + 2 * 3600, 1, kNow - 15 * 86400, std::nullopt},  // not written recently
      {at + 2 * 3600, 1, kNow + 3600, std::nullopt},        // written in the future
  };
  for (const auto& c : cases) {
    const auto off = server_offset(c.bar_time, c.minutes, c.written, kNow);
    ASSERT_EQ(off.has_value(), c.hours.has_value()) << c.bar_time - c.written;
    if (off) {
      EXPECT_EQ(off->hours, *c.hours);
    }
  }
  ServerOffset o{2, at, "", ""};
  EXPECT_EQ(o.text(), "server time looks like UTC+2 on 2026-12-04");
  o.hours = -5;
  EXPECT_EQ(o.text(), "server time looks like UTC-5 on 2026-12-04");
  o.hours = 0;
  EXPECT_EQ(o.text(), "server time looks like UTC on 2026-12-04");
}

// A machine with three prefixes: ~/.wine (new Wine) with two MT4 installations, an MT5 and a
// portable MT4, among them data folders that are wrong in each way; an old Wine prefix with a
// terminal that was uninstalled; a Bottles bottle; and a prefix that is a link to itself.
struct Machine {
  test::TempDir home;
  WinePrefix wine{home / ".wine"};
  WinePrefix old{home.path() / ".local/share/wineprefixes/old", "olduser", true};
  WinePrefix bottle{home.path() / ".local/share/bottles/bottles/Trading"};
  HostEnvironment env;

  Machine() {
    env.host = HostKind::Linux;
    env.home = home.path().string();
    wine.make();
    old.make();
    bottle.make();
    fs::create_directory_symlink("loop", home.path() / ".local/share/wineprefixes/loop");
  }
  TerminalSearch find() const { return find_terminals(env, kNow); }
};

const Terminal* named(const TerminalSearch& s, const std::string& name) {
  for (const Terminal& t : s.terminals)
    if (t.name == name) return &t;
  return nullptr;
}

TEST(Terminals, FoundInEveryPrefixWithTheirFolders) {
  Machine m;
  const std::string broker = "C:\\Program Files (x86)\\Broker MT4";
  const fs::path broker_here = m.wine.installation("Program Files (x86)/Broker MT4");
  const fs::path broker_data = m.wine.data_folder(broker, test::utf16_origin(broker));
  test::write_file(broker_data / "MQL4/Files/news.csv", "x");
  test::set_written(broker_data / "MQL4/Files/news.csv", kNow - 3 * 3600);
  const fs::path live = broker_data / "history/Broker-Live";
  test::write_hst(live / "EURUSD1.hst", kNow + 2 * 3600 - 50, kNow - 20);  // UTC+2, live
  test::write_hst(live / "EURUSD60.hst", kNow + 2 * 3600 - 3600, kNow - 10, 401, 60);
  test::write_hst(live / "GBPUSD1.hst", kNow + 2 * 3600 - 3600, kNow - 3600, 400);
  test::write_file(live / "symbols.raw", "");
  test::write_hst(broker_data / "history/Broker-Demo/USDJPY5.hst", kNow - 9 * 86400,
                  kNow - 8 * 86400);

  // The second of ~/.wine: origin.txt in UTF-8, the program in Program Files, found there with
  // its folder's name in other letters.
  m.wine.installation("Program Files/Other MT4");
  m.wine.data_folder("C:\\PROGRAM FILES\\other mt4", "C:\\PROGRAM FILES\\other mt4\r\n");
  m.wine.data_folder("C:\\Program Files\\MetaTrader 5",
                     test::utf16_origin("C:\\Program Files\\MetaTrader 5"), "MQL5");
  const fs::path portable = m.wine.installation("Program Files/Portable MT4");
  fs::create_directories(portable / "MQL4/Files");
  // Matched through the ID alone: its origin.txt is gone.
  const fs::path by_id = m.wine.installation("Program Files/Lost Origin MT4");
  m.wine.data_folder("C:\\Program Files\\Lost Origin MT4", "");
  m.wine.installation("Program Files/Never Started MT4");
  const fs::path legacy = m.wine.installation("Program Files/Old Broker");
  fs::create_directories(legacy / "experts/files");
  m.wine.installation("Nowhere/Half");  // too deep below C:\ to be found as an installation
  const fs::path no_mql = m.wine.data_folder("C:\\Nowhere\\Half", "C:\\Nowhere\\Half", "");
  const fs::path garbled = m.wine.data_folder("C:\\G", "\x80\x81\xFE garbage");
  fs::create_directories(m.wine.terminals() / "Common" / "Files");

  m.old.data_folder("C:\\Program Files\\Gone MT4",
                    "\xEF\xBB\xBF"
                    "C:\\Program Files\\Gone MT4");
  m.bottle.installation("Program Files/Bottled MT4");
  m.bottle.data_folder("C:\\Program Files\\Bottled MT4",
                       test::utf16_origin("C:\\Program Files\\Bottled MT4"));

  const TerminalSearch s = m.find();
  // By prefix (the bottle, the old prefix, ~/.wine), then by name; the data folder whose
  // origin.txt cannot be read goes by its ID.
  const std::string garbled_id = garbled.filename().string();
  std::vector<std::string> names;
  for (const Terminal& t : s.terminals)
    if (t.name != garbled_id) names.push_back(t.name);
  EXPECT_EQ(names, (std::vector<std::string>{"Bottled MT4", "Gone MT4", "Broker MT4", "Half",
                                             "Lost Origin MT4", "MetaTrader 5", "Never Started MT4",
                                             "Old Broker", "Other MT4", "Portable MT4"}));
  EXPECT_EQ(s.terminals.size(), names.size() + 1);

  const Terminal* b = named(s, "Broker MT4");
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->kind, TerminalKind::Mt4);
  EXPECT_EQ(b->installation, broker);
  EXPECT_EQ(b->installation_here, broker_here);
  EXPECT_EQ(b->data_folder, broker_data);
  EXPECT_EQ(b->files_folder, broker_data / "MQL4/Files");
  ASSERT_TRUE(b->news.has_value());
  EXPECT_EQ(b->news_csv(), broker_data / "MQL4/Files/news.csv");  // the one there, as spelt
  EXPECT_EQ(b->news->written, kNow - 3 * 3600);
  ASSERT_EQ(b->history.size(), 2u);
  EXPECT_EQ(b->history[0].name, "Broker-Demo");
  EXPECT_FALSE(b->history[0].offset) << "written eight days after its last bar";
  const HistoryServer& h = b->history[1];
  EXPECT_EQ(h.symbols, (std::vector<SymbolHistory>{{"EURUSD", {1, 60}}, {"GBPUSD", {1}}}));
  ASSERT_TRUE(h.newest.has_value());
  EXPECT_EQ(h.newest->file, "EURUSD1.hst") << "the newest M1 file, before a newer H1 one";
  EXPECT_EQ(h.newest->bar_time, kNow + 2 * 3600 - 50);
  ASSERT_TRUE(b->offset().has_value());
  EXPECT_EQ(b->offset()->text(), "server time looks like UTC+2 on 2026-12-04");
  EXPECT_TRUE(b->problems.empty()) << b->problems.front();

  const struct {
    std::string name;
    TerminalKind kind;
    bool portable, before_600;
    std::string files;    // below the data folder; empty: none
    std::string problem;  // the start of the one problem; empty: none
  } cases[] = {
      {"Other MT4", TerminalKind::Mt4, false, false, "MQL4/Files", ""},
      {"MetaTrader 5", TerminalKind::Mt5, false, false, "MQL5/Files",
       "the installation folder C:\\Program Files\\MetaTrader 5 is not there"},
      {"Portable MT4", TerminalKind::Mt4, true, false, "MQL4/Files", ""},
      {"Lost Origin MT4", TerminalKind::Mt4, false, false, "MQL4/Files", "no origin.txt"},
      {"Never Started MT4", TerminalKind::Mt4, false, false, "", "no data folder found"},
      {"Old Broker", TerminalKind::Mt4, false, true, "experts/files", ""},
      {"Half", TerminalKind::Unknown, false, false, "", "no MQL4 folder"},
      {garbled_id, TerminalKind::Mt4, false, false, "MQL4/Files",
       "origin.txt: neither UTF-16 nor UTF-8 text"},
      {"Gone MT4", TerminalKind::Mt4, false, false, "MQL4/Files",
       "the installation folder C:\\Program Files\\Gone MT4 is not there"},
      {"Bottled MT4", TerminalKind::Mt4, false, false, "MQL4/Files", ""},
  };
  for (const auto& c : cases) {
    const Terminal* t = named(s, c.name);
    ASSERT_NE(t, nullptr) << c.name;
    EXPECT_EQ(t->kind, c.kind) << c.name;
    EXPECT_EQ(t->portable, c.portable) << c.name;
    EXPECT_EQ(t->before_600, c.before_600) << c.name;
    EXPECT_EQ(t->usable(), c.kind == TerminalKind::Mt4) << c.name;
    EXPECT_EQ(t->files_folder.empty(), c.files.empty()) << c.name;
    if (!c.files.empty()) {
      EXPECT_EQ(t->files_folder, t->data_folder / c.files) << c.name;
    }
    if (c.problem.empty()) {
      EXPECT_TRUE(t->problems.empty()) << c.name << ": " << t->problems.front();
    } else {
      ASSERT_EQ(t->problems.size(), 1u) << c.name;
      EXPECT_EQ(t->problems[0].substr(0, c.problem.size()), c.problem) << c.name;
    }
  }
  EXPECT_EQ(named(s, "Lost Origin MT4")->installation_here, by_id);
  EXPECT_EQ(named(s, "Other MT4")->installation, "C:\\PROGRAM FILES\\other mt4");
  EXPECT_EQ(named(s, "Other MT4")->installation_here, m.wine.drive_c() / "Program Files/Other MT4");
  EXPECT_EQ(named(s, "Portable MT4")->data_folder, portable);
  EXPECT_TRUE(named(s, "Portable MT4")->id.empty());
  EXPECT_EQ(named(s, "Half")->data_folder, no_mql);
  EXPECT_EQ(named(s, "Bottled MT4")->prefix, m.bottle.root);
  EXPECT_EQ(named(s, "Gone MT4")->data_folder.parent_path(), m.old.terminals());

  // Where it looked, and the loop of links noted there.
  const auto note = [&](const fs::path& p) {
    for (const PlaceNote& n : s.looked_in)
      if (n.path == p) return n.note;
    return std::string("(not looked at)");
  };
  EXPECT_EQ(note("$WINEPREFIX"), "not set");
  EXPECT_EQ(note(m.wine.root), "a Wine prefix");
  EXPECT_EQ(note(m.old.root.parent_path() / "loop"), "a loop of symbolic links");
  EXPECT_EQ(note(m.old.root.parent_path()), "1 Wine prefix");
  EXPECT_EQ(note(m.home / ".PlayOnLinux/wineprefix"), "not there");
  EXPECT_EQ(note(m.wine.terminals()), "6 data folders");

  // The News.CSV typed in is a terminal's when its folder is that terminal's files folder, by
  // whatever link it is reached.
  fs::create_directory_symlink(broker_data, m.home / "broker");
  EXPECT_EQ(terminal_of_news(s, m.home / "broker/MQL4/Files/News.CSV"), b);
  EXPECT_EQ(terminal_of_news(s, broker_data / "MQL4/Files/News.CSV"), b);
  EXPECT_EQ(terminal_of_news(s, broker_data / "News.CSV"), nullptr);
  EXPECT_EQ(terminal_of_news(s, named(s, "MetaTrader 5")->files_folder / "News.CSV"), nullptr);
}

TEST(Terminals, BrokenHistoryFilesAreProblems) {
  Machine m;
  m.env.wineprefix = m.wine.root.string();  // the same prefix twice: found once
  const std::string path = "C:\\Program Files\\Broker MT4";
  m.wine.installation("Program Files/Broker MT4");
  const fs::path d = m.wine.data_folder(path, test::utf16_origin(path));
  const fs::path server = d / "history/Broker-Live";
  // The newest M1 file is foreign, the next one cut short: the third gives the newest bar.
  fs::create_directories(server);
  test::write_file(server / "EURUSD1.hst", std::string(200, '\x07'));
  test::set_written(server / "EURUSD1.hst", kNow - 10);
  test::write_file(server / "GBPUSD1.hst", std::string(100, '\0'));
  test::write_hst(server / "AUDUSD1.hst", kNow - 3600, kNow - 100, 400);
  test::write_file(server / "notes.hst", "");

  const TerminalSearch s = m.find();
  ASSERT_EQ(s.terminals.size(), 1u);
  const Terminal& t = s.terminals[0];
  ASSERT_EQ(t.history.size(), 1u);
  ASSERT_TRUE(t.history[0].newest.has_value());
  EXPECT_EQ(t.history[0].newest->file, "AUDUSD1.hst");
  EXPECT_EQ(t.offset()->hours, -1);
  EXPECT_EQ(t.problems,
            (std::vector<std::string>{
                "history\\Broker-Live\\notes.hst: not named SYMBOL<minutes>.hst",
                "history\\Broker-Live\\GBPUSD1.hst: shorter than a history file's header (100 "
                "bytes)",
                "history\\Broker-Live\\EURUSD1.hst: not an MT4 history file (version 117901063)"}));
  const auto count = std::count_if(s.looked_in.begin(), s.looked_in.end(), [&](const PlaceNote& n) {
    return n.note == "a Wine prefix, the same as one above";
  });
  EXPECT_EQ(count, 1);
}

TEST(Terminals, AFolderWithoutPermissionIsAProblem) {
  Machine m;
  const std::string path = "C:\\Program Files\\Broker MT4";
  m.wine.installation("Program Files/Broker MT4");
  const fs::path server = m.wine.data_folder(path, test::utf16_origin(path)) / "history/Live";
  test::write_hst(server / "EURUSD1.hst", kNow, kNow);
  fs::permissions(server, fs::perms::none);
  const auto problems = [&] {
    const TerminalSearch s = m.find();
    return s.terminals.size() == 1 ? s.terminals[0].problems : std::vector<std::string>{"?"};
  };
  const std::vector<std::string> want = {"history\\Live: no permission to read it"};
  if (::geteuid() != 0) {
    EXPECT_EQ(problems(), want);
  } else {
    // The superuser reads every folder: the search runs as nobody in a child.
    fs::permissions(m.home.path(), fs::perms::owner_all | fs::perms::group_read |
                                       fs::perms::group_exec | fs::perms::others_read |
                                       fs::perms::others_exec);
    const pid_t child = ::fork();
    if (child == 0) {
      if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(3);
      const std::vector<std::string> got = problems();
      for (const std::string& p : got) std::fprintf(stderr, "problem: %s\n", p.c_str());
      ::_exit(got == want ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
  }
  fs::permissions(server, fs::perms::owner_all);
}

TEST(Terminals, WindowsItselfLooksInItsApplicationData) {
  // The same search above the machine's own Windows: %APPDATA% holds the data folders.
  test::TempDir appdata;
  const std::string path = "C:\\Program Files\\Broker MT4";
  const fs::path d = appdata.path() / "MetaQuotes/Terminal" / data_folder_id(path);
  fs::create_directories(d / "MQL4/Files");
  test::write_file(d / "origin.txt", test::utf16_origin(path));
  HostEnvironment env;
  env.host = HostKind::Windows;
  env.appdata = appdata.path().string();
  const TerminalSearch s = find_terminals(env, kNow);
  ASSERT_EQ(s.terminals.size(), 1u);
  EXPECT_EQ(s.terminals[0].name, "Broker MT4");
  EXPECT_EQ(s.terminals[0].files_folder, d / "MQL4/Files");
  EXPECT_TRUE(s.terminals[0].prefix.empty());
  EXPECT_EQ(machine_program_files(env), fs::path("C:\\Program Files"));
}

TEST(WindowsPlaces, WindowsPathsMapOntoThePrefix) {
  test::TempDir home;
  const WinePrefix p = WinePrefix{home / ".wine"}.make();
  fs::create_directories(p.drive_c() / "Program Files/Broker MT4");
  fs::create_directories(home / "elsewhere/Trading");
  fs::create_directory_symlink(home / "elsewhere", p.root / "dosdevices/d:");
  HostEnvironment env;
  env.host = HostKind::Linux;
  env.home = home.path().string();
  const WindowsSystems found = find_windows_systems(env);
  ASSERT_EQ(found.systems.size(), 1u);
  const WindowsSystem& w = found.systems[0];
  EXPECT_EQ(w.app_data, (std::vector<fs::path>{p.app_data()}));
  EXPECT_EQ(w.program_files, (std::vector<fs::path>{p.drive_c() / "Program Files"}));
  const struct {
    std::string windows;
    std::optional<fs::path> local;
  } cases[] = {
      {"C:\\PROGRAM FILES\\broker mt4", p.drive_c() / "Program Files/Broker MT4"},
      {"c:/Program Files/New MT4/MQL4", p.drive_c() / "Program Files/New MT4/MQL4"},
      {"D:\\TRADING", p.root / "dosdevices/d:/Trading"},
      {"E:\\MT4", std::nullopt},
      {"\\\\server\\share", std::nullopt},
      {"Program Files\\MT4", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(w.local_path(c.windows), c.local) << c.windows;
  EXPECT_EQ(w.windows_path(p.drive_c() / "Program Files (x86)" / "Broker MT4"),
            "C:\\Program Files (x86)\\Broker MT4");
  EXPECT_EQ(w.windows_path(p.drive_c()), "C:\\");
  EXPECT_EQ(w.windows_path(home / "elsewhere"), std::nullopt);
  EXPECT_EQ(machine_program_files(env), home / ".wine/drive_c/Program Files");
}

}  // namespace
}  // namespace mervane
