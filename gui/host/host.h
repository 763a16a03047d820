// The window host: every window's model runs on a thread of its own (ModelThread), and the GUI
// thread only shows what the models publish.
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
//   its own. Windows::choose_files() shows a file dialog the way a message is shown.
// - A model that asks to be woken (WindowModel::wake_after_ms) gets OtherEvent::Timer on its
//   thread once that long has passed without another event for it.
//   No nested event loop runs anywhere, so two windows can close their modal windows in any
//   order and a long run never freezes the GUI.
// - An Abort (or a warning that ends the program) unwinds the model's thread as Aborted: open
//   transactions roll back, temporary files are removed, tables close. The host then ends the
//   program: every other thread unwinds the same way at its next message, progress report or
//   event wait, and once all have ended programEnded() is emitted.
//
// The model threads reach the host only through its Mailbox (mailbox.h), whose messages the host
// takes on the GUI thread. Ownership: the Host lives on the GUI thread and owns its threads; its
// views belong to the MDI area (windows started from the menu) or to the frame (windows opened
// from inside a model, and message boxes). Destroying the Host ends every thread as the
// program's end does and waits for them. Every Host call is made on the GUI thread, which Debug
// builds assert.
#pragma once

#include <QObject>
#include <QPointer>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/app/window_model.h"
#include "core/app/windows.h"
#include "core/model/session.h"
#include "gui/host/mailbox.h"
#include "gui/host/model_thread.h"
#include "gui/widgets/window_view.h"

class QMdiArea;
class QMdiSubWindow;

namespace mervane::gui {

// The program's exit code after a message that ended it.
constexpr int kEndedExitCode = 3;

class Host : public QObject, private GuiSide {
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

  // The frame closes: the work in hand ends as Abort would (its transaction rolled back, never
  // half stored), every window is asked to close as its close box does, and no window's end
  // opens a further window. The user's next start() gives the close up.
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
  struct Open {
    QPointer<WindowView> view;
    QPointer<QMdiSubWindow> sub;
    ModelThread* thread = nullptr;
    int parent = 0;
  };

  // GuiSide: the model threads' messages, on the GUI thread.
  void open_view(ModelThread* t, int window, int parent, std::vector<ControlSpec> control_defs,
                 const WindowState& state, const ViewMaker& make) override;
  void show_state(int window, const WindowState& state, bool busy) override;
  void close_view(int window) override;
  void thread_finished(ModelThread* t, Outcome outcome, const std::string& why) override;
  void start_procedure(Procedure p) override;
  void show_message(const std::shared_ptr<Ask>& a, int parent, const MessageFactory& make) override;
  void show_file_dialog(const std::shared_ptr<Ask>& a, int parent, const QString& title,
                        const QString& filter) override;

  // A message or dialog for the window `parent` begins: the window is blocked until end_ask();
  // nothing (and the Ask answered as ended) when the program is ending.
  std::optional<QPointer<WindowView>> begin_ask(const std::shared_ptr<Ask>& a, int parent);
  void end_ask(const std::shared_ptr<Ask>& a, const QPointer<WindowView>& view);
  // Takes a message or dialog away unanswered (its thread or the program ends).
  static void dismiss(Ask& a);
  // Moves a window opened from inside another to the middle of its caller (of the frame when
  // it has none), within the screen's available area.
  void centre_over(WindowView* view, const Open* by) const;
  // Hands an answer to the thread that waits on the message; once.
  void answer(Ask& a, int answer);
  void maybe_done();
  bool on_gui_thread() const;

  Session& session_;
  QMdiArea* area_;
  QWidget* frame_;
  Mailbox mailbox_{*this, this};
  std::function<WindowFactory(Procedure)> procedures_;
  ViewChooser views_;
  DownloaderFactory downloads_;
  std::vector<std::unique_ptr<ModelThread>> threads_;
  std::map<int, Open> open_;
  std::vector<std::shared_ptr<Ask>> asks_;
  bool ending_ = false;
  bool closing_ = false;
  bool ended_signalled_ = false;
  int exit_code_ = kEndedExitCode;
  std::string why_;
};

}  // namespace mervane::gui
