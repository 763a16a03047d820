#include "core/runtime/download.h"

#include <gtest/gtest.h>

#include "core/import/acquisition.h"
#include "core/runtime/paths.h"
#include "core/runtime/text_file.h"
#include "core/util/dates.h"
#include "tests/import/page_support.h"
#include "tests/support/http_server.h"
#include "tests/support/processes.h"
#include "tests/support/scripted_reporter.h"
#include "tests/support/temp_dir.h"

namespace mervane {
namespace {

using namespace std::chrono_literals;
using test::HttpRequest;
using test::HttpResponse;

const std::string kPage = "<html>\r\n<span>Sun</span>Jan 7\r\n</html>\r\n";

HttpResponse route(const HttpRequest& req) {
  if (req.target == "/page") return {200, kPage};
  if (req.target == "/empty") return {200, ""};
  if (req.target == "/moved") return {302, "", "/page"};
  if (req.target == "/slow") return {200, kPage, "", 3000ms};
  return {404, "<html>gone</html>"};
}

TEST(Download, FetchesIntoTheTarget) {
  test::HttpServer server(route);
  test::TempDir dir;
  CurlDownloader d;
  for (const char* path : {"/page", "/moved"}) {
    std::filesystem::remove(dir / "truneout");
    const Status st = d.fetch(server.base() + path, dir / "truneout");
    EXPECT_TRUE(st.is_ok()) << path << ": " << st.message();
    EXPECT_EQ(test::read_file(dir / "truneout"), kPage) << path;
  }
  // A killed download's temporary goes with the next one.
  const std::string killed = "truneout.download-" + std::to_string(test::ended_process());
  test::write_file(dir / killed, "half a page");
  EXPECT_TRUE(d.fetch(server.base() + "/empty", dir / "truneout").is_ok());
  EXPECT_EQ(test::read_file(dir / "truneout"), "");
  for (const HttpRequest& req : server.requests())
    EXPECT_EQ(req.headers.at("user-agent").rfind("Mozilla/5.0 (", 0), 0u);
  EXPECT_EQ(file_names(dir.path()), std::vector<std::string>{"truneout"});
}

// Each failure names its cause, leaves the previous file whole and no temporary file behind.
TEST(Download, FailuresKeepThePreviousFile) {
  test::HttpServer server(route);
  const std::string refused = "http://127.0.0.1:" + std::to_string(test::HttpServer::closed_port());
  struct Case {
    std::string url;
    const char* says;
  } cases[] = {
      {server.base() + "/missing", "HTTP status 404"},
      {server.base() + "/slow", "timed out"},
      {refused + "/page", "onnect"},  // "Failed to connect ... Connection refused"
      {"ftp://127.0.0.1/page", "ftp"},
  };
  for (const Case& c : cases) {
    test::TempDir dir;
    test::write_file(dir / "truneout", "last week");
    CurlDownloader d(2000ms, 500ms);
    const auto t0 = std::chrono::steady_clock::now();
    const Status st = d.fetch(c.url, dir / "truneout");
    const auto took = std::chrono::steady_clock::now() - t0;
    EXPECT_EQ(st.code, kFileSystemError) << c.url;
    EXPECT_NE(st.message().find(c.says), std::string::npos) << c.url << ": " << st.message();
    EXPECT_LT(took, 2500ms) << c.url;
    EXPECT_EQ(test::read_file(dir / "truneout"), "last week") << c.url;
    EXPECT_EQ(file_names(dir.path()), std::vector<std::string>{"truneout"}) << c.url;
  }
}

// The download loop against the server: two weeks fetched by their week parameters and read
// into the history, the third week missing on the server.
TEST(Download, LoadWeeksFromServer) {
  const std::int32_t jan7 = *date_serial(2007, 1, 7);
  test::HttpServer server([&](const HttpRequest& req) -> HttpResponse {
    for (int w = 0; w < 2; ++w) {
      if (req.target != "/calendar.php?c=2&week=" + std::to_string(week_parameter(jan7 + 7 * w)))
        continue;
      test::RowSpec r;
      r.descr = "week " + std::to_string(w);
      return {200, test::first_row("Sun", "Jan " + std::to_string(7 + 7 * w), r) + "\n</table>\n"};
    }
    return {404, ""};
  });
  test::HistoryFolder run(jan7);
  NoProgress p;
  CurlDownloader d;
  {
    EventHistory history(run.calendar, run.reporter, p, run.count1, 0);
    const LoadRequest request{
        {.checkhist = 1, .checkwget = 1, .autodate = 0, .loadweeks = 3, .date1 = jan7},
        PageOptions{},
        server.base()};
    load_weeks(run.session, run.reporter, p, d, history, request, run.count1);
  }
  run.calendar.close();
  ASSERT_EQ(run.reporter.stops.size(), 1u);
  EXPECT_EQ(run.reporter.stops[0],
            "Get(" + week_url(server.base(), jan7 + 14) + ") - HTTP status 404");
  EXPECT_EQ(test::stored_descriptions(run.dir.path()),
            (std::vector<std::string>{"2007-01-07 week 0", "2007-01-14 week 1"}));
  EXPECT_EQ(server.requests().size(), 3u);
}

}  // namespace
}  // namespace mervane
