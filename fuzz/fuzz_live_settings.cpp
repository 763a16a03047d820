// Arbitrary bytes as "mervane.cfg" (a file users edit by hand) read for the live week's settings,
// and as the Build window's currency pairs: whatever the file holds, every setting has a value it
// can take (the default where the file's cannot be read, named in the problems), a value shown
// is taken again as the same, and the pairs give three-letter codes.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

#include "core/live/live_settings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace mervane;
  static const std::filesystem::path dir = [] {
    auto d = std::filesystem::temp_directory_path() /
             ("mervane-fuzz-live-" + std::to_string(::getpid()));
    std::filesystem::create_directories(d);
    return d;
  }();
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  std::FILE* f = std::fopen((dir / "mervane.cfg").c_str(), "wb");
  if (!f || std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size()) __builtin_trap();
  std::fclose(f);

  const LiveSettings s = load_live_settings(dir);
  if (s.alert_minutes < 0 || s.alert_minutes > 1440) __builtin_trap();
  if (s.guard_before < 0 || s.guard_before > 1440 || s.guard_after < 0 || s.guard_after > 1440)
    __builtin_trap();
  if (s.alert_impact != 'H' && s.alert_impact != 'M' && s.alert_impact != 'L') __builtin_trap();
  for (std::string_view name : live_setting_names()) {
    const std::string shown = live_setting_value(s, name);
    std::string stored;
    if (check_live_setting(name, shown, stored).failed() || stored != shown) __builtin_trap();
  }
  for (const std::string& code : pair_currencies(bytes)) {
    if (code.size() != 3) __builtin_trap();
    for (char c : code)
      if (c < 'A' || c > 'Z') __builtin_trap();
  }
  return 0;
}
