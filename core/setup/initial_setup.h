// INITIALSETUP: the window a new user fills in once. From three readings of the current date
// and time (on the KX calendar, in the MT4 terminal, on the computer) it works out two
// whole-hour offsets, GLO:PARM1 (MT4 ahead of the calendar) and GLO:PARM2 (local time ahead of
// MT4), and it takes the name of the broker's MT4 folder below "C:\Program Files\" into
// GLO:PARM3. OK writes "trunesetup.BAT" in the working folder, which copies the chart
// indicators into that folder; Cancel leaves GLO:PARM3 blank, which tells the caller that the
// user gave nothing.
//
// A toolkit-free model on the calling thread: the view shows its fields, calls the setters as
// the user types and press() for the buttons. The offsets follow every change at once. Minutes
// are ignored (whole hours); an offset beyond the 16 bits it is kept in is held at the nearest
// limit instead of wrapping round to a plausible wrong value.
//
// Failures: the batch file's "Create(trunesetup.BAT) - ..." and "Add(Pfile) - ..." are stop
// messages (Abort throws Aborted). A folder name that cannot be one (a path separator, a
// character Windows refuses, a trailing blank or dot) is refused with a warning and the window
// stays open.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/runtime/reporter.h"

namespace mervane {

class Session;

enum class InitialSetupControl : int {
  KXDATE = 1,
  KXTIME,
  WEBADD,
  MTDATE,
  MTTIME,
  LDATE,
  LTIME,
  PARM1,
  PARM2,
  GROUP2,
  PARM3,
  OK,
  CANCEL,
};

class InitialSetup {
 public:
  static constexpr std::string_view kCaption = " Initial Setup";
  static constexpr std::string_view kBatchFile = "trunesetup.BAT";
  static constexpr std::string_view kFolderPrefix = "C:\\Program Files\\";
  static constexpr std::string_view kWebAddress = "https://www.timeanddate.com/worldclock/";
  static constexpr std::string_view kWebPrompt = "For help, see:  ";

  InitialSetup(Session& s, Reporter& r);

  // The opening: every date today, every time now (so both offsets start at 0), GLO:PARM3
  // blank, then the folder list, whose first name is preselected.
  void open();

  std::int32_t kx_date() const { return kx_date_; }
  std::int32_t kx_time() const { return kx_time_; }
  std::int32_t mt4_date() const { return mt4_date_; }
  std::int32_t mt4_time() const { return mt4_time_; }
  std::int32_t local_date() const { return local_date_; }
  std::int32_t local_time() const { return local_time_; }
  // The three readings (date and time serials).
  void set_kx(std::int32_t date, std::int32_t time);
  void set_mt4(std::int32_t date, std::int32_t time);
  void set_local(std::int32_t date, std::int32_t time);

  std::int16_t parm1() const;
  std::int16_t parm2() const;
  std::string folder() const;  // GLO:PARM3, clipped
  void set_folder(std::string_view name);
  const std::vector<std::string>& folders() const { return folders_; }
  std::string web_text() const { return std::string(kWebPrompt) + std::string(kWebAddress); }

  // OK or CANCEL. OK writes the batch file and closes; with a folder name that cannot be one
  // it warns and stays open (false).
  bool press(InitialSetupControl c);
  bool enter() { return press(InitialSetupControl::OK); }
  void escape() { press(InitialSetupControl::CANCEL); }
  bool is_open() const { return open_; }

  // The three lines of the batch file for folder name f.
  static std::vector<std::string> batch_lines(std::string_view program_files, std::string_view f);

 private:
  void take(std::int32_t& date_field, std::int32_t& time_field, std::int32_t date,
            std::int32_t time);
  void recompute();
  bool write_batch();
  std::string program_files_of(const std::string& f) const;

  Session& session_;
  Reporter& reporter_;
  std::int32_t kx_date_ = 0, kx_time_ = 0, mt4_date_ = 0, mt4_time_ = 0, local_date_ = 0,
               local_time_ = 0;
  std::vector<std::string> folders_;
  bool open_ = false;
};

}  // namespace mervane
