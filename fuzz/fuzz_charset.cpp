// Arbitrary bytes through the Windows-1252 / UTF-8 conversions.
#include <cstdint>
#include <string>
#include <string_view>

#include "core/util/charset.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  // Read as UTF-8: at most one byte out per byte in, and only '?' where the input was not UTF-8.
  const std::string narrow = mervane::cp1252_from_utf8(bytes);
  if (narrow.size() > bytes.size()) __builtin_trap();
  if (mervane::is_valid_utf8(bytes) && mervane::utf8_from_cp1252(narrow) != bytes &&
      narrow.find('?') == std::string::npos)
    __builtin_trap();
  // Read as Windows-1252: always valid UTF-8, and back again unchanged.
  const std::string wide = mervane::utf8_from_cp1252(bytes);
  if (!mervane::is_valid_utf8(wide) || mervane::cp1252_from_utf8(wide) != bytes) __builtin_trap();
  return 0;
}
