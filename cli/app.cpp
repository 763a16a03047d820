#include "cli/app.h"

#include <CLI/CLI.hpp>

#include <iostream>

namespace mervane::cli {

int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  CLI::App app{"Mervane: economic calendar to News.CSV for MT4 chart indicators", "mervane-cli"};
  app.set_version_flag("--version", std::string("mervane-cli ") + MERVANE_VERSION);
  std::vector<std::string> rev(args.rbegin(), args.rend());
  try {
    app.parse(rev);
  } catch (const CLI::ParseError& e) {
    return app.exit(e, out, err) == 0 ? 0 : 2;
  }
  return 0;
}

int run(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  return run(args, std::cout, std::cerr);
}

}  // namespace mervane::cli
