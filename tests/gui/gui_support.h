// What the GUI tests share: a small window model that does what real windows do through the
// host (a date field with its picker, a stop message, a long run with a counter, a file written
// through the program's output file), and helpers that wait for the host's threads.
#pragma once

#include <QCoreApplication>
#include <QTemporaryDir>
#include <QTest>
#include <chrono>
#include <functional>
#include <thread>

#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <algorithm>

#include "core/runtime/clock.h"
#include "core/runtime/output_file.h"
#include "core/setup/calendar.h"
#include "core/setup/initial_setup.h"
#include "core/setup/pick_date.h"
#include "core/util/dates.h"
#include "core/util/picture.h"
#include "gui/widgets/window_host.h"

namespace mervane::gui::test {

enum TestControl : int {
  DATE_PROMPT = 1,
  DATE,
  PICK,
  STOP,
  RUN,
  COUNT,
  CHART,
  SETUP,
  CLOSE,
};

// A window with a date field and buttons; its title is given.
class TestWindow final : public WindowModel {
 public:
  TestWindow(const WindowServices& s, std::string title) : s_(s), title_(std::move(title)) {}

  const std::vector<ControlSpec>& controls() const override {
    static const std::vector<ControlSpec> v = [] {
      std::vector<ControlSpec> c;
      auto add = [&](int id, ControlKind k, const char* use, const char* text,
                     const char* picture = "") {
        ControlSpec def;
        def.id = id;
        def.kind = k;
        def.use = use;
        def.text = text;
        def.picture = picture;
        c.push_back(def);
      };
      add(DATE_PROMPT, ControlKind::Prompt, "", "  &Output from date  ");
      add(DATE, ControlKind::Entry, "?DATE", "", "d2");
      add(PICK, ControlKind::Button, "?PICK", "");
      add(STOP, ControlKind::Button, "?STOP", "&Stop test");
      add(RUN, ControlKind::Button, "?RUN", "Run");
      add(COUNT, ControlKind::Display, "?COUNT1", "", "n8b");
      add(CHART, ControlKind::Button, "?WDCHART", "Chart");
      add(SETUP, ControlKind::Button, "?INITIALSETUP", "Setup");
      add(CLOSE, ControlKind::Button, "?CANCEL", "Cancel (Esc)");
      return c;
    }();
    return v;
  }
  std::string title() const override { return title_; }
  void open() override {}
  Reply accepted(int control) override {
    if (closed_) return Reply::closed();
    switch (control) {
      case PICK:
        pick_date(s_.windows, s_.session, date_);
        break;
      case STOP: {
        // A half-written output file: Abort must leave the previous one and no temporary.
        OutputFile out(s_.reporter, s_.session.folder() / "News.CSV", "News.CSV", "Add");
        out.create();
        out.add("half");
        ++stops_;
        if (s_.reporter.stop("Open(TEST) - File Not Found") == Answer::Abort)
          throw Aborted("Open(TEST) - File Not Found");
        ++ignored_;
        out.close();
        break;
      }
      case RUN:
        for (count_ = 0; count_ < run_items; ++count_) {
          s_.progress.report("COUNT1", count_);
          std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        break;
      case CHART: {
        WingdingChart chart;
        s_.windows.run(chart);
        break;
      }
      case SETUP: {
        InitialSetup setup(s_.session, s_.reporter);
        s_.windows.run(setup);
        break;
      }
      case CLOSE:
        return close();
    }
    return Reply::stay();
  }
  Reply selecting(int) override { return Reply::stay(); }
  Reply key(KeyPress k) override { return k.key == Key::Esc ? close() : Reply::stay(); }
  Reply close_request() override { return close(); }
  Reply other_event(const OtherEvent&) override { return Reply::stay(); }
  Reply type(int control, std::string_view text) override {
    if (control != DATE) return Reply::stay();
    const auto d = parse_value("d2", text);
    if (!d) {
      Warning w;
      w.text = d.reason;
      w.caption = "Date";
      s_.reporter.warning(w);
      return Reply::stay();
    }
    date_ = static_cast<std::int32_t>(*d.value);
    return Reply::stay();
  }
  std::string value(int control) const override {
    if (control == DATE) return format_value("d2", date_);
    if (control == COUNT) return format_value("n8b", count_);
    if (control == STOP) return "&Stop test (" + std::to_string(ignored_) + ")";
    return {};
  }
  bool enabled(int) const override { return !closed_; }
  bool closed() const override { return closed_; }

  std::int32_t date_ = 0;
  int run_items = 0;
  int stops_ = 0, ignored_ = 0;
  std::int64_t count_ = 0;

 private:
  Reply close() {
    closed_ = true;
    return Reply::closed();
  }
  WindowServices s_;
  std::string title_;
  bool closed_ = false;
};

// A folder of its own, a fixed clock (Wednesday 11 March 2009) and the session of one test.
struct GuiBed {
  QTemporaryDir dir;
  FixedClock clock{*date_serial(2009, 3, 11), 1};
  Session session{dir.path().toStdString(), clock};
};

// What became of a frame as it showed: how many windows its client area held each time it was
// shown and how many of them took input then, and how often it changed size while visible.
class FrameWatch : public QObject {
 public:
  FrameWatch(QWidget& frame, QMdiArea* area) : frame_(frame), area_(area) {
    frame.installEventFilter(this);
  }
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::Show) {
      const auto subs = area_->subWindowList();
      windows_at_show.push_back(static_cast<int>(subs.size()));
      enabled_at_show.push_back(static_cast<int>(std::count_if(
          subs.begin(), subs.end(), [](QMdiSubWindow* s) { return s->widget()->isEnabled(); })));
    }
    if (e->type() == QEvent::Resize && frame_.isVisible()) ++resized_while_visible;
    return false;
  }
  std::vector<int> windows_at_show;
  std::vector<int> enabled_at_show;
  int resized_while_visible = 0;

 private:
  QWidget& frame_;
  QMdiArea* area_;
};

// Waits, running the GUI's events, until the condition holds (false after the timeout).
inline bool wait_for(const std::function<bool()>& cond, int ms = 10000) {
  return QTest::qWaitFor(cond, ms);
}

}  // namespace mervane::gui::test

namespace mervane::gui::test {

// A window that works without input and whose close ends the program, as the automatic Build run.
class EndingWindow final : public WindowModel {
 public:
  const std::vector<ControlSpec>& controls() const override {
    static const std::vector<ControlSpec> none;
    return none;
  }
  std::string title() const override { return "Automatic"; }
  void open() override {}
  Reply accepted(int) override { return Reply::stay(); }
  Reply selecting(int) override { return Reply::stay(); }
  Reply key(KeyPress) override { return Reply::stay(); }
  Reply close_request() override { return Reply::stay(); }
  Reply other_event(const OtherEvent& e) override {
    if (e.kind != OtherEvent::Kind::Opened) return Reply::stay();
    closed_ = true;
    return Reply::closed(Response::Completed);
  }
  Reply type(int, std::string_view) override { return Reply::stay(); }
  std::string value(int) const override { return {}; }
  bool enabled(int) const override { return true; }
  bool closed() const override { return closed_; }
  bool ends_program() const override { return closed_; }

 private:
  bool closed_ = false;
};

}  // namespace mervane::gui::test
