// Start-up of the windows program: from starting the process to the frame painted with the Build
// window painted in it (in a folder whose Event History holds an event, so that the window opens
// as it does every week, without the Initial setup), against the same start of the Build
// window's controls made as stock Qt widgets (group boxes, line edits, check boxes, buttons in a
// sub-window of a main window with a menu): the program must start in at most 0.8 times what Qt
// itself takes for a window of those controls. Its ratio to a minimal Qt program showing one
// empty main window is printed beside; a main window with one menu and the frame without the
// Build window are measured for reference. All on Qt's offscreen platform, in the same run.
//
// Each start is a process of its own: this program runs itself as the child; the fastest of the
// starts counts. A start lasts from the spawn of the process to the moment the child, its
// painting done, reads the clock and reports it; how long each process then takes to end (a
// window of 136 controls and its thread take longer to take down than an empty one) is not part
// of the start.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <string>
#include <utility>

#include "bench/bench_support.h"
#include "core/menu/main_frame.h"
#include "core/output/procfile_controls.h"
#include "core/runtime/clock.h"
#include "core/runtime/table.h"
#include "gui/frame/app_frame.h"
#include "gui/widgets/font_configuration.h"

extern char** environ;

namespace {

using namespace mervane;

// Ends the process once every watched widget has painted, after reporting the time on stdout.
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
      if (--left_ == 0)
        QTimer::singleShot(0, [] {
          const auto painted = std::chrono::steady_clock::now().time_since_epoch();
          std::printf("%lld\n",
                      static_cast<long long>(
                          std::chrono::duration_cast<std::chrono::nanoseconds>(painted).count()));
          std::fflush(stdout);
          QCoreApplication::exit(0);
        });
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

// For reference: the Build window's controls as stock Qt widgets with the same texts (group
// boxes holding their members, the rest in a grid of four columns) in a sub-window of a main
// window with a menu; no model, no table, no thread. What Qt itself takes to make, measure and
// paint a window of that many controls.
int child_stock(int argc, char** argv) {
  QApplication app(argc, argv);
  QMainWindow w;
  w.resize(1000, 700);
  w.menuBar()->addMenu(QStringLiteral("&File"));
  auto* area = new QMdiArea;
  w.setCentralWidget(area);
  auto* page = new QWidget;
  auto* grid = new QGridLayout(page);
  std::map<int, QGridLayout*> groups;  // a group's id -> the layout of its members
  int placed = 0;
  for (const ControlSpec& c : procfile_controls()) {
    const QString text = QString::fromStdString(c.text);
    QWidget* widget = nullptr;
    switch (c.kind) {
      case ControlKind::Group:
      case ControlKind::OptionGroup: {
        auto* box = new QGroupBox(text);
        groups[c.id] = new QGridLayout(box);
        widget = box;
        break;
      }
      case ControlKind::Entry:
      case ControlKind::Display:
        widget = new QLineEdit(text);
        break;
      case ControlKind::Check:
        widget = new QCheckBox(text);
        break;
      case ControlKind::Option:
        widget = new QRadioButton(text);
        break;
      case ControlKind::Button:
        widget = new QPushButton(text);
        break;
      case ControlKind::DropList:
      case ControlKind::Combo:
        widget = new QComboBox;
        break;
      default:
        widget = new QLabel(text);
        break;
    }
    const auto group = groups.find(c.parent);
    QGridLayout* into = group != groups.end() ? group->second : grid;
    const int n = into->count();
    into->addWidget(widget, n / 4, n % 4);
    ++placed;
  }
  QMdiSubWindow* sub = area->addSubWindow(page);
  PaintWatch watch;
  watch.watch(&w);
  watch.watch(page);
  w.show();
  sub->show();
  sub->adjustSize();
  return placed > 0 ? QApplication::exec() : 1;
}

// The program's start; without the Build window (its menu item greyed) for reference.
int child_mervane(int argc, char** argv, bool build_window) {
  // As the program's main() starts.
  gui::start_reading_font_configuration();
  QApplication app(argc, argv);
  FixedClock clock(76044, 1);
  Session session(argv[2], clock);
  std::function<WindowFactory(Procedure)> procedures = procedure_factory;
  if (!build_window)
    procedures = [](Procedure p) {
      return p == Procedure::ProcFile ? nullptr : procedure_factory(p);
    };
  gui::AppFrame frame(session, procedures);
  PaintWatch watch;
  watch.watch(frame.area()->viewport());
  watch.watch(&frame);
  if (build_window) {
    // The start ends when the Build window has painted too.
    watch.expect();
    QObject::connect(&frame.host(), &gui::Host::viewOpened, &watch,
                     [&watch](gui::WindowView* v) { watch.watch_expected(v); });
  }
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

// Starts the child and returns the seconds from its spawn to the moment it reported painted.
double run_child(const char* self, const char* mode) {
  char* args[] = {const_cast<char*>(self), const_cast<char*>(mode), const_cast<char*>(g_folder),
                  nullptr};
  int report[2];
  if (pipe(report) != 0) {
    std::perror("pipe");
    std::exit(1);
  }
  // The children's Qt chatter (no XDG_RUNTIME_DIR and the like) stays out of the figures; their
  // stdout is the report.
  posix_spawn_file_actions_t files;
  posix_spawn_file_actions_init(&files);
  posix_spawn_file_actions_addopen(&files, 2, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_adddup2(&files, report[1], 1);
  posix_spawn_file_actions_addclose(&files, report[0]);
  pid_t pid = 0;
  const auto spawned = std::chrono::steady_clock::now();
  const int rc = posix_spawn(&pid, self, &files, nullptr, args, environ);
  posix_spawn_file_actions_destroy(&files);
  close(report[1]);
  if (rc != 0) {
    std::perror("posix_spawn");
    std::exit(1);
  }
  std::string text;
  char buf[64];
  for (ssize_t got; (got = read(report[0], buf, sizeof buf)) > 0;)
    text.append(buf, static_cast<std::size_t>(got));
  close(report[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || text.empty()) {
    std::fprintf(stderr, "child %s failed\n", mode);
    std::exit(1);
  }
  const std::chrono::nanoseconds painted(std::stoll(text));
  return std::chrono::duration<double>(painted - spawned.time_since_epoch()).count();
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "--child-minimal") == 0) return child_minimal(argc, argv);
  if (argc > 1 && std::strcmp(argv[1], "--child-mervane") == 0)
    return child_mervane(argc, argv, true);
  if (argc > 1 && std::strcmp(argv[1], "--child-frame") == 0)
    return child_mervane(argc, argv, false);
  if (argc > 1 && std::strcmp(argv[1], "--child-menu") == 0) return child_menu(argc, argv);
  if (argc > 1 && std::strcmp(argv[1], "--child-stock") == 0) return child_stock(argc, argv);
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
  // The kinds of start take turns, so that the load of a shared machine falls on all of
  // them alike; the fastest start of each counts.
  constexpr int kRepeat = 15;
  bench::Result base{"minimal Qt main window", 1e300, 1, "starts"};
  bench::Result ours{"mervane frame painted", 1e300, 1, "starts"};
  bench::Result menu{"main window with a menu", 1e300, 1, "starts"};
  bench::Result stock{"the Build window's controls as stock Qt widgets", 1e300, 1, "starts"};
  bench::Result frame{"mervane frame alone", 1e300, 1, "starts"};
  for (int i = 0; i < kRepeat; ++i) {
    for (auto [result, mode] :
         {std::pair{&base, "--child-minimal"}, std::pair{&ours, "--child-mervane"},
          std::pair{&menu, "--child-menu"}, std::pair{&frame, "--child-frame"},
          std::pair{&stock, "--child-stock"}}) {
      result->seconds = std::min(result->seconds, run_child(self, mode));
    }
  }
  const bool met = bench::compare(ours, stock, 0.8);
  // For reading the figures: most of what the empty window does not take is the first text a
  // program draws (the fonts are looked up and loaded then), which it never does.
  std::printf("  mervane frame painted: %.2f times the empty window\n",
              ours.seconds / base.seconds);
  for (const bench::Result* r : {&base, &menu, &frame})
    std::printf("  for reference, %s: %.3f s, %.2f times the empty window\n", r->name.c_str(),
                r->seconds, r->seconds / base.seconds);
  std::filesystem::remove_all(folder);
  return met ? 0 : 1;
}
