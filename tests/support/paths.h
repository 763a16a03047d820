// Locations the tests read from: their own golden files and the shared fixtures.
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
