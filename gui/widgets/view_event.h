// What the user did in a window's view, on its way to the window's model.
#pragma once

#include <functional>
#include <string>

#include "core/app/window_model.h"

namespace mervane::gui {

struct ViewEvent {
  enum class Kind { Accepted, Selecting, Key, Close, Other, Type };
  Kind kind = Kind::Accepted;
  int control = 0;
  KeyPress key{};
  OtherEvent other{};
  std::string text;  // Type: Windows-1252

  static ViewEvent of(Kind k, int control = 0) {
    ViewEvent e;
    e.kind = k;
    e.control = control;
    return e;
  }
};
using EventSink = std::function<void(ViewEvent)>;

}  // namespace mervane::gui
