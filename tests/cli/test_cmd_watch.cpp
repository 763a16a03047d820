// mervane-cli watch as a process: killed with SIGKILL in the middle of its work and started
// again, ended by SIGTERM, a second watch on the same folder, a command that hangs; and the live
// week's settings and guard file from the command line.
#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <set>
#include <sstream>
#include <thread>

#include "cli/app.h"
#include "core/live/live_settings.h"
#include "tests/live/live_week.h"
#include "tests/support/local_zone.h"
#include "tests/support/paths.h"
#include "tests/support/processes.h"

namespace mervane {
namespace {

using test::Release;
using test::utc;

struct Outcome {
  int code;
  std::string out, err;
};

Outcome cli(const std::filesystem::path& dir, std::vector<std::string> args) {
  args.insert(args.begin(), {"--dir", dir.string(), "--today", "03/08/2026"});
  std::ostringstream out, err;
  const int code = cli::run(args, out, err);
  return {code, out.str(), err.str()};
}

TEST(WatchCommand, LiveSettingsAndTheGuardFileOfABuild) {
  test::TempDir dir;
  test::live_folder(dir.path(), "http://127.0.0.1:1");
  EXPECT_EQ(cli(dir.path(), {"settings", "set", "ALERTIMPACT=l", "guardfile=guard.csv",
                             "GUARDBEFORE=15", "ALERTCURRENCIES=aud"})
                .code,
            0);
  const Outcome refused = cli(dir.path(), {"settings", "set", "GUARDAFTER=2000", "ALERTMINUTES=1"});
  EXPECT_EQ(refused.code, 2);
  EXPECT_NE(refused.err.find("GUARDAFTER: Invalid Value: 2000 (GUARDAFTER is a number of minutes "
                             "from 0 to 1440)"),
            std::string::npos)
      << refused.err;
  const std::string shown = cli(dir.path(), {"settings", "show"}).out;
  EXPECT_NE(shown.find("ALERTMINUTES=5\nALERTIMPACT=L\nALERTCURRENCIES=AUD\nGUARDFILE=guard.csv\n"
                       "GUARDBEFORE=15\nGUARDAFTER=30\nKEEPCURRENT=0\n"),
            std::string::npos)
      << shown;

  // A build writes the guard file beside News.CSV from the same events.
  test::write_file(
      dir / "week.htm",
      test::week_page(
          {{10, 9, 0, "AUD", "Low Impact Expected", "Building Approvals", "1%", "2%", ""},
           {10, 9, 0, "AUD", "High Impact Expected", "Cash Rate", "4.35%", "4.35%", ""},
           {10, 9, 0, "USD", "High Impact Expected", "Speech", "1", "1", ""}},
          0));
  const Outcome built = cli(dir.path(), {"build", "--page", (dir / "week.htm").string()});
  ASSERT_EQ(built.code, 0) << built.err;
  EXPECT_EQ(test::read_file(dir / "guard.csv"),
            "2026.03.10 11:45;2026.03.10 12:30;AUD;H;Building Approvals + Cash Rate\r\n");
}

// A folder the watch keeps current from a server that has a new version of the week at every
// request, and what each version makes of the files.
struct KilledWatch : ::testing::Test {
  test::TempDir dir;
  std::vector<std::string> versions;
  std::atomic<int> served{0};
  test::HttpServer server{[this](const test::HttpRequest&) {
    return test::HttpResponse(200, versions[served++ % versions.size()]);
  }};

  void SetUp() override {
    for (int v = 0; v < 4; ++v) {
      std::vector<Release> week = {
          {8, 5, 0, "USD", "High Impact Expected", "Statement", "1.50%", "1.50%", ""},
          {9, 13, 30, "USD", "High Impact Expected", "Retail Sales m/m", "0.3%", "0.2%", ""},
          {10, 9, v, "EUR", "High Impact Expected", "ZEW", "-1.0", "-2.3", ""}};
      week[1].forecast = v % 2 ? "0.4%" : "0.3%";
      versions.push_back(test::week_page(week, 0));
    }
    test::live_folder(dir.path(), server.base());
    ASSERT_TRUE(save_live_setting(dir.path(), "GUARDFILE", "guard.csv").is_ok());
  }

  std::string history() { return cli(dir.path(), {"list", "calendar"}).out; }
};

TEST_F(KilledWatch, EachFileIsOldOrNewAfterSigkillAndWatchingGoesOn) {
  // What each version makes: the files of a Build run of that page alone.
  std::set<std::string> news{""}, guards{""}, histories;
  for (const std::string& v : versions) {
    test::TempDir ref;
    test::live_folder(ref.path(), "http://127.0.0.1:1");
    ASSERT_TRUE(save_live_setting(ref.path(), "GUARDFILE", "guard.csv").is_ok());
    test::write_file(ref / "week.htm", v);
    ASSERT_EQ(cli(ref.path(),
                  {"build", "--set", "DATE1=03/08/2026", "--page", (ref / "week.htm").string()})
                  .code,
              0);
    news.insert(test::read_file(ref / "News.CSV"));
    guards.insert(test::read_file(ref / "guard.csv"));
    histories.insert(cli(ref.path(), {"list", "calendar"}).out);
  }
  ASSERT_EQ(news.size(), 5u);
  histories.insert(history());  // the empty history before the first cycle

  const std::vector<std::string> args = {
      "--dir", dir.path().string(), "--today", "03/08/2026", "--now",           "00:30",
      "watch", "--every",           "5",       "--until",    "12/31/2026 00:00"};
  const std::vector<std::pair<std::string, std::string>> env = {{"TZ", "Europe/Berlin"}};
  std::mt19937 random(20);
  for (int round = 0; round < 6; ++round) {
    const int served_before = served.load();
    const pid_t child = test::spawn(test::cli_path(), args, env, dir / "out", dir / "err");
    // Killed somewhere in the cycles after its first request, however slowly a loaded machine
    // starts it.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (served.load() == served_before && std::chrono::steady_clock::now() < deadline)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::this_thread::sleep_for(std::chrono::milliseconds(random() % 1200));
    ::kill(child, SIGKILL);
    EXPECT_EQ(test::wait_for(child), 128 + SIGKILL);
    EXPECT_TRUE(news.count(test::read_file(dir / "News.CSV"))) << "round " << round;
    EXPECT_TRUE(guards.count(test::read_file(dir / "guard.csv"))) << "round " << round;
    EXPECT_TRUE(histories.count(history())) << "round " << round << ": " << history();
  }
  EXPECT_GT(served.load(), 6);

  // Started again, it goes on; SIGTERM ends it between two runs, with exit code 0.
  const int before = served.load();
  const pid_t child = test::spawn(test::cli_path(), args, env, dir / "out", dir / "err");
  while (served.load() < before + 3) std::this_thread::sleep_for(std::chrono::milliseconds(20));
  // A second watch of the same folder is refused while this one runs.
  const Outcome second = cli(dir.path(), {"watch", "--until", "03/09/2026 00:00"});
  EXPECT_EQ(second.code, 1);
  EXPECT_NE(second.err.find("Another watch keeps this folder current already"), std::string::npos)
      << second.err;
  ::kill(child, SIGTERM);
  EXPECT_EQ(test::wait_for(child), 0) << test::read_file(dir / "err");
  EXPECT_TRUE(news.count(test::read_file(dir / "News.CSV")));
  EXPECT_TRUE(guards.count(test::read_file(dir / "guard.csv")));
  EXPECT_TRUE(histories.count(history()));
  for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
    EXPECT_EQ(entry.path().filename().string().find(".tmp-"), std::string::npos)
        << entry.path() << " left behind";
}

// On the real clock: an event four minutes from now is alerted at the first run; the command it
// runs hangs and is killed after 10 seconds; SIGTERM then ends the watch.
TEST(WatchCommand, AHangingCommandIsKilledAfterTenSeconds) {
  test::TempDir dir;
  test::HttpServer server([](const test::HttpRequest&) {
    const std::int64_t now = std::chrono::duration_cast<std::chrono::seconds>(
                                 std::chrono::system_clock::now().time_since_epoch())
                                 .count();
    const std::int32_t sunday = sunday_on_or_before(from_unix_seconds(now).date);
    // Four minutes from now, or the week's last minute when that is sooner.
    const DateTime at = from_unix_seconds(std::min(now + 240, unix_seconds(sunday + 7) - 60));
    const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                   "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    test::RowSpec row;
    row.time = test::time_cell(at.time / 360000, at.time / 6000 % 60);
    row.descr = "Soon";
    row.forecast = "1";
    // The page reader counts days by their markers: every day from the Sunday on has one.
    static const char* const kDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
    const auto day_cell = [&](std::int32_t date) {
      const Ymd d = ymd_of(date);
      return std::string(kMonths[d.month - 1]) + " " + std::to_string(d.day);
    };
    std::string page;
    for (std::int32_t day = sunday; day < at.date; ++day) {
      test::RowSpec past = row;
      past.descr = "Earlier";
      past.time = "12:00am";
      page += test::first_row(kDays[day - sunday], day_cell(day), past) + "\n";
    }
    page += test::first_row(kDays[at.date - sunday], day_cell(at.date), row);
    return test::HttpResponse(200, page + "\n</table>\n");
  });
  test::live_folder(dir.path(), server.base());
  ASSERT_EQ(cli(dir.path(), {"settings", "set", "FROMDATE=01/01/2000", "THRUDATE=12/31/2099",
                             "CALENDARZONE=UTC", "MT4ZONE=UTC", "LOCALZONE="})
                .code,
            0);
  const auto start = std::chrono::steady_clock::now();
  const pid_t child = test::spawn(test::cli_path(),
                                  {"--dir", dir.path().string(), "watch", "--on-alert", "sleep 60"},
                                  {{"TZ", "UTC"}}, dir / "out", dir / "err");
  std::string err;
  while (std::chrono::steady_clock::now() - start < std::chrono::seconds(30)) {
    err = test::read_file(dir / "err");
    if (err.find("killed after") != std::string::npos) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  const double took =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  ::kill(child, SIGTERM);
  EXPECT_EQ(test::wait_for(child), 0);
  EXPECT_NE(err.find("killed after 10 seconds without ending"), std::string::npos) << err;
  EXPECT_GE(took, 10.0);
  EXPECT_NE(test::read_file(dir / "out").find(" USD H Soon (F: 1)"), std::string::npos)
      << test::read_file(dir / "out");
}

}  // namespace
}  // namespace mervane
