// The folder listing reader ("##.DIR" lines) on arbitrary lines: a name found is a non-empty
// part of its line that is never "." or "..".
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/setup/folder_list.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view all(reinterpret_cast<const char*>(data), size);
  std::size_t from = 0;
  while (from <= all.size()) {
    std::size_t end = all.find('\n', from);
    if (end == std::string_view::npos) end = all.size();
    const std::string_view line = all.substr(from, end - from);
    from = end + 1;
    const auto name = mervane::folder_of_listing_line(line);
    if (!name) continue;
    if (name->empty() || *name == "." || *name == ".." ||
        line.find(*name) == std::string_view::npos)
      std::abort();
  }
  return 0;
}
