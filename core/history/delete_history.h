// DELETEHISTORY: the window in which the user maintains the Event History as a whole. One of four
// actions runs on OK: delete a date range, rebuild the table (moving the events of a range by
// ADJUSTHRS hours), export a range to the backup file "@" + PFILENAME + "@.CSV", or delete a
// range and then restore it from such a file. Afterwards the model asks Windows to start the
// history browse and closes.
//
// The model speaks the window protocol (window_model.h) and follows each pass of the window's
// event loop: choosing an action sets the last date and enables the hour adjustment (Rebuild) or
// the backup name (Export, Import); moving the cursor past the dates while the last is before
// the first puts it back on the last date; Enter anywhere is OK and Esc anywhere Cancel. OK runs
// the action on the caller's thread (COUNT1 going to Progress), asks Windows to start the history
// browse and answers close (Completed); Cancel, Esc and the close box answer close (Cancelled).
// Used by one thread at a time. Failures are stop messages through the Reporter (see
// history_maintenance.h); a backup name that cannot be a file name is refused with a warning
// before anything runs. " Delete this file" removes the named backup: one that cannot be
// removed shows "Remove(" and keeps its list entry.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/app/window_base.h"
#include "core/app/windows.h"
#include "core/history/history_maintenance.h"
#include "core/model/session.h"
#include "core/runtime/progress.h"
#include "core/runtime/reporter.h"
#include "core/util/text.h"

namespace mervane {

// In window order.
enum class DeleteHistoryControl : int {
  OPTION1 = 1,
  FROMDATE,
  BUTTON1,
  THRUDATE,
  BUTTON2,
  ADJUSTHRS,
  PFILENAME,
  DELETE1,
  OK,
  CANCEL,
  COUNT1
};

class DeleteHistory final : public WindowModelBase {
 public:
  enum Choice : int { kDelete = 1, kRebuild = 2, kExport = 3, kImport = 4 };

  DeleteHistory(Session& s, Windows& w, Reporter& r, Progress& p)
      : WindowModelBase(r), s_(s), w_(w), count1_{p} {}

  const std::vector<ControlSpec>& controls() const override;
  std::string title() const override;
  // Opening: QUE1 from the backup files of the working folder, Delete chosen, FROMDATE
  // 1 January 2000, PFILENAME "BACKUP".
  void open() override;

  std::string value(int control) const override;
  bool enabled(int control) const override;
  // The backup names (QUE1) for ?PFILENAME.
  std::vector<std::string> choices(int control) const override;
  int focus() const override { return static_cast<int>(focus_); }

  // After OK: whether the action's change was stored (or the export written); the import's
  // counts; the records processed. When nothing was, a message says so before the list opens.
  bool done() const { return done_; }
  const ImportResult& imported() const { return imported_; }
  std::int64_t count1() const { return count1_.value; }

 protected:
  Reply on_accepted(int control) override;
  Reply on_selecting(int control) override;
  Reply on_key(KeyPress k) override;
  Reply on_close_request() override { return close(Response::Cancelled); }
  std::string store(int control, const Typed& value) override;

 private:
  void choose(int option);
  void focus_on(DeleteHistoryControl c);
  bool name_refused();
  void delete_file();
  void run_action();
  void say_not_done();

  Session& s_;
  Windows& w_;
  Count1 count1_;
  int option1_ = kDelete;
  std::int32_t fromdate_ = 0;
  std::int32_t thrudate_ = 0;
  std::int16_t adjusthrs_ = 0;
  Text<6> pfilename_;
  std::vector<std::string> que1_;
  DeleteHistoryControl focus_ = DeleteHistoryControl::OPTION1;
  bool done_ = false;
  ImportResult imported_;
};

}  // namespace mervane
