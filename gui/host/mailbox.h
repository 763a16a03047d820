// The boundary between a window's thread and the GUI thread. A model thread never touches the
// host's state: it posts each message to the Mailbox, which carries it to the GUI side (the
// host) on the GUI thread, in the order posted. Every Mailbox call may come from any thread and
// returns at once; every GuiSide call runs on the GUI thread.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <atomic>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/app/window_model.h"
#include "core/app/windows.h"
#include "gui/widgets/view_event.h"

class QWidget;

namespace mervane::gui {

class MessageBox;
class ModelThread;
class WindowView;

// Makes a window's view on the GUI thread, for a window that has a view of its own.
using ViewMaker = std::function<WindowView*(std::vector<ControlSpec> control_defs, EventSink sink)>;
// Makes a message box with its parent and the callback that takes its answer.
using MessageFactory = std::function<MessageBox*(QWidget*, std::function<void(int)>)>;

// How a window's thread ended.
enum class Outcome {
  Closed,       // its window closed
  EndsProgram,  // its window closed and the program is to end (the automatic Build run)
  Ended,        // a message ended the program (Abort), or the program's end unwound it
  Failed,       // a fault of the program: an exception other than Abort
};

// A message or file dialog a model thread waits on: its thread, and the box or dialog that
// shows it once shown.
struct Ask {
  ModelThread* thread = nullptr;
  QPointer<MessageBox> box;
  QPointer<QWidget> dialog;                  // a file dialog
  std::vector<std::filesystem::path> files;  // what it chose, set before the answer
  bool answered = false;                     // GUI thread only
};

class GuiSide {
 public:
  virtual void open_view(ModelThread* t, int window, int parent,
                         std::vector<ControlSpec> control_defs, const WindowState& state,
                         const ViewMaker& make) = 0;
  virtual void show_state(int window, const WindowState& state, bool busy) = 0;
  virtual void close_view(int window) = 0;
  virtual void thread_finished(ModelThread* t, Outcome outcome, const std::string& why) = 0;
  virtual void start_procedure(Procedure p) = 0;
  virtual void show_message(const std::shared_ptr<Ask>& a, int parent,
                            const MessageFactory& make) = 0;
  virtual void show_file_dialog(const std::shared_ptr<Ask>& a, int parent, const QString& title,
                                const QString& filter) = 0;

 protected:
  ~GuiSide() = default;
};

class Mailbox {
 public:
  // gui: the GUI side, and the object on the GUI thread its calls are queued to.
  Mailbox(GuiSide& gui, QObject* receiver) : gui_(gui), receiver_(receiver) {}

  void open(ModelThread* t, int window, int parent, std::vector<ControlSpec> control_defs,
            WindowState state, ViewMaker make);
  void state(int window, WindowState state, bool busy);
  void close(int window);
  void finished(ModelThread* t, Outcome outcome, std::string why);
  void start(Procedure p);
  void ask(std::shared_ptr<Ask> a, int parent, MessageFactory make);
  void choose(std::shared_ptr<Ask> a, int parent, QString title, QString filter);
  // A number for a new window, unique among the windows of every thread.
  int new_window() { return next_window_++; }

 private:
  void post(std::function<void()> f);

  GuiSide& gui_;
  QObject* receiver_;
  std::atomic<int> next_window_{1};
};

}  // namespace mervane::gui
