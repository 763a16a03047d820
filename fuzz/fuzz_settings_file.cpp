// Arbitrary bytes as a settings or profile file ("trune.INI", "#name#.INI"): read as the Build
// window reads it, whatever the file holds, the record is whole, a spacing below 1 is repaired,
// and saving and reading it again gives the same settings. The same lines typed as the values
// of the settings into the Build window's controls (`settings set`, `--set`): a value taken
// shows as a value that is taken again and gives the same settings.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/output/procfile_controls.h"
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

  // Each line typed into its setting.
  std::vector<std::string> typed;
  for (std::size_t at = 0; at <= bytes.size() && typed.size() < setting_names().size();) {
    std::size_t end = bytes.find('\n', at);
    if (end == std::string_view::npos) end = bytes.size();
    typed.emplace_back(bytes.substr(at, end - at));
    at = end + 1;
  }
  for (std::size_t i = 0; i < typed.size(); ++i) {
    const std::string& name = setting_names()[i];
    SettingsRecord by_hand = defaults;
    if (type_setting(by_hand, name, typed[i]).failed()) continue;
    SettingsRecord shown = defaults;
    if (type_setting(shown, name, setting_value(by_hand, name)).failed()) __builtin_trap();
    if (!(shown == by_hand)) __builtin_trap();
  }

  repair_after_load(rec);
  if (rec.b.spacing1 < 1 || rec.b.loadweeks != 1) __builtin_trap();
  const char order = rec.b.datefmt.at(1);
  if (order != 'D' && order != 'M' && order != 'Y') __builtin_trap();
  return 0;
}
