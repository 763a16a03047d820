// PROCFILE, the Build window "Build News.CSV from KX calendar", as a model without a toolkit:
// its 137 controls with their texts and pictures, its fields with their initial values, the
// enabled state of the controls, the events of the window protocol (window_model.h) and its run.
//
// Life: construct, open() (the opening steps, which load the settings file), then events. OK,
// F10 or Enter (unless the date range is reversed) runs the whole chain on the calling thread
// and answers close (Completed): the history update from the calendar when asked, the auxiliary
// items and the events into News.CSV and the export, the settings file and the history backup,
// then the NCI output. Esc, Cancel and the close box answer close (Cancelled) with nothing
// saved; ">>>" runs the profile group and closes. When open() found "Autoplay.CSV" the run is
// automatic: it starts at the first event (OtherEvent::Opened), whatever that is, and after it
// ends_program() is true.
//
// Threading: one thread at a time. A windowed host calls the events on the window's own thread,
// where the run, Preview, Effects and ">>>" do their work; COUNT1 and CALPROC# go to Progress as
// they change. Windows opened from here (date picker, setup, preview list, effects, NCI) run
// through Windows::run() and block the caller; the history browse is started on a thread of its
// own.
//
// Failures: stop messages through the Reporter (Abort throws Aborted out of the event, leaving
// every output file as it was); refusals of typed values and profile names as warnings.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "core/app/window_base.h"
#include "core/app/windows.h"
#include "core/import/acquisition.h"
#include "core/import/calendar_source.h"
#include "core/model/session.h"
#include "core/output/news_writer.h"
#include "core/output/procfile_controls.h"
#include "core/output/profiles.h"
#include "core/output/settings_file.h"
#include "core/runtime/progress.h"
#include "core/runtime/reporter.h"
#include "core/setup/terminals.h"

namespace mervane {

constexpr std::string_view kBuildWindowTitle = "Build News.CSV from KX calendar";
constexpr std::string_view kNewsOutsideTerminals =
    "MT4 of today reads News.CSV only from its data folder's MQL4\\Files";

class ProcFile final : public WindowModelBase {
 public:
  // The window with its initial values (no settings loaded yet).
  explicit ProcFile(WindowServices services);
  ProcFile(const ProcFile&) = delete;
  ProcFile& operator=(const ProcFile&) = delete;

  const std::vector<ControlSpec>& controls() const override;
  std::string title() const override { return std::string(kBuildWindowTitle); }

  // The opening steps: the newest stored week, the profile list, the defaults, the settings
  // file, "Autoplay.CSV", the repairs of old settings; then the window state.
  void open() override;
  // An automatic run: open() found "Autoplay.CSV" (and deleted it).
  bool automatic() const;
  // The automatic run is over.
  bool ends_program() const override { return ends_program_; }

  std::string value(int control) const override;
  bool enabled(int control) const override;
  // The note beside the News.CSV path when it has nothing to say.
  bool hidden(int control) const override {
    return control == number(ProcFileControl::NEWSNOTE) && news_text().empty();
  }
  std::vector<std::string> choices(int control) const override;
  // THRUDATE after the date range guard held; 0 otherwise.
  int focus() const override { return number(focus_); }

  // One pass of "Auto set" as a window event would make it, without the forced Initial setup:
  // the command line's build before its run.
  void auto_set_pass();
  // The command line's --page: the next run reads the hand-saved page "truneout" whatever
  // CHECKWGET says (the setting itself is kept and saved as it is), after copying file over it.
  // The copy is made only once the run holds the Event History, so a run refused there leaves
  // "truneout" as it was (and reads no page). An empty file name reads "truneout" as it is.
  void read_saved_page(std::filesystem::path file) {
    saved_page_ = true;
    page_file_ = std::move(file);
  }
  // A further file of the OK run, written from the same records as News.CSV (the news-guard
  // file); none by default.
  void set_run_tap(std::shared_ptr<RunTap> tap) { tap_ = std::move(tap); }

  // The Preview button's action: PVIEW filled with the events the settings select, then the
  // preview browse. The command line's preview uses it whatever the button's state.
  void preview();

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

  bool enabled(ProcFileControl c) const { return enabled(number(c)); }
  // Notes the window shows beside OFFSET1 and beside LOADWEEKS: the time zones in use and the
  // offset they give on DATE1; that LOADWEEKS does not apply to the feed. Empty when there is
  // nothing to say.
  std::string zones_text() const { return zones_note(calendar_, s_.b.date1); }
  std::string loadweeks_text() const { return loadweeks_note(calendar_); }
  // The note beside the News.CSV path: kNewsOutsideTerminals when the path lies in no MT4
  // terminal's files folder (neither one found on the machine when the window opened nor a
  // folder MQL4\Files of one it could not find); empty otherwise.
  std::string news_text() const;
  // The Wingdings characters ?WINGALL ... ?WINGOTR (i = 0 .. 9): the low byte of each symbol.
  char wing(int i) const;

 protected:
  Reply on_accepted(int control) override;
  Reply on_selecting(int control) override;
  Reply on_key(KeyPress k) override;
  Reply on_close_request() override;
  Reply on_other_event(const OtherEvent& e) override;
  std::string store(int control, const Typed& value) override;

 private:
  enum class EventKind { Accepted, Selecting, Enter, Esc, CloseRequest, Other };
  Reply handle(EventKind kind, ProcFileControl c);
  // A button's action; true when it closed the window.
  bool button(ProcFileControl c);
  bool has_action(ProcFileControl c) const;
  // The OK run, once.
  void run();

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
  bool profile_name_ok();

  void preview_then(bool effects);
  void exec_prof_grp();
  void setup_g2parms();
  TimeShift local_time();
  void publish_names();

  WindowServices svc_;
  std::shared_ptr<RunTap> tap_;
  SettingsRecord s_;
  CalendarSettings calendar_;  // source and zones from the local settings, read by open()
  TerminalSearch terminals_;   // the machine's MT4 terminals, found by open()
  ProfileName pfilename_, profilename_;
  std::vector<ProfileName> profiles_;
  std::int32_t highdate_ = 0;
  bool forcesetup_ = false;
  Text<kNewsPathWidth> savename_;
  std::int32_t calproc_ = 0;
  std::int64_t count1_ = 0;
  bool saved_page_ = false;
  std::filesystem::path page_file_;
  bool ends_program_ = false;
  ProcFileControl focus_{};
  std::array<bool, kProcFileControls + 1> enabled_{};
};

}  // namespace mervane
