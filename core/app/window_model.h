// The one protocol every window of the program speaks, so that one view class can show any
// window and one host can drive it, and so that the command line and the tests drive a window
// exactly as a user does.
//
// A window is a model: the controls it shows (ControlSpec, in window order, with the texts and
// pictures of the system exactly as they stand), the state of each control after the last event
// (its value as shown, enabled, hidden, the lines of a list), and five event entry points. Each
// event answers with a Reply: the window stays open, or it closes with a response (the
// GLOBALRESPONSE of the caller: completed or cancelled).
//
// Life: construct, open() (the opening steps: tables, files, initial values), then events until
// one answers close. A window may close in open() already (a form asked to delete a record asks
// for confirmation and deletes without showing itself): when closed() is true after open() the
// host does not show it. After the window has closed every event answers close again, with the
// same response, and changes nothing. A model opens other windows (date picker, setup, forms)
// by building their models and handing them to Windows::run() (windows.h), and message boxes
// through its Reporter; those calls return when the other window has closed. A window that works without input (a progress window, the automatic Build run) does
// its work at its first event, OtherEvent::Opened, and answers close when it is done.
//
// Threading: a model belongs to one thread at a time, the thread that calls open() and the
// events; nothing here is locked. A windowed host runs each window's model on a thread of its own
// and reads the state only on that thread (state() below takes a copy for the GUI thread).
//
// Failures: the models report through their Reporter (stop messages, warnings). A refused entry
// is refused with a warning and changes nothing; the event then answers stay.
#pragma once

#include <cstddef>
#include <type_traits>
#include <string>
#include <string_view>
#include <vector>

namespace mervane {

// The number of a control (its place in the window's enum of controls, from 1).
template <class Control>
  requires std::is_enum_v<Control>
constexpr int number(Control c) {
  return static_cast<int>(c);
}

// GLOBALRESPONSE: what a closing window hands back to its caller.
enum class Response : int { None = 0, Completed = 1, Cancelled = 2 };

// The answer to an event.
struct Reply {
  bool close = false;
  Response response = Response::None;

  static constexpr Reply stay() { return {}; }
  static constexpr Reply closed(Response r = Response::Cancelled) { return {true, r}; }
  bool operator==(const Reply&) const = default;
};

// Keys a window reacts to as keys (typing into a field is type(), below). Ditto is Ctrl+'.
enum class Key {
  Enter,
  CtrlEnter,
  Esc,
  Insert,
  Delete,
  Ditto,
  F2,
  F3,
  F6,
  F7,
  F10,
  Up,
  Down,
  PageUp,
  PageDown,
  Home,
  End,
  Char,  // a printable character typed while a list has the focus (locate)
};

struct KeyPress {
  Key key = Key::Enter;
  char ch = 0;      // Key::Char: the character, in Windows-1252
  int control = 0;  // the control that has the focus; 0: the one the model last had selecting()
};

// Everything else a user or the window system does to a window.
struct OtherEvent {
  enum class Kind {
    Opened,       // the window's first event, once it is shown
    Focused,      // the window gained the focus
    RowSelected,  // a row of a list clicked: value = row on the page, from 0
    RowActivated, // a row double-clicked: value = row on the page, from 0
    Scroll,       // a list scrolled: value = rows (+ down, - up); see ListState for pages
    Thumb,        // a list's scroll thumb dropped: value = stop, 1 to 100
    Tab,          // a tab chosen: value = tab, from 0
    Resized,      // the window's new size: width, height (dialog units)
    Moved,        // the window's new place in its frame: x, y (dialog units)
    PageRows,     // the rows a list can show changed: value = rows (the view measured them)
    Timer,
  };
  Kind kind = Kind::Opened;
  int control = 0;  // the list or tab sheet concerned, 0 for the window
  int value = 0;
  int width = 0;
  int height = 0;
  int x = 0;
  int y = 0;
};

enum class ControlKind {
  Prompt,       // a text beside or above other controls
  Entry,        // a field the user types into, shown through its picture
  Check,        // a check box: value "1" or "0"
  OptionGroup,  // a group of radio buttons: value = the chosen Option's value
  Option,       // one radio button of the OptionGroup that is its parent
  Button,
  Group,        // a group box: text is its caption
  List,         // a list box or a browse list (see ListState)
  DropList,     // a drop-down list: choices(); value = the chosen line
  Combo,        // an entry with a drop-down list of proposals (choices()): value = the text
                // typed or chosen, through the control's picture
  Display,      // a value shown and not typed into (a counter, a date being read)
  Symbol,       // one character shown in the Wingdings font: value = the character code
  Image,        // a picture of the program's own: text names it
  Tabs,         // a sheet of tabs: its Tab controls are its children
  Tab,          // one tab of the sheet that is its parent; text is its caption
  Box,          // a frame drawn behind the controls at its place
};

// A place in dialog units (a quarter of the average character width, an eighth of the
// character height of the window's font). All zero when the view lays the window out itself.
struct Rect {
  int x = 0, y = 0, w = 0, h = 0;
  bool operator==(const Rect&) const = default;
};

struct ControlSpec {
  int id = 0;            // the window's number of the control (its enum), from 1
  ControlKind kind = ControlKind::Prompt;
  std::string use;       // the use name: "?CHECKHIST"; blank for pure decoration
  std::string text;      // label, prompt, caption or button text as shown, "&" marking the
                         // mnemonic; lines split by '\n'. A Display shows no text: its text
                         // only names what it shows, for screen readers
  std::string picture;   // "d2", "n-3", "s99", ...; empty when the control has none
  int parent = 0;        // the Group, OptionGroup, Tabs or Tab that holds it; 0 for the window
  Rect at;               // its place; zero when the view lays the window out
  std::string value;     // Option: the value its group takes when it is chosen; Box: the
                         // colour of its line ("red", "blue")
  std::string icon;      // a button shown as a picture of the program's own instead of text:
                         // kCalendarIcon for the date picker button beside a date entry
  std::string font;      // a symbol font the text is drawn in ("Webdings", "Wingdings");
                         // empty for the window's own font
};

constexpr std::string_view kCalendarIcon = "calendar";

// The visible page of a list.
struct ListState {
  std::vector<std::string> headers;             // column headers; empty for a plain list box
  std::vector<int> widths;                      // column widths (dialog units), as headers
  std::vector<bool> numbers;                    // the columns of numbers (right-aligned)
  std::vector<std::vector<std::string>> rows;   // the rows on the page, cells as shown
  int highlighted = -1;                         // row on the page, -1 for none
  int thumb = 0;                                // scroll thumb stop, 1 to 100; 0 when none
  int page_rows = 0;                            // rows the page holds
};

// Where a window opens and how large it is, in dialog units. A size of zero: the host sizes the
// window to its contents; placed false: the host places it.
struct Frame {
  Rect at;
  bool placed = false;
  bool operator==(const Frame&) const = default;
};

// A copy of everything a window shows, for another thread.
struct ControlState {
  std::string value;
  bool enabled = true;
  bool hidden = false;
  std::vector<std::string> choices;
  ListState list;
  Rect at;  // its place now (after the window was resized)
};
struct WindowState {
  std::string title;
  Frame frame;
  std::vector<ControlState> controls;  // in the order of controls()
  int focus = 0;
  bool closed = false;
};

class WindowModel {
 public:
  virtual ~WindowModel() = default;

  // The controls in window order; fixed for the window's life.
  virtual const std::vector<ControlSpec>& controls() const = 0;
  // The title: fixed for most windows; a form shows its action while it works.
  virtual std::string title() const = 0;

  // The opening steps. Called once, before any event.
  virtual void open() = 0;

  // Events. An event on a control that is disabled or hidden changes nothing and answers stay.
  virtual Reply accepted(int control) = 0;   // a button pressed; a field, box or list accepted
  virtual Reply selecting(int control) = 0;  // the cursor is about to move onto the control
  virtual Reply key(KeyPress k) = 0;
  virtual Reply close_request() = 0;         // the close box, Alt+F4, the frame closing
  virtual Reply other_event(const OtherEvent& e) = 0;

  // The user's entry into a control: the text typed into an entry or combo, "1" or "0" for a
  // check box, an Option's value for an option group, a line of choices() for a drop list. What
  // the control's picture or choices refuse is refused with a warning (caption: the title) and
  // changes nothing; otherwise the value is stored and the entry handled as accepted(control).
  // A view calls it once the entry is complete (Enter, or the cursor leaving the field), not for
  // every character: the picture guards the typing itself. A control that takes no entry (a
  // button, a display) ignores it.
  virtual Reply type(int control, std::string_view text) = 0;

  // State after the last event. value() is the text as the control shows it: an entry, combo or
  // display through its picture without the blanks that pad it ("60", "03/07/2009", "" for a
  // zero shown blank), a check box "1" or "0", an option group the chosen Option's value (none
  // chosen when it matches no Option), a Symbol the character code ("139"); a button whose text
  // changes, as a date picker's day, its text in place of the one it was defined with.
  virtual std::string value(int control) const = 0;
  virtual bool enabled(int control) const = 0;
  virtual bool hidden(int /*control*/) const { return false; }
  virtual std::vector<std::string> choices(int control) const;
  virtual ListState list(int control) const;
  // The control the cursor is to be on after the last event; 0 to leave it where it is.
  virtual int focus() const { return 0; }
  virtual bool closed() const = 0;
  // What the window answered when it closed; Response::None while it is open.
  virtual Response response() const { return Response::None; }
  // Where the window opens, and its size. A fixed-layout window gives its size; a window that
  // reopens where it was first placed gives that place once it knows it.
  virtual Frame frame() const { return {}; }
  // A control's place now: its ControlSpec::at until the window is resized (OtherEvent Resized),
  // then the place the window's resize rules give it.
  virtual Rect place(int control) const;
  // After the window closed: the program is to end now, without a message (the automatic Build
  // run that "Autoplay.CSV" started).
  virtual bool ends_program() const { return false; }
  // When not zero, the window takes an OtherEvent::Timer once this long has passed without
  // another event (work done in steps, so that its buttons are heard between two steps).
  virtual int wake_after_ms() const { return 0; }

  // The whole state, taken on the model's thread.
  WindowState state() const;
  // How a control is defined; nullptr when the window has none of that number.
  const ControlSpec* control_def(int control) const;
};

// The accessible name of a control: its text without the "&" mnemonic marks and outer blanks;
// for a control without text (an entry beside its prompt), the text of the nearest Prompt before
// it in window order within the same parent, else its parent's caption (an entry inside a group
// box that has no prompt of its own).
std::string accessible_name(const std::vector<ControlSpec>& controls, std::size_t index);
// Its accessible description: the use name without the "?" ("?CHECKHIST" -> "CHECKHIST").
std::string accessible_description(const ControlSpec& c);

}  // namespace mervane
