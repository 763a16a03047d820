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

}  // namespace

InitialSetup::InitialSetup(Session& s, Reporter& r) : session_(s), reporter_(r) {}

void InitialSetup::open() {
  const std::int32_t today = session_.clock().today();
  const std::int32_t now = session_.clock().now();
  kx_date_ = mt4_date_ = local_date_ = today;
  kx_time_ = mt4_time_ = local_time_ = now;
  folders_ = load_folder_list(session_.folder()).names;
  session_.with([&](Globals& g) { g.parm3 = folders_.empty() ? "" : folders_.front(); });
  open_ = true;
  recompute();
}

void InitialSetup::set_kx(std::int32_t date, std::int32_t time) {
  take(kx_date_, kx_time_, date, time);
}
void InitialSetup::set_mt4(std::int32_t date, std::int32_t time) {
  take(mt4_date_, mt4_time_, date, time);
}
void InitialSetup::set_local(std::int32_t date, std::int32_t time) {
  take(local_date_, local_time_, date, time);
}

// Every change of a reading moves the offsets with it.
void InitialSetup::take(std::int32_t& date_field, std::int32_t& time_field, std::int32_t date,
                        std::int32_t time) {
  date_field = date;
  time_field = time;
  recompute();
}

void InitialSetup::recompute() {
  const std::int16_t p1 = hours_between(kx_date_, kx_time_, mt4_date_, mt4_time_);
  const std::int16_t p2 = hours_between(mt4_date_, mt4_time_, local_date_, local_time_);
  session_.with([&](Globals& g) {
    g.parm1 = p1;
    g.parm2 = p2;
  });
}

std::int16_t InitialSetup::parm1() const {
  return session_.globals().parm1;
}
std::int16_t InitialSetup::parm2() const {
  return session_.globals().parm2;
}
std::string InitialSetup::folder() const {
  return session_.globals().parm3.str();
}

void InitialSetup::set_folder(std::string_view name) {
  session_.with([&](Globals& g) { g.parm3 = name; });
}

bool InitialSetup::press(InitialSetupControl c) {
  if (c == InitialSetupControl::CANCEL) {
    session_.with([](Globals& g) { g.parm3 = ""; });
    open_ = false;
    return true;
  }
  if (c != InitialSetupControl::OK) return false;
  const std::string f = folder();
  // The name goes into the batch file's copy commands and the News.CSV path: a separator or
  // quote in it would point them elsewhere.
  if (!f.empty() && !is_safe_file_name(f)) {
    Warning w;
    w.text = "\"" + f + "\" cannot be the name of a folder below " + std::string(kFolderPrefix) +
             ": type the name of the broker's MT4 folder only.";
    w.caption = kCaption;
    w.icon = Icon::Exclamation;
    reporter_.warning(w);
    return false;
  }
  open_ = false;
  write_batch();
  return true;
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
