#include "core/setup/initial_setup.h"

#include <algorithm>

#include "core/model/program_files.h"
#include "core/model/session.h"
#include "core/runtime/paths.h"
#include "core/runtime/text_file.h"
#include "core/setup/folder_list.h"
#include "core/util/charset.h"
#include "core/util/helpers.h"

namespace mervane {
namespace {

constexpr std::string_view kBatchRoot = "c:\\Program Files\\";
constexpr std::string_view kBatchRootX86 = "c:\\Program Files (x86)\\";

std::int16_t hours_between(std::int32_t from_date, std::int32_t from_time, std::int32_t to_date,
                           std::int32_t to_time) {
  const std::int64_t h = (std::int64_t{to_date} - from_date) * 24 + hour(to_time) - hour(from_time);
  return static_cast<std::int16_t>(std::clamp<std::int64_t>(h, -32768, 32767));
}

using C = InitialSetupControl;

std::vector<ControlSpec> build_controls() {
  ControlList l(100);
  using K = ControlKind;
  l.parent = l.group("  Time zone differences calculation  ");
  l.prompt("while the market is open:");
  l.prompt("Date (mm/dd/yyyy)");
  l.prompt("Time (hh:mm) - 24hr format");
  l.prompt("KX calendar's current date/time (i.e. New York):");
  l.add(number(C::KXDATE), K::Entry, "?KXDATE", {}, "D2");
  l.add(number(C::KXTIME), K::Entry, "?KXTIME", {}, "T1");
  l.add(number(C::WEBADD), K::Display, "?WEBADD", {}, "S70");
  l.prompt("Your MT4 broker's current date/time...............:");
  l.add(number(C::MTDATE), K::Entry, "?MTDATE", {}, "D2");
  l.add(number(C::MTTIME), K::Entry, "?MTTIME", {}, "T1");
  l.prompt(
      "To ascertain this, do the following\n"
      "1. Run MT4, and load any 1-min (M1) chart\n"
      "2. Press Ctrl-F, then move the crosshairs over the rightmost (currently forming) candle\n"
      "3. MT4 broker's current date/time is shown at the foot of the crosshair");
  l.prompt("Your current local date/time...........................:");
  l.add(number(C::LDATE), K::Entry, "?LDATE", {}, "D2");
  l.add(number(C::LTIME), K::Entry, "?LTIME", {}, "T1");
  l.prompt("(Check your computer clock, or wristwatch)");
  l.prompt("Your entries above will automatically calculate and set up these items, as follows:");
  l.prompt("No. of hours your MT4 is ahead of KX calendar");
  l.add(number(C::PARM1), K::Display, "?GLO:PARM1", {}, "n-4");
  l.prompt("No. of hours your local time is ahead of your MT4 time");
  l.add(number(C::PARM2), K::Display, "?GLO:PARM2", {}, "n-4");
  l.parent = 0;
  l.add(number(C::GROUP2), K::Group, "?GROUP2", "  MT4 folder location  ");
  l.parent = number(C::GROUP2);
  l.prompt("Name of your broker's MT4 folder (where terminal.exe resides):");
  l.prompt(std::string(InitialSetup::kFolderPrefix));
  l.add(number(C::PARM3), K::Combo, "?GLO:PARM3", {}, "s40");
  l.prompt(
      "(can be upper or lower case, but spelling, spaces and punctuation must be 100% accurate)");
  l.parent = 0;
  l.add(number(C::OK), K::Button, "?OK", "OK");
  l.add(number(C::CANCEL), K::Button, "?CANCEL", "Cancel");
  return l.take();
}

}  // namespace

InitialSetup::InitialSetup(Session& s, Reporter& r) : WindowModelBase(r), session_(s) {}

const std::vector<ControlSpec>& InitialSetup::controls() const {
  static const std::vector<ControlSpec> kControls = build_controls();
  return kControls;
}

std::string InitialSetup::value(int control) const {
  const ControlSpec* c = control_def(control);
  const Globals g = session_.globals();
  switch (static_cast<C>(control)) {
    case C::KXDATE:
      return shown(c->picture, kx_date_);
    case C::KXTIME:
      return shown(c->picture, kx_time_);
    case C::MTDATE:
      return shown(c->picture, mt4_date_);
    case C::MTTIME:
      return shown(c->picture, mt4_time_);
    case C::LDATE:
      return shown(c->picture, local_date_);
    case C::LTIME:
      return shown(c->picture, local_time_);
    case C::WEBADD:
      return std::string(kWebPrompt) + std::string(kWebAddress);
    case C::PARM1:
      return shown(c->picture, g.parm1);
    case C::PARM2:
      return shown(c->picture, g.parm2);
    case C::PARM3:
      return g.parm3.str();
    default:
      return {};
  }
}

std::vector<std::string> InitialSetup::choices(int control) const {
  return control == number(C::PARM3) ? folders_ : std::vector<std::string>{};
}

void InitialSetup::open() {
  const std::int32_t today = session_.clock().today();
  const std::int32_t now = session_.clock().now();
  kx_date_ = mt4_date_ = local_date_ = today;
  kx_time_ = mt4_time_ = local_time_ = now;
  folders_ = load_folder_list(session_.folder()).names;
  session_.with([&](Globals& g) { g.parm3 = folders_.empty() ? "" : folders_.front(); });
  recompute();
}

// Every change of a reading moves the offsets with it.
std::string InitialSetup::store(int control, const Typed& v) {
  const auto serial = static_cast<std::int32_t>(v.number);
  switch (static_cast<C>(control)) {
    case C::KXDATE:
      kx_date_ = serial;
      break;
    case C::KXTIME:
      kx_time_ = serial;
      break;
    case C::MTDATE:
      mt4_date_ = serial;
      break;
    case C::MTTIME:
      mt4_time_ = serial;
      break;
    case C::LDATE:
      local_date_ = serial;
      break;
    case C::LTIME:
      local_time_ = serial;
      break;
    case C::PARM3:
      session_.with([&](Globals& g) { g.parm3 = v.text; });
      break;
    default:
      break;
  }
  recompute();
  return {};
}

void InitialSetup::recompute() {
  const std::int16_t p1 = hours_between(kx_date_, kx_time_, mt4_date_, mt4_time_);
  const std::int16_t p2 = hours_between(mt4_date_, mt4_time_, local_date_, local_time_);
  session_.with([&](Globals& g) {
    g.parm1 = p1;
    g.parm2 = p2;
  });
}

std::string InitialSetup::folder() const {
  return session_.globals().parm3.str();
}

Reply InitialSetup::on_key(KeyPress k) {
  return ok_cancel_keys(k, number(C::OK), number(C::CANCEL));
}

Reply InitialSetup::on_close_request() {
  return accepted(number(C::CANCEL));
}

Reply InitialSetup::on_accepted(int control) {
  if (control == number(C::CANCEL)) {
    session_.with([](Globals& g) { g.parm3 = ""; });
    return close(Response::Cancelled);
  }
  if (control != number(C::OK)) return Reply::stay();
  const std::string f = folder();
  // The name goes into the batch file's copy commands and the News.CSV path: a separator or
  // quote in it would point them elsewhere.
  if (!f.empty() && !is_safe_file_name(f)) {
    refuse("\"" + f + "\" cannot be the name of a folder below " + std::string(kFolderPrefix) +
           ": type the name of the broker's MT4 folder only.");
    return Reply::stay();
  }
  const Reply closed = close(Response::Completed);
  write_batch();
  return closed;
}

std::vector<std::string> InitialSetup::batch_lines(std::string_view program_files,
                                                   std::string_view f) {
  std::string dest(1, '"');
  dest += program_files;
  dest += f;
  dest += "\\experts\\indicators\"";
  std::string events = "copy /y mirel_events.* ";
  std::string lines = "copy /y mirel_lines.* ";
  return {events += dest, lines += dest, "cls"};
}

// A 32-bit terminal on a 64-bit Windows (or Wine prefix) lives in "Program Files (x86)": the
// copy goes there when the folder is found only in that one.
std::string InitialSetup::program_files_of(const std::string& f) const {
  const std::vector<std::filesystem::path> roots = program_files_folders(session_.folder());
  if (f.empty() || is_folder(roots.front() / utf8_from_cp1252(f))) return std::string(kBatchRoot);
  for (std::size_t i = 1; i < roots.size(); ++i)
    if (is_folder(roots[i] / utf8_from_cp1252(f))) return std::string(kBatchRootX86);
  return std::string(kBatchRoot);
}

bool InitialSetup::write_batch() {
  session_.with([](Globals& g) { g.pfilename = kBatchFile; });
  const std::string f = folder();
  TextWriter w;
  if (stop_if_failed(reporter_, "Create", kBatchFile,
                     w.create(session_.folder() / std::string(kBatchFile))))
    return false;
  for (const std::string& line : batch_lines(program_files_of(f), f))
    if (stop_if_failed(reporter_, "Add", "Pfile", w.add(line))) return false;
  return !stop_if_failed(reporter_, "Add", "Pfile", w.close());
}

}  // namespace mervane
