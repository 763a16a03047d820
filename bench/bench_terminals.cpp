// Finding the terminals of a HOME with 20 Wine prefixes and 2,000 history files, beside `find`
// listing the same tree in the same run (a process of its own, its output thrown away). Each
// prefix holds a Wine skeleton (users, Program Files with a few programs, ProgramData), one MT4
// installation and its data folder with News.CSV and one history server of 100 files (11
// symbols in the nine timeframes, and one more). Finding reads the names of every history file,
// the sizes and times of the M1 files and the newest bar of one per server; the two take turns
// and the fastest run of each counts. Target: at most twice the time `find` takes.
// Usage: bench_terminals [folder] (default: a folder under the system's temporary folder).
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "bench/bench_support.h"
#include "core/setup/terminal_files.h"
#include "core/setup/terminals.h"
#include "core/util/charset.h"

using namespace mervane;
using mervane::bench::compare;
using mervane::bench::measure;

namespace fs = std::filesystem;

extern char** environ;

namespace {

constexpr int kPrefixes = 20;
constexpr int kFilesPerServer = 100;
const char* kSymbols[] = {"EURUSD", "GBPUSD", "USDJPY", "AUDUSD", "USDCHF", "USDCAD",
                          "NZDUSD", "EURGBP", "EURJPY", "GBPJPY", "XAUUSD", "US30"};
const int kMinutes[] = {1, 5, 15, 30, 60, 240, 1440, 10080, 43200};

void write(const fs::path& p, const std::string& bytes) {
  fs::create_directories(p.parent_path());
  std::FILE* f = std::fopen(p.c_str(), "wb");
  if (!f) {
    std::perror(p.c_str());
    std::exit(2);
  }
  std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
}

// A version-401 history file of three bars.
std::string history(std::int64_t last_bar) {
  std::string s(148 + 3 * 60, '\0');
  const auto put = [&](std::size_t at, std::uint64_t v, int n) {
    for (int i = 0; i < n; ++i)
      s[at + static_cast<std::size_t>(i)] = static_cast<char>(v >> (8 * i));
  };
  put(0, 401, 4);
  put(84, 5, 4);
  for (int i = 0; i < 3; ++i) {
    const std::size_t p = 148 + 60 * static_cast<std::size_t>(i);
    put(p, static_cast<std::uint64_t>(last_bar - (2 - i) * 60), 8);
    double price = 1.1;
    std::uint64_t bits;
    std::memcpy(&bits, &price, 8);
    for (std::size_t k = 8; k < 40; k += 8) put(p + k, bits, 8);
  }
  return s;
}

// "Broker 7 MT4" and the like (snprintf: GCC 12 warns falsely about a literal + std::string).
std::string numbered(const char* format, int n) {
  char buf[64];
  std::snprintf(buf, sizeof buf, format, n);
  return buf;
}

void make_prefix(const fs::path& root, int n, std::int64_t now) {
  const fs::path c = root / "drive_c";
  for (const char* d : {"windows/system32", "ProgramData/Microsoft", "users/Public/Documents",
                        "Program Files/Common Files/System", "Program Files/Internet Explorer",
                        "Program Files (x86)/Windows Media Player"})
    fs::create_directories(c / d);
  const std::string name = numbered("Broker %d MT4", n);
  write(c / "Program Files (x86)" / name / "terminal.exe", "MZ");
  const std::string windows = "C:\\Program Files (x86)\\" + name;
  const fs::path data =
      c / "users/trader/AppData/Roaming/MetaQuotes/Terminal" / data_folder_id(windows);
  write(data / "origin.txt", "\xFF\xFE" + utf16le_from_utf8(windows));
  write(data / "MQL4/Files/News.CSV", "x");
  fs::create_directories(data / "MQL4/Indicators");
  const fs::path server = data / "history" / numbered("Broker%d-Live", n);
  int files = 0;
  for (const char* symbol : kSymbols)
    for (int m : kMinutes)
      if (files++ < kFilesPerServer)
        write(server / (std::string(symbol) + std::to_string(m) + ".hst"), history(now + 7200));
}

void run_find(const fs::path& home) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  std::string dir = home.string();
  char* argv[] = {const_cast<char*>("find"), dir.data(), nullptr};
  pid_t pid = 0;
  if (posix_spawnp(&pid, "find", &actions, nullptr, argv, environ) != 0) {
    std::fprintf(stderr, "cannot start find\n");
    std::exit(2);
  }
  posix_spawn_file_actions_destroy(&actions);
  int status = 0;
  waitpid(pid, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "find failed\n");
    std::exit(2);
  }
}

}  // namespace

int main(int argc, char** argv) {
  const fs::path base = argc > 1 ? fs::path(argv[1])
                                 : fs::temp_directory_path() /
                                       ("mervane-bench-terminals-" + std::to_string(getpid()));
  const fs::path home = base / "home";
  const std::int64_t now = 1'796'000'000;
  make_prefix(home / ".wine", 0, now);
  for (int i = 1; i < kPrefixes; ++i)
    make_prefix(home / ".local/share/wineprefixes" / numbered("p%d", i), i, now);
  std::size_t entries = 0;
  for (auto it = fs::recursive_directory_iterator(home); it != fs::recursive_directory_iterator();
       ++it)
    ++entries;

  HostEnvironment env;
  env.host = HostKind::Linux;
  env.home = home.string();
  std::size_t terminals = 0, files = 0;
  const auto find_ours = [&] {
    const TerminalSearch s = find_terminals(env, now);
    terminals = s.terminals.size();
    files = 0;
    for (const Terminal& t : s.terminals)
      for (const HistoryServer& h : t.history)
        for (const SymbolHistory& sym : h.symbols) files += sym.minutes.size();
  };
  // Turn about, so that both meet the same load of a shared machine; the fastest of each counts.
  const auto items = static_cast<double>(entries);
  bench::Result ours{"finding the terminals", 1e300, items, "entries"};
  bench::Result base_run{"find over the same tree", 1e300, items, "entries"};
  for (int i = 0; i < 15; ++i) {
    ours.seconds =
        std::min(ours.seconds, measure(ours.name, items, "entries", find_ours, 1).seconds);
    base_run.seconds =
        std::min(base_run.seconds, measure(
                                       base_run.name, items, "entries", [&] { run_find(home); }, 1)
                                       .seconds);
  }
  if (terminals != kPrefixes || files != kPrefixes * kFilesPerServer) {
    std::fprintf(stderr, "found %zu terminals and %zu history files, not %d and %d\n", terminals,
                 files, kPrefixes, kPrefixes * kFilesPerServer);
    return 2;
  }
  std::printf("%zu entries in %d prefixes, %zu history files\n", entries, kPrefixes, files);
  const bool ok = compare(ours, base_run, 2.0);
  if (argc <= 1) fs::remove_all(base);
  return ok ? 0 : 1;
}
