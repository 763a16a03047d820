#include "core/history/backup_files.h"

#include "core/runtime/find_file.h"
#include "core/runtime/paths.h"
#include "core/util/charset.h"
#include "core/util/text.h"

namespace mervane {

std::string backup_file_name(std::string_view name) {
  std::string f = "@";
  f += clip(name);
  f += "@.CSV";
  return f;
}

std::string backup_name_problem(std::string_view name) {
  const std::string_view n = clip(name);
  std::string quoted = "\"";
  quoted += utf8_from_cp1252(n);
  quoted += '"';
  if (n.empty()) return "The name of the import / export file may not be blank.";
  if (n.size() > kBackupNameWidth) return "The name " + quoted + " is longer than 6 characters.";
  if (n.find('@') != std::string_view::npos || !is_safe_file_name(n))
    return "The name " + quoted +
           " cannot be part of a file name: use letters, digits and the like, without "
           "< > : \" / \\ | ? * @, \"..\" or control characters.";
  return {};
}

std::vector<std::string> backup_names(const std::filesystem::path& folder) {
  std::vector<std::string> out;
  std::vector<std::string> seen;  // upper case, to list a name once
  for (const std::string& file : file_names(folder)) {
    const std::string f = cp1252_from_utf8(file);
    const std::string u = upper_ascii(f);
    constexpr std::string_view tail = "@.CSV";
    if (u.size() < 1 + 1 + tail.size() || u.front() != '@' ||
        u.compare(u.size() - tail.size(), tail.size(), tail) != 0)
      continue;
    const std::string name = f.substr(1, f.size() - 1 - tail.size());
    if (!backup_name_problem(name).empty()) continue;
    const std::string key = upper_ascii(name);
    bool dup = false;
    for (const auto& s : seen) dup = dup || s == key;
    if (dup) continue;
    seen.push_back(key);
    out.push_back(name);
  }
  return out;
}

std::filesystem::path backup_path(const std::filesystem::path& folder, std::string_view name) {
  return find_file(folder, backup_file_name(name));
}

}  // namespace mervane
