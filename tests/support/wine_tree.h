// Wine prefixes with MT4 and MT5 terminals in them, built in a test's folder as Wine and the
// terminals lay them out.
#pragma once

#include <fcntl.h>
#include <sys/stat.h>

#include <ctime>
#include <filesystem>
#include <string>

#include "core/runtime/windows_places.h"
#include "core/setup/terminal_files.h"
#include "core/util/charset.h"
#include "tests/support/history_writer.h"
#include "tests/support/temp_dir.h"

namespace mervane::test {

namespace fs = std::filesystem;

// origin.txt as terminals write it: UTF-16LE after its byte order mark.
inline std::string utf16_origin(const std::string& path) {
  return "\xFF\xFE" + utf16le_from_utf8(path);
}

// Sets a file's last change (seconds since 1970).
inline void set_written(const fs::path& file, std::int64_t seconds) {
  const timespec times[2] = {{static_cast<std::time_t>(seconds), 0},
                             {static_cast<std::time_t>(seconds), 0}};
  ::utimensat(AT_FDCWD, file.c_str(), times, 0);
}

struct WinePrefix {
  fs::path root;
  std::string user = "trader";
  bool old_wine = false;  // "Application Data" instead of "AppData\Roaming"

  fs::path drive_c() const { return root / "drive_c"; }
  fs::path app_data() const {
    const fs::path u = drive_c() / "users" / user;
    return old_wine ? u / "Application Data" : u / "AppData" / "Roaming";
  }
  fs::path terminals() const { return app_data() / "MetaQuotes" / "Terminal"; }

  // Makes drive_c, the user's folders, drive C's device link and Program Files.
  const WinePrefix& make() const {
    fs::create_directories(app_data());
    fs::create_directories(drive_c() / "Program Files");
    fs::create_directories(root / "dosdevices");
    std::error_code ec;
    fs::create_directory_symlink("../drive_c", root / "dosdevices" / "c:", ec);
    return *this;
  }

  // An installation: a folder below drive C (as "Program Files (x86)/Broker MT4") with the
  // program in it.
  fs::path installation(const std::string& below_c, const char* exe = "terminal.exe") const {
    const fs::path p = drive_c() / below_c;
    fs::create_directories(p);
    write_file(p / exe, "MZ");
    return p;
  }

  // A data folder named by the ID of `windows_path`, with origin.txt holding `origin` bytes (none
  // when empty) and the code folder ("MQL4", "MQL5"; none when empty) with its Files folder.
  fs::path data_folder(const std::string& windows_path, const std::string& origin,
                       const std::string& code = "MQL4") const {
    const fs::path d = terminals() / data_folder_id(windows_path);
    fs::create_directories(d);
    if (!origin.empty()) write_file(d / "origin.txt", origin);
    if (!code.empty()) fs::create_directories(d / code / "Files");
    return d;
  }
};

// A history file of `bars` one-minute bars ending with the bar opening at `last_bar`, written
// (its last change) at `written`.
inline void write_hst(const fs::path& file, std::int64_t last_bar, std::int64_t written,
                      int version = 401, int minutes = 1) {
  std::vector<TestBar> bars;
  for (int i = 2; i >= 0; --i) bars.push_back({last_bar - i * minutes * 60, 1.1, 1.2, 1.0, 1.15});
  fs::create_directories(file.parent_path());
  write_history(file, version, 5, bars);
  set_written(file, written);
}

// A HOME whose ~/.wine holds two MT4 terminals and an MT5: "Broker MT4" in Program Files (x86),
// whose server "Broker-Live" at UTC+2 wrote its M1 history just before `now`, and "Other MT4"
// without history. `env` is a machine with that HOME.
struct TwoTerminals {
  TempDir home;
  WinePrefix wine{home / ".wine"};
  HostEnvironment env;
  fs::path broker_data, other_data;

  explicit TwoTerminals(std::int64_t now) {
    env.host = HostKind::Linux;
    env.home = home.path().string();
    wine.make();
    const std::string broker = "C:\\Program Files (x86)\\Broker MT4";
    wine.installation("Program Files (x86)/Broker MT4");
    broker_data = wine.data_folder(broker, utf16_origin(broker));
    write_hst(broker_data / "history/Broker-Live/EURUSD1.hst", now + 2 * 3600 - 50, now - 20);
    write_hst(broker_data / "history/Broker-Demo/EURUSD5.hst", now - 9 * 86400, now - 8 * 86400,
              401, 5);
    wine.installation("Program Files/Other MT4");
    other_data = wine.data_folder("C:\\Program Files\\Other MT4",
                                  utf16_origin("C:\\Program Files\\Other MT4"));
    wine.installation("Program Files/MetaTrader 5");
    wine.data_folder("C:\\Program Files\\MetaTrader 5",
                     utf16_origin("C:\\Program Files\\MetaTrader 5"), "MQL5");
  }
  fs::path files(const fs::path& data) const { return data / "MQL4" / "Files"; }
};

}  // namespace mervane::test
