// How a window opens another: the caller builds the other window's model (it knows what that
// window needs) and hands it to run(), which shows it and returns when it has closed, as a modal
// window does; start() opens a window of the frame's menu on a thread of its own and returns at
// once. The windows program runs each model in a window of its own; the command line runs it
// without anyone to answer it (run_without_user below); tests play it from a script.
//
// Adding a window:
//   - a window opened from inside another: its model in core (derived from WindowModelBase in
//     window_base.h, the layer that knows what it needs), built by its caller and passed to
//     run(). Nothing else changes: the windows program shows every model through one view, the
//     command line answers it as below.
//   - a window of the frame's menu: the same model, plus a Procedure below and its entry in the
//     menu (file_menu() in core/menu/main_frame.cpp, which says how the item builds its model).
//   - what Cancel leaves (a picker's date, a setup's blank folder) is the model's own close
//     request: the command line and the tests close an unanswered window that way, so it is
//     written once, in the model.
//
// Threading: run() is called on the caller's thread and the model runs there, blocking it (the
// windows program passes the window's drawing to the GUI thread); start() may be called from any
// model thread. Failures: an Abort inside the window unwinds out of run() as Aborted.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

#include "core/app/window_model.h"

namespace mervane {

class Downloader;
class Progress;
class Reporter;
class Session;

// The windows the frame's menu starts, each on a thread of its own.
enum class Procedure {
  ProcFile,             // the Build window
  BrowseHistoryByName,  // the Event History browse
  DeleteHistory,
  BrowseSwapOut,  // the auxiliary item browse
  DeleteSwapOut,
  BrowseSwapRate,  // the swap rate browse
  Alerts,          // the alert settings
  LoadHistory,     // years of calendar history from the month pages
};

class Windows {
 public:
  virtual ~Windows() = default;
  // Opens the window of model w (not yet opened) on the caller's thread and returns when it has
  // closed, with its response (also for a window that closes while opening without being shown,
  // as a form asked to delete does).
  virtual Response run(WindowModel& w) = 0;
  // Starts a window of the menu on a thread of its own, without waiting for it.
  virtual void start(Procedure p) = 0;
  // Asks the user for files to read (a file dialog over the calling window, files of the kinds
  // `filter` names as "Pages (*.html *.htm);;All files (*)"): their paths in the order chosen;
  // none when the user cancelled, and none where nobody is there to choose (the command line).
  virtual std::vector<std::filesystem::path> choose_files(std::string_view /*title*/,
                                                          std::string_view /*filter*/) {
    return {};
  }
};

// What a window of the menu is built with, on its own thread.
struct WindowServices {
  Session& session;
  Reporter& reporter;
  Progress& progress;  // the window's counters as they change
  Windows& windows;    // the windows it opens
  Downloader& downloader;
};
using WindowFactory = std::function<std::unique_ptr<WindowModel>(const WindowServices&)>;

// A window where nobody is there to answer it (the command line): it opens (and does what it
// does while opening: a form asked to delete asks its confirmation through the Reporter), takes
// its first event (a window that works without input does its work then), and a window still
// open after that is closed as its close box closes it, which leaves what Cancel leaves.
Response run_without_user(WindowModel& w);

}  // namespace mervane
