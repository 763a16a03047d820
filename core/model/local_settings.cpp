#include "core/model/local_settings.h"

#include <cctype>
#include <vector>

#include "core/runtime/paths.h"
#include "core/runtime/text_file.h"

namespace mervane {
namespace {

std::vector<std::string> read_lines(const std::filesystem::path& file) {
  std::vector<std::string> lines;
  TextReader r;
  if (r.open(file).failed()) return lines;
  std::string line;
  while (r.next(line).is_ok()) lines.push_back(line);
  return lines;
}

bool same_name(std::string_view line, std::string_view name) {
  const auto eq = line.find('=');
  return eq != std::string_view::npos && upper_ascii(line.substr(0, eq)) == upper_ascii(name);
}

}  // namespace

LocalSettings::LocalSettings(const std::filesystem::path& folder)
    : lines_(read_lines(folder / kLocalSettingsFile)) {}

std::string LocalSettings::get(std::string_view name) const {
  for (const std::string& line : lines_)
    if (same_name(line, name)) return line.substr(line.find('=') + 1);
  return {};
}

std::string load_local_setting(const std::filesystem::path& folder, std::string_view name) {
  return LocalSettings(folder).get(name);
}

Status save_local_setting(const std::filesystem::path& folder, std::string_view name,
                          std::string_view value) {
  if (name.empty()) return Status(kBadValue, "Invalid Value: a setting needs a name");
  for (char c : name)
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_')
      return Status(kBadValue, "Invalid Value: " + std::string(name) + " is not a setting name");
  if (value.find_first_of("\r\n") != std::string_view::npos)
    return Status(kBadValue, "Invalid Value: a setting is one line");
  std::vector<std::string> lines = read_lines(folder / kLocalSettingsFile);
  std::string out;
  bool placed = false;
  for (const std::string& line : lines) {
    if (same_name(line, name)) {
      if (!placed && !value.empty()) out += upper_ascii(name) + "=" + std::string(value) + "\r\n";
      placed = true;
    } else {
      out += line + "\r\n";
    }
  }
  if (!placed && !value.empty()) out += upper_ascii(name) + "=" + std::string(value) + "\r\n";
  return write_file_atomic(folder / kLocalSettingsFile, out);
}

}  // namespace mervane
