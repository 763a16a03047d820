// INITIALSETUP: the window a new user fills in once. From three readings of the current date
// and time (on the KX calendar, in the MT4 terminal, on the computer) it works out two
// whole-hour offsets, GLO:PARM1 (MT4 ahead of the calendar) and GLO:PARM2 (local time ahead of
// MT4), and it takes the name of the broker's MT4 folder below "C:\Program Files\" into
// GLO:PARM3. OK writes "trunesetup.BAT" in the working folder, which copies the chart
// indicators into that folder; Cancel leaves GLO:PARM3 blank, which tells the caller that the
// user gave nothing.
//
// A toolkit-free model on the calling thread speaking the window protocol (window_model.h): the
// six date and time fields are typed in, the folder typed or chosen from the folder list, and the
// offsets (displays) follow every change at once. Minutes are ignored (whole hours); an offset
// beyond the 16 bits it is kept in is held at the nearest limit instead of wrapping round to a
// plausible wrong value. OK or Enter anywhere writes the batch file and answers close
// (Completed); Cancel, Esc or the close box answer close (Cancelled) with GLO:PARM3 blank.
//
// The MT4 terminals found on the machine (core/setup/terminals.h, on the session's machine) are
// offered in a drop list above the folder name; the first is chosen when the window opens.
// Choosing one fills the folder name with its installation folder's name, and after OK
// news_csv() is that terminal's MQL4\Files\News.CSV, the one file its indicator reads (the
// batch file is written as ever). A folder name typed in chooses the terminal of that name, or
// none. When the chosen
// terminal's price history shows its server's offset from UTC, the window shows it with the
// offset from the calendar's zone it gives (the page zone of today's pages, else CALENDARZONE,
// else New York's); with MT4ZONE unset, "Use it" turns it into the KX and MT4 readings of this
// moment, so GLO:PARM1 (and OFFSET1 after OK) follows. Nothing is applied without that press.
//
// Failures: the batch file's "Create(trunesetup.BAT) - ..." and "Add(Pfile) - ..." are stop
// messages (Abort throws Aborted). A folder name that cannot be one (a path separator, a
// character Windows refuses, a trailing blank or dot) is refused with a warning and the window
// stays open.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/app/window_base.h"
#include "core/runtime/reporter.h"
#include "core/setup/terminals.h"

namespace mervane {

class Session;

enum class InitialSetupControl : int {
  KXDATE = 1,
  KXTIME,
  WEBADD,
  MTDATE,
  MTTIME,
  SUGGESTION,  // the server's offset seen in the chosen terminal's history
  USEOFFSET,   // takes it into the readings
  LDATE,
  LTIME,
  PARM1,
  PARM2,
  GROUP2,
  TERMINAL,  // the terminals found
  PARM3,
  OK,
  CANCEL,
};

class InitialSetup final : public WindowModelBase {
 public:
  static constexpr std::string_view kCaption = " Initial Setup";
  static constexpr std::string_view kBatchFile = "trunesetup.BAT";
  static constexpr std::string_view kFolderPrefix = "C:\\Program Files\\";
  static constexpr std::string_view kWebAddress = "https://www.timeanddate.com/worldclock/";
  static constexpr std::string_view kWebPrompt = "For help, see:  ";
  static constexpr std::string_view kNoTerminal = "(none: the folder typed below)";
  static constexpr std::string_view kNoneFound = "(no MT4 found on this computer)";
  // The suggestion's line without a terminal chosen.
  static constexpr std::string_view kNoSuggestionNoneChosen =
      "Choose your terminal below: its price history shows the server's time";
  static constexpr std::string_view kNoSuggestionNoneFound =
      "No MT4 found here to read the server's time from: read it from a chart as below";

  InitialSetup(Session& s, Reporter& r);

  const std::vector<ControlSpec>& controls() const override;
  std::string title() const override { return std::string(kCaption); }
  // The opening: every date today, every time now (so both offsets start at 0), GLO:PARM3
  // blank, then the folder list, whose first name is preselected.
  void open() override;

  // ?WEBADD shows kWebPrompt followed by kWebAddress; ?GLO:PARM1 and ?GLO:PARM2 the offsets;
  // ?GLO:PARM3 the folder name.
  std::string value(int control) const override;
  bool enabled(int control) const override;
  // The folder list for ?GLO:PARM3; the terminals for ?TERMINAL.
  std::vector<std::string> choices(int control) const override;

  // After OK: the News.CSV of the terminal chosen (as a setting holds it); empty when none was.
  std::string news_csv() const { return closed_ok_ ? news_csv_ : std::string(); }
  // The offset the chosen terminal's history suggests, in hours MT4 is ahead of the calendar
  // now; nothing when there is none or the calendar's zone is unusable.
  std::optional<int> suggested_parm1() const;

  // The three lines of the batch file for folder name f.
  static std::vector<std::string> batch_lines(std::string_view program_files, std::string_view f);

 protected:
  Reply on_accepted(int control) override;
  Reply on_key(KeyPress k) override;
  Reply on_close_request() override;
  std::string store(int control, const Typed& value) override;

 private:
  void recompute();
  bool write_batch();
  std::string folder() const;
  std::string program_files_of(const std::string& f) const;
  void find();
  void choose(int index);
  void take_typed_folder();
  const Terminal* chosen() const;
  std::string suggestion() const;
  void use_offset();

  Session& session_;
  std::int32_t kx_date_ = 0, kx_time_ = 0, mt4_date_ = 0, mt4_time_ = 0, local_date_ = 0,
               local_time_ = 0;
  std::vector<std::string> folders_;
  TerminalSearch found_;
  std::vector<const Terminal*> terminals_;  // the usable ones of found_
  std::vector<std::string> labels_;         // their lines in the drop list
  int chosen_ = -1;                         // into terminals_
  std::string news_csv_;
  bool closed_ok_ = false;
  std::string calendar_zone_;
  bool mt4_zone_set_ = false;
  std::int64_t now_ = 0;  // this moment, seconds since 1970 (UTC)
};

}  // namespace mervane
