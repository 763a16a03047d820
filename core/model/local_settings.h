// The program's own settings that have no line in the 67-line settings file (whose layout other
// tools and earlier versions rely on): the calendar service's address, the Program Files folder
// that holds the MT4 terminals. They live in "mervane.cfg" in the working folder, one NAME=VALUE
// per line; names compare without regard to letter case.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/runtime/status.h"

namespace mervane {

constexpr std::string_view kLocalSettingsFile = "mervane.cfg";

// The value of a setting; empty when it is not set or the file is missing.
std::string load_local_setting(const std::filesystem::path& folder, std::string_view name);

// The file read once, for a reader of several settings.
class LocalSettings {
 public:
  explicit LocalSettings(const std::filesystem::path& folder);
  // As load_local_setting().
  std::string get(std::string_view name) const;

 private:
  std::vector<std::string> lines_;
};
// Sets (or, with an empty value, removes) a setting, rewriting the file atomically. A name must
// be letters, digits or "_"; a value must be one line.
Status save_local_setting(const std::filesystem::path& folder, std::string_view name,
                          std::string_view value);

}  // namespace mervane
