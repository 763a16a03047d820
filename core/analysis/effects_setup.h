// EFFECTSSETUP: the window in which the user sets where the MT4 history files lie, the chart
// timeframe whose history is read and the 24 sampling offsets, kept in G3PARMS and "EFF.INI".
//
// A toolkit-free model speaking the window protocol (window_model.h): choosing a timeframe
// resets the offsets, the buttons change them, Unlock lets them be typed one by one; OK or Enter
// anywhere writes the file and answers close (Completed), Cancel, Esc or the close box answer
// close (Cancelled). It works on the calling thread and keeps "EFF.INI" open from open() until
// OK or Cancel. Every change of the settings goes into the session's
// G3PARMS at once, so a Cancel leaves them changed in memory (not in the file) until they are
// read again. File failures go to the Reporter ("Create(EFF.INI) - ...", "Open(", "Get(",
// "Put("); Abort throws Aborted.
//
// Offsets are signed 16-bit minutes. The W1 and MN steps reach beyond that range (22 x 10080,
// any non-zero multiple of 43200): an operation never wraps such a value round to a wrong
// offset; the entry becomes 0 instead, which ends the list of offsets in use (a 0 after a
// positive entry), and out_of_range() tells the view how many entries that happened to so it
// can say so. Typed entries are limited to the range.
//
// The history path is typed, or chosen from the history\<server> folders of the MT4 terminals
// found on the session's machine (core/setup/terminals.h); when none is set, the window
// proposes the history of the terminal whose files folder holds the News.CSV path.
//
// The timeframe group's value is the chosen radio's text: two blanks and the code ("  H1").
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "core/analysis/effects_ini.h"
#include "core/app/window_base.h"
#include "core/model/settings.h"
#include "core/runtime/reporter.h"
#include "core/setup/terminals.h"

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

class EffectsSetup final : public WindowModelBase {
 public:
  static constexpr std::string_view kCaption = "  Setup for Effects Analysis Reporting";
  static constexpr std::int16_t kMinOffset = -32768;
  static constexpr std::int16_t kMaxOffset = 32767;

  EffectsSetup(Session& s, Reporter& r);

  const std::vector<ControlSpec>& controls() const override;
  std::string title() const override { return std::string(kCaption); }
  // The opening steps: opens (creating when missing) and reads "EFF.INI" into G3PARMS, selects
  // the timeframe's radio button, proposes a history folder from the News.CSV path when none is
  // set, and locks the offset fields.
  void open() override;

  std::string value(int control) const override;
  bool enabled(int control) const override;
  // The history folders of the terminals found, for ?G3:HISTPATH.
  std::vector<std::string> choices(int control) const override;
  // The first offset field after Unlock; 0 otherwise.
  int focus() const override { return focus_; }

  const EffectsSettings& settings() const { return g3_; }
  // Minutes per bar of the timeframe last taken (0 until an operation takes one).
  std::int32_t step() const { return step_; }
  bool offsets_locked() const { return locked_; }
  // Entries the last offset operation set to 0 because their value lay outside 16 bits.
  int out_of_range() const { return out_of_range_; }

 protected:
  Reply on_accepted(int control) override;
  Reply on_key(KeyPress k) override;
  Reply on_close_request() override { return accepted(number(EffectsSetupControl::CANCEL)); }
  std::string store(int control, const Typed& value) override;

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
  EffectsIni ini_;
  EffectsSettings g3_;
  TerminalSearch terminals_;
  std::string option1_;
  std::int32_t step_ = 0;
  bool locked_ = true;
  int out_of_range_ = 0;
  int focus_ = 0;
};

}  // namespace mervane
