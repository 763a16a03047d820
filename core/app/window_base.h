// What the window models share beneath the protocol of window_model.h: building the list of
// controls, reading a typed entry through the control's picture, showing a value through it, and
// the rules every window keeps (a closed window answers close to everything, a disabled control
// makes no event, a refused entry is a warning that changes nothing).
//
// Threading and failures as in window_model.h: one thread at a time; refusals go to the
// Reporter as warnings captioned with the window's title.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/app/window_model.h"
#include "core/runtime/reporter.h"
#include "core/util/picture.h"

namespace mervane {

// Builds a window's controls in window order. The window's own controls carry the numbers of
// its enum; decorations (prompts, group boxes without a use name, options, images) are numbered
// from first_free on. Controls go into the group set as `parent` when they are added.
class ControlList {
 public:
  explicit ControlList(int first_free) : next_(first_free) {}

  int parent = 0;

  // One of the window's numbered controls.
  ControlList& add(int id, ControlKind kind, std::string use, std::string text = {},
                   std::string picture = {});
  // A date picker button (shown as kCalendarIcon).
  ControlList& calendar_button(int id, std::string use);
  // Places the control added last, in dialog units (fixed-layout windows).
  ControlList& at(Rect r);
  // Decorations; each returns the number it was given.
  int prompt(std::string text);
  int group(std::string text);
  int image(std::string text);
  // An option of the option group `group`, choosing `value`.
  int option(int group, std::string text, std::string value);

  std::vector<ControlSpec> take() { return std::move(controls_); }

 private:
  int decoration(ControlKind kind, std::string text);

  int next_;
  std::vector<ControlSpec> controls_;
};

// What an entry gives: the number (a number, or a date or time serial, by the picture; the
// check box's 1 or 0; the option's value when it is a number) and the text (a text picture's
// text, the option's value as it stands, the typed text otherwise).
struct Typed {
  double number = 0;
  std::string text;
};

// Reads text typed into the control: a check box takes "1" or "0", an option group one of its
// options' values, a drop list one of the given choices, an entry or combo what its picture
// reads. Refused with the reason for the user; a control that takes no entry (button, display,
// prompt) gives neither a value nor a reason.
Parsed<Typed> read_typed(const std::vector<ControlSpec>& controls, int control,
                         std::string_view text, const std::vector<std::string>& choices = {});

// A number, date or time shown through a picture, without the blanks in front that pad it.
std::string shown(std::string_view picture, double value);

// The protocol's common rules around a model's own handlers: after the window closed every
// event answers close with the same response; an event on a disabled or hidden control answers
// stay; type() reads the entry through the control's picture (read_typed), warns of a refusal,
// hands the value to store() and then handles the control as accepted.
class WindowModelBase : public WindowModel {
 public:
  Reply accepted(int control) final;
  Reply selecting(int control) final;
  Reply key(KeyPress k) final;
  Reply close_request() final;
  Reply other_event(const OtherEvent& e) final;
  Reply type(int control, std::string_view text) final;
  bool closed() const final { return closed_; }
  Response response() const final { return response_; }

 protected:
  explicit WindowModelBase(Reporter& reporter) : reporter_(reporter) {}
  // A window that takes no entry (only buttons and keys): it has nothing to refuse, and its
  // reporter_ says nothing.
  WindowModelBase();

  virtual Reply on_accepted(int control) = 0;
  virtual Reply on_selecting(int /*control*/) { return Reply::stay(); }
  virtual Reply on_key(KeyPress k) = 0;
  virtual Reply on_close_request() = 0;
  virtual Reply on_other_event(const OtherEvent& /*e*/) { return Reply::stay(); }
  // Stores a value read_typed accepted; returns why the value was refused (empty: stored).
  virtual std::string store(int control, const Typed& value) = 0;

  // Closes the window with response r; every later event answers the same.
  Reply close(Response r);
  // The Enter and Esc keys of the maintenance and setup windows: Enter anywhere is the OK
  // button, Esc anywhere the Cancel button; other keys do nothing.
  Reply ok_cancel_keys(KeyPress k, int ok, int cancel);
  // Shows a refusal of the user's entry as a warning of this window.
  void refuse(std::string_view reason);

  Reporter& reporter_;

 private:
  bool takes_event(int control) const;

  bool closed_ = false;
  Response response_ = Response::None;
};

}  // namespace mervane
