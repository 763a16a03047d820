// mervane-cli run in-process for the command line's tests: its exit code and both streams, and
// the records of `list calendar` split into their fields.
#pragma once

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "cli/app.h"
#include "core/runtime/file_system.h"

namespace mervane::test {

struct Outcome {
  int code;
  std::string out, err;
};

// mervane-cli --dir DIR --today TODAY ARGS...
inline Outcome run_cli(const std::filesystem::path& dir, const std::string& today,
                       std::vector<std::string> args, FileSystem& fs = FileSystem::local()) {
  args.insert(args.begin(), {"--dir", dir.string(), "--today", today});
  std::ostringstream out, err;
  const int code = cli::run(args, out, err, fs);
  return {code, out.str(), err.str()};
}

// The lines of a `list calendar` listing after its header, each split at its commas: date,
// time, currency, descr, symbol, impact, color, actual, forecast, previous, spacing,
// revisedfrom, kxidcode.
inline std::vector<std::vector<std::string>> calendar_fields(const std::string& listing) {
  std::vector<std::vector<std::string>> rows;
  std::istringstream in(listing);
  std::string line;
  std::getline(in, line);
  while (std::getline(in, line)) {
    std::vector<std::string> f;
    std::istringstream cells(line);
    for (std::string c; std::getline(cells, c, ',');) f.push_back(c);
    f.resize(13);
    rows.push_back(f);
  }
  return rows;
}

}  // namespace mervane::test
