#include "core/runtime/delimited.h"

#include <cerrno>
#include <charconv>
#include <cstdlib>

namespace mervane {

std::vector<std::string> split_delimited(std::string_view line) {
  std::vector<std::string> out(1);
  bool quoted = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (quoted) {
      if (c == '"') {
        if (i + 1 < line.size() && line[i + 1] == '"') {
          out.back() += '"';
          ++i;
        } else {
          quoted = false;
        }
      } else {
        out.back() += c;
      }
    } else if (c == '"') {
      quoted = true;
    } else if (c == ',') {
      out.emplace_back();
    } else {
      out.back() += c;
    }
  }
  return out;
}

std::string quote_delimited(std::string_view text) {
  std::string s = "\"";
  for (char c : text) {
    if (c == '"') s += '"';
    s += c;
  }
  s += '"';
  return s;
}

Status parse_integer(std::string_view text, std::int64_t& out) {
  out = 0;
  const auto* b = text.data();
  const auto* e = b + text.size();
  auto [p, ec] = std::from_chars(b, e, out);
  if (ec != std::errc() || p != e || text.empty())
    return Status(kBadValue, "Invalid Value: '" + std::string(text) + "' is not a whole number");
  return Status::ok();
}

Status parse_real(std::string_view text, double& out) {
  out = 0;
  std::string s(text);
  char* end = nullptr;
  errno = 0;
  out = std::strtod(s.c_str(), &end);
  if (s.empty() || end != s.c_str() + s.size() || errno == ERANGE)
    return Status(kBadValue, "Invalid Value: '" + s + "' is not a number");
  return Status::ok();
}

}  // namespace mervane
