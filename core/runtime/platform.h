// What the program asks of the machine it runs on beyond files and tables: its environment and
// where it installs programs. The layers above never call getenv() themselves, so this is the
// one place to change for another system.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace mervane {

// The value of an environment variable; nothing when it is not set or empty.
std::optional<std::string> environment_value(std::string_view name);

// The machine's "Program Files" folder, where MT4 terminals are installed: %ProgramFiles% on
// Windows ("C:\Program Files" when that is unset). Elsewhere MT4 runs under Wine and the folder
// is inside the Wine prefix: $WINEPREFIX, else ~/.wine, else ".wine" of the current folder.
std::filesystem::path machine_program_files();

}  // namespace mervane
