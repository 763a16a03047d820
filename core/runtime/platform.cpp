#include "core/runtime/platform.h"

#include <cstdlib>

namespace mervane {

std::optional<std::string> environment_value(std::string_view name) {
  const char* v = std::getenv(std::string(name).c_str());
  if (v == nullptr || *v == '\0') return std::nullopt;
  return std::string(v);
}

std::filesystem::path machine_program_files() {
#ifdef _WIN32
  if (const auto pf = environment_value("ProgramFiles")) return std::filesystem::path(*pf);
  return std::filesystem::path("C:\\Program Files");
#else
  std::filesystem::path prefix;
  if (const auto wp = environment_value("WINEPREFIX")) {
    prefix = *wp;
  } else if (const auto home = environment_value("HOME")) {
    prefix = std::filesystem::path(*home) / ".wine";
  } else {
    prefix = ".wine";
  }
  return prefix / "drive_c" / "Program Files";
#endif
}

}  // namespace mervane
