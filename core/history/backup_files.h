// The history backup and export files: the file for name N is "@" + N + "@.CSV" in the working
// folder ("@BACKUP@.CSV" for the automatic backup). A name is at most 6 characters, so the whole
// file name fits an 8.3 name; it is part of a file name, so it must be a safe one.
//
// Names are Windows-1252 text, as the program keeps its texts. Letter case in the file names is
// ignored (they come from Windows, where it does not matter).
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace mervane {

constexpr std::size_t kBackupNameWidth = 6;

// "@" + name without trailing blanks + "@.CSV".
std::string backup_file_name(std::string_view name);

// Empty when name can be a backup name; else one sentence for the user saying why not: blank,
// longer than 6 characters, or holding a path separator, "..", "@" (which ends the name in the
// file name), or a character Windows does not allow in file names.
std::string backup_name_problem(std::string_view name);

// The names of the backup files in folder, in name order: files "@" + name + "@.CSV" (letter
// case ignored) whose name has 1 to 6 characters; the same name in two letter cases is listed
// once. An unreadable folder has none.
std::vector<std::string> backup_names(const std::filesystem::path& folder);

// The file of a backup name: an existing one whose name matches ignoring case, else the name
// as made by backup_file_name.
std::filesystem::path backup_path(const std::filesystem::path& folder, std::string_view name);

}  // namespace mervane
