// Writes MT4 history files for the tests, in either layout.
#pragma once

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "core/util/dates.h"
#include "core/util/helpers.h"
#include "tests/support/temp_dir.h"

namespace mervane::test {

struct TestBar {
  std::int64_t time = 0;  // seconds since 1970
  double open = 0, high = 0, low = 0, close = 0;
};

// Seconds since 1970 of a date serial and hh:mm.
inline std::int64_t unix_at(std::int32_t date, int hh, int mm) {
  return unix_seconds(date) + hh * 3600 + mm * 60;
}

inline void put_le(std::string& s, std::size_t at, std::uint64_t v, int bytes) {
  for (int i = 0; i < bytes; ++i)
    s[at + static_cast<std::size_t>(i)] = static_cast<char>(v >> (8 * i));
}
inline void put_double(std::string& s, std::size_t at, double d) {
  std::uint64_t v;
  std::memcpy(&v, &d, 8);
  put_le(s, at, v, 8);
}

// The bytes of a history file: 148-byte header (version, "EURUSD" symbol, digits) and the bars.
inline std::string history_bytes(int version, int digits, const std::vector<TestBar>& bars) {
  const std::size_t bar = version == 400 ? 44 : 60;
  std::string s(148 + bar * bars.size(), '\0');
  put_le(s, 0, static_cast<std::uint32_t>(version), 4);
  std::memcpy(&s[68], "EURUSD", 6);
  put_le(s, 84, static_cast<std::uint32_t>(digits), 4);
  for (std::size_t i = 0; i < bars.size(); ++i) {
    const std::size_t p = 148 + bar * i;
    const TestBar& b = bars[i];
    if (version == 400) {
      put_le(s, p, static_cast<std::uint32_t>(b.time), 4);
      put_double(s, p + 4, b.open);
      put_double(s, p + 12, b.low);
      put_double(s, p + 20, b.high);
      put_double(s, p + 28, b.close);
      put_double(s, p + 36, 100);
    } else {
      put_le(s, p, static_cast<std::uint64_t>(b.time), 8);
      put_double(s, p + 8, b.open);
      put_double(s, p + 16, b.high);
      put_double(s, p + 24, b.low);
      put_double(s, p + 32, b.close);
      put_le(s, p + 40, 100, 8);
      put_le(s, p + 48, 2, 4);
      put_le(s, p + 52, 0, 8);
    }
  }
  return s;
}

inline void write_history(const std::filesystem::path& file, int version, int digits,
                          const std::vector<TestBar>& bars) {
  write_file(file, history_bytes(version, digits, bars));
}

}  // namespace mervane::test
