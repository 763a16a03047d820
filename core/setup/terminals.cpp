#include "core/setup/terminals.h"

#include <algorithm>

#include "core/model/history_file.h"
#include "core/model/session.h"
#include "core/runtime/block_file.h"
#include "core/runtime/paths.h"
#include "core/runtime/time_zones.h"
#include "core/util/charset.h"
#include "core/util/dates.h"

namespace mervane {
namespace {

namespace fs = std::filesystem;

// Bounds on what one folder may hand the search: far above any real terminal's, low enough
// that a folder that is not what it should be costs little.
constexpr std::size_t kMaxEntries = 20000;
constexpr std::size_t kMaxServers = 64;
// History files opened per server to find one whose newest bar can be read.
constexpr int kMaxFilesTried = 4;
// Installations: folders below Program Files whose own folders are looked at too.
constexpr std::size_t kMaxFolders = 512;

constexpr const char* kExes[] = {"terminal.exe", "terminal64.exe"};
// Folders of drive C that hold no installation of their own.
constexpr const char* kSystemFolders[] = {"WINDOWS", "USERS", "PROGRAM FILES",
                                          "PROGRAM FILES (X86)", "PROGRAMDATA"};

// The entry named `name` in any letter case, of the kind wanted.
const FolderEntry* entry(const std::vector<FolderEntry>& entries, std::string_view name,
                         FileKind kind) {
  const std::string wanted = upper_ascii(name);
  for (const FolderEntry& e : entries)
    if (e.kind == kind && upper_ascii(e.name) == wanted) return &e;
  return nullptr;
}

// The name as it is in the folder, or as given when it is not there.
std::string name_or(const std::vector<FolderEntry>& entries, std::string_view name) {
  const FolderEntry* e = entry(entries, name, FileKind::Folder);
  return e ? e->name : std::string(name);
}

std::string last_part(std::string_view windows_path) {
  const std::size_t at = windows_path.find_last_of("\\/");
  return std::string(at == std::string_view::npos ? windows_path : windows_path.substr(at + 1));
}

// A folder's entries; a failure (other than a missing folder when that is fine) is a problem of
// the terminal, named by the folder's place in it.
bool list(Terminal& t, const fs::path& folder, std::string_view shown,
          std::vector<FolderEntry>& out, bool missing_is_problem = true) {
  bool more = false;
  const Status st = list_folder(folder, kMaxEntries, out, &more);
  if (st.failed()) {
    if (st.code != kFileNotFound || missing_is_problem)
      t.problems.push_back(std::string(shown) + ": " + failure_in_words(st));
    return false;
  }
  if (more)
    t.problems.push_back(std::string(shown) + ": more than " + std::to_string(kMaxEntries) +
                         " entries, the rest not looked at");
  return true;
}

struct HstCandidate {
  const HistoryName* name = nullptr;
  std::int64_t written = 0;
};

// The newest bar of the most recently written file of the shortest timeframe there (M1 where
// there is M1: it dates the server's clock best). A terminal writes every timeframe of a symbol
// at once, so only the files of that timeframe are looked at: a server of a hundred symbols in
// nine timeframes costs a hundred looks, not nine hundred. A file that cannot be read is a
// problem and the next one is tried.
void newest_bar(Terminal& t, HistoryServer& s, const HistoryNames& names, std::int64_t now) {
  int shortest = 0;
  for (const HistoryName& n : names.files)
    if (shortest == 0 || n.minutes < shortest) shortest = n.minutes;
  std::vector<HstCandidate> candidates;
  for (const HistoryName& n : names.files) {
    if (n.minutes != shortest) continue;
    const std::string shown = "history\\" + s.name + "\\" + n.file;
    PathInfo info;
    const Status st = path_info(s.folder / n.file, info);
    if (st.failed()) {
      t.problems.push_back(shown + ": " + failure_in_words(st));
    } else if (info.size < static_cast<std::int64_t>(HistoryFile::kHeaderSize)) {
      t.problems.push_back(shown + ": shorter than a history file's header (" +
                           std::to_string(info.size) + " bytes)");
    } else {
      candidates.push_back({&n, info.modified});
    }
  }
  std::sort(candidates.begin(), candidates.end(), [](const HstCandidate& a, const HstCandidate& b) {
    if (a.written != b.written) return a.written > b.written;
    return a.name->file < b.name->file;
  });
  int tried = 0;
  for (const HstCandidate& c : candidates) {
    if (tried++ == kMaxFilesTried) break;
    const std::string shown = "history\\" + s.name + "\\" + c.name->file;
    HistoryFile f;
    const HistoryOpen opened = f.open(s.folder / c.name->file);
    if (opened == HistoryOpen::UnknownVersion) {
      t.problems.push_back(shown + ": not an MT4 history file (version " +
                           std::to_string(f.version()) + ")");
      continue;
    }
    if (opened != HistoryOpen::Ok) {
      t.problems.push_back(shown + ": " + failure_in_words(f.status()));
      continue;
    }
    HistoryBar bar;
    if (!f.last(bar)) {
      t.problems.push_back(shown + (f.status().code == kRecordNotAvailable
                                        ? ": no bar that can be read"
                                        : ": " + failure_in_words(f.status())));
      continue;
    }
    s.newest = NewestBar{c.name->file, c.name->minutes, bar.time, c.written};
    s.offset = server_offset(bar.time, c.name->minutes, c.written, now);
    if (s.offset) {
      s.offset->server = s.name;
      s.offset->file = c.name->file;
    }
    return;
  }
}

void read_history(Terminal& t, const fs::path& history, std::int64_t now) {
  std::vector<FolderEntry> servers;
  if (!list(t, history, "history", servers, false)) return;
  std::sort(servers.begin(), servers.end(),
            [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
  std::size_t n = 0;
  for (const FolderEntry& e : servers) {
    if (e.kind != FileKind::Folder) continue;
    if (++n > kMaxServers) {
      t.problems.push_back("history: more than " + std::to_string(kMaxServers) +
                           " servers, the rest not looked at");
      break;
    }
    HistoryServer s{e.name, history / e.name, {}, std::nullopt, std::nullopt};
    std::vector<FolderEntry> files;
    if (!list(t, s.folder, "history\\" + e.name, files)) continue;
    std::vector<std::string> names;
    for (const FolderEntry& f : files)
      if (f.kind == FileKind::Plain) names.push_back(f.name);
    std::sort(names.begin(), names.end());
    const HistoryNames split = split_history_names(names);
    for (const std::string& bad : split.not_history)
      t.problems.push_back("history\\" + e.name + "\\" + bad + ": not named SYMBOL<minutes>.hst");
    s.symbols = split.symbols;
    newest_bar(t, s, split, now);
    t.history.push_back(std::move(s));
  }
}

// What a data folder holds: its kind, its files folder, News.CSV, the history.
void look_inside(Terminal& t, std::int64_t now) {
  std::vector<FolderEntry> top;
  if (!list(t, t.data_folder, "the data folder", top)) return;
  const FolderEntry* mql4 = entry(top, "MQL4", FileKind::Folder);
  const FolderEntry* mql5 = entry(top, "MQL5", FileKind::Folder);
  if (t.before_600) {
    t.kind = TerminalKind::Mt4;
    t.files_folder = t.data_folder / name_or(top, "experts");
  } else if (mql4) {
    t.kind = TerminalKind::Mt4;
    t.files_folder = t.data_folder / mql4->name;
  } else if (mql5) {
    t.kind = TerminalKind::Mt5;
    t.files_folder = t.data_folder / mql5->name;
  } else {
    t.kind = TerminalKind::Unknown;
    t.problems.push_back(
        "no MQL4 folder: the terminal makes it when it first starts (an MT4 of build 600 or "
        "later); until then News.CSV has nowhere to go");
    return;
  }
  std::vector<FolderEntry> inner;
  const fs::path code_folder = t.files_folder;
  const bool listed = list(t, code_folder, code_folder.filename().string(), inner);
  t.files_folder = code_folder / (listed ? name_or(inner, "Files") : std::string("Files"));
  const std::string shown = code_folder.filename().string() + "\\Files";
  std::vector<FolderEntry> files;
  if (listed && entry(inner, "Files", FileKind::Folder) == nullptr) {
    t.problems.push_back("no " + shown + " folder: the terminal makes it when it first starts");
  } else if (listed && list(t, t.files_folder, shown, files)) {
    if (const FolderEntry* news = entry(files, "News.CSV", FileKind::Plain)) {
      PathInfo info;
      if (path_info(t.files_folder / news->name, info).is_ok())
        t.news = NewsFile{t.files_folder / news->name, info.modified};
    }
  }
  if (t.kind == TerminalKind::Mt4) read_history(t, t.data_folder / name_or(top, "history"), now);
}

// The installation named in a data folder's origin.txt.
void read_origin(Terminal& t, const WindowsSystem& w) {
  BlockFile f;
  std::int64_t size = 0;
  Status st = f.open(t.data_folder / "origin.txt");
  if (st.is_ok()) st = f.size(size);
  if (st.failed()) {
    t.problems.push_back(st.code == kFileNotFound ? "no origin.txt"
                                                  : "origin.txt: " + failure_in_words(st));
    return;
  }
  std::string bytes(static_cast<std::size_t>(std::min<std::int64_t>(size, kMaxOriginBytes + 1)),
                    '\0');
  std::size_t got = 0;
  if (!bytes.empty()) {
    st = f.read(1, bytes.size(), bytes.data(), &got);
    if (st.failed() && st.code != kRecordNotAvailable) {
      t.problems.push_back("origin.txt: " + failure_in_words(st));
      return;
    }
  }
  bytes.resize(got);
  OriginText origin = read_origin_text(bytes);
  if (!origin.problem.empty()) {
    t.problems.push_back("origin.txt: " + origin.problem);
    return;
  }
  t.installation = origin.path;
  t.name = last_part(origin.path);
  const std::optional<fs::path> here = w.local_path(origin.path);
  PathInfo info;
  if (here && path_info(*here, info).is_ok() && info.kind == FileKind::Folder) {
    t.installation_here = *here;
    t.name = here->filename().string();  // as the folder is spelt, not as origin.txt has it
  } else {
    t.problems.push_back("the installation folder " + origin.path +
                         " is not there (uninstalled, or on a drive this Windows does not have)");
  }
}

class Search {
 public:
  Search(TerminalSearch& out, std::int64_t now) : out_(out), now_(now) {}

  void system(const WindowsSystem& w) {
    const std::size_t first = out_.terminals.size();
    for (const fs::path& app : w.app_data) data_folders(w, app / "MetaQuotes" / "Terminal");
    const std::size_t data_end = out_.terminals.size();
    std::vector<fs::path> installs;
    std::vector<FolderEntry> entries;
    for (const fs::path& pf : w.program_files)
      if (folders_of(pf, entries)) installations(pf, entries, 2, {}, installs);
    if (folders_of(w.drive_c, entries))
      installations(w.drive_c, entries, 1, {std::begin(kSystemFolders), std::end(kSystemFolders)},
                    installs);
    for (const fs::path& at : installs) installation(w, at, first, data_end);
  }

 private:
  void data_folders(const WindowsSystem& w, const fs::path& terminals) {
    std::vector<FolderEntry> entries;
    bool more = false;
    const Status st = list_folder(terminals, kMaxEntries, entries, &more);
    if (st.failed()) {
      out_.looked_in.push_back({terminals, failure_in_words(st)});
      if (st.code != kFileNotFound) out_.problems.push_back({terminals, failure_in_words(st)});
      return;
    }
    std::sort(entries.begin(), entries.end(),
              [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
    std::size_t found = 0;
    for (const FolderEntry& e : entries) {
      // "Common" (shared by every terminal), "Community", "Help": not a terminal's.
      if (e.kind != FileKind::Folder || !is_data_folder_id(e.name)) continue;
      Terminal t;
      t.prefix = w.prefix;
      t.data_folder = terminals / e.name;
      t.id = e.name;
      t.name = e.name;
      read_origin(t, w);
      look_inside(t, now_);
      out_.terminals.push_back(std::move(t));
      ++found;
    }
    out_.looked_in.push_back(
        {terminals, std::to_string(found) + (found == 1 ? " data folder" : " data folders")});
    if (more)
      out_.problems.push_back({terminals, "more than " + std::to_string(kMaxEntries) +
                                              " entries, the rest not looked at"});
  }

  // The folders of `folder`, sorted; a failure other than a missing folder is a problem.
  bool folders_of(const fs::path& folder, std::vector<FolderEntry>& entries) {
    bool more = false;
    const Status st = list_folder(folder, kMaxFolders, entries, &more);
    if (st.failed()) {
      if (st.code != kFileNotFound) out_.problems.push_back({folder, failure_in_words(st)});
      return false;
    }
    if (more)
      out_.problems.push_back({folder, "more than " + std::to_string(kMaxFolders) +
                                           " entries, the rest not looked at"});
    std::sort(entries.begin(), entries.end(),
              [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
    return true;
  }

  // Folders holding a terminal's program among the folders of `root` (`entries`) and, `depth`
  // levels down, theirs. Where a folder is listed anyway (to look below it) its listing tells
  // whether the program is there; at the last level a look at the program's name does.
  void installations(const fs::path& root, const std::vector<FolderEntry>& entries, int depth,
                     const std::vector<std::string>& skip, std::vector<fs::path>& found) {
    for (const FolderEntry& e : entries) {
      if (e.kind != FileKind::Folder) continue;
      const std::string upper = upper_ascii(e.name);
      if (std::find(skip.begin(), skip.end(), upper) != skip.end()) continue;
      const fs::path p = root / e.name;
      if (depth > 1) {
        std::vector<FolderEntry> below;
        if (!folders_of(p, below)) continue;
        const bool program = std::any_of(std::begin(kExes), std::end(kExes), [&](const char* x) {
          return entry(below, x, FileKind::Plain) != nullptr;
        });
        if (program) {
          found.push_back(p);
        } else {
          installations(p, below, depth - 1, {}, found);
        }
      } else if (std::any_of(std::begin(kExes), std::end(kExes), [&](const char* x) {
                   PathInfo info;
                   return path_info(p / x, info).is_ok() && info.kind == FileKind::Plain;
                 })) {
        found.push_back(p);
      }
    }
  }

  // An installation: portable, matched to a data folder of this Windows, an MT4 before build
  // 600, or one whose data folder is not there yet.
  void installation(const WindowsSystem& w, const fs::path& at, std::size_t first,
                    std::size_t data_end) {
    const std::string windows = w.windows_path(at).value_or(at.string());
    std::vector<FolderEntry> entries;
    Terminal t;
    t.prefix = w.prefix;
    t.installation = windows;
    t.installation_here = at;
    t.name = at.filename().string();
    if (!list(t, at, "the installation folder", entries)) {
      out_.terminals.push_back(std::move(t));
      return;
    }
    const bool portable = entry(entries, "MQL4", FileKind::Folder) != nullptr ||
                          entry(entries, "MQL5", FileKind::Folder) != nullptr;
    if (!portable) {
      const std::string key = windows_upper(windows);
      const std::string id = data_folder_id(windows);
      for (std::size_t i = first; i < data_end; ++i) {
        Terminal& d = out_.terminals[i];
        if ((!d.installation.empty() && windows_upper(d.installation) == key) || d.id == id) {
          if (d.installation.empty()) {
            d.installation = windows;
            d.name = t.name;
          }
          if (d.installation_here.empty()) d.installation_here = at;
          return;
        }
      }
    }
    t.data_folder = at;
    if (portable) {
      t.portable = true;
    } else if (entry(entries, "experts", FileKind::Folder)) {
      t.before_600 = true;
    } else {
      t.kind =
          entry(entries, "terminal64.exe", FileKind::Plain) ? TerminalKind::Mt5 : TerminalKind::Mt4;
      t.data_folder.clear();
      t.problems.push_back(
          "no data folder found: the terminal makes it when it first starts (start it once)");
      out_.terminals.push_back(std::move(t));
      return;
    }
    look_inside(t, now_);
    out_.terminals.push_back(std::move(t));
  }

  TerminalSearch& out_;
  std::int64_t now_;
};

}  // namespace

std::string ServerOffset::text() const {
  std::string zone = "UTC";
  if (hours != 0) zone += (hours > 0 ? "+" : "") + std::to_string(hours);
  return "server time looks like " + zone + " on " + iso_date_time(written).substr(0, 10);
}

std::optional<ServerOffset> server_offset(std::int64_t bar_time, int minutes, std::int64_t written,
                                          std::int64_t now) {
  constexpr std::int64_t kSkew = 300;      // a clock a few minutes off
  constexpr std::int64_t kWriteLag = 600;  // ticks written some minutes after they came
  if (minutes <= 0 || minutes > 15) return std::nullopt;
  if (written > now + kSkew || now - written > kRecentDays * 86400) return std::nullopt;
  // The bar opened `elapsed` before the file was last written: server time minus UTC is the
  // difference of the two less that, a whole number of hours.
  const std::int64_t u = bar_time - written;
  std::int64_t h = (u + 1800) / 3600;  // the nearest whole hour (division toward minus infinity)
  if ((u + 1800) % 3600 < 0) --h;
  const std::int64_t elapsed = h * 3600 - u;
  if (elapsed < -kSkew || elapsed > minutes * 60 + kWriteLag) return std::nullopt;
  if (h < -12 || h > 14) return std::nullopt;
  return ServerOffset{static_cast<int>(h), written, {}, {}};
}

fs::path Terminal::news_csv() const {
  return news ? news->file : files_folder / "News.CSV";
}

std::optional<ServerOffset> Terminal::offset() const {
  std::optional<ServerOffset> best;
  for (const HistoryServer& s : history)
    if (s.offset && (!best || s.offset->written > best->written)) best = s.offset;
  return best;
}

TerminalSearch find_terminals(const WindowsSystems& systems, std::int64_t now) {
  TerminalSearch out;
  out.looked_in = systems.looked_in;
  Search search(out, now);
  for (const WindowsSystem& w : systems.systems) search.system(w);
  std::stable_sort(out.terminals.begin(), out.terminals.end(),
                   [](const Terminal& a, const Terminal& b) {
                     if (a.prefix != b.prefix) return a.prefix < b.prefix;
                     return windows_upper(a.name) < windows_upper(b.name);
                   });
  return out;
}

TerminalSearch find_terminals(const HostEnvironment& env, std::int64_t now) {
  return find_terminals(find_windows_systems(env), now);
}

const Terminal* terminal_of_news(const TerminalSearch& found, const fs::path& file) {
  std::error_code ec;
  const fs::path folder = fs::weakly_canonical(file.parent_path(), ec);
  if (ec) return nullptr;
  for (const Terminal& t : found.terminals) {
    if (!t.usable() || t.files_folder.empty()) continue;
    const fs::path own = fs::weakly_canonical(t.files_folder, ec);
    if (!ec && own == folder) return &t;
  }
  return nullptr;
}

TerminalSearch find_terminals(const Session& s) {
  return find_terminals(s.host(), unix_now(s.clock()));
}

std::vector<const Terminal*> usable_terminals(const TerminalSearch& found) {
  std::vector<const Terminal*> out;
  for (const Terminal& t : found.terminals)
    if (t.usable() && !t.files_folder.empty()) out.push_back(&t);
  return out;
}

std::string news_csv_setting(const Terminal& t) {
  return cp1252_from_utf8(t.news_csv().string());
}

}  // namespace mervane
