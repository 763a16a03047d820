#include "core/output/history_load_window.h"

#include <algorithm>

#include "core/history/auto_backup.h"
#include "core/output/history_load_settings.h"
#include "core/output/saved_pages.h"
#include "core/util/dates.h"

namespace mervane {
namespace {

using C = LoadHistoryControl;

// No other event for this long after the last month: the load goes on with the next month.
constexpr int kNextMonthAtOnce = 1;
constexpr int kMaxPauseSeconds = 3600;

std::vector<ControlSpec> build_controls() {
  ControlList l(100);
  using K = ControlKind;
  l.parent = l.group("  Months to load  ");
  l.prompt("From month (yyyy-mm):");
  l.add(number(C::FROM), K::Entry, "?FROM", {}, "s7");
  l.prompt("To month (yyyy-mm):");
  l.add(number(C::TO), K::Entry, "?TO", {}, "s7");
  l.prompt("Seconds to wait between two requests:");
  l.add(number(C::PAUSE), K::Entry, "?PAUSE", {}, "n4");
  l.prompt(
      "Each month is one page of the calendar, kept in the folder \"pages\" here. A month kept\n"
      "after it had ended is read from there instead of being asked for again.");
  l.parent = l.group("  Progress  ");
  l.prompt("Months stored:");
  l.add(number(C::MONTHS), K::Display, "?MONTHS", "Months stored", "n_5");
  l.prompt("Events stored:");
  l.add(number(C::EVENTS), K::Display, "?EVENTS", "Events stored", "n_9");
  l.prompt("Last step:");
  l.add(number(C::NOTE), K::Display, "?NOTE", "What the last step did", "s80");
  l.parent = 0;
  l.add(number(C::LOAD), K::Button, "?LOAD", "&Load");
  l.add(number(C::IMPORT), K::Button, "?IMPORT", "&Import saved pages...");
  l.add(number(C::CANCEL), K::Button, "?CANCEL", "Cancel");
  return l.take();
}

std::string with_s(std::int64_t n, std::string_view one) {
  return std::to_string(n) + " " + std::string(one) + (n == 1 ? "" : "s");
}

}  // namespace

// Keeps the last note of the load for the window's note line and passes everything on.
class LoadHistoryWindow::Notes final : public Progress {
 public:
  Notes(Progress& next, std::string& note) : next_(next), note_(note) {}
  void report(std::string_view counter, std::int64_t value) override {
    next_.report(counter, value);
  }
  void note(std::string_view text) override {
    note_ = std::string(text);
    next_.note(text);
    next_.report("NOTE", 0);  // shows the note while the month is still being read
  }

 private:
  Progress& next_;
  std::string& note_;
};

LoadHistoryWindow::LoadHistoryWindow(const WindowServices& s)
    : WindowModelBase(s.reporter),
      session_(s.session),
      windows_(s.windows),
      progress_(s.progress),
      downloader_(s.downloader) {}

const std::vector<ControlSpec>& LoadHistoryWindow::controls() const {
  static const std::vector<ControlSpec> kControls = build_controls();
  return kControls;
}

void LoadHistoryWindow::open() {
  const Ymd today = ymd_of(session_.clock().today());
  to_ = {today.year, today.month};
  from_ = {std::max<std::int64_t>(today.year - 1, 1900), today.month};
  pause_seconds_ = 10;
  focus_ = number(C::FROM);
}

std::string LoadHistoryWindow::value(int control) const {
  switch (static_cast<C>(control)) {
    case C::FROM:
      return month_text(from_);
    case C::TO:
      return month_text(to_);
    case C::PAUSE:
      return std::to_string(pause_seconds_);
    case C::MONTHS:
      return shown(control_def(control)->picture, static_cast<double>(months_));
    case C::EVENTS:
      return shown(control_def(control)->picture, static_cast<double>(events_));
    case C::NOTE:
      return note_;
    default:
      return {};
  }
}

bool LoadHistoryWindow::enabled(int control) const {
  if (!control_def(control)) return false;
  switch (static_cast<C>(control)) {
    case C::FROM:
    case C::TO:
    case C::PAUSE:
    case C::LOAD:
    case C::IMPORT:
      return !loading_;
    default:
      return true;
  }
}

std::string LoadHistoryWindow::store(int control, const Typed& v) {
  switch (static_cast<C>(control)) {
    case C::FROM:
    case C::TO: {
      const std::optional<Month> m = parse_month(v.text);
      if (!m) return "\"" + v.text + "\" is not a month: type it as yyyy-mm (1900-01 to 2099-12)";
      (control == number(C::FROM) ? from_ : to_) = *m;
      return {};
    }
    case C::PAUSE:
      if (v.number < 0 || v.number > kMaxPauseSeconds)
        return "The pause is 0 to " + std::to_string(kMaxPauseSeconds) + " seconds";
      pause_seconds_ = static_cast<int>(v.number);
      return {};
    default:
      return {};
  }
}

Reply LoadHistoryWindow::on_accepted(int control) {
  switch (static_cast<C>(control)) {
    case C::LOAD:
      start_load();
      return Reply::stay();
    case C::IMPORT:
      import_pages();
      return Reply::stay();
    case C::CANCEL:
      return leave();
    default:
      return Reply::stay();
  }
}

Reply LoadHistoryWindow::on_key(KeyPress k) {
  if (k.key == Key::Esc) return leave();
  if (k.key == Key::Enter && !loading_) start_load();
  return Reply::stay();
}

Reply LoadHistoryWindow::on_close_request() { return leave(); }

Reply LoadHistoryWindow::on_other_event(const OtherEvent& e) {
  if (e.kind == OtherEvent::Kind::Timer && loading_) load_next_month();
  return Reply::stay();
}

Reply LoadHistoryWindow::leave() {
  // The month being loaded was stored whole before this event came: nothing is left half done.
  loading_ = false;
  back_up();
  return close(months_ > 0 || pages_ > 0 ? Response::Completed : Response::Cancelled);
}

void LoadHistoryWindow::start_load() {
  if (to_ < from_) {
    refuse("The last month (" + month_text(to_) + ") is before the first (" + month_text(from_) +
           ")");
    focus_ = number(C::TO);
    return;
  }
  request_ = history_load_settings(session_, reporter_);
  request_.pause = std::chrono::milliseconds(0);  // the window waits between months itself
  if (request_.address.empty()) {
    refuse("No calendar address is set: set CALENDARURL in mervane.cfg (or mervane-cli "
           "calendar-url ADDRESS)");
    return;
  }
  next_ = from_;
  asked_ = 0;
  loading_ = true;
  wake_ms_ = kNextMonthAtOnce;
  note_ = "Loading " + month_text(from_) + " to " + month_text(to_) + "...";
  focus_ = number(C::CANCEL);
}

void LoadHistoryWindow::load_next_month() {
  const Month m = next_;
  const bool kept = month_page_kept(session_.folder(), m);
  HistoryLoadRequest one = request_;
  one.from = one.to = m;
  SleepingControl no_wait;
  Notes notes(progress_, note_);
  const HistoryLoadResult r =
      load_history(session_, reporter_, notes, downloader_, no_wait, one);
  months_ += r.months;
  events_ += r.events;
  if (r.months > 0) unsaved_ = true;
  progress_.report("MONTHS", months_);
  progress_.report("EVENTS", events_);
  if (!kept) ++asked_;
  if (r.refused) {
    finish("The service refused the program after " + with_s(months_, "month") +
           ": the months stored stay");
    return;
  }
  if (m == to_) {
    finish("Done: " + with_s(months_, "month") + ", " + with_s(events_, "event") + " stored");
    return;
  }
  next_ = next_month(m);
  // Wait only after a month that was asked for, and not before one that will be read from disk.
  wake_ms_ = !kept && !month_page_kept(session_.folder(), next_) ? pause_seconds_ * 1000
                                                                 : kNextMonthAtOnce;
  wake_ms_ = std::max(wake_ms_, kNextMonthAtOnce);
}

void LoadHistoryWindow::finish(std::string note) {
  loading_ = false;
  wake_ms_ = 0;
  note_ = std::move(note);
  focus_ = number(C::CANCEL);
  back_up();
}

void LoadHistoryWindow::back_up() {
  if (!unsaved_) return;
  unsaved_ = false;
  std::int64_t count1 = 0;
  auto_backup(session_, reporter_, progress_, count1);
}

void LoadHistoryWindow::import_pages() {
  const std::vector<std::filesystem::path> files =
      windows_.choose_files("Import saved pages", kFileFilter);
  if (files.empty()) return;
  const SavedPagesResult r =
      import_saved_pages(session_, reporter_, progress_, files, 0, FileOrder::ByDate);
  pages_ += r.files;
  note_ = r.opened ? with_s(r.files, "saved page") + " read" : "Nothing was read";
}

}  // namespace mervane
