#include "core/history/delete_history.h"

#include <algorithm>

#include "core/app/open_or_create.h"
#include "core/history/backup_files.h"
#include "core/runtime/paths.h"
#include "core/runtime/text_file.h"
#include "core/setup/pick_date.h"
#include "core/util/dates.h"

namespace mervane {

namespace {

bool same_name(std::string_view a, std::string_view b) {
  return upper_ascii(clip(a)) == upper_ascii(clip(b));
}

using C = DeleteHistoryControl;

// The window's places, in dialog units (a character is about 4 wide and 8 high): each choice
// with its explanation indented under it, so that the longest explanation line (94 characters)
// fits the window's width; then the dates, the adjustment, the file name and the buttons.
std::vector<ControlSpec> build_controls() {
  ControlList l(100);
  using K = ControlKind;
  l.add(number(C::OPTION1), K::OptionGroup, "?OPTION1", "  Select  ").at({6, 4, 386, 148});
  const struct {
    const char* option;
    const char* explanation;
    int lines;
  } choices[] = {
      {"  Delete",
       "This will delete all news events between the dates (inclusive) that you specify  "
       "(CAUTION!)",
       1},
      {"  Rebuild",
       "This will rebuild the entire Events History. Nothing will be deleted.\n"
       "Events inside the specified date range will have their time adjusted by the specified\n"
       "number of hours. Events outside the date range will be rebuilt, with their times "
       "unchanged",
       3},
      {"  Export (i.e. Backup)",
       "This will export the Events, between the dates (inclusive) that you specify, in CSV "
       "format\n"
       "to the file you name below. Nothing will be deleted",
       2},
      {"  Delete and then Import (i.e. Restore)",
       "This will delete all news events between the dates (inclusive) that you specify  "
       "(CAUTION!)\n"
       "Then it will import only those events between the dates, from the export file you name "
       "below",
       2},
  };
  int value = DeleteHistory::kDelete;
  int y = 16;
  for (const auto& c : choices) {
    l.option(number(C::OPTION1), c.option, std::to_string(value++));
    l.at({14, y, 180, 10});
    l.parent = number(C::OPTION1);
    l.prompt(c.explanation);
    l.at({28, y + 11, 356, 8 * c.lines + 2});
    l.parent = 0;
    y += 11 + 8 * c.lines + 2 + 5;
  }
  y += 8;  // below the group box
  l.prompt("Date range  (mm/dd/yyyy)");
  l.at({10, y, 140, 9});
  l.add(number(C::FROMDATE), K::Entry, "?FROMDATE", {}, "d2").at({10, y + 11, 72, 13});
  l.calendar_button(number(C::BUTTON1), "?BUTTON1");
  l.prompt("and");
  l.at({88, y + 13, 20, 9});
  l.add(number(C::THRUDATE), K::Entry, "?THRUDATE", {}, "d2").at({108, y + 11, 72, 13});
  l.calendar_button(number(C::BUTTON2), "?BUTTON2");
  y += 32;
  l.prompt("Time adjustment (number of hours)");
  l.at({10, y, 160, 9});
  l.add(number(C::ADJUSTHRS), K::Entry, "?ADJUSTHRS", {}, "n-_3").at({10, y + 11, 32, 13});
  l.prompt("To subtract a number of hours, enter a negative value, e.g. -2");
  l.at({50, y + 13, 270, 9});
  y += 32;
  l.prompt("Name of Import / Export file");
  l.at({10, y, 160, 9});
  l.add(number(C::PFILENAME), K::Combo, "?PFILENAME", {}, "s6").at({10, y + 11, 64, 13});
  l.add(number(C::DELETE1), K::Button, "?DELETE1", " Delete this file").at({80, y + 10, 76, 15});
  y += 34;
  l.add(number(C::OK), K::Button, "?OK", "OK (Enter)").at({252, y, 66, 15});
  l.add(number(C::CANCEL), K::Button, "?CANCEL", "Cancel (Esc)").at({324, y, 68, 15});
  // The counter has no prompt on the window; its name tells a screen reader what it counts.
  l.add(number(C::COUNT1), K::Display, "?COUNT1", "Records processed", "n_7")
      .at({164, y + 3, 80, 10});
  return l.take();
}

}  // namespace

const std::vector<ControlSpec>& DeleteHistory::controls() const {
  static const std::vector<ControlSpec> kControls = build_controls();
  return kControls;
}

std::string DeleteHistory::title() const {
  return "  Delete / Rebuild News Event History items";
}

void DeleteHistory::open() {
  que1_ = backup_names(s_.folder());
  pfilename_ = "BACKUP";
  option1_ = kDelete;
  fromdate_ = *date_serial(2000, 1, 1);
  thrudate_ = 0;
  focus_ = C::OPTION1;
}

std::string DeleteHistory::value(int control) const {
  const ControlSpec* c = control_def(control);
  switch (static_cast<C>(control)) {
    case C::OPTION1:
      return std::to_string(option1_);
    case C::FROMDATE:
      return shown(c->picture, fromdate_);
    case C::THRUDATE:
      return shown(c->picture, thrudate_);
    case C::ADJUSTHRS:
      return shown(c->picture, adjusthrs_);
    case C::PFILENAME:
      return pfilename_.str();
    case C::COUNT1:
      return shown(c->picture, static_cast<double>(count1_.value));
    default:
      return {};
  }
}

// The adjustment belongs to Rebuild, the file name to Export and Import.
bool DeleteHistory::enabled(int control) const {
  switch (static_cast<C>(control)) {
    case C::ADJUSTHRS:
      return option1_ == kRebuild;
    case C::PFILENAME:
      return option1_ == kExport || option1_ == kImport;
    default:
      return control_def(control) != nullptr;
  }
}

std::vector<std::string> DeleteHistory::choices(int control) const {
  return control == number(C::PFILENAME) ? que1_ : std::vector<std::string>{};
}

std::string DeleteHistory::store(int control, const Typed& v) {
  switch (static_cast<C>(control)) {
    case C::OPTION1:
      choose(static_cast<int>(v.number));
      break;
    case C::FROMDATE:
      fromdate_ = static_cast<std::int32_t>(v.number);
      break;
    case C::THRUDATE:
      thrudate_ = static_cast<std::int32_t>(v.number);
      break;
    case C::ADJUSTHRS:
      adjusthrs_ = static_cast<std::int16_t>(v.number);
      break;
    case C::PFILENAME:
      pfilename_ = v.text;
      break;
    default:
      break;
  }
  return {};
}

// A new choice sets the last date: the far end for Export and Import, the first date for the
// others; the adjustment only stays for Rebuild.
void DeleteHistory::choose(int option) {
  if (option == option1_) return;
  option1_ = option;
  thrudate_ = option == kExport || option == kImport ? *date_serial(2019, 12, 31) : fromdate_;
  if (option1_ != kRebuild) adjusthrs_ = 0;
}

void DeleteHistory::focus_on(C c) {
  focus_ = c;
  if (c >= C::THRUDATE && thrudate_ == 0) thrudate_ = fromdate_;
}

Reply DeleteHistory::on_selecting(int control) {
  const C c = static_cast<C>(control);
  const bool past_dates = c == C::ADJUSTHRS || c == C::PFILENAME || c == C::DELETE1 || c == C::OK;
  focus_on(past_dates && thrudate_ < fromdate_ ? C::THRUDATE : c);
  return Reply::stay();
}

Reply DeleteHistory::on_key(KeyPress k) {
  return ok_cancel_keys(k, number(C::OK), number(C::CANCEL));
}

Reply DeleteHistory::on_accepted(int control) {
  switch (static_cast<C>(control)) {
    case C::BUTTON1:
      pick_date(w_, s_, fromdate_);
      break;
    case C::BUTTON2:
      pick_date(w_, s_, thrudate_);
      break;
    case C::DELETE1:
      if (thrudate_ < fromdate_) {
        focus_on(C::THRUDATE);
        break;
      }
      delete_file();
      break;
    case C::OK:
      if (thrudate_ < fromdate_) {
        focus_on(C::THRUDATE);
        break;
      }
      if ((option1_ == kExport || option1_ == kImport) && name_refused()) break;
      count1_.value = 0;
      done_ = false;
      imported_ = {};
      run_action();
      w_.start(Procedure::BrowseHistoryByName);
      return close(Response::Completed);
    case C::CANCEL:
      return close(Response::Cancelled);
    default:
      break;
  }
  return Reply::stay();
}

// The name becomes part of a file name: one that would reach outside the folder, or that no
// file can have, is refused before anything is deleted or written.
bool DeleteHistory::name_refused() {
  const std::string problem = backup_name_problem(pfilename_.view());
  if (problem.empty()) return false;
  reporter_.warning({0, problem, "Import / Export file", Icon::Exclamation, kOkButton, kOkButton});
  focus_ = C::PFILENAME;
  return true;
}

void DeleteHistory::delete_file() {
  if (name_refused()) return;
  // A backup that stays is reported and stays in the list; one already gone is just dropped.
  const Status st = remove_file(backup_path(s_.folder(), pfilename_.view()));
  if (st.code != kFileNotFound &&
      stop_if_failed(reporter_, "Remove", backup_file_name(pfilename_.view()), st))
    return;
  std::erase_if(que1_, [&](const std::string& n) { return same_name(n, pfilename_.view()); });
}

void DeleteHistory::run_action() {
  Table<CalendarTable> cal(s_.folder());
  // After Ignore at its "Open(" message a table with broken keys is open: every action still
  // reads it correctly, and Rebuild and Import build the keys anew.
  open_calr(cal, reporter_);
  if (!cal.is_open()) return;
  switch (option1_) {
    case kDelete:
      done_ = delete_history_range(cal, fromdate_, thrudate_, reporter_, count1_);
      break;
    case kRebuild:
      done_ =
          rebuild_history(cal, s_.folder(), fromdate_, thrudate_, adjusthrs_, reporter_, count1_);
      break;
    case kExport: {
      const std::filesystem::path file = backup_path(s_.folder(), pfilename_.view());
      s_.with([&](Globals& g) { g.outname = backup_file_name(pfilename_.view()); });
      done_ = export_history(cal, file, fromdate_, thrudate_, reporter_, count1_);
      if (done_ && std::none_of(que1_.begin(), que1_.end(), [&](const std::string& n) {
            return same_name(n, pfilename_.view());
          }))
        que1_.push_back(pfilename_.str());
      break;
    }
    case kImport:
      imported_ = import_history(cal, backup_path(s_.folder(), pfilename_.view()), fromdate_,
                                 thrudate_, reporter_, count1_);
      done_ = imported_.done;
      break;
    default:
      break;
  }
}

}  // namespace mervane
