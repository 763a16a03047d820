// The NCI line reader on arbitrary lines: it ends and stays in bounds, and what it reads, once
// written and read back, comes back unchanged (after the first round has turned a missing time
// into midnight and cut the value to its column).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "core/analysis/nci_line.h"
#include "core/util/text.h"

using namespace mervane;

namespace {
// A line as the file holds it: trailing blanks are not written.
std::string written(const NcidbRecord& r) {
  return std::string(clip(nci_line(r)));
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view all(reinterpret_cast<const char*>(data), size);
  std::size_t from = 0;
  while (from <= all.size()) {
    std::size_t end = all.find('\n', from);
    if (end == std::string_view::npos) end = all.size();
    const std::string_view line = all.substr(from, end - from);
    from = end + 1;
    const auto r1 = read_nci_line(line);
    if (!r1) continue;
    const std::string l1 = written(*r1);
    const auto r2 = read_nci_line(l1);
    if (!r2) std::abort();
    const std::string l2 = written(*r2);
    const auto r3 = read_nci_line(l2);
    if (!r3 || written(*r3) != l2) std::abort();
    nci_score(*r1);
  }
  return 0;
}
