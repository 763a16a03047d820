// The text-line reader on arbitrary bytes: every byte of the file comes back in exactly one line
// (line ends aside), and reading ends.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <unistd.h>

#include "core/runtime/text_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string path = "/tmp/mervane-fuzz-text-" + std::to_string(::getpid());
  {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return 0;
    std::fwrite(data, 1, size, f);
    std::fclose(f);
  }
  mervane::TextReader r;
  if (r.open(path).failed()) std::abort();
  std::string line, joined;
  std::size_t lines = 0;
  while (r.next(line).is_ok()) {
    joined += line;
    joined += '\n';
    if (++lines > size + 1) std::abort();  // more lines than bytes: the reader did not end
  }
  // What came back: the input split at each LF, one CR dropped from the end of each piece, and
  // no line after a final LF.
  const std::string in(reinterpret_cast<const char*>(data), size);
  std::string expected;
  std::size_t from = 0;
  while (from < in.size()) {
    std::size_t lf = in.find('\n', from);
    const bool has_lf = lf != std::string::npos;
    if (!has_lf) lf = in.size();
    std::string piece = in.substr(from, lf - from);
    if (!piece.empty() && piece.back() == '\r') piece.pop_back();
    expected += piece;
    expected += '\n';
    from = lf + 1;
  }
  if (joined != expected) std::abort();
  return 0;
}
