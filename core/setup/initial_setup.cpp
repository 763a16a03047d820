#include "core/setup/initial_setup.h"

#include <algorithm>

#include "core/model/local_settings.h"
#include "core/model/program_files.h"
#include "core/model/session.h"
#include "core/runtime/paths.h"
#include "core/runtime/text_file.h"
#include "core/runtime/time_zones.h"
#include "core/setup/folder_list.h"
#include "core/util/charset.h"
#include "core/util/concat.h"
#include "core/util/dates.h"
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

// The zone the KX calendar's times are read in when nothing names it: the window's own "(i.e.
// New York)".
constexpr std::string_view kCalendarHome = "America/New_York";

// A terminal's line in the drop list: its name, and where it lies when that is a Wine prefix
// (below HOME as "~/..."), so that two terminals of one name in two prefixes are told apart.
std::string terminal_label(const Terminal& t, const std::string& home) {
  std::string label = t.name;
  if (t.portable) label += " (portable)";
  if (t.prefix.empty()) return label;
  std::string where = t.prefix.string();
  if (!home.empty()) {
    const std::filesystem::path rel = t.prefix.lexically_relative(home);
    if (!rel.empty() && *rel.begin() != "..") where = concat({"~/", rel.generic_string()});
  }
  return label + " in " + where;
}

// The calendar zone's offset from UTC at a moment, in seconds; nothing when the zone is unknown.
std::optional<std::int64_t> zone_offset(const std::string& zone, std::int64_t utc) {
  std::optional<ZoneConversion> to_zone;
  if (ZoneConversion::make({"UTC", 0}, {zone, 0}, to_zone).failed()) return std::nullopt;
  const DateTime at = from_unix_seconds(utc);
  const std::int64_t seconds = utc - unix_seconds(at.date);
  const WallTime wall = to_zone->convert(at.date, seconds);
  return (wall.date - at.date) * 86400 + wall.seconds - seconds;
}

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
  // What the chosen terminal's price history says of its server's time, under its reading.
  l.add(number(C::SUGGESTION), K::Display, "?SUGGESTION",
        "The server's time as the terminal's price history shows it", "s110");
  l.add(number(C::USEOFFSET), K::Button, "?USEOFFSET", "&Use it");
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
  l.prompt("MT4 terminals found on this computer:");
  l.add(number(C::TERMINAL), K::DropList, "?TERMINAL");
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
    case C::TERMINAL:
      if (terminals_.empty()) return std::string(kNoneFound);
      return chosen_ < 0 ? std::string(kNoTerminal) : labels_[static_cast<std::size_t>(chosen_)];
    case C::SUGGESTION:
      return suggestion();
    default:
      return {};
  }
}

bool InitialSetup::enabled(int control) const {
  switch (static_cast<C>(control)) {
    case C::TERMINAL:
      return !terminals_.empty();
    case C::USEOFFSET:
      return !mt4_zone_set_ && suggested_parm1().has_value();
    default:
      return control_def(control) != nullptr;
  }
}

std::vector<std::string> InitialSetup::choices(int control) const {
  if (control == number(C::PARM3)) return folders_;
  if (control != number(C::TERMINAL)) return {};
  if (terminals_.empty()) return {std::string(kNoneFound)};
  std::vector<std::string> out{std::string(kNoTerminal)};
  out.insert(out.end(), labels_.begin(), labels_.end());
  return out;
}

void InitialSetup::find() {
  found_ = find_terminals(session_);
  terminals_ = usable_terminals(found_);
  labels_.clear();
  const std::string home = session_.host().home;
  for (const Terminal* t : terminals_) {
    std::string label = terminal_label(*t, home);
    const std::string plain = label;
    for (int n = 2; std::find(labels_.begin(), labels_.end(), label) != labels_.end(); ++n)
      label = plain + " #" + std::to_string(n);
    labels_.push_back(std::move(label));
  }
  // The zone settings by their names in mervane.cfg (the calendar's settings, read whole by the
  // layers above this one).
  const LocalSettings file(session_.folder());
  mt4_zone_set_ = !file.get("MT4ZONE").empty();
  calendar_zone_ = file.get("PAGEZONE");
  if (calendar_zone_.empty()) calendar_zone_ = file.get("CALENDARZONE");
  if (calendar_zone_.empty()) calendar_zone_ = kCalendarHome;
  now_ = unix_now(session_.clock());
}

const Terminal* InitialSetup::chosen() const {
  return chosen_ < 0 ? nullptr : terminals_[static_cast<std::size_t>(chosen_)];
}

// The folder name is the installation folder's: a name longer than the setup keeps is cut, as
// a typed one would be, and the News.CSV path still comes from the terminal itself.
void InitialSetup::choose(int index) {
  chosen_ = index;
  if (const Terminal* t = chosen())
    session_.with([&](Globals& g) { g.parm3 = cp1252_from_utf8(t->name); });
}

// A folder name typed in is the terminal of that name (the chosen one first, then the first
// found), or none.
void InitialSetup::take_typed_folder() {
  const auto named = [&](const Terminal* t) {
    return equal_padded(folder(), cp1252_from_utf8(t->name).substr(0, kFolderNameWidth));
  };
  if (chosen() && named(chosen())) return;
  const auto it = std::find_if(terminals_.begin(), terminals_.end(), named);
  chosen_ = it == terminals_.end() ? -1 : static_cast<int>(it - terminals_.begin());
}

std::optional<int> InitialSetup::suggested_parm1() const {
  const Terminal* t = chosen();
  const std::optional<ServerOffset> server = t ? t->offset() : std::nullopt;
  if (!server) return std::nullopt;
  const std::optional<std::int64_t> calendar = zone_offset(calendar_zone_, now_);
  if (!calendar) return std::nullopt;
  return server->hours - static_cast<int>(*calendar / 3600);
}

std::string InitialSetup::suggestion() const {
  const Terminal* t = chosen();
  // Without a terminal the line says where a suggestion would come from.
  if (!t) return std::string(terminals_.empty() ? kNoSuggestionNoneFound : kNoSuggestionNoneChosen);
  const std::optional<ServerOffset> server = t->offset();
  if (!server)
    return concat({"No M1, M5 or M15 history of the last ", std::to_string(kRecentDays),
                   " days here shows the server's time"});
  const std::string text = concat({"Price history: ", server->text()});
  const std::optional<int> p1 = suggested_parm1();
  if (mt4_zone_set_) return concat({text, " (MT4ZONE is set: OFFSET1 does not apply)"});
  if (!p1) return concat({text, " (the calendar's zone ", calendar_zone_, " is not known)"});
  const int h = *p1;
  return concat({text, ": MT4 ", std::to_string(h < 0 ? -h : h),
                 h == 1 || h == -1 ? " hour " : " hours ", h < 0 ? "behind " : "ahead of ",
                 calendar_zone_, " now"});
}

// The readings of this moment: the calendar's in its zone, MT4's at the server's offset.
void InitialSetup::use_offset() {
  const Terminal* t = chosen();
  const std::optional<ServerOffset> server = t ? t->offset() : std::nullopt;
  const std::optional<std::int64_t> calendar = zone_offset(calendar_zone_, now_);
  if (!server || !calendar || mt4_zone_set_) return;
  const DateTime kx = from_unix_seconds(now_ + *calendar);
  const DateTime mt4 = from_unix_seconds(now_ + std::int64_t{server->hours} * 3600);
  kx_date_ = kx.date;
  kx_time_ = kx.time;
  mt4_date_ = mt4.date;
  mt4_time_ = mt4.time;
  recompute();
}

void InitialSetup::open() {
  const std::int32_t today = session_.clock().today();
  const std::int32_t now = session_.clock().now();
  kx_date_ = mt4_date_ = local_date_ = today;
  kx_time_ = mt4_time_ = local_time_ = now;
  folders_ = load_folder_list(session_.folder()).names;
  session_.with([&](Globals& g) { g.parm3 = folders_.empty() ? "" : folders_.front(); });
  find();
  chosen_ = -1;
  if (!terminals_.empty()) choose(0);
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
      take_typed_folder();
      break;
    case C::TERMINAL: {
      const auto it = std::find(labels_.begin(), labels_.end(), v.text);
      choose(it == labels_.end() ? -1 : static_cast<int>(it - labels_.begin()));
      break;
    }
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
  if (control == number(C::USEOFFSET)) use_offset();
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
  closed_ok_ = true;
  news_csv_ = chosen() ? news_csv_setting(*chosen()) : std::string();
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
