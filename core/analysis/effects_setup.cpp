#include "core/analysis/effects_setup.h"

#include <algorithm>

#include "core/analysis/effects_offsets.h"
#include "core/model/session.h"

namespace mervane {

EffectsSetup::EffectsSetup(Session& s, Reporter& r) : session_(s), reporter_(r), ini_(s.folder()) {}

void EffectsSetup::open() {
  session_.with([](Globals& g) { g.dosfilename = kEffIniFile; });
  open_ = true;
  step_ = 0;
  // After an Ignored "Open(" the read could only fail again: one message is enough.
  if (ini_.open_or_create(reporter_)) {
    ini_.get(reporter_, g3_);
  } else {
    g3_ = EffectsSettings{};
  }
  option1_ = "  " + g3_.chartint.str();
  if (g3_.histpath.blank()) propose_histpath();
  locked_ = true;
  out_of_range_ = 0;
  publish();
}

// The history lies beside the terminal's "experts" folder: <terminal>\history\<server>\. The
// eight question marks stand for the trading server's folder, which the user types in. Under
// Wine the News.CSV path has slashes, so a "/experts" is looked for as well and its separator
// used.
void EffectsSetup::propose_histpath() {
  const std::string out = session_.globals().outname.str();
  const std::size_t back = out.find("\\experts");
  const std::size_t slash = out.find("/experts");
  const std::size_t p = std::min(back, slash);
  if (p == std::string::npos) return;
  const char sep = out[p];
  g3_.histpath = out.substr(0, p + 1) + "history" + sep + "????????" + sep;
}

bool EffectsSetup::enabled(EffectsSetupControl c) const {
  const int n = static_cast<int>(c);
  const bool offset = n >= static_cast<int>(EffectsSetupControl::TIMEINT_1) &&
                      n <= static_cast<int>(EffectsSetupControl::TIMEINT_24);
  return !(offset && locked_);
}

void EffectsSetup::set_histpath(std::string_view path) {
  g3_.histpath = path;
  publish();
}

bool EffectsSetup::choose_timeframe(std::string_view code) {
  if (!timeframe_step(code)) return false;
  option1_ = "  " + std::string(code);
  take_timeframe();
  reset();
  publish();
  return true;
}

bool EffectsSetup::set_offset(int entry, std::int64_t minutes) {
  if (locked_ || entry < 1 || entry > 24) return false;
  g3_.timeint[static_cast<std::size_t>(entry - 1)] =
      static_cast<std::int16_t>(std::clamp<std::int64_t>(minutes, kMinOffset, kMaxOffset));
  publish();
  return true;
}

void EffectsSetup::press(EffectsSetupControl c) {
  switch (c) {
    case EffectsSetupControl::RESET:
      take_timeframe();
      reset();
      break;
    case EffectsSetupControl::INCREASE:
      take_timeframe();
      increase();
      break;
    case EffectsSetupControl::DECREASE:
      take_timeframe();
      decrease();
      break;
    case EffectsSetupControl::CLEAR:
      take_timeframe();
      clear();
      break;
    case EffectsSetupControl::UNLOCK:
      take_timeframe();
      locked_ = false;
      break;
    case EffectsSetupControl::OK:
      g3_.chartint = code();
      publish();
      ini_.put(reporter_, g3_);
      ini_.close();
      open_ = false;
      return;
    case EffectsSetupControl::CANCEL:
      ini_.close();
      open_ = false;
      return;
    default:
      return;
  }
  publish();
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
