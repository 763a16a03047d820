// The readers of a terminal's own files on arbitrary bytes: origin.txt gives a path or a reason,
// never both, and a path is absolute, one line, without blanks at its ends; the history file
// names, split as lines, give each ".hst" name one symbol and timeframe or list it as no history
// file, and every symbol is a non-empty start of its file's name.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "core/runtime/paths.h"
#include "core/setup/terminal_files.h"
#include "core/util/charset.h"
#include "fuzz/fuzz_lines.h"

using namespace mervane;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const OriginText o = read_origin_text(bytes);
  if (o.path.empty() == o.problem.empty()) std::abort();
  if (!o.path.empty()) {
    if (!is_valid_utf8(o.path)) std::abort();
    const bool drive = o.path.size() >= 3 && o.path[1] == ':';
    const bool network = o.path.rfind("\\\\", 0) == 0;
    if (!drive && !network) std::abort();
    if (o.path.find_first_of("\r\n") != std::string::npos || o.path.back() == ' ') std::abort();
    if (data_folder_id(o.path).size() != 32) std::abort();
  }

  std::vector<std::string> names;
  for_each_line(data, size, [&](std::string_view line) { names.emplace_back(line); });
  const HistoryNames split = split_history_names(names);
  for (const HistoryName& f : split.files) {
    if (f.symbol.empty() || f.minutes <= 0 || f.file.compare(0, f.symbol.size(), f.symbol) != 0)
      std::abort();
    const std::string tail = f.file.substr(f.symbol.size());
    if (tail.substr(0, tail.size() - 4) != std::to_string(f.minutes)) std::abort();
  }
  // Every ".hst" name (any letter case) lands in one of the two lists, nothing else does.
  std::size_t hst = 0;
  for (const std::string& n : names)
    if (n.size() > 4 && upper_ascii(n.substr(n.size() - 4)) == ".HST") ++hst;
  if (split.files.size() + split.not_history.size() != hst) std::abort();
  return 0;
}
