// MAIN and its frame window APPFRAME: the program's outer window with the "&File" menu from
// which every other window is started, as a model without a toolkit. Each item that starts a
// window says how that window's model is built (MenuItem::make), so a window is added to the
// menu here and nowhere else (see core/app/windows.h).
//
// Start-up does no work of the program's own: every session value is at its initial value and
// no table is open when open() runs. open() takes the request protocol's values (the caller's
// GLOBALREQUEST becomes LOCALREQUEST, GLOBALREQUEST and GLOBALRESPONSE are cleared) and starts
// the Build window before the frame is shown; the view shows the frame when open() returns.
// A menu item starts its window through the Starter, on a thread of its own, without waiting
// for it; every choice opens a further window, even of a kind already open. "E&xit", Alt+F4 or
// the close box close the frame, and close() hands back GLOBALRESPONSE.
//
// Threading: the frame's model lives on the GUI thread; the Starter returns at once.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/app/window_model.h"
#include "core/app/windows.h"
#include "core/model/session.h"
#include "core/runtime/status.h"

namespace mervane {

constexpr std::string_view kAppFrameTitle = "Mervane - v 3.03";
constexpr std::string_view kFileMenu = "&File";

enum class MainControl : int {
  FILEPROCESS = 1,
  FILEBROWSEHISTORY,
  FILEDELETEHISTORY,
  FILELOADHISTORY,
  FILEMODIFYSWAPDATA,
  FILEDELETEAUXDATA,
  FILEEDITSPREADCOLLECTSETTINGS,
  FILEKEEPCURRENT,
  FILEALERTS,
  EXIT,
};

struct MenuItem {
  bool separator = false;  // a separator line; nothing else is set
  MainControl control{};
  std::string use;     // "?FILEPROCESS"
  std::string text;    // "&Modify News Event History", "&" marking the mnemonic
  std::string key;     // the key bound to the item, as "F5" or "Alt+F9"; empty for none
  std::string shown;   // the shortcut shown after the text: the key, or "Alt-F4" for E&xit
  std::string status;  // the status bar message while the item is highlighted
  bool starts = false;
  Procedure procedure{};  // what the item starts, when it starts one
  WindowFactory make;     // and how that window's model is built
  bool checkable = false;  // an item that is on or off (Main::keep_current())
};

// The "&File" menu in its order.
const std::vector<MenuItem>& file_menu();

// How the window of a procedure is built: the factory of its menu item.
WindowFactory procedure_factory(Procedure p);

// Starts a window on a thread of its own and returns at once.
class Starter {
 public:
  virtual ~Starter() = default;
  virtual void start(Procedure p) = 0;
};

class Main {
 public:
  Main(Session& s, Starter& starter) : session_(s), starter_(starter) {}

  // MAIN's opening: the request values, then the Build window, before the frame is shown;
  // "Keep this week current" as mervane.cfg remembers it (KEEPCURRENT).
  void open();
  // A menu item chosen. Answers whether the frame is to close (E&xit). "Keep this week current"
  // turns keep_current() over and remembers it in mervane.cfg (a failure to write it is
  // returned by remembered()).
  bool accepted(MainControl c);
  // The windows program keeps this week current (the watch runs while it is on).
  bool keep_current() const { return keep_current_; }
  const Status& remembered() const { return remembered_; }
  // The window system's close (Alt+F4, the close box): the frame closes.
  void close_request() { closing_ = true; }
  bool closing() const { return closing_; }
  // MAIN's end: GLOBALRESPONSE := LOCALRESPONSE, or request cancelled when that is zero.
  void close();

  std::int32_t local_request() const { return local_request_; }
  std::int32_t original_request() const { return original_request_; }

 private:
  Session& session_;
  Starter& starter_;
  std::int32_t local_request_ = 0;
  std::int32_t original_request_ = 0;
  std::int32_t local_response_ = 0;
  bool closing_ = false;
  bool keep_current_ = false;
  Status remembered_;
};

}  // namespace mervane
