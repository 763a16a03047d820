// terminals [--json]: what the command shows of the terminals in a HOME of the test's own.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

#include "cli/app.h"
#include "core/runtime/clock.h"
#include "core/runtime/time_zones.h"
#include "tests/support/wine_tree.h"

namespace mervane {
namespace {

namespace fs = std::filesystem;

// HOME set to a folder of the test's, WINEPREFIX unset, for the life of the object.
class TestHome {
 public:
  TestHome() {
    for (const char* name : {"HOME", "WINEPREFIX"}) {
      const char* v = std::getenv(name);
      saved_.emplace_back(name, v ? std::optional<std::string>(v) : std::nullopt);
    }
    ::setenv("HOME", dir_.path().c_str(), 1);
    ::unsetenv("WINEPREFIX");
  }
  ~TestHome() {
    for (const auto& [name, value] : saved_) {
      if (value)
        ::setenv(name.c_str(), value->c_str(), 1);
      else
        ::unsetenv(name.c_str());
    }
  }
  const fs::path& path() const { return dir_.path(); }

 private:
  test::TempDir dir_;
  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

// The moment --today and --now stand for.
std::int64_t now() {
  return unix_now(FixedClock(*date_serial(2026, 12, 4), 10 * 360000 + 20 * 6000 + 1));
}

std::string replaced(std::string s, const std::string& from, const std::string& to) {
  for (std::size_t at = s.find(from); at != std::string::npos; at = s.find(from, at + to.size()))
    s.replace(at, from.size(), to);
  return s;
}

// What the command prints, with the test's HOME shown as "~".
std::string listing(const TestHome& home, std::vector<std::string> args) {
  test::TempDir work;
  args.insert(args.begin(),
              {"--dir", work.path().string(), "--today", "12/04/2026", "--now", "10:20"});
  std::ostringstream out, err;
  EXPECT_EQ(cli::run(args, out, err), 0) << err.str();
  return replaced(out.str(), home.path().string(), "~");
}

TEST(TerminalsCommand, ListsATerminalAsTextAndAsJson) {
  TestHome home;
  const test::WinePrefix wine{home.path() / ".wine"};
  wine.make();
  const std::string broker = "C:\\Program Files\\Broker MT4";
  wine.installation("Program Files/Broker MT4");
  const fs::path d = wine.data_folder(broker, test::utf16_origin(broker));
  test::write_file(d / "MQL4/Files/News.CSV", "x");
  test::set_written(d / "MQL4/Files/News.CSV", now() - 3 * 3600 - 120);
  const fs::path live = d / "history/Broker-Live";
  const std::int64_t bar = now() + 2 * 3600 - 80;
  test::write_hst(live / "EURUSD1.hst", bar, now() - 30);
  test::write_hst(live / "EURUSD60.hst", bar - 3600, now() - 60, 401, 60);
  test::write_hst(live / "GBPUSD1.hst", bar, now() - 90);
  test::write_hst(live / "USDJPY1.hst", bar, now() - 90);
  test::write_file(live / "x.hst", "");

  const std::string id = d.filename().string();
  const std::string bar_text = iso_date_time(bar).substr(0, 16);
  const std::string written = iso_date_time(now() - 30).substr(0, 16);
  const std::string day = iso_date_time(now() - 30).substr(0, 10);
  EXPECT_EQ(listing(home, {"terminals"}),
            "Broker MT4  (MT4)\n"
            "  Wine prefix      ~/.wine\n"
            "  installation     C:\\Program Files\\Broker MT4\n"
            "  on this machine  ~/.wine/drive_c/Program Files/Broker MT4\n"
            "  data folder      ~/.wine/drive_c/users/trader/AppData/Roaming/MetaQuotes/Terminal/" +
                id +
                "\n"
                "  MQL4\\Files       ~/.wine/drive_c/users/trader/AppData/Roaming/MetaQuotes/"
                "Terminal/" +
                id +
                "/MQL4/Files\n"
                "  News.CSV         written " +
                iso_date_time(now() - 3 * 3600 - 120).substr(0, 16) +
                " UTC, 3 hours ago\n"
                "  history\n"
                "    Broker-Live\n"
                "      M1 H1: EURUSD\n"
                "      M1: GBPUSD, USDJPY\n"
                "      newest bar " +
                bar_text + " server time (EURUSD1.hst, written " + written +
                " UTC)\n"
                "      server time looks like UTC+2 on " +
                day +
                "\n"
                "  problems\n"
                "    history\\Broker-Live\\x.hst: not named SYMBOL<minutes>.hst\n\n");

  const std::string json = listing(home, {"terminals", "--json"});
  const std::string data = "~/.wine/drive_c/users/trader/AppData/Roaming/MetaQuotes/Terminal/" + id;
  // The offset object, its keys `indent` blanks in.
  const auto offset = [&](int indent) {
    const std::string in(static_cast<std::size_t>(indent), ' '), key = "\n" + in + "  ";
    return "\"offset\": {" + key + "\"hours\": 2," + key + "\"date\": \"" + day + "\"," + key +
           "\"server\": \"Broker-Live\"," + key + "\"file\": \"EURUSD1.hst\"," + key +
           "\"text\": \"server time looks like UTC+2 on " + day + "\"\n" + in + "}";
  };
  EXPECT_EQ(json.substr(0, json.find("\"history\"")),
            "{\n"
            "  \"terminals\": [\n"
            "    {\n"
            "      \"name\": \"Broker MT4\",\n"
            "      \"kind\": \"MT4\",\n"
            "      \"usable\": true,\n"
            "      \"portable\": false,\n"
            "      \"before_build_600\": false,\n"
            "      \"wine_prefix\": \"~/.wine\",\n"
            "      \"installation\": \"C:\\\\Program Files\\\\Broker MT4\",\n"
            "      \"installation_here\": \"~/.wine/drive_c/Program Files/Broker MT4\",\n"
            "      \"data_folder\": \"" +
                data +
                "\",\n"
                "      \"id\": \"" +
                id +
                "\",\n"
                "      \"files_folder\": \"" +
                data +
                "/MQL4/Files\",\n"
                "      \"news_csv\": \"" +
                data +
                "/MQL4/Files/News.CSV\",\n"
                "      \"news_csv_written\": \"" +
                replaced(iso_date_time(now() - 3 * 3600 - 120), " ", "T") +
                "Z\",\n"
                "      \"news_csv_age_seconds\": 10920,\n      ");
  for (const std::string& part :
       {std::string("\"symbols\": [\n            {\n              \"symbol\": \"EURUSD\",\n"
                    "              \"timeframes\": [\n                \"M1\",\n"
                    "                \"H1\"\n              ]\n            },"),
        std::string("\"newest_bar\": {\n            \"file\": \"EURUSD1.hst\",\n"
                    "            \"timeframe\": \"M1\",\n            \"bar_time\": \"") +
            replaced(iso_date_time(bar), " ", "T") + "\",",
        offset(10), offset(6),
        std::string(
            "\"problems\": [\n        \"history\\\\Broker-Live\\\\x.hst: not named "
            "SYMBOL<minutes>.hst\"\n      ]\n    }\n  ],\n  \"looked_in\": [\n"
            "    {\n      \"path\": \"$WINEPREFIX\",\n      \"note\": \"not set\"\n    },")})
    EXPECT_NE(json.find(part), std::string::npos) << part << "\nin\n" << json;
  const std::string end = "  \"problems\": []\n}\n";
  EXPECT_EQ(json.substr(json.size() - end.size()), end);
}

TEST(TerminalsCommand, NothingFoundSaysWhereItLooked) {
  TestHome home;
  fs::create_directories(home.path() / ".wine");  // a folder, but no prefix
  fs::create_directories(home.path() / ".cxoffice/notes");
  EXPECT_EQ(listing(home, {"terminals"}),
            "No MT4 or MT5 terminal found. Looked in:\n"
            "  $WINEPREFIX: not set\n"
            "  ~/.wine: no drive_c: not a Wine prefix\n"
            "  ~/.local/share/wineprefixes: not there\n"
            "  ~/.var/app/com.usebottles.bottles/data/bottles/bottles: not there\n"
            "  ~/.local/share/bottles/bottles: not there\n"
            "  ~/.PlayOnLinux/wineprefix: not there\n"
            "  ~/.cxoffice: 0 Wine prefixes\n");
  EXPECT_EQ(listing(home, {"terminals", "--json"}).substr(0, 37),
            "{\n  \"terminals\": [],\n  \"looked_in\": [");
}

}  // namespace
}  // namespace mervane
