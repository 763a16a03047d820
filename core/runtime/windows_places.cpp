#include "core/runtime/windows_places.h"

#include <algorithm>
#include <cctype>

#include "core/runtime/paths.h"
#include "core/runtime/platform.h"
#include "core/util/charset.h"

namespace mervane {
namespace {

namespace fs = std::filesystem;

// The most entries read from one folder: enough for any real one, and a bound on a folder that
// is not what it should be (a link to a huge tree).
constexpr std::size_t kMaxEntries = 4096;
// The most users of one prefix and prefixes below one folder looked into.
constexpr std::size_t kMaxUsers = 64;
constexpr std::size_t kMaxPrefixes = 256;

// Old Wine keeps roaming application data in "Application Data", newer Wine (as Windows since
// Vista) in "AppData\Roaming".
const fs::path kAppDataNames[] = {fs::path("AppData") / "Roaming", fs::path("Application Data")};
const char* const kProgramFilesNames[] = {"Program Files", "Program Files (x86)"};

bool is_folder_at(const fs::path& p) {
  PathInfo info;
  return path_info(p, info).is_ok() && info.kind == FileKind::Folder;
}

std::string getenv_or_empty(std::string_view name) {
  return environment_value(name).value_or("");
}

// Splits a Windows path at its backslashes (and slashes), dropping empty parts.
std::vector<std::string> windows_parts(std::string_view path) {
  std::vector<std::string> parts;
  std::string cur;
  for (char c : path) {
    if (c == '\\' || c == '/') {
      if (!cur.empty()) parts.push_back(std::move(cur));
      cur.clear();
    } else {
      cur += c;
    }
  }
  if (!cur.empty()) parts.push_back(std::move(cur));
  return parts;
}

// The name in folder that is `name` to Windows: the name itself when it is there, else the one
// that differs only in letter case; nothing when neither is.
std::optional<std::string> name_in(const fs::path& folder, const std::string& name) {
  PathInfo info;
  if (path_info(folder / name, info).is_ok()) return name;
  std::vector<FolderEntry> entries;
  if (list_folder(folder, kMaxEntries, entries).failed()) return std::nullopt;
  const std::string wanted = windows_upper(name);
  for (const FolderEntry& e : entries)
    if (windows_upper(e.name) == wanted) return e.name;
  return std::nullopt;
}

class Finder {
 public:
  explicit Finder(WindowsSystems& out) : out_(out) {}

  void note(const fs::path& p, std::string text) { out_.looked_in.push_back({p, std::move(text)}); }

  // One place that should itself be a prefix.
  void prefix(const fs::path& p) {
    PathInfo info;
    const Status st = path_info(p, info);
    if (st.failed()) return note(p, failure_in_words(st));
    if (info.kind != FileKind::Folder) return note(p, "not a folder");
    add(p);
  }

  // A folder whose folders are prefixes (bottles, PlayOnLinux, CrossOver).
  void prefixes_below(const fs::path& parent) {
    std::vector<FolderEntry> entries;
    bool more = false;
    const Status st = list_folder(parent, kMaxPrefixes, entries, &more);
    if (st.failed()) return note(parent, failure_in_words(st));
    std::sort(entries.begin(), entries.end(),
              [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
    std::size_t found = 0;
    for (const FolderEntry& e : entries) {
      const fs::path p = parent / e.name;
      if (e.kind == FileKind::Missing) {
        // A link that leads nowhere, or round a loop: say which.
        PathInfo info;
        note(p, failure_in_words(path_info(p, info)));
      } else if (e.kind == FileKind::Folder && is_folder_at(p / "drive_c")) {
        if (add(p)) ++found;
      }
    }
    std::string text = std::to_string(found) + (found == 1 ? " Wine prefix" : " Wine prefixes");
    if (more) text += " (only the first " + std::to_string(kMaxPrefixes) + " folders looked at)";
    note(parent, text);
  }

 private:
  bool add(const fs::path& p) {
    PathInfo info;
    const Status st = path_info(p / "drive_c", info);
    if (st.failed() || info.kind != FileKind::Folder) {
      note(p, st.code == kFileNotFound ? "no drive_c: not a Wine prefix"
                                       : "drive_c: " + failure_in_words(st));
      return false;
    }
    // The same prefix reached another way ($WINEPREFIX is often ~/.wine) has the same drive_c.
    const std::pair<std::uint64_t, std::uint64_t> same{info.device, info.inode};
    if (std::find(seen_.begin(), seen_.end(), same) != seen_.end()) {
      note(p, "a Wine prefix, the same as one above");
      return false;
    }
    seen_.push_back(same);
    WindowsSystem w;
    w.prefix = p;
    w.drive_c = p / "drive_c";
    users(w);
    for (const char* name : kProgramFilesNames)
      if (is_folder_at(w.drive_c / name)) w.program_files.push_back(w.drive_c / name);
    out_.systems.push_back(std::move(w));
    note(p, "a Wine prefix");
    return true;
  }

  void users(WindowsSystem& w) {
    const fs::path users = w.drive_c / "users";
    std::vector<FolderEntry> entries;
    const Status st = list_folder(users, kMaxUsers, entries);
    if (st.failed()) {
      if (st.code != kFileNotFound) note(users, failure_in_words(st));
      return;
    }
    std::sort(entries.begin(), entries.end(),
              [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
    for (const FolderEntry& e : entries) {
      if (e.kind != FileKind::Folder) continue;
      for (const fs::path& name : kAppDataNames) {
        const fs::path p = users / e.name / name;
        PathInfo info;
        const Status pst = path_info(p, info);
        if (pst.is_ok() && info.kind == FileKind::Folder) {
          w.app_data.push_back(p);
        } else if (pst.failed() && pst.code != kFileNotFound) {
          note(p, failure_in_words(pst));
        }
      }
    }
  }

  WindowsSystems& out_;
  std::vector<std::pair<std::uint64_t, std::uint64_t>> seen_;
};

void find_on_windows(const HostEnvironment& env, WindowsSystems& out) {
  WindowsSystem w;
  w.drive_c = fs::path("C:\\");
  if (!env.appdata.empty()) {
    if (is_folder_at(env.appdata)) {
      w.app_data.push_back(env.appdata);
      out.looked_in.push_back({env.appdata, "the user's application data"});
    } else {
      out.looked_in.push_back({env.appdata, "not there"});
    }
  }
  for (const std::string& pf : {env.program_files, env.program_files_x86})
    if (!pf.empty() && is_folder_at(pf)) w.program_files.push_back(pf);
  out.systems.push_back(std::move(w));
}

}  // namespace

HostKind this_host() {
#if defined(_WIN32)
  return HostKind::Windows;
#elif defined(__APPLE__)
  return HostKind::MacOS;
#else
  return HostKind::Linux;
#endif
}

HostEnvironment HostEnvironment::current() {
  HostEnvironment e;
  e.home = getenv_or_empty(e.host == HostKind::Windows ? "USERPROFILE" : "HOME");
  e.wineprefix = getenv_or_empty("WINEPREFIX");
  e.appdata = getenv_or_empty("APPDATA");
  e.program_files = getenv_or_empty("ProgramFiles");
  e.program_files_x86 = getenv_or_empty("ProgramFiles(x86)");
  return e;
}

std::optional<fs::path> WindowsSystem::local_path(std::string_view windows_path) const {
  const std::vector<std::string> parts = windows_parts(windows_path);
  if (parts.empty() || parts[0].size() != 2 || parts[0][1] != ':' ||
      !std::isalpha(static_cast<unsigned char>(parts[0][0])) || windows_path.size() < 3 ||
      (windows_path[2] != '\\' && windows_path[2] != '/'))
    return std::nullopt;
  fs::path at;
  if (prefix.empty()) {
    at = fs::path(parts[0] + "\\");
  } else {
    // C: is drive_c (its device link points there); the other drives are links in dosdevices.
    const char letter = static_cast<char>(std::tolower(static_cast<unsigned char>(parts[0][0])));
    const fs::path device = prefix / "dosdevices" / (std::string(1, letter) + ":");
    if (letter == 'c') {
      at = drive_c;
    } else if (is_folder_at(device)) {
      at = device;
    } else {
      return std::nullopt;
    }
  }
  bool found = true;
  for (std::size_t i = 1; i < parts.size(); ++i) {
    const std::optional<std::string> name = found ? name_in(at, parts[i]) : std::nullopt;
    found = name.has_value();
    at /= found ? *name : parts[i];
  }
  return at;
}

std::optional<std::string> WindowsSystem::windows_path(const fs::path& local) const {
  if (prefix.empty()) return local.string();
  const fs::path rel = local.lexically_normal().lexically_relative(drive_c.lexically_normal());
  if (rel.empty() || *rel.begin() == "..") return std::nullopt;
  std::string out = "C:";
  for (const fs::path& part : rel) {
    if (part == ".") continue;
    out += '\\';
    out += part.string();
  }
  if (out == "C:") out += '\\';
  return out;
}

WindowsSystems find_windows_systems(const HostEnvironment& env) {
  WindowsSystems out;
  if (env.host == HostKind::Windows) {
    find_on_windows(env, out);
    return out;
  }
  Finder f(out);
  if (env.wineprefix.empty()) {
    out.looked_in.push_back({"$WINEPREFIX", "not set"});
  } else {
    f.prefix(env.wineprefix);
  }
  if (env.home.empty()) {
    out.looked_in.push_back({"$HOME", "not set"});
    return out;
  }
  const fs::path home(env.home);
  f.prefix(home / ".wine");
  f.prefixes_below(home / ".local" / "share" / "wineprefixes");
  f.prefixes_below(home / ".var" / "app" / "com.usebottles.bottles" / "data" / "bottles" /
                   "bottles");
  f.prefixes_below(home / ".local" / "share" / "bottles" / "bottles");
  f.prefixes_below(home / ".PlayOnLinux" / "wineprefix");
  f.prefixes_below(home / ".cxoffice");
  if (env.host == HostKind::MacOS) {
    const fs::path support = home / "Library" / "Application Support";
    f.prefix(support / "net.metaquotes.wine.metatrader4");
    f.prefix(support / "net.metaquotes.wine.metatrader5");
    f.prefixes_below(support / "MetaTrader 4" / "Bottles");
    f.prefixes_below(support / "MetaTrader 5" / "Bottles");
    f.prefixes_below(support / "CrossOver" / "Bottles");
  }
  return out;
}

fs::path machine_program_files(const HostEnvironment& env) {
  if (env.host == HostKind::Windows)
    return fs::path(env.program_files.empty() ? "C:\\Program Files" : env.program_files);
  fs::path prefix = !env.wineprefix.empty() ? fs::path(env.wineprefix)
                    : !env.home.empty()     ? fs::path(env.home) / ".wine"
                                            : fs::path(".wine");
  return prefix / "drive_c" / "Program Files";
}

}  // namespace mervane
