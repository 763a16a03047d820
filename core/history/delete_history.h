// DELETEHISTORY: the window in which the user maintains the Event History as a whole. One of four
// actions runs on OK: delete a date range, rebuild the table (moving the events of a range by
// ADJUSTHRS hours), export a range to the backup file "@" + PFILENAME + "@.CSV", or delete a
// range and then restore it from such a file. Afterwards the model asks Windows to start the
// history browse and closes.
//
// The model holds the window's variables and follows each pass of its event loop: the events are
// the methods below, called as the user acts; the enabled state of the controls follows the
// chosen action. Used by one thread at a time; the action runs on the caller's thread, COUNT1
// going to Progress. Failures are stop messages through the Reporter (see history_maintenance.h);
// a backup name that cannot be a file name is refused with a warning before anything runs.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/app/windows.h"
#include "core/history/history_maintenance.h"
#include "core/model/session.h"
#include "core/runtime/progress.h"
#include "core/runtime/reporter.h"
#include "core/util/text.h"

namespace mervane {

// In window order.
enum class DeleteHistoryControl {
  OPTION1,
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

class DeleteHistory {
 public:
  enum Choice : int { kDelete = 1, kRebuild = 2, kExport = 3, kImport = 4 };

  DeleteHistory(Session& s, Windows& w, Reporter& r, Progress& p)
      : s_(s), w_(w), r_(r), count1_{p} {}

  // Opening: QUE1 from the backup files of the working folder, Delete chosen, FROMDATE
  // 1 January 2000, PFILENAME "BACKUP".
  void open();

  // Window variables, as the entry fields hold them.
  int option1 = kDelete;
  std::int32_t fromdate = 0;
  std::int32_t thrudate = 0;
  std::int16_t adjusthrs = 0;
  Text<6> pfilename;
  std::vector<std::string> que1;
  std::int64_t count1() const { return count1_.value; }

  // The radio group: a new choice sets THRUDATE (31 December 2019 for Export and Import, else
  // FROMDATE) and the enabling of ADJUSTHRS (Rebuild only; else it is 0) and PFILENAME (Export
  // and Import only).
  void choose(int option);
  // The user moves the cursor to c. Moving past the dates while THRUDATE is before FROMDATE puts
  // the cursor back on THRUDATE; reaching THRUDATE or a later control while it is 0 sets it to
  // FROMDATE.
  void move_focus(DeleteHistoryControl c);
  // Buttons: BUTTON1 and BUTTON2 run the date picker on the first and last date, DELETE1
  // deletes the named backup file (a file that stays shows "Remove(" and keeps its list entry),
  // OK runs the action (unless the dates are the wrong way round), CANCEL closes without action.
  void press(DeleteHistoryControl c);
  void enter() { press(DeleteHistoryControl::OK); }
  void escape() { press(DeleteHistoryControl::CANCEL); }

  bool enabled(DeleteHistoryControl c) const;
  DeleteHistoryControl focus() const { return focus_; }
  bool closed() const { return closed_; }
  // Whether the action's change was stored (or the export written); the import's counts.
  bool done() const { return done_; }
  const ImportResult& imported() const { return imported_; }

 private:
  void refresh();
  void focus_on(DeleteHistoryControl c);
  bool name_refused();
  void delete_file();
  void run();
  void run_action();

  Session& s_;
  Windows& w_;
  Reporter& r_;
  Count1 count1_;
  DeleteHistoryControl focus_ = DeleteHistoryControl::OPTION1;
  bool closed_ = false;
  bool done_ = false;
  ImportResult imported_;
};

}  // namespace mervane
