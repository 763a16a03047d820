// The folder list of the Initial setup: the broker MT4 folders the user picks from.
//
// When the working folder holds "##.DIR" (a directory listing of "C:\Program Files\" made by
// the command interpreter) the list comes from its lines, in either of the two column layouts
// the interpreter has used:
//   "<DIR>" in characters 16-20, the name from character 45 (character 1 not ".")
//   "<DIR>" in characters 27-31, the name from character 42 (character 42 not ".")
// Otherwise the folders of the Program Files folder are listed directly (see
// core/model/program_files.h: the machine's own on Windows, the Wine prefix's elsewhere).
// Names are Windows-1252 text, in the order found; a name longer than the 40 characters the
// setup keeps is left out rather than cut into another folder's name.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mervane {

constexpr std::string_view kDirListingFile = "##.DIR";
constexpr std::size_t kFolderNameWidth = 40;

// The folder name of a listing line; nothing for a line that names no folder ("." and ".."
// included).
[[nodiscard]] std::optional<std::string> folder_of_listing_line(std::string_view line);

struct FolderList {
  std::vector<std::string> names;
  bool from_listing = false;  // "##.DIR" was read
};

// The list for a working folder (a read failure part way through "##.DIR" ends the list
// there). A name found twice is listed once.
FolderList load_folder_list(const std::filesystem::path& working_folder);

}  // namespace mervane
