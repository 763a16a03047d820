#include "core/setup/program_files.h"

#include <cstdlib>

#include "core/model/local_settings.h"
#include "core/util/charset.h"

namespace mervane {

std::filesystem::path program_files_root(const std::filesystem::path& working_folder) {
  const std::string set = load_local_setting(working_folder, kProgramFilesSetting);
  if (!set.empty()) return std::filesystem::path(set);
#ifdef _WIN32
  if (const char* pf = std::getenv("ProgramFiles")) return std::filesystem::path(pf);
  return std::filesystem::path("C:\\Program Files");
#else
  std::filesystem::path prefix;
  if (const char* wp = std::getenv("WINEPREFIX"); wp && *wp) {
    prefix = wp;
  } else if (const char* home = std::getenv("HOME"); home && *home) {
    prefix = std::filesystem::path(home) / ".wine";
  } else {
    prefix = ".wine";
  }
  return prefix / "drive_c" / "Program Files";
#endif
}

std::vector<std::filesystem::path> program_files_folders(
    const std::filesystem::path& working_folder) {
  const std::filesystem::path root = program_files_root(working_folder);
  std::vector<std::filesystem::path> out{root};
  const std::filesystem::path x86 = root.parent_path() / "Program Files (x86)";
  std::error_code ec;
  if (x86 != root && std::filesystem::is_directory(x86, ec)) out.push_back(x86);
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
