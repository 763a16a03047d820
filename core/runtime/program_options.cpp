#include "core/runtime/program_options.h"

#include "core/util/picture.h"

namespace mervane {

ProgramStart start_from(const ProgramOptions& o) {
  std::error_code ec;
  if (!std::filesystem::is_directory(o.dir, ec))
    throw BadOption("--dir: the folder " + o.dir + " does not exist");
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
  ProgramStart s;
  s.folder = std::filesystem::absolute(o.dir);
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
