// Start-up of the windows program: from starting the process to the frame painted with the Build
// window painted in it (in a folder whose Event History holds an event, so that the window opens
// as it does every week, without the Initial setup), against a minimal Qt program that
// shows one empty main window, both measured in the same run on Qt's offscreen platform; a main
// window with one menu is measured beside them for reference. Each start is a process of its
// own: this program runs itself as the child; the fastest of the starts counts.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

#include <QApplication>
#include <QMainWindow>
#include <QMdiArea>
#include <QMenuBar>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <utility>

#include "bench/bench_support.h"
#include "core/runtime/clock.h"
#include "core/runtime/table.h"
#include "gui/frame/app_frame.h"

extern char** environ;

namespace {

using namespace mervane;

// Ends the process once every watched widget has painted.
class PaintWatch : public QObject {
 public:
  void watch(QWidget* w) {
    expect();
    watch_expected(w);
  }
  // A widget that is not there yet counts from now on; watch_expected() when it comes.
  void expect() { ++left_; }
  void watch_expected(QWidget* w) { w->installEventFilter(this); }
  bool eventFilter(QObject* o, QEvent* e) override {
    if (e->type() == QEvent::Paint) {
      o->removeEventFilter(this);
      if (--left_ == 0) QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
    }
    return false;
  }

 private:
  int left_ = 0;
};

int child_minimal(int argc, char** argv) {
  QApplication app(argc, argv);
  QMainWindow w;
  w.resize(1000, 700);
  PaintWatch watch;
  watch.watch(&w);
  w.show();
  return QApplication::exec();
}

int child_menu(int argc, char** argv) {
  QApplication app(argc, argv);
  QMainWindow w;
  w.resize(1000, 700);
  w.menuBar()->addMenu(QStringLiteral("&File"));
  PaintWatch watch;
  watch.watch(&w);
  w.show();
  return QApplication::exec();
}

int child_mervane(int argc, char** argv) {
  QApplication app(argc, argv);
  FixedClock clock(76044, 1);
  Session session(argv[2], clock);
  gui::AppFrame frame(session);
  PaintWatch watch;
  watch.watch(frame.area()->viewport());
  watch.watch(&frame);
  // The start ends when the Build window has painted too.
  watch.expect();
  QObject::connect(&frame.host(), &gui::Host::viewOpened, &watch,
                   [&watch](gui::WindowView* v) { watch.watch_expected(v); });
  frame.open();
  return QApplication::exec();
}

// The folder the program starts in: one event in its Event History.
bool seed_folder(const std::filesystem::path& folder) {
  Table<CalendarTable> t(folder);
  if (t.create().failed() || t.open().failed()) return false;
  t.rec.date = 76040;
  t.rec.time = 1;
  t.rec.currency = "USD";
  t.rec.descr = "Non-Farm Employment Change";
  return t.add().is_ok();
}

const char* g_folder = "";

void run_child(const char* self, const char* mode) {
  char* args[] = {const_cast<char*>(self), const_cast<char*>(mode), const_cast<char*>(g_folder),
                  nullptr};
  // The children's Qt chatter (no XDG_RUNTIME_DIR and the like) stays out of the figures.
  posix_spawn_file_actions_t quiet;
  posix_spawn_file_actions_init(&quiet);
  posix_spawn_file_actions_addopen(&quiet, 2, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  const int rc = posix_spawn(&pid, self, &quiet, nullptr, args, environ);
  posix_spawn_file_actions_destroy(&quiet);
  if (rc != 0) {
    std::perror("posix_spawn");
    std::exit(1);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "child %s failed\n", mode);
    std::exit(1);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "--child-minimal") == 0) return child_minimal(argc, argv);
  if (argc > 1 && std::strcmp(argv[1], "--child-mervane") == 0) return child_mervane(argc, argv);
  if (argc > 1 && std::strcmp(argv[1], "--child-menu") == 0) return child_menu(argc, argv);
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  const char* self = "/proc/self/exe";
  char folder[] = "/tmp/mervane-bench-start-XXXXXX";
  if (!mkdtemp(folder) || !seed_folder(folder)) {
    std::perror("the start folder");
    return 1;
  }
  g_folder = folder;
  // One start of each first, so that both find the libraries and fonts in the page cache.
  run_child(self, "--child-minimal");
  run_child(self, "--child-mervane");
  // The three kinds of start take turns, so that the load of a shared machine falls on all of
  // them alike; the fastest start of each counts.
  constexpr int kRepeat = 15;
  bench::Result base{"minimal Qt main window", 1e300, 1, "starts"};
  bench::Result ours{"mervane frame painted", 1e300, 1, "starts"};
  bench::Result menu{"main window with a menu", 1e300, 1, "starts"};
  for (int i = 0; i < kRepeat; ++i) {
    for (auto [result, mode] :
         {std::pair{&base, "--child-minimal"}, std::pair{&ours, "--child-mervane"},
          std::pair{&menu, "--child-menu"}}) {
      const bench::Result r = bench::measure(
          result->name, 1, "starts", [&] { run_child(self, mode); }, 1);
      result->seconds = std::min(result->seconds, r.seconds);
    }
  }
  // For reading the figure: most of the difference is the first text a program draws (the
  // fonts are looked up and loaded then), which the empty window never does.
  const bool met = bench::compare(ours, base, 1.5);
  std::printf("  for reference, %s: %.3f s, %.2f times the empty window\n", menu.name.c_str(),
              menu.seconds, menu.seconds / base.seconds);
  std::filesystem::remove_all(folder);
  return met ? 0 : 1;
}
