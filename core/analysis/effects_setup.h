// EFFECTSSETUP: the window in which the user sets where the MT4 history files lie, the chart
// timeframe whose history is read and the 24 sampling offsets, kept in G3PARMS and "EFF.INI".
//
// A toolkit-free model: the view shows its fields and calls the handlers as the user acts; a
// headless caller drives it the same way. It works on the calling thread and keeps "EFF.INI"
// open from open() until OK or Cancel. Every change of the settings goes into the session's
// G3PARMS at once, so a Cancel leaves them changed in memory (not in the file) until they are
// read again. File failures go to the Reporter ("Create(EFF.INI) - ...", "Open(", "Get(",
// "Put("); Abort throws Aborted.
//
// Offsets are signed 16-bit minutes. The W1 and MN steps reach beyond that range (22 x 10080,
// any non-zero multiple of 43200): an operation never wraps such a value round to a wrong
// offset; the entry becomes 0 instead, which ends the list of offsets in use (a 0 after a
// positive entry), and out_of_range() tells the view how many entries that happened to so it
// can say so. Typed entries are limited to the range.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/analysis/effects_ini.h"
#include "core/model/settings.h"
#include "core/runtime/reporter.h"

namespace mervane {

class Session;

// The controls in window order; the 24 offset fields form one range.
enum class EffectsSetupControl : int {
  HISTPATH = 1,
  OPTION1,
  RESET,
  INCREASE,
  DECREASE,
  CLEAR,
  UNLOCK,
  TIMEINT_1,
  TIMEINT_24 = TIMEINT_1 + 23,
  OK,
  CANCEL,
};

class EffectsSetup {
 public:
  static constexpr std::string_view kCaption = "  Setup for Effects Analysis Reporting";
  static constexpr std::int16_t kMinOffset = -32768;
  static constexpr std::int16_t kMaxOffset = 32767;

  EffectsSetup(Session& s, Reporter& r);

  // The opening steps: opens (creating when missing) and reads "EFF.INI" into G3PARMS, selects
  // the timeframe's radio button, proposes a history folder from the News.CSV path when none is
  // set, and locks the offset fields.
  void open();

  const EffectsSettings& settings() const { return g3_; }
  // The radio group's value: two blanks and the timeframe code.
  const std::string& option1() const { return option1_; }
  // Minutes per bar of the timeframe last taken (0 until an operation takes one).
  std::int32_t step() const { return step_; }
  bool offsets_locked() const { return locked_; }
  bool enabled(EffectsSetupControl c) const;
  // Entries the last offset operation set to 0 because their value lay outside 16 bits.
  int out_of_range() const { return out_of_range_; }
  bool is_open() const { return open_; }

  // Typing into the path field (cut to its 99 characters).
  void set_histpath(std::string_view path);
  // Choosing a radio button: takes its timeframe and resets the offsets. False (nothing
  // changes) for a code that is none of the nine.
  [[nodiscard]] bool choose_timeframe(std::string_view code);
  // Typing an offset (entry 1 to 24) while the fields are unlocked, limited to the 16-bit
  // range. False when the fields are locked or there is no such entry.
  [[nodiscard]] bool set_offset(int entry, std::int64_t minutes);
  // A button: RESET, INCREASE, DECREASE, CLEAR, UNLOCK, OK or CANCEL (others do nothing).
  void press(EffectsSetupControl c);
  // Enter anywhere is OK; Esc and the window's close request are Cancel.
  void enter() { press(EffectsSetupControl::OK); }
  void escape() { press(EffectsSetupControl::CANCEL); }

 private:
  std::string_view code() const;
  void take_timeframe();
  void reset();
  void increase();
  void decrease();
  void clear();
  std::int16_t fit(std::int64_t minutes);
  void propose_histpath();
  void publish();

  Session& session_;
  Reporter& reporter_;
  EffectsIni ini_;
  EffectsSettings g3_;
  std::string option1_;
  std::int32_t step_ = 0;
  bool locked_ = true;
  bool open_ = false;
  int out_of_range_ = 0;
};

}  // namespace mervane
