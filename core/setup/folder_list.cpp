#include "core/setup/folder_list.h"

#include "core/model/program_files.h"
#include "core/runtime/paths.h"
#include "core/runtime/text_file.h"
#include "core/util/charset.h"
#include "core/util/text.h"

namespace mervane {
namespace {

// Characters from..to (1-based, inclusive) of s, as far as s reaches.
std::string_view chars(std::string_view s, std::size_t from, std::size_t to) {
  if (from > s.size()) return {};
  return s.substr(from - 1, std::min(to, s.size()) - from + 1);
}

void add_name(FolderList& list, std::string name) {
  if (name.empty() || name.size() > kFolderNameWidth) return;
  for (const std::string& n : list.names)
    if (upper_ascii(n) == upper_ascii(name)) return;
  list.names.push_back(std::move(name));
}

}  // namespace

std::optional<std::string> folder_of_listing_line(std::string_view line) {
  const std::string_view s = clip(line);
  const std::size_t n = s.size();
  std::string_view name;
  if (chars(s, 16, 20) == "<DIR>" && chars(s, 1, 1) != ".") {
    name = chars(s, 45, n);
  } else if (chars(s, 27, 31) == "<DIR>" && chars(s, 42, 42) != ".") {
    name = chars(s, 42, n);
  } else {
    return std::nullopt;
  }
  // "." and ".." in the name column too, whatever the short-name column holds.
  if (name.empty() || name == "." || name == "..") return std::nullopt;
  return std::string(name);
}

FolderList load_folder_list(const std::filesystem::path& working_folder) {
  FolderList list;
  TextReader in;
  if (in.open(working_folder / std::string(kDirListingFile)).is_ok()) {
    list.from_listing = true;
    std::string line;
    while (in.next(line).is_ok())
      if (auto name = folder_of_listing_line(line)) add_name(list, std::move(*name));
    return list;
  }
  for (const std::filesystem::path& root : program_files_folders(working_folder))
    for (const std::string& name : folder_names(root)) add_name(list, cp1252_from_utf8(name));
  return list;
}

}  // namespace mervane
