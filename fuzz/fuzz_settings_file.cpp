// Arbitrary bytes as a settings or profile file ("trune.INI", "#name#.INI"): read as the Build
// window reads it, whatever the file holds, the record is whole, a spacing below 1 is repaired,
// and saving and reading it again gives the same settings.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

#include "core/output/settings_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace mervane;
  static const std::filesystem::path dir = [] {
    auto d = std::filesystem::temp_directory_path() /
             ("mervane-fuzz-settings-" + std::to_string(::getpid()));
    std::filesystem::create_directories(d);
    return d;
  }();
  const std::filesystem::path file = dir / "trune.INI";
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  // A plain write: the atomic writer's sync would make every run wait for the disk.
  std::FILE* f = std::fopen(file.c_str(), "wb");
  if (!f || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size()) __builtin_trap();
  std::fclose(f);

  const SettingsRecord defaults = built_in_defaults(75250, dir);
  SettingsRecord rec = defaults;
  if (read_settings_file(file, rec).failed()) __builtin_trap();
  if (settings_lines(rec).size() != static_cast<std::size_t>(kSettingsLines)) __builtin_trap();

  // Saved and read again (the lines as the file would hold them): the same settings.
  SettingsRecord again = defaults;
  apply_settings_lines(settings_lines(rec), again);
  if (!(again == rec)) __builtin_trap();

  repair_after_load(rec);
  if (rec.b.spacing1 < 1 || rec.b.loadweeks != 1) __builtin_trap();
  const char order = rec.b.datefmt.at(1);
  if (order != 'D' && order != 'M' && order != 'Y') __builtin_trap();
  return 0;
}
