#include "core/model/program_files.h"

#include "core/model/local_settings.h"
#include "core/runtime/paths.h"
#include "core/runtime/windows_places.h"
#include "core/util/charset.h"

namespace mervane {

std::filesystem::path program_files_root(const std::filesystem::path& working_folder) {
  const std::string set = load_local_setting(working_folder, kProgramFilesSetting);
  if (!set.empty()) return std::filesystem::path(set);
  return machine_program_files();
}

std::vector<std::filesystem::path> program_files_folders(
    const std::filesystem::path& working_folder) {
  const std::filesystem::path root = program_files_root(working_folder);
  std::vector<std::filesystem::path> out{root};
  const std::filesystem::path x86 = root.parent_path() / "Program Files (x86)";
  if (x86 != root && is_folder(x86)) out.push_back(x86);
  return out;
}

std::string news_csv_path_for(const std::filesystem::path& working_folder,
                              std::string_view mt4_folder) {
  // Settings hold Windows-1252 text; the file system's names here are UTF-8.
  const std::filesystem::path p = program_files_root(working_folder) /
                                  utf8_from_cp1252(mt4_folder) / "experts" / "files" / "news.csv";
  return cp1252_from_utf8(p.string());
}

}  // namespace mervane
