// The folder listing reader ("##.DIR" lines) on arbitrary lines: a name found is a non-empty
// part of its line that is never "." or "..".
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "fuzz/fuzz_lines.h"

#include "core/setup/folder_list.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  for_each_line(data, size, [](std::string_view line) {
    const auto name = mervane::folder_of_listing_line(line);
    if (!name) return;
    if (name->empty() || *name == "." || *name == ".." ||
        line.find(*name) == std::string_view::npos)
      std::abort();
  });
  return 0;
}
