// What the program asks of the machine it runs on beyond files and tables: its environment (where
// it installs programs and keeps their data: windows_places.h). The layers above never call
// getenv() themselves, so this is the one place to change for another system.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace mervane {

// The value of an environment variable; nothing when it is not set or empty.
std::optional<std::string> environment_value(std::string_view name);

}  // namespace mervane
