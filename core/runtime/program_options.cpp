#include "core/runtime/program_options.h"

#include <tuple>

#include "core/runtime/platform.h"
#include "core/util/picture.h"

namespace mervane {

namespace fs = std::filesystem;

std::optional<fs::path> user_program_folder() {
  std::optional<std::string> home = environment_value("HOME");
#ifdef _WIN32
  if (!home) home = environment_value("USERPROFILE");
#endif
  if (!home) return std::nullopt;
  return fs::path(*home) / "Mervane";
}

namespace {

// The user's own folder, made when missing; whether this call made it.
std::pair<fs::path, bool> own_folder() {
  const std::optional<fs::path> folder = user_program_folder();
  if (!folder)
    throw BadOption("--dir: no home folder is known (HOME is not set); name the working folder");
  std::error_code ec;
  if (fs::is_directory(*folder, ec)) return {*folder, false};
  if (fs::exists(*folder, ec))
    throw BadOption("--dir: " + folder->string() + " is there but is not a folder");
  if (!fs::create_directories(*folder, ec) || ec)
    throw BadOption("--dir: the folder " + folder->string() +
                    " cannot be made: " + (ec ? ec.message() : "it was not made"));
  return {*folder, true};
}

}  // namespace

ProgramStart start_from(const ProgramOptions& o) {
  std::int32_t date = 0, time = 0;
  if (!o.today.empty()) {
    const auto d = parse_cli_date(o.today);
    if (!d) throw BadOption("--today: " + d.reason);
    date = *d.value;
  }
  if (!o.now.empty()) {
    const auto t = parse_value("T1", o.now);
    if (!t) throw BadOption("--now: " + t.reason);
    time = static_cast<std::int32_t>(*t.value);
  }
  // The folder last: options refused make no folder.
  std::error_code ec;
  fs::path folder = o.dir;
  bool made = false;
  if (o.dir.empty())
    std::tie(folder, made) = own_folder();
  else if (!fs::is_directory(o.dir, ec))
    throw BadOption("--dir: the folder " + o.dir + " does not exist");
  ProgramStart s;
  s.folder = fs::absolute(folder);
  s.folder_made = made;
  if (o.today.empty() && o.now.empty()) {
    s.clock = std::make_unique<SystemClock>();
  } else {
    SystemClock sys;
    s.clock = std::make_unique<FixedClock>(o.today.empty() ? sys.today() : date,
                                           o.now.empty() ? sys.now() : time);
  }
  return s;
}

}  // namespace mervane
