// The window host: every window's model runs on a thread of its own, and the GUI thread only
// shows what the models publish.
//
// - A window started from the menu gets a ModelThread. The thread builds the model, opens it and
//   serves its events; after each event it publishes the window's state (a WindowState copy),
//   which the GUI thread shows. During long work it also publishes at most about 20 times a
//   second from the model's progress reports, so the counters count live; a window busy on an
//   event that long takes no input until the event ends. A window takes no input before its
//   first event (OtherEvent::Opened) has been served either.
// - The view posts the user's events to the thread's queue and never waits for the model.
// - When a model calls its Reporter (stop box, warnings) or runs a window through its Windows
//   (date picker, symbol chart, a form, ...), the call runs on the model's thread as the model
//   expects: a message is handed to the GUI thread, which shows it (not modal for Qt; only the
//   calling window is disabled) and hands the answer back while the model's thread waits; a
//   window opened from inside a model runs its model on the same thread, which serves that
//   window's events until it closes. Windows::start() starts a window of the menu on a thread of
//   its own.
//   Windows::choose_files() shows a file dialog the same way.
// - A model that asks to be woken (WindowModel::wake_after_ms) gets OtherEvent::Timer on its
//   thread once that long has passed without another event for it.
//   No nested event loop runs anywhere, so two windows can close their modal windows in any
//   order and a long run never freezes the GUI.
// - An Abort (or a warning that ends the program) unwinds the model's thread as Aborted: open
//   transactions roll back, temporary files are removed, tables close. The host then ends the
//   program: every other thread unwinds the same way at its next message, progress report or
//   event wait, and once all have ended programEnded() is emitted.
//
// Ownership: the Host lives on the GUI thread and owns its threads; its views belong to the MDI
// area (windows started from the menu) or to the frame (windows opened from inside a model, and
// message boxes). Destroying the Host ends every thread as the program's end does and waits for
// them.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "core/app/window_model.h"
#include "core/app/windows.h"
#include "core/model/session.h"
#include "core/runtime/download.h"
#include "core/runtime/progress.h"
#include "core/runtime/reporter.h"
#include "gui/widgets/window_view.h"

class QMdiArea;
class QMdiSubWindow;

namespace mervane::gui {

class MessageBox;
class ModelThread;

// Makes a thread's downloader, on that thread: one download at a time per thread.
using DownloaderFactory = std::function<std::unique_ptr<Downloader>()>;
// Makes a window's view on the GUI thread, for a window that has a view of its own.
using ViewMaker = std::function<WindowView*(std::vector<ControlSpec> control_defs, EventSink sink)>;
// Chooses a model's view on the model's thread (it may look at the model's type and nothing
// else); an empty maker gives the view every window has.
using ViewChooser = std::function<ViewMaker(const WindowModel&)>;
// Makes a message box with its parent and the callback that takes its answer.
using MessageFactory = std::function<MessageBox*(QWidget*, std::function<void(int)>)>;

// The program's exit code after a message that ended it.
constexpr int kEndedExitCode = 3;

class Host : public QObject {
  Q_OBJECT

 public:
  // area: where windows started from the menu go; frame: the parent of the windows opened from
  // inside a model and of the message boxes.
  Host(Session& session, QMdiArea* area, QWidget* frame);
  ~Host() override;

  // Starts a window on a thread of its own.
  void start(WindowFactory factory);
  // The factories of the menu's windows (null for a window the program does not have).
  void set_procedures(std::function<WindowFactory(Procedure)> procedures);
  bool can_start(Procedure p) const;
  void start(Procedure p);
  // The views of the windows that lay themselves out.
  void set_views(ViewChooser views) { views_ = std::move(views); }
  // How the windows download (libcurl by default); set before the first window starts.
  void set_downloads(DownloaderFactory downloads) { downloads_ = std::move(downloads); }

  // Asks every window to close, as their close boxes do.
  void close_all();
  // Ends the program after a message that ends it (see above), or after a window whose close
  // ends it (the automatic Build run: exit code 0, no message).
  void end_program(const std::string& why, int exit_code = kEndedExitCode);

  int running() const { return static_cast<int>(threads_.size()); }
  bool ending() const { return ending_; }
  std::vector<WindowView*> views() const;
  std::vector<MessageBox*> message_boxes() const;

 Q_SIGNALS:
  void viewOpened(mervane::gui::WindowView* view);
  // A window shows a state its model published (its first event served, or progress).
  void viewUpdated(mervane::gui::WindowView* view);
  void viewClosed();
  void messageShown(mervane::gui::MessageBox* box);
  // A window asked for files to read (Windows::choose_files): the dialog is shown.
  void fileDialogShown(QWidget* dialog);
  // The last window's thread has ended (the program goes on).
  void allEnded();
  // A message ended the program and every thread has unwound.
  void programEnded(int exit_code, const QString& why);

 private:
  friend class ModelThread;
  struct Ask;
  struct Open {
    QPointer<WindowView> view;
    QPointer<QMdiSubWindow> sub;
    ModelThread* thread = nullptr;
    int parent = 0;
  };

  // Called on model threads; each hands its work to the GUI thread.
  void post_open(ModelThread* t, int window, int parent, std::vector<ControlSpec> control_defs,
                 WindowState state, ViewMaker make);
  void post_state(int window, WindowState state, bool busy);
  void post_close(int window);
  enum class Outcome { Closed, EndsProgram, Ended, Failed };
  void post_finished(ModelThread* t, Outcome outcome, std::string why);
  void post_start(Procedure p);
  // Shows a message on the GUI thread; the answer comes through the Ask.
  void post_ask(std::shared_ptr<Ask> a, int parent, MessageFactory make);
  // Shows a file dialog on the GUI thread; the files chosen come through the Ask.
  void post_choose(std::shared_ptr<Ask> a, int parent, QString title, QString filter);

  void open_view(ModelThread* t, int window, int parent, std::vector<ControlSpec> control_defs,
                 const WindowState& state, const ViewMaker& make);
  void close_view(int window);
  void finished(ModelThread* t, Outcome outcome, const std::string& why);
  // A message or dialog for the window `parent` begins: the window is blocked until end_ask();
  // nothing (and the Ask answered as ended) when the program is ending.
  std::optional<QPointer<WindowView>> begin_ask(const std::shared_ptr<Ask>& a, int parent);
  void end_ask(const std::shared_ptr<Ask>& a, const QPointer<WindowView>& view);
  void show_message(const std::shared_ptr<Ask>& a, int parent, const MessageFactory& make);
  void show_file_dialog(const std::shared_ptr<Ask>& a, int parent, const QString& title,
                        const QString& filter);
  void maybe_done();

  Session& session_;
  QMdiArea* area_;
  QWidget* frame_;
  std::function<WindowFactory(Procedure)> procedures_;
  ViewChooser views_;
  DownloaderFactory downloads_;
  std::vector<std::unique_ptr<ModelThread>> threads_;
  std::map<int, Open> open_;
  std::vector<std::shared_ptr<Ask>> asks_;
  bool ending_ = false;
  bool ended_signalled_ = false;
  int exit_code_ = kEndedExitCode;
  std::string why_;
};

// One window's thread: the model-side Reporter, Progress and Windows of the models on it.
class ModelThread final : public Reporter, public Progress, public Windows {
 public:
  ModelThread(Host& host, Session& session, WindowFactory factory);
  ~ModelThread() override;
  void start();
  void join();

  // Any thread: an event for a window of this thread.
  void post(int window, ViewEvent e);
  // Any thread: unwind as Abort does at the next wait, message or progress report.
  void end();

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
  struct Shown {
    int window;
    WindowModel* model;
  };
  void main();
  // The window's next event; OtherEvent::Timer when wake_ms (> 0) pass without one.
  ViewEvent next_event(int window, int wake_ms);
  void publish(const Shown& s, bool busy);
  void check_ending() const;
  int ask(MessageFactory make);

  Host& host_;
  Session& session_;
  WindowFactory factory_;
  std::thread thread_;
  std::mutex mu_;
  std::condition_variable cv_;
  std::deque<std::pair<int, ViewEvent>> queue_;
  std::atomic<bool> ending_{false};
  // Model thread only.
  std::vector<Shown> shown_;
  bool in_event_ = false;
  bool busy_shown_ = false;
  std::chrono::steady_clock::time_point last_publish_{};
};

}  // namespace mervane::gui
