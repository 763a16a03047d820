#include "core/import/calendar_address.h"

#include "core/model/local_settings.h"
#include "core/runtime/paths.h"

namespace mervane {
namespace {

constexpr std::string_view kAddressHint = "give the scheme and host, as https://calendar.example";
constexpr std::string_view kFeedHint =
    "give the whole address, as https://calendar.example/weekly.xml";

Status bad(const std::string& address, std::string_view why, std::string_view hint) {
  return Status(kBadValue, "Invalid Value: " + address + " " + std::string(why) + " (" +
                               std::string(hint) + ")");
}

bool host_char(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
         c == '.';
}

bool hex_or_colon(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F') || c == ':' ||
         c == '.';
}

// The host: a name or IPv4 address, or an IPv6 address in brackets.
bool valid_host(std::string_view h) {
  if (h.empty()) return false;
  if (h.front() == '[') {
    if (h.size() < 4 || h.back() != ']') return false;
    for (char c : h.substr(1, h.size() - 2))
      if (!hex_or_colon(c)) return false;
    return true;
  }
  if (h.front() == '.' || h.front() == '-' || h.back() == '-') return false;
  for (char c : h)
    if (!host_char(c)) return false;
  return h.find("..") == std::string_view::npos;
}

bool valid_port(std::string_view p) {
  if (p.empty() || p.size() > 5) return false;
  long n = 0;
  for (char c : p) {
    if (c < '0' || c > '9') return false;
    n = n * 10 + (c - '0');
  }
  return n >= 1 && n <= 65535;
}

}  // namespace

std::string load_calendar_address(const std::filesystem::path& folder) {
  return load_local_setting(folder, kCalendarAddressSetting);
}

namespace {

// scheme://host[:port] followed by a path and query (with_path) or by nothing but an optional
// "/"; the normalised form has the scheme in lower case and no trailing "/" after the host.
Status check_url(const std::string& address, bool with_path, std::string& normalised) {
  const std::string_view hint = with_path ? kFeedHint : kAddressHint;
  std::string_view a = address;
  const std::size_t sep = a.find("://");
  if (sep == std::string_view::npos) return bad(address, "has no http:// or https://", hint);
  const std::string scheme = upper_ascii(a.substr(0, sep));
  if (scheme != "HTTP" && scheme != "HTTPS") return bad(address, "is not http or https", hint);
  std::string_view rest = a.substr(sep + 3);
  std::string_view path;
  if (with_path) {
    const std::size_t slash = rest.find_first_of("/?#");
    if (slash != std::string_view::npos) {
      path = rest.substr(slash);
      rest = rest.substr(0, slash);
    }
    if (path.find_first_of(" \t\r\n\"<>") != std::string_view::npos)
      return bad(address, "holds a blank or a character an address cannot hold", hint);
  } else {
    if (!rest.empty() && rest.back() == '/') rest.remove_suffix(1);
    if (rest.find_first_of("/?#") != std::string_view::npos)
      return bad(address, "has a path or query: the program adds the calendar page's own", hint);
  }
  if (rest.find('@') != std::string_view::npos) return bad(address, "names a user", hint);
  std::string_view host = rest, port;
  const std::size_t colon = rest.rfind(':');
  if (colon != std::string_view::npos && rest.find(']', colon) == std::string_view::npos) {
    host = rest.substr(0, colon);
    port = rest.substr(colon + 1);
    if (!valid_port(port)) return bad(address, "has no valid port number", hint);
  }
  if (!valid_host(host)) return bad(address, "has no valid host name", hint);
  normalised = scheme == "HTTP" ? "http://" : "https://";
  normalised += rest;
  normalised += path;
  return Status::ok();
}

}  // namespace

Status save_calendar_address(const std::filesystem::path& folder, const std::string& address) {
  std::string normalised;
  const Status st = check_url(address, false, normalised);
  if (st.failed()) return st;
  return save_local_setting(folder, kCalendarAddressSetting, normalised);
}

Status check_feed_url(const std::string& url, std::string& normalised) {
  return check_url(url, true, normalised);
}

}  // namespace mervane
