#include "core/analysis/effects_setup.h"

#include <algorithm>
#include <cmath>

#include "core/analysis/effects_offsets.h"
#include "core/model/session.h"
#include "core/runtime/paths.h"
#include "core/util/charset.h"

namespace mervane {

static_assert(kHistPathWidth == 255, "the picture of the path's field");

namespace {

using C = EffectsSetupControl;

constexpr const char* kTimeframes[] = {"M1", "M5", "M15", "M30", "H1", "H4", "D1", "W1", "MN"};

std::vector<ControlSpec> build_controls() {
  ControlList l(100);
  using K = ControlKind;
  l.prompt("Path where MT4 History files reside");
  l.add(number(C::HISTPATH), K::Combo, "?G3:HISTPATH", {}, "s255");
  l.add(number(C::OPTION1), K::OptionGroup, "?OPTION1",
        "  Chart timeframe for price history collection  ");
  for (const char* code : kTimeframes)
    l.option(number(C::OPTION1), std::string("  ") + code, std::string("  ") + code);
  l.prompt(
      "Time interval offsets (in minutes) for price history collection (relative to time of "
      "News Event)");
  l.add(number(C::RESET), K::Button, "?RESET", "Reset");
  l.add(number(C::INCREASE), K::Button, "?INCREASE", "Increase");
  l.add(number(C::DECREASE), K::Button, "?DECREASE", "Decrease");
  l.add(number(C::CLEAR), K::Button, "?CLEAR", "Clear");
  l.add(number(C::UNLOCK), K::Button, "?UNLOCK", "Unlock");
  for (int i = 1; i <= 24; ++i)
    l.add(number(C::TIMEINT_1) + i - 1, K::Entry, "?G3:TIMEINT_" + std::to_string(i), {}, "n-8");
  l.add(number(C::OK), K::Button, "?OK", "OK  (Enter)");
  l.add(number(C::CANCEL), K::Button, "?CANCEL", "Cancel  (Esc)");
  return l.take();
}

// A history folder as the path holds it: with its final separator.
std::string history_path(const HistoryServer& h) {
  return cp1252_from_utf8((h.folder / "").string());
}

bool is_offset(int control) {
  return control >= number(C::TIMEINT_1) && control <= number(C::TIMEINT_24);
}

}  // namespace

EffectsSetup::EffectsSetup(Session& s, Reporter& r)
    : WindowModelBase(r), session_(s), ini_(s.folder()) {}

const std::vector<ControlSpec>& EffectsSetup::controls() const {
  static const std::vector<ControlSpec> kControls = build_controls();
  return kControls;
}

void EffectsSetup::open() {
  session_.with([](Globals& g) { g.dosfilename = kEffIniFile; });
  step_ = 0;
  focus_ = 0;
  // After an Ignored "Open(" the read could only fail again: one message is enough.
  if (ini_.open_or_create(reporter_)) {
    ini_.get(reporter_, g3_);
  } else {
    g3_ = EffectsSettings{};
  }
  option1_ = "  " + g3_.chartint.str();
  terminals_ = find_terminals(session_);
  if (g3_.histpath.blank()) propose_histpath();
  locked_ = true;
  out_of_range_ = 0;
  publish();
}

// The history of the terminal found to read the News.CSV; otherwise, for a terminal not found,
// beside its "experts" folder: <terminal>\history\<server>\. The eight question marks stand
// for the trading server's folder, which the user types in. Under Wine the News.CSV path has
// slashes, so a "/experts" is looked for as well and its separator used.
void EffectsSetup::propose_histpath() {
  const std::string out = session_.globals().outname.str();
  // A path too long to keep is not proposed: cut, it would name another folder.
  const auto propose = [&](const std::string& path) {
    if (path.size() <= kHistPathWidth) g3_.histpath = path;
  };
  // The terminal that reads the News.CSV: the server whose history it wrote last.
  const Terminal* t =
      out.empty() ? nullptr : terminal_of_news(terminals_, resolve(session_.folder(), out));
  const auto written = [](const HistoryServer& h) { return h.newest ? h.newest->written : 0; };
  const HistoryServer* last = nullptr;
  if (t)
    for (const HistoryServer& h : t->history)
      if (!last || written(h) > written(*last)) last = &h;
  if (last) return propose(history_path(*last));
  const std::size_t back = out.find("\\experts");
  const std::size_t slash = out.find("/experts");
  const std::size_t p = std::min(back, slash);
  if (p == std::string::npos) return;
  const char sep = out[p];
  propose(out.substr(0, p + 1) + "history" + sep + "????????" + sep);
}

std::vector<std::string> EffectsSetup::choices(int control) const {
  std::vector<std::string> out;
  if (control != number(C::HISTPATH)) return out;
  for (const Terminal* t : usable_terminals(terminals_))
    for (const HistoryServer& h : t->history) out.push_back(history_path(h));
  return out;
}

bool EffectsSetup::enabled(int control) const {
  if (is_offset(control)) return !locked_;
  return control_def(control) != nullptr;
}

std::string EffectsSetup::value(int control) const {
  if (is_offset(control))
    return shown("n-8", g3_.timeint[static_cast<std::size_t>(control - number(C::TIMEINT_1))]);
  if (control == number(C::HISTPATH)) return g3_.histpath.str();
  if (control == number(C::OPTION1)) return option1_;
  return {};
}

// A timeframe chosen resets the offsets; a typed offset is held within 16 bits.
std::string EffectsSetup::store(int control, const Typed& v) {
  if (control == number(C::HISTPATH)) {
    g3_.histpath = v.text;
  } else if (control == number(C::OPTION1)) {
    option1_ = v.text;
    take_timeframe();
    reset();
  } else if (is_offset(control)) {
    g3_.timeint[static_cast<std::size_t>(control - number(C::TIMEINT_1))] =
        static_cast<std::int16_t>(std::clamp<double>(std::trunc(v.number), kMinOffset, kMaxOffset));
  }
  publish();
  return {};
}

Reply EffectsSetup::on_key(KeyPress k) {
  return ok_cancel_keys(k, number(C::OK), number(C::CANCEL));
}

Reply EffectsSetup::on_accepted(int control) {
  focus_ = 0;
  switch (static_cast<C>(control)) {
    case C::RESET:
      take_timeframe();
      reset();
      break;
    case C::INCREASE:
      take_timeframe();
      increase();
      break;
    case C::DECREASE:
      take_timeframe();
      decrease();
      break;
    case C::CLEAR:
      take_timeframe();
      clear();
      break;
    case C::UNLOCK:
      take_timeframe();
      locked_ = false;
      focus_ = number(C::TIMEINT_1);
      break;
    case C::OK:
      g3_.chartint = code();
      publish();
      ini_.put(reporter_, g3_);
      ini_.close();
      return close(Response::Completed);
    case C::CANCEL:
      ini_.close();
      return close(Response::Cancelled);
    default:
      return Reply::stay();
  }
  publish();
  return Reply::stay();
}

// The code is the radio group's value from its third character on.
std::string_view EffectsSetup::code() const {
  return std::string_view(option1_).substr(std::min<std::size_t>(2, option1_.size()));
}

// A code that is none of the nine leaves the step as it was.
void EffectsSetup::take_timeframe() {
  g3_.chartint = code();
  if (const auto s = timeframe_step(g3_.chartint.view())) step_ = *s;
  locked_ = true;
}

std::int16_t EffectsSetup::fit(std::int64_t minutes) {
  if (minutes < kMinOffset || minutes > kMaxOffset) {
    ++out_of_range_;
    return 0;
  }
  return static_cast<std::int16_t>(minutes);
}

void EffectsSetup::reset() {
  out_of_range_ = 0;
  for (std::size_t i = 0; i < g3_.timeint.size(); ++i)
    g3_.timeint[i] = fit((static_cast<std::int64_t>(i) - 1) * step_);
}

void EffectsSetup::increase() {
  out_of_range_ = 0;
  for (auto& e : g3_.timeint) e = fit(std::int64_t{e} + step_);
}

// An entry that would fall below its predecessor was cleared before (0 between offsets): it
// stays 0 instead of moving below its neighbours.
void EffectsSetup::decrease() {
  out_of_range_ = 0;
  for (std::size_t i = 0; i < g3_.timeint.size(); ++i) {
    g3_.timeint[i] = fit(std::int64_t{g3_.timeint[i]} - step_);
    if (i >= 1 && g3_.timeint[i] < g3_.timeint[i - 1]) g3_.timeint[i] = 0;
  }
}

void EffectsSetup::clear() {
  out_of_range_ = 0;
  g3_.timeint.fill(0);
}

void EffectsSetup::publish() {
  session_.set_g3(g3_);
}

}  // namespace mervane
