// The GUI thread while the Build window runs: the run reads 52 saved weekly pages of 150 events
// into an Event History of 1,000,000 events (the "dense" history of bench_history_merge), writes
// News.CSV for those weeks and the history's backup, all on the window's own thread. A timer on
// the GUI thread beats every 5 ms; the longest gap between two beats from the user's Enter to the
// window's close is the figure, and it must stay under 100 ms. For reference, the longest gap of
// the same timer with nothing running, measured just before, and how many different values the
// window's COUNT1 showed meanwhile (the counters count live).
//
// The run starts as a user starts it: the number of weeks typed into the window, then Enter. The
// pages are files in the folder, handed to the run by a downloader that serves each week's page
// from its file. Usage: bench_gui_stall [records] (default 1000000).
#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QSet>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>

#include "bench/gui_bench.h"
#include "bench/weekly_pages.h"
#include "core/import/acquisition.h"
#include "core/import/calendar_address.h"
#include "core/output/procfile.h"
#include "core/output/settings_file.h"
#include "core/runtime/clock.h"
#include "gui/frame/app_frame.h"
#include "gui/widgets/message_box.h"
#include "gui/widgets/qt_text.h"

namespace {

using namespace mervane;
using namespace mervane::bench;

constexpr qint64 kLimitMs = 100;

// Serves the saved page of the week a URL asks for.
class SavedPages final : public Downloader {
 public:
  explicit SavedPages(std::map<std::string, std::filesystem::path> pages)
      : pages_(std::move(pages)) {}
  Status fetch(const std::string& url, const std::filesystem::path& target) override {
    const auto it = pages_.find(url);
    if (it == pages_.end()) return Status(90, "HTTP status 404");
    std::error_code ec;
    std::filesystem::copy_file(it->second, target,
                               std::filesystem::copy_options::overwrite_existing, ec);
    return ec ? Status::from_errno(ec.value()) : Status();
  }

 private:
  std::map<std::string, std::filesystem::path> pages_;
};

}  // namespace

int main(int argc, char** argv) {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication app(argc, argv);
  const int n = argc > 1 ? std::atoi(argv[1]) : 1000000;

  QTemporaryDir dir;
  const std::filesystem::path folder = dir.path().toStdString();
  std::printf("building an Event History of %d events and %d weekly pages...\n", n, kPages);
  fill(folder, n, false);
  const int first_week = n / 137 / 7 - kPages;
  const std::int32_t first_page = kFirstDay + 7 * first_week;
  const std::string address = "https://calendar.example";
  std::map<std::string, std::filesystem::path> pages;
  std::filesystem::create_directories(folder / "pages");
  for (int w = 0; w < kPages; ++w) {
    const std::filesystem::path file = folder / "pages" / ("week" + std::to_string(w) + ".html");
    std::ofstream out(file, std::ios::binary);
    for (const std::string& l : page_lines(first_page + 7 * w, first_week + w, "0.6%"))
      out << l << "\r\n";
    pages[week_url(address, first_page + 7 * w)] = file;
  }

  // The settings: the history update on from the first page's week, downloads on, News.CSV of
  // those weeks, no export.
  const std::int32_t today = first_page + 7 * kPages + 2;
  SettingsRecord rec = built_in_defaults(today, folder);
  const std::pair<const char*, std::string> settings[] = {
      {"CHECKHIST", "1"},
      {"CHECKWGET", "1"},
      {"AUTODATE", "0"},
      {"DATE1", std::to_string(first_page)},
      {"OFFSET1", std::to_string(kOffset)},
      {"FROMDATE", std::to_string(first_page)},
      {"THRUDATE", std::to_string(first_page + 7 * kPages - 1)},
      {"OUTNAME", "News.CSV"},
      {"XOUT", "1"},
  };
  for (const auto& [name, value] : settings)
    if (set_setting(rec, name, value).failed()) {
      std::fprintf(stderr, "setting %s=%s refused\n", name, value.c_str());
      return 1;
    }
  if (write_settings_file(folder / std::string(kSettingsFile), rec).failed() ||
      save_calendar_address(folder, address).failed()) {
    std::fprintf(stderr, "cannot write the settings\n");
    return 1;
  }

  FixedClock clock(today, tod(12, 0));
  Session session(folder, clock);
  gui::AppFrame frame(session);
  frame.host().set_downloads([&pages] { return std::make_unique<SavedPages>(pages); });
  int messages = 0;
  QObject::connect(&frame.host(), &gui::Host::messageShown, [&messages] { ++messages; });
  frame.open();

  QPointer<gui::WindowView> build;
  const QString title = gui::qtext(kBuildWindowTitle);
  if (!run_until(
          [&] {
            for (gui::WindowView* v : frame.host().views())
              if (v->windowTitle() == title && v->isEnabled()) build = v;
            return !build.isNull();
          },
          60)) {
    std::fprintf(stderr, "the Build window did not open\n");
    return 1;
  }

  Heartbeat beat;
  beat.start();
  QElapsedTimer idle;
  idle.start();
  run_until([&] { return idle.elapsed() >= 1000; }, 10);
  const double idle_ms = beat.stop_ms();

  auto* weeks = qobject_cast<QLineEdit*>(build->widget_of(number(ProcFileControl::LOADWEEKS)));
  auto* count = qobject_cast<QLabel*>(build->widget_of(number(ProcFileControl::COUNT1)));
  QSet<QString> counts;
  beat.on_beat = [&] {
    if (build && count) counts.insert(count->text());
  };
  beat.start();
  QElapsedTimer run;
  run.start();
  weeks->setFocus();
  weeks->setText(QStringLiteral("52"));
  QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
  QCoreApplication::sendEvent(weeks, &enter);
  const bool closed = run_until([&] { return build.isNull(); }, 600);
  const double run_s = static_cast<double>(run.elapsed()) / 1000;
  const double longest_ms = beat.stop_ms();
  if (!closed) {
    std::fprintf(stderr, "the run did not end within 10 minutes (%d messages shown)\n", messages);
    return 1;
  }
  run_until([&] { return frame.host().running() == 0; }, 60);

  // What the run did: the pages' events with their new values, News.CSV of those weeks.
  std::int64_t changed = 0;
  {
    Table<CalendarTable> t(folder);
    if (t.open(OpenMode::read_only()).failed()) return 1;
    t.clear();
    t.rec.date = first_page;
    for (Status st = t.set(CalendarKey::Key); st.is_ok() && t.next().is_ok();)
      changed += t.rec.actual == "0.6%";
  }
  const std::int64_t expected = kPages * kPerPage - (kPages - 1) * moved_to_next_week();
  std::ifstream news(folder / "News.CSV");
  std::int64_t lines = 0;
  for (std::string l; std::getline(news, l);) ++lines;

  std::printf(
      "Build run: %d pages into %d events in %.2f s; %lld events with the pages' values "
      "(expected %lld); News.CSV %lld lines; %d messages\n",
      kPages, n, run_s, static_cast<long long>(changed), static_cast<long long>(expected),
      static_cast<long long>(lines), messages);
  std::printf("COUNT1 showed %lld different values during the run\n",
              static_cast<long long>(counts.size()));
  std::printf("idle GUI thread (reference): longest gap %.1f ms between %d ms beats\n", idle_ms,
              kBeatMs);
  const bool met = longest_ms <= kLimitMs;
  std::printf("GUI thread during the run: longest gap %.1f ms (limit %lld ms): %s\n", longest_ms,
              static_cast<long long>(kLimitMs), met ? "met" : "MISSED");
  return met && changed == expected && lines > 0 && messages == 0 ? 0 : 1;
}
