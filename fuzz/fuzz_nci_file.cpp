// The NCI line reader on arbitrary lines: it ends and stays in bounds, and what it reads, once
// written and read back, comes back unchanged (after the first round has turned a missing time
// into midnight and cut the value to its column).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "fuzz/fuzz_lines.h"

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
  for_each_line(data, size, [](std::string_view line) {
    const auto r1 = read_nci_line(line);
    if (!r1) return;
    const std::string l1 = written(*r1);
    const auto r2 = read_nci_line(l1);
    if (!r2) std::abort();
    const std::string l2 = written(*r2);
    const auto r3 = read_nci_line(l2);
    if (!r3 || written(*r3) != l2) std::abort();
    nci_score(*r1);
  });
  return 0;
}
