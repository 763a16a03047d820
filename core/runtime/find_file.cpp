#include "core/runtime/find_file.h"

#include <string>

#include "core/runtime/paths.h"
#include "core/util/charset.h"

namespace mervane {

std::filesystem::path find_file(const std::filesystem::path& folder, std::string_view name) {
  const std::filesystem::path exact = folder / utf8_from_cp1252(name);
  std::error_code ec;
  if (std::filesystem::is_regular_file(exact, ec)) return exact;
  const std::string want = upper_ascii(name);
  for (const std::string& f : file_names(folder))
    if (upper_ascii(cp1252_from_utf8(f)) == want) return folder / f;
  return exact;
}

}  // namespace mervane
