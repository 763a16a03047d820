// "Load calendar history": years of history from the calendar's month pages, as
// `mervane-cli history load` loads them, in a window of the File menu. The user types the first
// and last month (yyyy-mm) and the pause between two requests, and presses Load: the months are
// loaded one at a time, each as one transaction, with the months and events stored counting
// live and a line saying what the last month gave. Between two months the window takes its
// buttons: Cancel there (or the close box, Esc) ends the load and keeps the months stored. A
// refusal by the service (its browser check, HTTP 429) ends the load with the stop message that
// says what to do instead.
//
// "Import saved pages..." asks for saved calendar files of any kind (a file dialog; many at
// once) and reads them in the order of the days they cover, then writes the backup. A load
// writes the backup when it ends or is cancelled, as the command line's does.
//
// A toolkit-free model speaking the window protocol (window_model.h) on the caller's thread;
// the months are loaded at its timer events (wake_after_ms), one month an event, so the window
// stays responsive between two months while its thread waits the pause. Closes Completed when
// anything was stored, Cancelled otherwise.
//
// Failures: the stop messages of the load (history_load.h) and of the import (saved_pages.h);
// a month or pause that cannot be one is refused with a warning and changes nothing.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/app/window_base.h"
#include "core/app/windows.h"
#include "core/import/history_load.h"
#include "core/model/session.h"
#include "core/runtime/download.h"
#include "core/runtime/progress.h"

namespace mervane {

enum class LoadHistoryControl : int {
  FROM = 1,
  TO,
  PAUSE,
  MONTHS,
  EVENTS,
  NOTE,
  LOAD,
  IMPORT,
  CANCEL,
};

class LoadHistoryWindow final : public WindowModelBase {
 public:
  static constexpr std::string_view kTitle = "Load calendar history";
  static constexpr std::string_view kFileFilter =
      "Calendar pages (*.html *.htm *.xml truneout);;All files (*)";

  explicit LoadHistoryWindow(const WindowServices& s);

  const std::vector<ControlSpec>& controls() const override;
  std::string title() const override { return std::string(kTitle); }
  // From the same month a year ago to this month, a pause of 10 seconds.
  void open() override;
  std::string value(int control) const override;
  bool enabled(int control) const override;
  int focus() const override { return focus_; }
  int wake_after_ms() const override { return loading_ ? wake_ms_ : 0; }

  bool loading() const { return loading_; }
  std::int64_t months_stored() const { return months_; }
  std::int64_t events_stored() const { return events_; }

 protected:
  Reply on_accepted(int control) override;
  Reply on_key(KeyPress k) override;
  Reply on_close_request() override;
  Reply on_other_event(const OtherEvent& e) override;
  std::string store(int control, const Typed& value) override;

 private:
  class Notes;

  void start_load();
  void load_next_month();
  void finish(std::string note);
  void import_pages();
  Reply leave();
  // The backup of the whole history, once months were stored since the last one.
  void back_up();

  Session& session_;
  Windows& windows_;
  Progress& progress_;
  Downloader& downloader_;
  Month from_, to_, next_;
  int pause_seconds_ = 10;
  HistoryLoadRequest request_;
  bool loading_ = false;
  bool unsaved_ = false;
  int wake_ms_ = 0;
  std::int64_t months_ = 0, events_ = 0, pages_ = 0, asked_ = 0;
  std::string note_;
  int focus_ = 0;
};

}  // namespace mervane
