// WindowResizeType: how the controls of a fixed-layout window follow the window's size when the
// user resizes it. Toolkit-free: it works on rectangles in the window's units (dialog units
// here) and knows nothing about the program's data; the models of the lists and forms own one,
// and the view moves its widgets to the places it computes.
//
// Every place is computed from the geometry recorded by initialize(), never from the previous
// one, so resizing back and forth accumulates no rounding: back at the initial size, every
// control is back at its initial place. Scales are rounded to four decimals; places are
// truncated to whole units.
#pragma once

#include <vector>

#include "core/app/window_model.h"

namespace mervane {

// The window system's control kind codes that the rules test, and codes for the other kinds
// the program has (which the rules treat alike).
namespace resize_kind {
constexpr int kNone = 0;
constexpr int kString = 1;  // a text string
constexpr int kImage = 2;
constexpr int kBox = 5;  // a frame drawn behind other controls
constexpr int kEntry = 8;
constexpr int kButton = 9;
constexpr int kPrompt = 10;
constexpr int kOption = 11;  // a group of radio buttons
constexpr int kCheck = 12;
constexpr int kGroup = 13;
constexpr int kList = 14;
constexpr int kCombo = 15;
constexpr int kSpin = 16;
constexpr int kMenu = 19;
constexpr int kMenuItem = 20;
constexpr int kRadio = 21;
constexpr int kSheet = 27;
constexpr int kTab = 28;
constexpr int kDropList = 34;
}  // namespace resize_kind

// The kind code of one of the program's controls.
int resize_kind_of(ControlKind k);

// Positional strategy: the x rule in the low byte, the y rule (the same values times 0x100) in
// the high byte. Resize flags: keep the initial width and / or height.
namespace resize_rule {
constexpr int kScale = 0;      // scale the position with the window
constexpr int kKeep = 1;       // keep the initial position
constexpr int kFar = 2;        // keep the distance to the right (bottom) edge
constexpr int kNear = 4;       // keep the distance to the left (top) edge
constexpr int kCentre = 8;     // keep the distance to the centre line
constexpr int kDerive = 0x10;  // the nearer edge of the initial geometry
constexpr int kKeepWidth = 1;
constexpr int kKeepHeight = 2;
}  // namespace resize_rule

class WindowResizeType {
 public:
  // Every control scales (also any unknown strategy), or each kind has its own rules.
  enum AppStrategy { kResizeStrategy = 1, kSpreadStrategy = 2 };

  struct Control {
    int number = 0;
    int type = 0;        // kind code
    int positional = 0;  // POSITIONALSTRATEGY
    int resize = 0;      // RESIZESTRATEGY flags
    Rect initial;        // XPOS, YPOS, WIDTH, HEIGHT
    Rect now;            // its place after the last resize
  };
  struct Input {
    int number = 0;
    int type = 0;
    Rect at;
  };

  // INITIALIZE: window is the window's position and size now; controls gives each control's
  // number, kind code and place. Kinds 0, 19 and 20 (no control, menus) are left out.
  void initialize(int app_strategy, Rect window, const std::vector<Input>& controls);
  // The same for a window model's controls, by their kinds.
  void initialize(int app_strategy, Rect window, const std::vector<ControlSpec>& controls);

  // Gives one recorded control other rules than its kind's.
  void set_strategy(int number, int positional, int flags);

  // RESIZE: the window's position and size now. When its size equals that of the last resize
  // handled nothing moves and the answer is false; else every control gets its new place.
  bool resize(Rect window);

  // DESTROY: forgets the controls.
  void destroy() { controls_.clear(); }

  // A control's place now; zero when it was not recorded.
  Rect place(int number) const;
  const std::vector<Control>& controls() const { return controls_; }
  Rect original() const { return origwin_; }
  Rect previous() const { return previouswin_; }

 private:
  Rect origwin_;
  Rect previouswin_;
  std::vector<Control> controls_;  // CONTROLQUEUE, by control number
};

}  // namespace mervane
