#include "core/setup/window_resize.h"

#include <algorithm>
#include <cmath>

namespace mervane {

namespace rr = resize_rule;
namespace rk = resize_kind;

int resize_kind_of(ControlKind k) {
  switch (k) {
    case ControlKind::Prompt:
      return rk::kPrompt;
    case ControlKind::Entry:
      return rk::kEntry;
    case ControlKind::Check:
      return rk::kCheck;
    case ControlKind::OptionGroup:
      return rk::kOption;
    case ControlKind::Option:
      return rk::kRadio;
    case ControlKind::Button:
      return rk::kButton;
    case ControlKind::Group:
      return rk::kGroup;
    case ControlKind::List:
      return rk::kList;
    case ControlKind::DropList:
      return rk::kDropList;
    case ControlKind::Combo:
      return rk::kCombo;
    case ControlKind::Display:
    case ControlKind::Symbol:
      return rk::kString;
    case ControlKind::Image:
      return rk::kImage;
    case ControlKind::Box:
      return rk::kBox;
    case ControlKind::Tabs:
      return rk::kSheet;
    case ControlKind::Tab:
      return rk::kTab;
  }
  return rk::kNone;
}

namespace {

struct Strategy {
  int positional = 0;
  int flags = 0;
};

Strategy strategy_of(int app_strategy, int type) {
  if (app_strategy != WindowResizeType::kSpreadStrategy) return {};
  switch (type) {
    case rk::kButton:
      return {rr::kDerive | rr::kDerive << 8, rr::kKeepWidth | rr::kKeepHeight};
    case rk::kRadio:
    case rk::kCheck:
      return {0, rr::kKeepWidth | rr::kKeepHeight};
    case rk::kEntry:
    case rk::kCombo:
    case rk::kSpin:
    case rk::kDropList:
      return {0, rr::kKeepHeight};
    default:
      return {};
  }
}

// The scale of one dimension, held to four decimals.
double scale(int now, int original) {
  if (original == 0) return 1;
  return std::round(static_cast<double>(now) / original * 10000) / 10000;
}

int truncated(double v) {
  return static_cast<int>(std::trunc(v));
}

// One coordinate by its rule: pos and size are the control's initial ones, extent the window's
// initial extent, now_extent its extent now; kept says whether the size is kept.
int corrected(int rule, int pos, int size, int extent, int now_extent, double s, bool kept,
              int scaled) {
  if (rule == rr::kDerive) rule = pos > extent - pos - size ? rr::kFar : rr::kNear;
  switch (rule) {
    case rr::kKeep:
      return pos;
    case rr::kFar: {
      const int d = extent - pos;
      return kept ? now_extent - d : truncated(now_extent - d * s);
    }
    case rr::kNear:
      return kept ? pos : truncated(pos * s);
    case rr::kCentre: {
      const int d = pos - extent / 2;
      return kept ? truncated(now_extent / 2.0 + d) : truncated(now_extent / 2.0 + d * s);
    }
    default:
      return scaled;
  }
}

}  // namespace

void WindowResizeType::initialize(int app_strategy, Rect window, const std::vector<Input>& in) {
  controls_.clear();
  origwin_ = previouswin_ = window;
  for (const Input& c : in) {
    if (c.type == rk::kNone || c.type == rk::kMenu || c.type == rk::kMenuItem) continue;
    const Strategy st = strategy_of(app_strategy, c.type);
    controls_.push_back({c.number, c.type, st.positional, st.flags, c.at, c.at});
  }
  std::stable_sort(controls_.begin(), controls_.end(),
                   [](const Control& a, const Control& b) { return a.number < b.number; });
}

void WindowResizeType::initialize(int app_strategy, Rect window,
                                  const std::vector<ControlSpec>& controls) {
  std::vector<Input> in;
  in.reserve(controls.size());
  for (const ControlSpec& c : controls) in.push_back({c.id, resize_kind_of(c.kind), c.at});
  initialize(app_strategy, window, in);
}

bool WindowResizeType::resize(Rect window) {
  if (window.w == previouswin_.w && window.h == previouswin_.h) return false;
  previouswin_ = window;
  const double xs = scale(window.w, origwin_.w);
  const double ys = scale(window.h, origwin_.h);
  for (Control& c : controls_) {
    const Rect& i = c.initial;
    const bool keep_w = (c.resize & rr::kKeepWidth) != 0;
    const bool keep_h = (c.resize & rr::kKeepHeight) != 0;
    Rect r;
    r.x = truncated(i.x * xs);
    r.y = truncated(i.y * ys);
    r.w = keep_w ? i.w : truncated(i.w * xs);
    r.h = keep_h ? i.h : truncated(i.h * ys);
    if (xs != 1)
      r.x = corrected(c.positional & 0xFF, i.x, i.w, origwin_.w, window.w, xs, keep_w, r.x);
    if (ys != 1)
      r.y = corrected(c.positional >> 8 & 0xFF, i.y, i.h, origwin_.h, window.h, ys, keep_h, r.y);
    // A text string of width 1 sizes itself: it keeps the width it has.
    if (c.type == rk::kString && i.w == 1) r.w = c.now.w;
    c.now = r;
  }
  return true;
}

void WindowResizeType::set_strategy(int number, int positional, int flags) {
  for (Control& c : controls_)
    if (c.number == number) {
      c.positional = positional;
      c.resize = flags;
    }
}

Rect WindowResizeType::place(int number) const {
  auto it = std::lower_bound(controls_.begin(), controls_.end(), number,
                             [](const Control& c, int n) { return c.number < n; });
  return it != controls_.end() && it->number == number ? it->now : Rect{};
}

}  // namespace mervane
