#include "core/output/profiles.h"

#include <algorithm>

#include "core/runtime/paths.h"
#include "core/runtime/text_file.h"
#include "core/util/charset.h"
#include "core/util/concat.h"

namespace mervane {
namespace {

constexpr std::size_t kProfileWidth = ProfileName::width;

}  // namespace

std::string profile_file_name(std::string_view name) {
  return concat({"#", clip(name), "#.INI"});
}

Status check_profile_name(std::string_view name) {
  name = clip(name);
  if (name.empty()) return Status(kBadValue, "Type a profile name first.");
  if (name.size() > kProfileWidth)
    return Status(kBadValue, "A profile name has at most 6 characters: " + std::string(name));
  // The name becomes part of a file name: it must not lead out of the working folder, and "#"
  // would end it early when the list is read back.
  if (name.find('#') != std::string_view::npos || !is_safe_file_name(name))
    return Status(kBadValue, "A profile name may not hold \\ / : * ? \" < > | # or \"..\": " +
                                 std::string(name));
  return Status::ok();
}

std::filesystem::path profile_path(const std::filesystem::path& folder, std::string_view name) {
  const std::string want = profile_file_name(name);
  const std::string upper = upper_ascii(want);
  for (const std::string& f : file_names(folder))
    if (f != want && upper_ascii(cp1252_from_utf8(f)) == upper) return folder / f;
  return resolve(folder, want);
}

std::vector<ProfileName> profile_list(const std::filesystem::path& folder) {
  std::vector<ProfileName> list;
  for (const std::string& file : file_names(folder)) {
    const std::string f = cp1252_from_utf8(file);
    const std::string upper = upper_ascii(f);
    if (f.size() < 5 || f[0] != '#' || upper.compare(upper.size() - 4, 4, ".INI") != 0) continue;
    const std::size_t end = f.find('#', 1);
    if (end == std::string::npos) continue;
    list.emplace_back(std::string_view(f).substr(1, std::min(end - 1, kProfileWidth)));
  }
  return list;
}

void load_ini(const std::filesystem::path& folder, SettingsRecord& rec, Reporter& r,
              FileSystem& fs) {
  const Status st = read_settings_file(folder / std::string(kSettingsFile), rec, fs);
  if (st.code != kFileNotFound) stop_if_failed(r, "Open", kSettingsFile, st);
}

void save_ini(const std::filesystem::path& folder, const SettingsRecord& rec, Reporter& r,
              FileSystem& fs) {
  stop_if_failed(r, "Create", kSettingsFile,
                 write_settings_file(folder / std::string(kSettingsFile), rec, fs));
}

bool load_pfile(const std::filesystem::path& folder, std::string_view name, SettingsRecord& rec,
                Reporter& r, FileSystem& fs) {
  SettingsRecord loaded = rec;
  const Status st = read_settings_file(profile_path(folder, name), loaded, fs);
  if (st.code == kFileNotFound) return false;
  if (stop_if_failed(r, "Open", profile_file_name(name), st)) return false;
  // A spacing below 1 would divide by zero in the writer.
  if (loaded.b.spacing1 < 1) loaded.b.spacing1 = 60;
  rec = loaded;
  return true;
}

void save_pfile(const std::filesystem::path& folder, std::string_view name,
                const SettingsRecord& rec, std::vector<ProfileName>& list, Reporter& r,
                FileSystem& fs) {
  if (stop_if_failed(r, "Create", profile_file_name(name),
                     write_settings_file(profile_path(folder, name), rec, fs)))
    return;  // nothing was saved: the list keeps only profiles that exist
  const ProfileName n(name);
  if (std::find(list.begin(), list.end(), n) == list.end()) list.push_back(n);
}

bool del_pfile(const std::filesystem::path& folder, std::string_view name,
               std::vector<ProfileName>& list, Reporter& r, FileSystem& fs) {
  const Status st = remove_file(profile_path(folder, name), fs);
  if (st.code != kFileNotFound && stop_if_failed(r, "Remove", profile_file_name(name), st))
    return false;
  const ProfileName n(name);
  list.erase(std::remove(list.begin(), list.end(), n), list.end());
  return true;
}

}  // namespace mervane
