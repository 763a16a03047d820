// Locations the tests read from: their own golden files, and the real MT4 history files kept
// beside them in tests/data/fixtures (copied in, so a checkout alone runs every test).
#pragma once

#include <filesystem>

namespace mervane::test {

inline std::filesystem::path data_dir() {
  return MERVANE_TEST_DATA;
}
inline std::filesystem::path fixtures_dir() {
  return MERVANE_FIXTURES;
}
inline std::filesystem::path cli_path() {
  return MERVANE_CLI_PATH;
}

}  // namespace mervane::test
