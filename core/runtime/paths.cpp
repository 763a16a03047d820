#include "core/runtime/paths.h"

#include <sys/stat.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cerrno>

#include "core/util/charset.h"

namespace mervane {
namespace {

// Windows takes both; elsewhere the slash is native and a backslash still marks the folder of a
// Windows-style name typed into a setting.
bool is_separator(char c) {
  return c == '\\' || c == '/';
}

}  // namespace

std::filesystem::path resolve(const std::filesystem::path& folder, std::string_view name) {
  // Names in settings are Windows-1252 text; the file system's names here are UTF-8.
  std::filesystem::path p{utf8_from_cp1252(name)};
  if (p.is_absolute()) return p;
  return folder / p;
}

std::string folder_part(std::string_view name) {
  for (std::size_t i = name.size(); i >= 2; --i)
    if (is_separator(name[i - 1])) return std::string(name.substr(0, i));
  return {};
}

bool is_safe_file_name(std::string_view name) {
  if (name.empty() || name == "." || name == "..") return false;
  if (name.back() == ' ' || name.back() == '.') return false;
  for (char c : name) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 32) return false;
    switch (c) {
      case '<':
      case '>':
      case ':':
      case '"':
      case '/':
      case '\\':
      case '|':
      case '?':
      case '*':
        return false;
      default:
        break;
    }
  }
  return name.find("..") == std::string_view::npos;
}

namespace {
std::vector<std::string> entries(const std::filesystem::path& folder, bool dirs) {
  std::vector<std::string> out;
  std::error_code ec;
  std::filesystem::directory_iterator it(folder, ec), end;
  for (; !ec && it != end; it.increment(ec)) {
    std::error_code ec2;
    const bool is_dir = it->is_directory(ec2);
    const bool is_file = it->is_regular_file(ec2);
    if ((dirs && is_dir) || (!dirs && is_file)) out.push_back(it->path().filename().string());
  }
  std::sort(out.begin(), out.end());
  return out;
}
}  // namespace

std::vector<std::string> file_names(const std::filesystem::path& folder) {
  return entries(folder, false);
}

std::vector<std::string> folder_names(const std::filesystem::path& folder) {
  return entries(folder, true);
}

bool is_folder(const std::filesystem::path& path) {
  std::error_code ec;
  return std::filesystem::is_directory(path, ec);
}

Status list_folder(const std::filesystem::path& folder, std::size_t limit,
                   std::vector<FolderEntry>& out, bool* more) {
  out.clear();
  if (more) *more = false;
  std::error_code ec;
  std::filesystem::directory_iterator it(folder, ec), end;
  if (ec) return Status::from_errno(ec.value());
  for (; it != end; it.increment(ec)) {
    if (out.size() >= limit) {
      if (more) *more = true;
      break;
    }
    FolderEntry e{it->path().filename().string(), FileKind::Missing};
    std::error_code kind_ec;
    // The kind of a plain entry comes with the listing (is_symlink, is_directory and
    // is_regular_file read it); only a link costs a look at its target.
    std::filesystem::file_type type = std::filesystem::file_type::none;
    if (!it->is_symlink(kind_ec) && !kind_ec) {
      type = it->is_directory(kind_ec)      ? std::filesystem::file_type::directory
             : it->is_regular_file(kind_ec) ? std::filesystem::file_type::regular
                                            : std::filesystem::file_type::unknown;
    } else if (!kind_ec) {
      type = it->status(kind_ec).type();
    }
    if (!kind_ec) {
      e.kind = type == std::filesystem::file_type::regular     ? FileKind::Plain
               : type == std::filesystem::file_type::directory ? FileKind::Folder
               : type == std::filesystem::file_type::not_found ? FileKind::Missing
                                                               : FileKind::Other;
    }
    out.push_back(std::move(e));
  }
  if (ec) return Status::from_errno(ec.value());
  return Status::ok();
}

Status path_info(const std::filesystem::path& path, PathInfo& out) {
  out = PathInfo{};
  struct stat sb {};
  if (::stat(path.c_str(), &sb) != 0) return Status::from_errno(errno);
  out.kind = S_ISREG(sb.st_mode)   ? FileKind::Plain
             : S_ISDIR(sb.st_mode) ? FileKind::Folder
                                   : FileKind::Other;
  out.size = sb.st_size;
  out.modified = sb.st_mtim.tv_sec;
  out.device = sb.st_dev;
  out.inode = sb.st_ino;
  return Status::ok();
}

std::string failure_in_words(const Status& st) {
  if (st.code == kFileNotFound) return "not there";
  if (st.code == kAccessDenied) return "no permission to read it";
  if (st.file_code == ELOOP) return "a loop of symbolic links";
  return st.message();
}

std::string upper_ascii(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

std::optional<std::int64_t> modified_seconds(const std::filesystem::path& file) {
  std::error_code ec;
  const auto at = std::filesystem::last_write_time(file, ec);
  if (ec) return std::nullopt;
  const auto sys = std::chrono::file_clock::to_sys(at);
  return std::chrono::duration_cast<std::chrono::seconds>(sys.time_since_epoch()).count();
}

}  // namespace mervane
