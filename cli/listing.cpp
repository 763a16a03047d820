#include "cli/listing.h"

namespace mervane::cli {

std::string csv_cell(std::string_view value) {
  if (value.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(value);
  std::string s = "\"";
  for (char c : value) {
    if (c == '"') s += '"';
    s += c;
  }
  return s + "\"";
}

}  // namespace mervane::cli
