// One window's thread: it builds the window's model, runs it, and is the Reporter, Progress and
// Windows of every model on it (the windows opened from inside the first run on the same
// thread, nested). It touches nothing of the GUI: whatever is to be shown is posted to the
// Mailbox, and it waits for the user's events and for the answers of its messages on its own
// queue's condition.
//
// Threading: post(), answer(), close() and end() may be called from any thread; everything else
// of the model side (the Reporter, Progress and Windows calls, run()) on the model's thread only,
// which Debug builds assert. end() makes the thread unwind as Abort does at its next wait,
// message or progress report. close() (the frame closes) does so only to the work in hand: the
// event being served and those already queued unwind as Abort at their next progress report or
// message, and the thread ends quietly (Outcome::Closed); the close events posted after it are
// served as usual, so an idle window closes as its close box closes it.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

#include "core/app/windows.h"
#include "core/model/session.h"
#include "core/runtime/download.h"
#include "core/runtime/progress.h"
#include "core/runtime/reporter.h"
#include "gui/host/mailbox.h"

namespace mervane::gui {

// Makes a thread's downloader, on that thread: one download at a time per thread.
using DownloaderFactory = std::function<std::unique_ptr<Downloader>()>;
// Chooses a model's view on the model's thread (it may look at the model's type and nothing
// else); an empty maker gives the view every window has.
using ViewChooser = std::function<ViewMaker(const WindowModel&)>;

// The answer of a message that the program's end took away.
constexpr int kEndedAnswer = -1;

class ModelThread final : public Reporter, public Progress, public Windows {
 public:
  ModelThread(Mailbox& mailbox, Session& session, WindowFactory factory,
              DownloaderFactory downloads, ViewChooser views);
  ~ModelThread() override;
  void start();
  void join();

  // Any thread: an event for a window of this thread.
  void post(int window, ViewEvent e);
  // Any thread: the answer of the message the thread waits on.
  void answer(int a);
  // Any thread: unwind as Abort does at the next wait, message or progress report.
  void end();
  // Any thread: the frame closes; the work in hand ends as Abort would (see above).
  void close();

  // The model's thread.
  Answer stop(std::string_view text) override;
  int warning(const Warning& w) override;
  void report(std::string_view counter, std::int64_t value) override;
  // Runs a window on this thread until it closes: opens the model, shows its view and serves
  // its events. Windows opened from inside a model nest; the outer one waits meanwhile.
  Response run(WindowModel& m) override;
  void start(Procedure p) override;
  std::vector<std::filesystem::path> choose_files(std::string_view title,
                                                  std::string_view filter) override;

 private:
  // An event for a window, numbered in the order posted.
  struct Queued {
    int window;
    ViewEvent event;
    std::uint64_t seq;
  };
  struct Shown {
    int window;
    WindowModel* model;
  };
  void main();
  // The window's next event; OtherEvent::Timer when wake_ms (> 0) pass without one.
  Queued next_event(int window, int wake_ms);
  void publish(const Shown& s, bool busy);
  void check_ending();
  // The event being served was posted before the frame's close: its work is to end.
  bool work_to_end() const;
  int ask(MessageFactory make);
  // Posts the Ask through `post` and waits for its answer.
  int wait_answer(const std::shared_ptr<Ask>& a, const std::function<void()>& post);
  bool on_model_thread() const { return std::this_thread::get_id() == id_; }

  Mailbox& mailbox_;
  Session& session_;
  WindowFactory factory_;
  DownloaderFactory downloads_;
  ViewChooser views_;
  std::thread thread_;
  std::thread::id id_;
  std::mutex mu_;
  std::condition_variable cv_;
  // Guarded by mu_.
  std::deque<Queued> queue_;
  std::uint64_t next_seq_ = 1;
  std::optional<int> answer_;
  std::atomic<bool> ending_{false};
  // Events numbered below it were posted before the frame's close (0: no close).
  std::atomic<std::uint64_t> close_before_{0};
  // Model thread only.
  std::vector<Shown> shown_;
  bool in_event_ = false;
  std::uint64_t serving_ = 0;  // the number of the event being served
  bool closed_by_frame_ = false;
  std::chrono::steady_clock::time_point last_publish_{};
};

}  // namespace mervane::gui
