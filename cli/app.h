// mervane-cli: the headless program. run() parses the command line, runs the command and returns
// the exit code: 0 done, 1 other failure, 2 usage error, 3 stopped by Abort at a stop message.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "core/runtime/file_system.h"

namespace mervane::cli {

int run(int argc, char** argv);
// The same with explicit streams, and the file system the command's session uses, for tests
// that run commands in-process.
int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
        FileSystem& fs = FileSystem::local());

}  // namespace mervane::cli
