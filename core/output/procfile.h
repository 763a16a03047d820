// PROCFILE, the Build window "Build News.CSV from KX calendar", as a model without a toolkit:
// its fields with their initial values, the enabled state of its controls, a handler per event
// and its run.
//
// Life: construct, open() (the opening steps, which load the settings file), then either, for
// an automatic run ("Autoplay.CSV" was present), run() at once; or events until one returns
// Next::Close (nothing saved) or Next::Run, after which the caller calls run() once. The run
// updates the Event History from the calendar when asked, writes the auxiliary items and the
// events into News.CSV and the export, saves the settings file and backs up the history; then
// the window is closed.
//
// Threading: one thread at a time. A GUI may call run() on a worker thread while the window
// takes no input; the handlers of Preview, Effects and ">>>" do their table work on the calling
// thread. Windows opened from here (date picker, setup, browses, effects, NCI) go through the
// Windows interface and block the caller, except the history browse.
//
// Failures: stop messages through the Reporter (Abort throws Aborted out of the call, leaving
// every output file as it was); refusals of typed values and profile names as warnings.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/app/windows.h"
#include "core/import/acquisition.h"
#include "core/import/calendar_source.h"
#include "core/model/session.h"
#include "core/output/procfile_controls.h"
#include "core/output/profiles.h"
#include "core/output/settings_file.h"
#include "core/runtime/progress.h"
#include "core/runtime/reporter.h"

namespace mervane {

constexpr std::string_view kBuildWindowTitle = "Build News.CSV from KX calendar";

struct ProcFileServices {
  Session& session;
  Reporter& reporter;
  Progress& progress;  // receives "COUNT1" and "CALPROC#" as they change
  Windows& windows;
  Downloader& downloader;
};

class ProcFile {
 public:
  // What the window does after an event.
  enum class Next { Wait, Close, Run };
  enum class Key { Enter, Esc };

  // The window with its initial values (no settings loaded yet).
  explicit ProcFile(ProcFileServices services);
  ProcFile(const ProcFile&) = delete;
  ProcFile& operator=(const ProcFile&) = delete;

  // The opening steps: the newest stored week, the profile list, the defaults, the settings
  // file, "Autoplay.CSV", the repairs of old settings; then the window state.
  void open();
  // An automatic run: open() found "Autoplay.CSV" (and deleted it).
  bool automatic() const;

  // Events. A disabled control makes no event (Wait, nothing changes); after Close every event
  // is ignored.
  Next accepted(ProcFileControl c);   // a button pressed; a box, option or entry changed
  Next selecting(ProcFileControl c);  // the focus is about to move onto c
  Next key(Key k);
  Next close_request();
  Next other_event();  // any other event: the window's first one, for instance
  // Types text into an entry (or sets a check box or option: "0", "1", ...), then handles it as
  // accepted. A value the setting cannot take is refused with a warning and changes nothing.
  Next type(ProcFileControl c, std::string_view text);

  // One pass of "Auto set" as a window event would make it, without the forced Initial setup:
  // the command line's build before its run.
  void auto_set_pass();
  // The command line's --page: the next run reads the hand-saved page "truneout" whatever
  // CHECKWGET says (the setting itself is kept and saved as it is).
  void read_saved_page(bool on) { saved_page_ = on; }

  // The Preview button's action: PVIEW filled with the events the settings select, then the
  // preview browse. The command line's preview uses it whatever the button's state.
  void preview();

  struct RunEnd {
    bool end_program = false;  // an automatic run: the program ends now
  };
  // The OK run, once.
  RunEnd run();

  // ---- the window's fields and state ----
  // The settings as the window edits them (b.outname and b.outxlsname are GLO:OUTNAME and
  // GLO:OUTXLSNAME; the model publishes them to the session after every event).
  SettingsRecord& settings() { return s_; }
  const SettingsRecord& settings() const { return s_; }
  ProfileName pfilename() const { return pfilename_; }
  ProfileName profilename() const { return profilename_; }
  const std::vector<ProfileName>& profiles() const { return profiles_; }
  std::int32_t highdate() const { return highdate_; }
  bool forcesetup() const { return forcesetup_; }
  std::int32_t calproc() const { return calproc_; }
  std::int64_t count1() const { return count1_; }
  bool closed() const { return closed_; }
  // The control that has the focus after the date range guard moved it; 0 (none) otherwise.
  ProcFileControl selected() const { return selected_; }

  bool enabled(ProcFileControl c) const;
  // Notes the window shows beside OFFSET1 and beside LOADWEEKS: the time zones in use and the
  // offset they give on DATE1; that LOADWEEKS does not apply to the feed. Empty when there is
  // nothing to say.
  std::string zones_text() const { return zones_note(calendar_, s_.b.date1); }
  std::string loadweeks_text() const { return loadweeks_note(calendar_); }
  // The Wingdings characters ?WINGALL ... ?WINGOTR (i = 0 .. 9): the low byte of each symbol.
  char wing(int i) const;

 private:
  enum class EventKind { Accepted, Selecting, Enter, Esc, CloseRequest, Other };
  Next handle(EventKind kind, ProcFileControl c);
  Next button(ProcFileControl c);
  bool has_action(ProcFileControl c) const;

  void window_state();  // B1 and DISP_WING
  void disp_wing();
  void set_range(int from, int thru, bool on);
  void initial_setup();
  void auto_set_fields();
  DownloadFields download_fields() const;
  void set_download_fields(const DownloadFields& f);
  std::array<std::int16_t*, 10> symbols();
  void reset_symbols();
  void reset_colors();
  void reset_charts();
  void append_pair(std::string_view text);
  void pick_date(std::int32_t& field);
  bool profile_name_ok();

  void preview_then(bool effects);
  void exec_prof_grp();
  void setup_g2parms();
  TimeShift local_time();
  void publish_names();

  ProcFileServices svc_;
  SettingsRecord s_;
  CalendarSettings calendar_;  // source and zones from the local settings, read by open()
  ProfileName pfilename_, profilename_;
  std::vector<ProfileName> profiles_;
  std::int32_t highdate_ = 0;
  bool forcesetup_ = false;
  Text<99> savename_;
  std::int32_t calproc_ = 0;
  std::int64_t count1_ = 0;
  bool closed_ = false;
  bool saved_page_ = false;
  ProcFileControl selected_{};
  std::array<bool, kProcFileControls + 1> enabled_{};
};

}  // namespace mervane
