#include "core/history/delete_history.h"

#include <algorithm>

#include "core/app/open_or_create.h"
#include "core/app/pick_date.h"
#include "core/history/backup_files.h"
#include "core/runtime/paths.h"
#include "core/runtime/text_file.h"
#include "core/util/dates.h"

namespace mervane {

namespace {

bool same_name(std::string_view a, std::string_view b) {
  return upper_ascii(clip(a)) == upper_ascii(clip(b));
}

}  // namespace

void DeleteHistory::open() {
  que1 = backup_names(s_.folder());
  pfilename = "BACKUP";
  option1 = kDelete;
  fromdate = *date_serial(2000, 1, 1);
  thrudate = 0;
  focus_ = DeleteHistoryControl::OPTION1;
  refresh();
}

void DeleteHistory::refresh() {
  if (option1 != kRebuild) adjusthrs = 0;
}

bool DeleteHistory::enabled(DeleteHistoryControl c) const {
  switch (c) {
    case DeleteHistoryControl::ADJUSTHRS:
      return option1 == kRebuild;
    case DeleteHistoryControl::PFILENAME:
      return option1 == kExport || option1 == kImport;
    default:
      return true;
  }
}

void DeleteHistory::choose(int option) {
  if (option < kDelete || option > kImport || option == option1) return;
  option1 = option;
  thrudate = option == kExport || option == kImport ? *date_serial(2019, 12, 31) : fromdate;
  refresh();
}

void DeleteHistory::focus_on(DeleteHistoryControl c) {
  focus_ = c;
  if (c >= DeleteHistoryControl::THRUDATE && thrudate == 0) thrudate = fromdate;
}

void DeleteHistory::move_focus(DeleteHistoryControl c) {
  const bool past_dates = c == DeleteHistoryControl::ADJUSTHRS ||
                          c == DeleteHistoryControl::PFILENAME ||
                          c == DeleteHistoryControl::DELETE1 || c == DeleteHistoryControl::OK;
  focus_on(past_dates && thrudate < fromdate ? DeleteHistoryControl::THRUDATE : c);
}

void DeleteHistory::press(DeleteHistoryControl c) {
  switch (c) {
    case DeleteHistoryControl::BUTTON1:
      pick_date(w_, s_, fromdate);
      break;
    case DeleteHistoryControl::BUTTON2:
      pick_date(w_, s_, thrudate);
      break;
    case DeleteHistoryControl::DELETE1:
      if (thrudate < fromdate) {
        focus_on(DeleteHistoryControl::THRUDATE);
        break;
      }
      delete_file();
      break;
    case DeleteHistoryControl::OK:
      if (thrudate < fromdate) {
        focus_on(DeleteHistoryControl::THRUDATE);
        break;
      }
      if ((option1 == kExport || option1 == kImport) && name_refused()) break;
      run();
      break;
    case DeleteHistoryControl::CANCEL:
      closed_ = true;
      break;
    default:
      break;
  }
  refresh();
}

// The name becomes part of a file name: one that would reach outside the folder, or that no
// file can have, is refused before anything is deleted or written.
bool DeleteHistory::name_refused() {
  const std::string problem = backup_name_problem(pfilename.view());
  if (problem.empty()) return false;
  r_.warning({0, problem, "Import / Export file", Icon::Exclamation, kOkButton, kOkButton});
  focus_ = DeleteHistoryControl::PFILENAME;
  return true;
}

void DeleteHistory::delete_file() {
  if (name_refused()) return;
  // A backup that stays is reported and stays in the list; one already gone is just dropped.
  const Status st = remove_file(backup_path(s_.folder(), pfilename.view()));
  if (st.code != kFileNotFound &&
      stop_if_failed(r_, "Remove", backup_file_name(pfilename.view()), st))
    return;
  std::erase_if(que1, [&](const std::string& n) { return same_name(n, pfilename.view()); });
}

void DeleteHistory::run() {
  count1_.value = 0;
  done_ = false;
  imported_ = {};
  run_action();
  w_.start_history_browse(s_);
  closed_ = true;
}

void DeleteHistory::run_action() {
  Table<CalendarTable> cal(s_.folder());
  // After Ignore at its "Open(" message a table with broken keys is open: every action still
  // reads it correctly, and Rebuild and Import build the keys anew.
  open_calr(cal, r_);
  if (!cal.is_open()) return;
  switch (option1) {
    case kDelete:
      done_ = delete_history_range(cal, fromdate, thrudate, r_, count1_);
      break;
    case kRebuild:
      done_ = rebuild_history(cal, s_.folder(), fromdate, thrudate, adjusthrs, r_, count1_);
      break;
    case kExport: {
      const std::filesystem::path file = backup_path(s_.folder(), pfilename.view());
      s_.with([&](Globals& g) { g.outname = backup_file_name(pfilename.view()); });
      done_ = export_history(cal, file, fromdate, thrudate, r_, count1_);
      if (done_ && std::none_of(que1.begin(), que1.end(), [&](const std::string& n) {
            return same_name(n, pfilename.view());
          }))
        que1.push_back(pfilename.str());
      break;
    }
    case kImport:
      imported_ = import_history(cal, backup_path(s_.folder(), pfilename.view()), fromdate,
                                 thrudate, r_, count1_);
      done_ = imported_.done;
      break;
    default:
      break;
  }
}

}  // namespace mervane
