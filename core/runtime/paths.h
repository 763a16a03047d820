// File names as the user types them, and the folders of the working machine.
//
// Names in settings keep the user's own form: "News.CSV", a Windows path under "C:\Program Files"
// on Windows, "/home/me/.wine/drive_c/.../news.csv" elsewhere. A name without a folder
// is a file of the working folder.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/runtime/file_system.h"
#include "core/runtime/status.h"

namespace mervane {

// The file a name stands for: the name itself when it is absolute, else the name inside the
// working folder. Names are Windows-1252 text, as settings hold them; a name read from the file
// system goes into a setting through cp1252_from_utf8().
std::filesystem::path resolve(const std::filesystem::path& folder, std::string_view name);

// The folder part of a file name including its last separator ("C:\a\b\" of "C:\a\b\News.CSV"),
// or an empty text when the name has none after its first character. A backslash separates on
// every machine; a slash too where it is the native separator.
std::string folder_part(std::string_view name);

// True when name is a plain file name that is safe to use inside the working folder: not empty,
// no path separator, not "." or "..", none of the characters Windows refuses in file names
// (< > : " / \ | ? * and control characters), and no trailing blank or dot.
bool is_safe_file_name(std::string_view name);

// Names of the regular files in a folder, sorted; empty when the folder cannot be read.
std::vector<std::string> file_names(const std::filesystem::path& folder);
// Names of the folders in a folder, sorted.
std::vector<std::string> folder_names(const std::filesystem::path& folder);
// True when path is a folder (or a link to one) that the program may look into.
bool is_folder(const std::filesystem::path& path);

// When a file was last written, as UNIX seconds; nothing when it cannot be told.
std::optional<std::int64_t> modified_seconds(const std::filesystem::path& file);
// One entry of a folder: its name as the file system has it (UTF-8 here) and what it is. A link
// counts as what it points at; one that leads nowhere, or round a loop, is Missing.
struct FolderEntry {
  std::string name;
  FileKind kind = FileKind::Missing;
};
// The entries of a folder, in no particular order, at most `limit` of them (`more` tells whether
// there were others). 2 when the folder is missing, 5 without permission to read it, 90 with the
// system's text otherwise ("Too many levels of symbolic links" for a loop of links).
Status list_folder(const std::filesystem::path& folder, std::size_t limit,
                   std::vector<FolderEntry>& out, bool* more = nullptr);

// What a path is (through links), and for a file its size and its last change.
struct PathInfo {
  FileKind kind = FileKind::Missing;
  std::int64_t size = 0;
  std::int64_t modified = 0;  // seconds since 1970 (UTC)
  // Which file it is: two paths with the same pair lead to one file.
  std::uint64_t device = 0, inode = 0;
};
// 2 when nothing is there (or a link leads nowhere), 5 without permission, 90 otherwise.
Status path_info(const std::filesystem::path& path, PathInfo& out);

// What a failed look into a folder or file means for a user, in a few words: "not there", "no
// permission to read it", "a loop of symbolic links", or the system's own text.
std::string failure_in_words(const Status& st);

// ASCII upper case, for names matched without regard to letter case.
std::string upper_ascii(std::string_view s);

}  // namespace mervane
