// Files named by the program ("swaprate.csv", "@BACKUP@.CSV") were made on Windows, where letter
// case in file names does not matter; a user copying them to another machine keeps whatever case
// they had. The program therefore finds its files without regard to letter case.
#pragma once

#include <filesystem>
#include <string_view>

namespace mervane {

// The file of folder named `name` (Windows-1252 text, as the program keeps names) with letter
// case ignored (ASCII): the exact name when such a file exists, else the first file in name
// order that matches ignoring case, else folder / name (for a file still to be made).
std::filesystem::path find_file(const std::filesystem::path& folder, std::string_view name);

}  // namespace mervane
